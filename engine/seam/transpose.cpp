// SPDX-License-Identifier: GPL-3.0-or-later
#include "transpose.h"

#include "simd.h"

namespace seam {

namespace {

typedef int Ints8 __attribute__((vector_size(32)));

// Transposes the 8 x 8 block at rows[y..y+7][column..column+7] into lanes[0..7][y..y+7], in
// three rounds of interleaving (32-bit, 64-bit and 128-bit halves). Only the vector paths
// take it; the scalar path copies cell by cell.
#if defined(__x86_64__)
__attribute__((target("avx2")))
#endif
void TransposeBlocks(const int* const* rows, int blockRows, int column, int* const* lanes)
{
    for (int y = 0; y < blockRows; y += 8) {
        Ints8 r[8];
        for (int i = 0; i < 8; ++i)
            __builtin_memcpy(&r[i], rows[y + i] + column, sizeof r[i]);
        Ints8 t[8];
        for (int i = 0; i < 8; i += 2) {
            t[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
            t[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
        }
        Ints8 u[8];
        for (int i = 0; i < 8; i += 4) {
            u[i] = __builtin_shufflevector(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            u[i + 1] = __builtin_shufflevector(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
            u[i + 2] = __builtin_shufflevector(t[i + 1], t[i + 3], 0, 1, 8, 9, 4, 5, 12, 13);
            u[i + 3] = __builtin_shufflevector(t[i + 1], t[i + 3], 2, 3, 10, 11, 6, 7, 14, 15);
        }
        for (int k = 0; k < 4; ++k) {
            const Ints8 low = __builtin_shufflevector(u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
            const Ints8 high = __builtin_shufflevector(u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
            __builtin_memcpy(lanes[k] + y, &low, sizeof low);
            __builtin_memcpy(lanes[k + 4] + y, &high, sizeof high);
        }
    }
}

}  // namespace

void GatherLanes(const int* const* rows, int rowCount, int column, int width, int* const* lanes)
{
    int done = 0;
    const bool blocks = ActiveSimdPath() != SimdPath::Scalar;
    const int blockRows = blocks ? rowCount & ~7 : 0;
    for (; blocks && done + 8 <= width; done += 8)
        TransposeBlocks(rows, blockRows, column + done, lanes + done);
    // What the blocks leave: the last columns, and the last rows of every column.
    for (int y = 0; y < rowCount; ++y) {
        const int* row = rows[y] + column;
        for (int k = y < blockRows ? done : 0; k < width; ++k)
            lanes[k][y] = row[k];
    }
}

}  // namespace seam
