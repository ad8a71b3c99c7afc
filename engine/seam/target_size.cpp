// SPDX-License-Identifier: GPL-3.0-or-later
#include "target_size.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace target {

namespace {

// Truncates toward zero; values beyond the int range saturate instead of overflowing.
int TruncateToInt(long double value)
{
    if (!(value < static_cast<long double>(INT_MAX) + 1))
        return INT_MAX;
    if (!(value > static_cast<long double>(INT_MIN) - 1))
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

int ReadLeadingInteger(const std::string& text)
{
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int PercentOf(int original, int percent)
{
    return TruncateToInt(static_cast<long double>(original) * percent / 100);
}

int HeightForWidth(int width, int originalWidth, int originalHeight)
{
    const long double ratio = static_cast<long double>(originalWidth) / originalHeight;
    return TruncateToInt(width / ratio);
}

int WidthForHeight(int height, int originalWidth, int originalHeight)
{
    const long double ratio = static_cast<long double>(originalHeight) / originalWidth;
    return TruncateToInt(height / ratio);
}

bool IsCarvableSize(long long width, long long height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

}  // namespace target
