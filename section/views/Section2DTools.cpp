// The mouse tools of the mesh chart: the boundary hit test of the tools that
// add, remove and resize columns and rows, with their pointer shapes.
#include "section/views/Section2D.h"

#include "platform/ui/Application.h"

#include <cmath>
#include <cstdlib>

namespace lp {

namespace {

constexpr int NoDistance = 123456789;
// A boundary is hit within this many pixels of the pointer.
constexpr int HitPixels = 3;

// The index of the entry of Bounds (each plus Shift) nearest to V, the first
// on ties; -1 for an empty list.
int NearestIndex(const arofdoubleM& Bounds, double Shift, double V)
{
    int best = -1;
    double bestDistance = NoDistance;
    for (int i = 0; i < Bounds.Length(); ++i) {
        const double distance = std::abs(Bounds[i] + Shift - V);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

void TTModelSection2d::SetPointerShape(TCursor Shape)
{
    if (Cursor() != Shape)
        SetCursor(Shape);
}

int TTModelSection2d::NearestColBound(double X, int& PixelDistance) const
{
    PixelDistance = NoDistance;
    int best = NearestIndex(ColBounds, 0.0, X);
    // Anchored boundaries can be neither removed nor moved.
    const bool anchored = best >= 0 && best < ColAnchored.Length() && ColAnchored[best];
    if (anchored && (ToolMode == 8 || ToolMode == 9))
        best = -1;
    if (best >= 0)
        PixelDistance = std::abs(XToCellPixel(ColBounds[best]) - XToCellPixel(X));
    return best;
}

int TTModelSection2d::NearestRowBound(double Z, int& PixelDistance) const
{
    PixelDistance = NoDistance;
    const double shift = PointerReliefShift();
    const int best = NearestIndex(RowBounds, shift, Z);
    if (best >= 0)
        PixelDistance = std::abs(ZToCellPixel(RowBounds[best] + shift) - ZToCellPixel(Z));
    return best;
}

int TTModelSection2d::BoundAtPointer(int& Kind, double X, double Z)
{
    Kind = -1;
    int colDistance = 0, rowDistance = 0;
    const int col = NearestColBound(X, colDistance);
    const int row = NearestRowBound(Z, rowDistance);
    int result = -1;
    if (col != -1 && colDistance < rowDistance && colDistance < HitPixels) {
        Kind = 0;
        result = col;
    } else if (row != -1 && colDistance > rowDistance && rowDistance < HitPixels) {
        Kind = 1;
        result = row;
    }
    TCursor shape = crArrow;
    if (Kind != -1 && ToolMode >= 7 && ToolMode <= 9) {
        static constexpr TCursor columnShapes[] = {crSizeWE, crCross, crHSplit};
        static constexpr TCursor rowShapes[] = {crSizeNS, crCross, crVSplit};
        shape = (Kind == 0 ? columnShapes : rowShapes)[ToolMode - 7];
    }
    SetPointerShape(shape);
    return result;
}

} // namespace lp
