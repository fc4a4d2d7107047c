#pragma once
// Direct drawing into a 32-bit picture for the mesh chart's cell painter.
//
// A whole-mesh paint is a hundred thousand small polygons; one device call
// each costs more than the pixels it sets. TCellRaster writes the pixels
// itself and leaves exactly the pixels the painter device leaves for the
// same calls: polygons filled by pixel centres (a centre on the left edge
// stays out, one on the right edge is in) and outlined with the one-pixel
// pen's stepping, joins and end pixels; lines as LineTo draws them. It
// takes whole-pixel points inside the picture (a polygon may reach one row
// below it) and lines that run forward along their major axis; the caller
// checks that with Holds and ForwardLine and uses the device otherwise.

#include "platform/graphics/GraphicsTypes.h"

#include <QtGui/QRgb>

#include <cstdint>
#include <vector>

namespace lp {

class TBitmap;

class TCellRaster {
public:
    // Draws into Picture, which must stay alive and untouched by its canvas
    // while the raster is in use.
    explicit TCellRaster(TBitmap& Picture);

    // Whether every point lies where the raster draws as the device does.
    bool Holds(const TPoint* Points, int Count) const;
    // Whether a line from From to To runs forward along its major axis.
    static bool ForwardLine(TPoint From, TPoint To);

    // Fills the polygon with Fill, or with Pattern (8 x 8 pixels row by row,
    // repeated from the picture's origin) when given, then outlines it with
    // Pen. The polygon is closed.
    void Polygon(const TPoint* Points, int Count, QRgb Pen, QRgb Fill, const QRgb* Pattern);
    // A forward line without its end pixel (a line of no length is its
    // point).
    void Line(TPoint From, TPoint To, QRgb Color);
    void Pixel(int X, int Y, QRgb Color);

private:
    // One outline segment in 1/64 pixels; Draw false only advances the
    // stepping state (the segment that closes a polygon starts it).
    void Segment(int X1, int Y1, int X2, int Y2, QRgb Color, bool Draw);
    void ResetStepping();
    void Fill(const TPoint* Points, int Count, QRgb Color, const QRgb* Pattern);

    QRgb* FBits = nullptr;
    int FWidth = 0, FHeight = 0;
    int64_t FStride = 0;  // pixels per row
    // Stepping state carried from one outline segment to the next.
    TPoint FLastPixel{};
    bool FHasLastPixel = false;
    int FLastDirection = 0;
    bool FLastAxisAligned = false;
    struct TCrossing {
        int64_t Num, Den;  // x = Num / Den, Den > 0
    };
    std::vector<TCrossing> FCrossings;
};

} // namespace lp
