// SPDX-License-Identifier: GPL-3.0-or-later
// Controls that change between enabled and disabled at once. The toolkit's theme fades a
// control from one look to the other over about a fifth of a second, repainting it at every
// frame; a run's yields would then spend their time painting the status bar's gauge and
// "Abort" fading in, which every run enables at its start.
#ifndef KERV_MAINFRAME_INSTANT_STATES_H
#define KERV_MAINFRAME_INSTANT_STATES_H

class wxWindow;

// window and every control inside it, now and later, change state without a transition.
// Does nothing where the toolkit has no such transitions.
void ChangeStatesInstantly(wxWindow& window);

#endif
