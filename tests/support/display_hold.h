// SPDX-License-Identifier: GPL-3.0-or-later
// Xvfb starts afresh whenever its last client leaves, and refuses connections meanwhile; tests
// that follow each other closely can meet it then. A test program waits for the display and
// holds a connection of its own, so that the server stays up while the program runs.
#ifndef KERV_TESTS_DISPLAY_HOLD_H
#define KERV_TESTS_DISPLAY_HOLD_H

class DisplayHold {
public:
    // Waits up to ten seconds for the display named by DISPLAY.
    DisplayHold();
    ~DisplayHold();
    DisplayHold(const DisplayHold&) = delete;
    DisplayHold& operator=(const DisplayHold&) = delete;

    bool IsHeld() const { return display != nullptr; }

private:
    void* display = nullptr;
};

#endif
