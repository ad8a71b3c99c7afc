// SPDX-License-Identifier: GPL-3.0-or-later
// exiv2 as this library uses it: silent (its warnings would only repeat our own reports).
#ifndef KERV_METADATA_EXIV2_SESSION_H
#define KERV_METADATA_EXIV2_SESSION_H

#include <exiv2/exiv2.hpp>

inline void SilenceExiv2()
{
    static const bool silenced = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    (void)silenced;
}

#endif
