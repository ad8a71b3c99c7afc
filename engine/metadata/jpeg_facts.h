// SPDX-License-Identifier: GPL-3.0-or-later
// What a JPEG file's header says about how it was written: its quantisation tables (hence its
// quality) and its JFIF pixel density.
#ifndef KERV_METADATA_JPEG_FACTS_H
#define KERV_METADATA_JPEG_FACTS_H

#include <array>
#include <istream>
#include <optional>
#include <vector>

#include "picture_metadata.h"

// One quantisation table in natural (row-major) order, as the encoder's quality made it.
using QuantTable = std::array<int, 64>;

struct JpegFacts {
    // Indexed by the table's slot (0..3); a slot no DQT segment filled stays empty.
    std::array<std::optional<QuantTable>, 4> tables;
    PictureResolution density;  // from the JFIF APP0 segment, when it gives a unit
};

// Walks the segments from SOI up to the first SOS. Nothing when the stream is no JPEG.
std::optional<JpegFacts> ReadJpegFacts(std::istream& in);

// The quality 1..100 that ImageMagick reports for these tables: the tables' sum and four of
// their entries are compared with those of the IJG standard tables scaled for every quality
// (libjpeg's scaling), best quality first. 0 when there is no luminance table, or when the
// tables lie below quality 51 and match none of the scaled tables.
int EstimateJpegQuality(const std::array<std::optional<QuantTable>, 4>& tables);

#endif
