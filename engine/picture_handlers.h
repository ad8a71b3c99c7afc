// The picture formats the programs read and write.
#ifndef KERV_ENGINE_PICTURE_HANDLERS_H
#define KERV_ENGINE_PICTURE_HANDLERS_H

// Fills both handler lists: the toolkit's own (used for writing pictures and masks) and
// wxFastImage's (used for reading), the latter in this order, which decides who reads a file of
// unknown type: BMP, PNG, JPEG, TIFF, GIF, PNM, PCX, ICO, CUR, ANI, TGA.
void AddPictureHandlers();

#endif
