// SPDX-License-Identifier: GPL-3.0-or-later
// The picture formats the programs read and write.
#ifndef KERV_ENGINE_PICTURE_HANDLERS_H
#define KERV_ENGINE_PICTURE_HANDLERS_H

// Fills wxFastImage's reader list in this order, which decides who reads a file of unknown
// type: BMP, PNG, JPEG, TIFF, GIF, PNM, PCX, ICO, CUR, ANI, TGA.
void AddFastImageHandlers();

// Fills both handler lists: the toolkit's own (used for writing pictures and masks), then
// wxFastImage's.
void AddPictureHandlers();

#endif
