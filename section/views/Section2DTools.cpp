// The mouse tools of the mesh chart: the boundary hit test of the tools that
// add, remove and resize columns and rows, with their pointer shapes, and the
// cell selection on a mask of one pixel per cell.
#include "section/views/Section2D.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/ui/Application.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

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

// Mask colours: a candidate of the MagicWand, a selected cell.
constexpr TColor WandCandidate = clBlue;
constexpr TColor MaskSelected = clRed;

// Mask pixels are read and written through the rows of the bitmap (blue,
// green, red, unused bytes): one device call per pixel would cost more than
// the whole selection.
void PutMaskPixel(uint8_t* Line, int X, TColor Color)
{
    uint8_t* pixel = Line + 4 * X;
    pixel[0] = static_cast<uint8_t>(Color >> 16);
    pixel[1] = static_cast<uint8_t>(Color >> 8);
    pixel[2] = static_cast<uint8_t>(Color);
    pixel[3] = 0xFF;
}

TColor MaskPixel(const uint8_t* Line, int X)
{
    const uint8_t* pixel = Line + 4 * X;
    return static_cast<TColor>(pixel[2] | pixel[1] << 8 | pixel[0] << 16);
}

} // namespace

void TTModelSection2d::SetPointerShape(TCursor Shape)
{
    if (Cursor() != Shape)
        ShowCursor(Shape);
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
    // Each boundary where it crosses the pointer's x (blended toward level lines with depth).
    const bool inColumn = CurCol >= 0 && CurCol <= LastCol && CurCol + 1 < ReliefShift.Length();
    arofdoubleM shown = RowBounds;
    for (int i = 0; i < shown.Length(); ++i)
        shown[i] += inColumn ? BoundaryShiftAt(CurCol, PointerX, i) : 0.0;
    const int best = NearestIndex(shown, 0.0, Z);
    if (best >= 0)
        PixelDistance = std::abs(ZToCellPixel(shown[best]) - ZToCellPixel(Z));
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

void TTModelSection2d::FillWandMask(TCanvas& Mask, int C, int R, double Tolerance)
{
    const ararofdoubleM& layer = Layers[CurrentLayer];
    const double seed = layer[C][R];
    for (int r = 0; r <= LastRow; ++r) {
        uint8_t* line = FMaskBitmap->ScanLine(r);
        for (int c = 0; c <= LastCol; ++c) {
            const double value = layer[c][r];
            const bool near = value == seed || ColorScalePercent(value, seed) < Tolerance;
            PutMaskPixel(line, c, near ? WandCandidate : clBlack);
        }
    }
    // The brush (red) floods the candidates 4-connected to the seed.
    Mask.Handle().ExtFloodFill(C, R, WandCandidate, FLOODFILLSURFACE);
}

void TTModelSection2d::SelectCells(int C, int R, TPoint& EndCell, TPoint& StartCell, const pointarray& Points,
                                   double Tolerance, int Shape)
{
    if (C < 0 || C > LastCol || R < 0 || R > LastRow)
        return;
    FloatingCells = DynArray<FloatingCell>();
    const int cols = LastCol + 1, rows = LastRow + 1;
    if (!FMaskBitmap)
        FMaskBitmap = std::make_unique<TBitmap>();
    if (FMaskBitmap->Width() != cols || FMaskBitmap->Height() != rows)
        FMaskBitmap->SetSize(cols, rows);
    TCanvas& mask = FMaskBitmap->Canvas();
    mask.Brush().SetBitmap(nullptr);
    mask.Brush().SetStyle(TBrush::bsSolid);
    mask.Brush().SetColor(clWhite);
    mask.FillRect(TRect{0, 0, cols, rows});
    mask.Brush().SetColor(MaskSelected);
    mask.Pen().SetColor(MaskSelected);
    const TRect spanned{std::min(StartCell.X, EndCell.X), std::min(StartCell.Y, EndCell.Y),
                        std::max(StartCell.X, EndCell.X) + 1, std::max(StartCell.Y, EndCell.Y) + 1};
    switch (Shape) {
    case 0:
    case 6: FillWandMask(mask, C, R, Tolerance); break;
    case 3:
        if (Points.Length() > 0)
            mask.Polygon(std::vector<TPoint>(Points.begin(), Points.end()));
        break;
    case 4: mask.FillRect(spanned); break;
    case 5: mask.Ellipse(spanned.Left, spanned.Top, spanned.Right, spanned.Bottom); break;
    default: break;
    }
    const TBitmap& pixels = *FMaskBitmap;
    for (int r = 0; r < rows; ++r) {
        const uint8_t* line = pixels.ScanLine(r);
        for (int c = 0; c < cols; ++c) {
            const bool inside = MaskPixel(line, c) == MaskSelected;
            if (inside == static_cast<bool>(Selected[c][r]) || (!inside && Shape == 6))
                continue;
            Selected[c][r] = inside;
            PaintSingleCell(c, r);
        }
    }
}

} // namespace lp
