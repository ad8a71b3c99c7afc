// SPDX-License-Identifier: GPL-3.0-or-later
#include "instant_states.h"

#include <wx/window.h>

#ifdef __WXGTK3__
#include <gtk/gtk.h>

namespace {

// The style class that marks a window whose controls change state at once.
constexpr const char kInstantClass[] = "kerv-instant-states";

// Installs, once per process, the style that drops the transitions below a marked window.
// It outranks the theme and leaves everything but the transitions to it.
void InstallInstantStyle(GdkScreen* screen)
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    const wxString css =
        wxString::Format(".%s, .%s * { transition: none; }", kInstantClass, kInstantClass);
    gtk_css_provider_load_from_data(provider, css.utf8_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace
#endif

void ChangeStatesInstantly(wxWindow& window)
{
#ifdef __WXGTK3__
    auto* widget = static_cast<GtkWidget*>(window.GetHandle());
    GdkScreen* screen = gdk_screen_get_default();
    if (widget == nullptr || screen == nullptr)
        return;
    InstallInstantStyle(screen);
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), kInstantClass);
#else
    (void)window;
#endif
}
