// SPDX-License-Identifier: GPL-3.0-or-later
#include "reduced_view.h"

#include <cstddef>

#include "view_compose.h"

bool ReducedView::Key::operator==(const Key& other) const
{
    return picture == other.picture && cols == other.cols && rows == other.rows &&
           viewWidth == other.viewWidth && viewHeight == other.viewHeight &&
           generation == other.generation;
}

const unsigned char* ReducedView::Pixels(const unsigned char* picture, int cols, int rows,
                                         int viewWidth, int viewHeight, unsigned long generation)
{
    const Key wanted{picture, cols, rows, viewWidth, viewHeight, generation};
    if (wanted == kept && !pixels.empty())
        return pixels.data();
    pixels.resize(static_cast<size_t>(viewWidth) * static_cast<size_t>(viewHeight) * 3);
    canvasview::ZoomedPart(picture, cols, rows, viewWidth, viewHeight, 0, 0, viewWidth, viewHeight,
                           pixels.data());
    kept = wanted;
    return pixels.data();
}

void ReducedView::Forget()
{
    kept = Key();
    std::vector<unsigned char>().swap(pixels);
}
