// SPDX-License-Identifier: GPL-3.0-or-later
// ReducedView: the whole zoomed picture at a zoom whose scaling averages blocks
// (canvasview::AveragesBlocks). Averaging reads every picture pixel behind the visible part, so
// it is done once for the whole view and kept while the picture, its generation and the view's
// size stay the same; a repaint then only copies the visible part out of it.
#ifndef KERV_CANVAS_REDUCED_VIEW_H
#define KERV_CANVAS_REDUCED_VIEW_H

#include <vector>

class ReducedView {
public:
    // The view of picture (cols x rows, tightly packed RGB) scaled to viewWidth x viewHeight,
    // tightly packed RGB; computed again only when one of the arguments differs from the last
    // call's. generation must change whenever the picture's pixels may have changed in place.
    const unsigned char* Pixels(const unsigned char* picture, int cols, int rows, int viewWidth,
                                int viewHeight, unsigned long generation);
    // Lets go of the kept view.
    void Forget();

private:
    struct Key {
        const unsigned char* picture = nullptr;
        int cols = 0;
        int rows = 0;
        int viewWidth = 0;
        int viewHeight = 0;
        unsigned long generation = 0;
        bool operator==(const Key& other) const;
    };
    Key kept;
    std::vector<unsigned char> pixels;
};

#endif
