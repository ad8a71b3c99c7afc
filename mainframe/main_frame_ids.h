// SPDX-License-Identifier: GPL-3.0-or-later
// Window and command identifiers of the main window. The event tables bind handlers by these
// numbers; 111 and 123 are unused. Windows without an entry here use wxID_ANY.
#ifndef KERV_MAINFRAME_MAIN_FRAME_IDS_H
#define KERV_MAINFRAME_MAIN_FRAME_IDS_H

enum {
    ID_PAINT_PANEL = 101,
    ID_SPIN_WIDTH = 102,
    ID_SPIN_HEIGHT = 103,
    ID_ABS_WIDTH = 104,    // textAbsWidth and spinAbsWidth share it
    ID_ABS_HEIGHT = 105,   // textAbsHeight and spinAbsHeight
    ID_PERC_WIDTH = 106,   // textPercWidth and spinPercWidth
    ID_PERC_HEIGHT = 107,  // textPercHeight and spinPercHeight
    ID_SPLITTER = 108,
    ID_SLIDER_WIDTH = 109,
    ID_SLIDER_HEIGHT = 110,
    ID_BTN_RESET_SIZE = 112,
    ID_BTN_KERV = 113,
    ID_BTN_STORE_MASK = 114,
    ID_BTN_RECALL_MASK = 115,
    ID_BTN_SAVE_MASK = 116,
    ID_BTN_LOAD_MASK = 117,
    ID_BTN_CLEAR_MASK = 118,
    ID_CHK_ASPECT = 119,
    ID_TOOL_OPEN = 120,
    ID_TOOL_SAVE = 121,
    ID_COMBO_ZOOM = 122,
    ID_CHK_ENABLE_MASK = 124,
    ID_BTN_PROGRESS_CANCEL = 125,
    ID_MENU_OPEN = 126,
    ID_MENU_SAVE = 127,
    ID_MENU_EXIT = 128,
    ID_MENU_HELP_CONTENTS = 129,
    ID_MENU_ABOUT = 130,
    ID_MENU_CHECK_UPDATE = 131,
    ID_MENU_CHANGELOG = 132,
    ID_BTN_CHECK_UPDATE = 133,
    ID_MENU_DONATE = 134,
    ID_BTN_DONATE = 135,
    ID_COPY = 136,  // menu Edit, Copy and the Copy tool
    ID_TIMER_STARTUP = 137,
    ID_TIMER_WIDTH = 138,
    ID_TIMER_HEIGHT = 139,
    ID_TIMER_ZOOM = 140,
    ID_MRU_FIRST = 141,  // the file history's nine entries: 141 to 149
    ID_MRU_LAST = 149,
    ID_MENU_UNDO = 150,
    ID_MENU_REDO = 151,
    ID_BTN_REMOVE_OBJECT = 152,
    ID_CHOICE_ENERGY = 153,
    ID_MENU_SHOW_ENERGY = 154,
    ID_MENU_SHOW_SEAMS = 155,
    ID_MENU_ZOOM_IN = 160,  // View menu
    ID_MENU_ZOOM_OUT = 161,
    ID_MENU_ZOOM_ACTUAL = 162,
    ID_MENU_ZOOM_FIT = 163
};

// Capacity of the recent-files list; its entries take the ids ID_MRU_FIRST onwards.
constexpr int kMaxRecentFiles = ID_MRU_LAST - ID_MRU_FIRST + 1;

#endif
