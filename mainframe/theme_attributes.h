// SPDX-License-Identifier: GPL-3.0-or-later
// ThemeAttributes: a window's default font and colours, kept from one lookup to the next until
// the theme changes. Every paint of a window without a font or colours of its own asks for
// them, and the toolkit works them out from the theme anew each time (for a frame with a
// round trip to the display); a run repaints the status bar and the frame at every yield.
#ifndef KERV_MAINFRAME_THEME_ATTRIBUTES_H
#define KERV_MAINFRAME_THEME_ATTRIBUTES_H

#include <optional>

#include <wx/window.h>

class ThemeAttributes {
public:
    // Forgets what it holds whenever window learns that the system colours or theme changed.
    // window must outlive this object (a member of the window does).
    explicit ThemeAttributes(wxWindow& window);
    ~ThemeAttributes();
    ThemeAttributes(const ThemeAttributes&) = delete;
    ThemeAttributes& operator=(const ThemeAttributes&) = delete;

    // What lookup gives, asked once per theme.
    template <typename Lookup>
    const wxVisualAttributes& Get(Lookup lookup) const
    {
        if (!attributes)
            attributes = lookup();
        return *attributes;
    }

private:
    void OnThemeChanged(wxSysColourChangedEvent& event);

    wxWindow& window;
    mutable std::optional<wxVisualAttributes> attributes;
};

#endif
