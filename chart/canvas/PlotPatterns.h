#pragma once
// The chart library's 49 brush pattern bitmaps, "BBitmap1" .. "BBitmap49".
//
// Brush styles 8 and above select pattern style - 8 (TPlotCanvas::
// AssignBrushColor); the brush dialog shows them as its pattern items. Each
// is an 8 x 8 monochrome bitmap carried by the program itself: set (black)
// pixels draw in the brush colour, white is the transparent colour.

#include "platform/base/DynArray.h"

#include <QtCore/QString>

#include <cstdint>

namespace lp {

class TBitmap;

inline constexpr int PatternBitmapCount = 49;

// The eight rows of a pattern, top first; bit 7 is the leftmost pixel and a
// set bit is black. ERangeError outside 0 .. PatternBitmapCount - 1.
FixedArray<uint8_t, 8> PatternBits(int PatternIndex);

// Loads pattern PatternIndex (resource "BBitmap" + (PatternIndex + 1)) into
// Bitmap: 8 x 8, monochrome, transparent with white as the transparent
// colour. ERangeError for an index without a pattern.
void LoadBrushStyleBitmap(int PatternIndex, TBitmap& Bitmap);

// The pattern index of a resource name, compared without regard to case
// ("bbitmap7" → 6); -1 when the program carries no such resource.
int PatternIndexOfResource(const QString& ResourceName);

// Loads the pattern resource of that name (case ignored) like
// LoadBrushStyleBitmap; ERangeError "Pattern resource not found" otherwise.
void LoadPatternResource(const QString& ResourceName, TBitmap& Bitmap);

} // namespace lp
