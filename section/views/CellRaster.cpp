#include "section/views/CellRaster.h"

#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace lp {

namespace {

// Stepping directions of outline segments; a segment that turns straight
// back along the same axis gets its joint pixel.
enum : int { TopToBottom = 1, BottomToTop = 2, LeftToRight = 4, RightToLeft = 8, VerticalAxis = 3, HorizontalAxis = 12 };

// The slope in 16.16 fixed point, truncated as the device's stepping does.
int64_t FixedSlope(int64_t Minor, int64_t Major)
{
    return Minor * 65536 / Major;
}

int64_t FloorDiv(int64_t Num, int64_t Den)
{
    return Num >= 0 ? Num / Den : -((-Num + Den - 1) / Den);
}

} // namespace

TCellRaster::TCellRaster(TBitmap& Picture)
    : FWidth(Picture.Width()), FHeight(Picture.Height())
{
    // Larger pictures are left to the device (the crossings' exact
    // arithmetic needs the bound).
    constexpr int LargestSide = 32767;
    if (FWidth > 0 && FHeight > 0 && FWidth <= LargestSide && FHeight <= LargestSide) {
        FBits = reinterpret_cast<QRgb*>(Picture.ScanLine(0));
        FStride = Picture.Image().bytesPerLine() / static_cast<int64_t>(sizeof(QRgb));
    }
}

bool TCellRaster::Holds(const TPoint* Points, int Count) const
{
    if (FBits == nullptr)
        return false;
    return std::all_of(Points, Points + Count, [&](const TPoint& P) {
        return P.X >= 0 && P.X < FWidth && P.Y >= 0 && P.Y <= FHeight;
    });
}

bool TCellRaster::ForwardLine(TPoint From, TPoint To)
{
    const int dx = To.X - From.X, dy = To.Y - From.Y;
    return (std::abs(dx) >= std::abs(dy) ? dx : dy) >= 0;
}

void TCellRaster::Pixel(int X, int Y, QRgb Color)
{
    if (X >= 0 && Y >= 0 && X < FWidth && Y < FHeight)
        FBits[Y * FStride + X] = Color;
}

void TCellRaster::ResetStepping()
{
    FHasLastPixel = false;
    FLastDirection = 0;
    FLastAxisAligned = false;
}

void TCellRaster::Segment(int X1, int Y1, int X2, int Y2, QRgb Color, bool Draw)
{
    // Walk the major axis forward; the minor coordinate in 16.16 fixed point.
    const bool vertical = std::abs(X2 - X1) < std::abs(Y2 - Y1);
    int64_t major1 = vertical ? Y1 : X1, major2 = vertical ? Y2 : X2;
    int64_t minor1 = vertical ? X1 : Y1, minor2 = vertical ? X2 : Y2;
    int direction = vertical ? TopToBottom : LeftToRight;
    const bool swapped = major1 > major2;
    if (swapped) {
        std::swap(major1, major2);
        std::swap(minor1, minor2);
        direction *= 2;
    }
    const int64_t slope = major1 == major2 ? 0 : FixedSlope(minor2 - minor1, major2 - major1);
    const bool turnsBack = (FLastDirection ^ (vertical ? VerticalAxis : HorizontalAxis)) == direction;
    int64_t minor = minor1 * 1024;
    if (turnsBack && !swapped) {
        major1 -= 32;
        minor -= slope >> 1;
    }
    if (turnsBack && swapped)
        major2 += 32;
    int64_t step = (major1 + 32) >> 6, end = (major2 + 32) >> 6;
    if (step == end)
        return;
    const int64_t round = slope > 0 ? 32 : 0;
    minor += ((step * 64 + round - major1) * slope) >> 6;
    const auto at = [&](int64_t Major, int64_t Minor) {
        const int m = static_cast<int>(Major), n = static_cast<int>(Minor >> 16);
        return vertical ? TPoint{n, m} : TPoint{m, n};
    };
    TPoint first = at(step, minor), last = at(end - 1, minor + (end - step - 1) * slope);
    if (swapped)
        std::swap(first, last);
    const bool axisAligned = std::abs(slope) < (1 << 14);
    if (FHasLastPixel) {
        const int gapX = std::abs(FLastPixel.X - first.X), gapY = std::abs(FLastPixel.Y - first.Y);
        if (first == FLastPixel) {
            // The joint pixel is drawn once.
            if (swapped)
                --end;
            else {
                ++step;
                minor += slope;
            }
        } else if (FLastDirection != direction &&
                   ((axisAligned && FLastAxisAligned && gapX != 0 && gapY != 0) || gapX > 1 || gapY > 1)) {
            // A turn would leave a gap: one more pixel closes it.
            if (swapped)
                ++end;
            else {
                --step;
                minor -= slope;
            }
        } else if (FLastDirection == direction && gapX <= 1 && gapY > 1) {
            minor += slope >> 1;
            last = swapped ? at(step, minor) : at(end - 1, minor + (end - step - 1) * slope);
        }
    }
    FLastDirection = direction;
    FLastAxisAligned = axisAligned;
    if (Draw)
        for (int64_t m = step; m < end; ++m, minor += slope) {
            const TPoint p = at(m, minor);
            Pixel(p.X, p.Y, Color);
        }
    FLastPixel = last;
    FHasLastPixel = true;
}

void TCellRaster::Fill(const TPoint* Points, int Count, QRgb Color, const QRgb* Pattern)
{
    int top = FHeight, bottom = 0;
    for (int i = 0; i < Count; ++i) {
        top = std::min(top, Points[i].Y);
        bottom = std::max(bottom, Points[i].Y);
    }
    for (int y = std::max(top, 0); y < std::min(bottom, FHeight); ++y) {
        // Where the edges cross the row's pixel centres, exactly.
        FCrossings.clear();
        for (int i = 0; i < Count; ++i) {
            const TPoint a = Points[i], b = Points[(i + 1) % Count];
            if (a.Y == b.Y || y < std::min(a.Y, b.Y) || y >= std::max(a.Y, b.Y))
                continue;
            int64_t den = 2 * static_cast<int64_t>(b.Y - a.Y);
            int64_t num = a.X * den + static_cast<int64_t>(2 * (y - a.Y) + 1) * (b.X - a.X);
            if (den < 0) {
                den = -den;
                num = -num;
            }
            FCrossings.push_back({num, den});
        }
        std::sort(FCrossings.begin(), FCrossings.end(), [](const TCrossing& l, const TCrossing& r) {
            // Exact in 64 bits: numerators stay below 2^33 and denominators
            // below 2^17 on pictures of at most 32767 pixels a side.
            return l.Num * r.Den < r.Num * l.Den;
        });
        QRgb* line = FBits + y * FStride;
        for (size_t k = 0; k + 1 < FCrossings.size(); k += 2) {
            // Pixels whose centre lies after the left crossing and at or
            // before the right one.
            const TCrossing l = FCrossings[k], r = FCrossings[k + 1];
            const int64_t first = std::max<int64_t>(FloorDiv(2 * l.Num - l.Den, 2 * l.Den) + 1, 0);
            const int64_t last = std::min<int64_t>(FloorDiv(2 * r.Num - r.Den, 2 * r.Den), FWidth - 1);
            if (Pattern == nullptr) {
                std::fill(line + first, line + std::max(first, last + 1), Color);
                continue;
            }
            const QRgb* row = Pattern + (y & 7) * 8;
            for (int64_t x = first; x <= last; ++x)
                line[x] = row[x & 7];
        }
    }
}

void TCellRaster::Polygon(const TPoint* Points, int Count, QRgb Pen, QRgb Fill, const QRgb* Pattern)
{
    if (Count < 2)
        return;
    this->Fill(Points, Count, Fill, Pattern);
    ResetStepping();
    // The closing segment's stepping state carries into the first segment.
    for (int j = Count; j-- > 0;) {
        const TPoint a = Points[j], b = Points[(j + 1) % Count];
        if (a == b)
            continue;
        Segment(a.X * 64, a.Y * 64, b.X * 64, b.Y * 64, Pen, false);
        break;
    }
    for (int i = 0; i < Count; ++i) {
        const TPoint a = Points[i], b = Points[(i + 1) % Count];
        Segment(a.X * 64, a.Y * 64, b.X * 64, b.Y * 64, Pen, true);
    }
}

void TCellRaster::Line(TPoint From, TPoint To, QRgb Color)
{
    // The device draws a line of no length as its one point.
    if (From == To) {
        Pixel(From.X, From.Y, Color);
        return;
    }
    ResetStepping();
    Segment(From.X * 64, From.Y * 64, To.X * 64, To.Y * 64, Color, true);
}

} // namespace lp
