// SPDX-License-Identifier: GPL-3.0-or-later
#include "theme_attributes.h"

#include <wx/event.h>

ThemeAttributes::ThemeAttributes(wxWindow& window) : window(window)
{
    window.Bind(wxEVT_SYS_COLOUR_CHANGED, &ThemeAttributes::OnThemeChanged, this);
}

ThemeAttributes::~ThemeAttributes()
{
    window.Unbind(wxEVT_SYS_COLOUR_CHANGED, &ThemeAttributes::OnThemeChanged, this);
}

void ThemeAttributes::OnThemeChanged(wxSysColourChangedEvent& event)
{
    attributes.reset();
    event.Skip();
}
