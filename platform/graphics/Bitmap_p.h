#pragma once
// The BMP file form of a bitmap, shared by the bitmap's reader and writer.

#include "platform/graphics/Bitmap.h"

#include <QtCore/QByteArray>
#include <QtGui/QImage>

namespace lp {

// The whole BMP file of Pixels stored at Format's depth, bottom row first:
// 1 bit black and white (pixels darker than mid-grey are black); 4 and 8
// bits through a colour table holding the picture's own colours when they
// fit, else the sixteen standard colours (nearest match) or a colour cube
// with error diffusion; 15 bits as 5-5-5 and 16 bits as 5-6-5 words (the
// latter with its channel masks); 24 bits; 32 bits with the fourth byte
// zero. The device's own format is written as 24 bits.
QByteArray EncodeBitmapFile(const QImage& Pixels, TBitmap::TPixelFormat Format);

// The pixel format a BMP file was stored at, read from its header (which
// the reader has checked): its bit count and, for 16 bits, its green mask.
TBitmap::TPixelFormat BitmapFilePixelFormat(const QByteArray& File);

} // namespace lp
