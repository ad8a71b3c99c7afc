// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's forward energy, seam picture and object removal against the plain carvers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <wx/image.h>

#include "cli_runner.h"
#include "forward_reference.h"
#include "reference_carver.h"

namespace {

// A mask over the picture: red inside a disc, green in a band of columns, black elsewhere.
struct Mask {
    wxImage image;
    std::vector<int> delta;  // red - green per pixel
};

Mask PaintMask(int width, int height, int discX, int discY, int radius, int bandLeft, int bandRight,
               int bandTop, int bandBottom)
{
    Mask mask{wxImage(width, height, true), std::vector<int>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x - discX) * (x - discX) + (y - discY) * (y - discY) < radius * radius) {
                mask.image.SetRGB(x, y, 255, 0, 0);
                mask.delta[y * width + x] = 255;
            } else if (x >= bandLeft && x < bandRight && y >= bandTop && y < bandBottom) {
                mask.image.SetRGB(x, y, 0, 255, 0);
                mask.delta[y * width + x] = -255;
            }
        }
    }
    return mask;
}

TEST(CliForwardEnergy, MaskedResizeMatchesTheForwardReference)
{
    ScratchFolder folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    const Mask mask = PaintMask(input.width, input.height, 200, 130, 60, 20, 60, 0, input.height);
    ASSERT_TRUE(mask.image.SaveFile(folder.File("mask.bmp")));
    const CliResult run =
        RunCli({SamplePath("chelsea.png"), folder.File("out.png"), "--width", "420", "--height",
                "280", "--mask", folder.File("mask.bmp"), "--energy-mode", "forward"});
    ASSERT_EQ(run.status, 0) << run.stderrText;

    reference::ForwardCarver ref(input.rgb, input.width, input.height);
    ref.AddEnergy(mask.delta);
    const int dw = input.width - 420, dh = input.height - 280;
    for (int i = 0; i < std::max(dw, dh); ++i) {
        if (i < dh)
            ref.SeamHorz(true);
        if (i < dw)
            ref.SeamVert(true);
    }
    const RgbPicture output = ReadPicture(folder.File("out.png"));
    ASSERT_EQ(output.width, 420);
    ASSERT_EQ(output.height, 280);
    EXPECT_TRUE(output.rgb == ref.pixels) << "pixels differ from the forward reference";

    EXPECT_EQ(RunCli({SamplePath("chelsea.png"), folder.File("x.png"), "--energy-mode=backward"})
                  .stderrText,
              "kerv-cli: error: malformed value 'backward' for --energy-mode (expected sobel or "
              "forward) (see kerv-cli --help)\n");
}

}  // namespace
