// Cell painting of the mesh chart: one cell, the whole mesh and partial
// repaints into the cell picture; the pointer highlight, the after-draw pass
// and the status texts.
#include "section/views/Section2D.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "section/views/CellRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace lp {

namespace {

TColor MixedColor(TColor A, TColor B)
{
    TColor mixed = 0;
    for (int shift : {0, 8, 16}) {
        const int channel = RoundToInt32((((A >> shift) & 0xFF) + ((B >> shift) & 0xFF)) / 2.0);
        mixed |= channel << shift;
    }
    return mixed;
}

QRgb ToQRgb(TColor Color)
{
    return qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

// The dots of the 8 x 8 pattern of selected and fixed cells.
constexpr std::array<TPoint, 8> HatchDots{{{0, 0}, {4, 0}, {2, 2}, {6, 2}, {0, 4}, {4, 4}, {2, 6}, {6, 6}}};

// The points of a mesh-less cell: its right and bottom edges stay one pixel
// inside, except at the mesh's last column and row.
std::array<TPoint, 5> InnerQuad(int x1, int x2, int y1, int y2, int y3, int y4, int eC, int eR)
{
    return {{{x1, y1}, {x1, y2 - 1 + eR}, {x2 - 1 + eC, y4 - 1 + eR}, {x2 - 1 + eC, y3}, {x1, y1}}};
}

} // namespace

// Where a cell is drawn: through a canvas, or straight into the cell
// picture's pixels, which gives the same pixels without a device call per
// shape.
class TTModelSection2d::TCellTarget {
public:
    virtual ~TCellTarget() = default;
    virtual void SetBrush(TColor CellColor, bool Hatched, TColor DotColor) = 0;
    // A filled polygon outlined in Pen.
    virtual void Polygon(const TPoint* Points, int Count, TColor Pen) = 0;
    // A border: the line and its end pixel.
    virtual void Border(TPoint From, TPoint To, TColor Color) = 0;
};

namespace {

class TCanvasTarget final : public TTModelSection2d::TCellTarget {
public:
    TCanvasTarget(TTModelSection2d& Chart, TCanvas& Canvas) : FChart(Chart), FCanvas(Canvas) {}
    void SetBrush(TColor CellColor, bool Hatched, TColor DotColor) override
    {
        FCanvas.Brush().SetColor(CellColor);
        FChart.SetCellBrush(FCanvas.Brush(), CellColor, Hatched, DotColor);
    }
    void Polygon(const TPoint* Points, int Count, TColor Pen) override
    {
        FCanvas.Pen().SetColor(Pen);
        FCanvas.Polygon(std::vector<TPoint>(Points, Points + Count));
    }
    void Border(TPoint From, TPoint To, TColor Color) override
    {
        FCanvas.Pen().SetColor(Color);
        FCanvas.MoveTo(From.X, From.Y);
        FCanvas.LineTo(To.X, To.Y);
        // A line leaves out its end pixel; a border includes it.
        FCanvas.SetPixel(To.X, To.Y, Color);
    }

private:
    TTModelSection2d& FChart;
    TCanvas& FCanvas;
};

class TRasterTarget final : public TTModelSection2d::TCellTarget {
public:
    explicit TRasterTarget(TCellRaster& Raster) : FRaster(Raster) {}
    void SetBrush(TColor CellColor, bool Hatched, TColor DotColor) override
    {
        FFill = ToQRgb(CellColor);
        FHatched = Hatched;
        if (!Hatched)
            return;
        FPattern.fill(FFill);
        for (TPoint d : HatchDots)
            FPattern[d.Y * 8 + d.X] = ToQRgb(DotColor);
    }
    void Polygon(const TPoint* Points, int Count, TColor Pen) override
    {
        FRaster.Polygon(Points, Count, ToQRgb(Pen), FFill, FHatched ? FPattern.data() : nullptr);
    }
    void Border(TPoint From, TPoint To, TColor Color) override
    {
        FRaster.Line(From, To, ToQRgb(Color));
        FRaster.Pixel(To.X, To.Y, ToQRgb(Color));
    }

private:
    TCellRaster& FRaster;
    QRgb FFill = 0;
    bool FHatched = false;
    std::array<QRgb, 64> FPattern{};
};

} // namespace

TBitmap& TTModelSection2d::CellPicture()
{
    return ImageTool->Picture()->Bitmap();
}

TTModelSection2d::TCellCorners TTModelSection2d::CornersOf(int C, int R) const
{
    return {XToCellPixel(ColBounds[C]),
            XToCellPixel(ColBounds[C + 1]),
            ZToCellPixel(BoundaryShift(C, R) + RowBounds[R]),
            ZToCellPixel(BoundaryShift(C, R + 1) + RowBounds[R + 1]),
            ZToCellPixel(BoundaryShift(C + 1, R) + RowBounds[R]),
            ZToCellPixel(BoundaryShift(C + 1, R + 1) + RowBounds[R + 1])};
}

void TTModelSection2d::SetCellBrush(TBrush& Brush, TColor CellColor, bool Hatched, TColor DotColor)
{
    Brush.SetBitmap(nullptr);
    if (!Hatched)
        return;
    if (!FHatchBitmap)
        FHatchBitmap = std::make_unique<TBitmap>(8, 8);
    // Written straight into the pattern's rows: a device call per pixel
    // would cost more than the cell it paints. A brush made earlier keeps
    // its own copy of the pattern.
    const QRgb cell = ToQRgb(CellColor), dot = ToQRgb(DotColor);
    for (int y = 0; y < 8; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(FHatchBitmap->ScanLine(y)), 8, cell);
    for (TPoint d : {TPoint{0, 0}, {4, 0}, {2, 2}, {6, 2}, {0, 4}, {4, 4}, {2, 6}, {6, 6}})
        reinterpret_cast<QRgb*>(FHatchBitmap->ScanLine(d.Y))[d.X] = dot;
    Brush.SetBitmap(FHatchBitmap.get());
}

bool TTModelSection2d::RasterTakes(const TCellRaster& Raster, const TCellCorners& K)
{
    // Every point the cell's shapes use lies in the picture (the relief
    // fill reaches its bottom edge), and every border runs forward.
    const int h = CellPicture().Height();
    const TPoint points[] = {{K.xL, K.yTL}, {K.xL, K.yBL}, {K.xR, K.yBR}, {K.xR, K.yTR}, {K.xL, h}, {K.xR, h}};
    return Raster.Holds(points, 6) && TCellRaster::ForwardLine(points[0], points[1]) &&
           TCellRaster::ForwardLine(points[0], points[3]) && TCellRaster::ForwardLine(points[3], points[2]) &&
           TCellRaster::ForwardLine(points[1], points[2]);
}

void TTModelSection2d::DrawCell(int C, int R, bool Isolated, TCanvas* Canvas)
{
    if (Canvas != nullptr) {
        TCanvasTarget target(*this, *Canvas);
        DrawCellOn(target, CornersOf(C, R), C, R, Isolated);
        return;
    }
    // A picture without pixels (before the first layout) takes no cells.
    TBitmap& picture = CellPicture();
    if (picture.Empty())
        return;
    const TCellCorners k = CornersOf(C, R);
    TCellRaster raster(picture);
    if (RasterTakes(raster, k)) {
        TRasterTarget target(raster);
        DrawCellOn(target, k, C, R, Isolated);
    } else {
        TCanvasTarget target(*this, picture.Canvas());
        DrawCellOn(target, k, C, R, Isolated);
    }
    // A cell repainted alone into the picture shows at the next paint.
    Invalidate();
}

TColor FadedColor(TColor Color, double Share)
{
    TColor faded = 0;
    for (int shift : {0, 8, 16}) {
        const double channel = (Color >> shift) & 0xFF;
        faded |= static_cast<TColor>(RoundToInt32(channel + (255.0 - channel) * Share)) << shift;
    }
    return faded;
}

TColor TTModelSection2d::ShownCellColor(int C, int R)
{
    const TColor color = ValueToColor(CellValue(C, R));
    if (CellFade.Length() != LastCol + 1 || C < 0 || C > LastCol || CellFade[C].Length() != LastRow + 1)
        return color;
    const double share = CellFade[C][R];
    // A share that is not a number leaves the colour as it is.
    return share > 0.0 ? FadedColor(color, std::min(share, 1.0)) : color;
}

void TTModelSection2d::DrawCellOn(TCellTarget& Target, const TCellCorners& K, int C, int R, bool Isolated)
{
    const TColor cellColor = ShownCellColor(C, R);
    const bool selected = Selected[C][R], fixed = Fixed[C][R];
    const TColor dotColor = selected && fixed ? MixedColor(FixedDotColor, SelectedDotColor)
                            : selected        ? SelectedDotColor
                                              : FixedDotColor;
    Target.SetBrush(cellColor, selected || fixed, dotColor);

    if (R == LastRow && ReliefX.Length() >= 3) {
        const int h = CellPicture().Height();
        const TPoint below[] = {{K.xL, K.yBL}, {K.xR, K.yBR}, {K.xR, h}, {K.xL, h}};
        Target.Polygon(below, 4, cellColor);
    }
    if (ShowMesh) {
        const TPoint quad[] = {{K.xL, K.yTL}, {K.xL, K.yBL}, {K.xR, K.yBR}, {K.xR, K.yTR}, {K.xL, K.yTL}};
        Target.Polygon(quad, 5, MeshLineColor);
    } else if (K.yTL != K.yTR || K.yBL != K.yBR) {
        // A sheared cell: one pixel in from a slanted edge is no line the
        // neighbour's outline meets, and pixels between the two stay
        // unpainted. The whole quadrilateral, outline on the shared edges,
        // leaves none (the cell drawn later keeps the common edge).
        const TPoint quad[] = {{K.xL, K.yTL}, {K.xL, K.yBL}, {K.xR, K.yBR}, {K.xR, K.yTR}, {K.xL, K.yTL}};
        Target.Polygon(quad, 5, cellColor);
    } else if (std::abs(K.yTL - K.yBL) > 0 && std::abs(K.xL - K.xR) > 0) {
        const auto quad = InnerQuad(K.xL, K.xR, K.yTL, K.yBL, K.yTR, K.yBR, C == LastCol, R == LastRow);
        Target.Polygon(quad.data(), 5, cellColor);
    }
    if (ShowBorders && K.yBL - K.yTL >= 2 && K.xR - K.xL >= 2)
        DrawBorders(Target, K, C, R, Isolated);
}

void TTModelSection2d::DrawBorders(TCellTarget& Target, const TCellCorners& K, int C, int R, bool Isolated)
{
    const double value = CellValue(C, R);
    const auto differs = [&](int c, int r) { return ColorScalePercent(value, CellValue(c, r)) > BorderThreshold; };
    if (C == 0 || differs(C - 1, R))
        Target.Border({K.xL, K.yTL}, {K.xL, K.yBL}, BorderColor);
    if (R == 0 || differs(C, R - 1))
        Target.Border({K.xL, K.yTL}, {K.xR, K.yTR}, BorderColor);
    if (C == LastCol || (Isolated && differs(C + 1, R)))
        Target.Border({K.xR, K.yTR}, {K.xR, K.yBR}, BorderColor);
    if (Isolated && R != LastRow && differs(C, R + 1))
        Target.Border({K.xL, K.yBL}, {K.xR, K.yBR}, BorderColor);
}

void TTModelSection2d::PaintCells(TCanvas* Canvas)
{
    PaintAllCells(Canvas);
    // The window's buffer still shows the cells painted before.
    if (Canvas == nullptr)
        Invalidate();
}

void TTModelSection2d::PaintAllCells(TCanvas* Canvas)
{
    if (Layers.Length() == 0)
        return;
    if (Canvas == nullptr && CellPicture().Empty()) {
        CurCol = 0;
        CurRow = 0;
        return;
    }
    TCanvas& canvas = Canvas != nullptr ? *Canvas : CellPicture().Canvas();
    const auto paintAll = [&](TCellTarget& Target) {
        for (int c = 0; c <= LastCol; ++c)
            for (int r = 0; r <= LastRow; ++r)
                DrawCellOn(Target, CornersOf(c, r), c, r, false);
    };
    // The cell picture takes the pixels straight when every cell fits.
    bool painted = false;
    if (Canvas == nullptr) {
        TCellRaster raster(CellPicture());
        bool fits = true;
        for (int c = 0; c <= LastCol && fits; ++c)
            for (int r = 0; r <= LastRow && fits; ++r)
                fits = RasterTakes(raster, CornersOf(c, r));
        if (fits) {
            TRasterTarget target(raster);
            paintAll(target);
            painted = true;
        }
    }
    if (!painted) {
        TCanvasTarget target(*this, canvas);
        paintAll(target);
    }
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetColor(clWhite);
    CurCol = 0;
    CurRow = 0;
}

void TTModelSection2d::RedrawCell(int C, int R)
{
    if (ReadOnly || C < 0 || C > LastCol || R < 0 || R > LastRow)
        return;
    DrawCell(C, R, true);
}

void TTModelSection2d::RedrawColumnsAround(int I)
{
    if (I <= 0 || I >= LastCol + 1)
        return;
    for (int c = I - 1; c <= I; ++c)
        for (int r = 0; r <= LastRow; ++r)
            DrawCell(c, r, true);
}

void TTModelSection2d::RedrawRowsAround(int J)
{
    if (J <= 0 || J >= LastRow + 1)
        return;
    for (int r = J - 1; r <= J; ++r)
        for (int c = 0; c <= LastCol; ++c)
            DrawCell(c, r, true);
}

void TTModelSection2d::HighlightCell(int C, int R)
{
    if (ReadOnly)
        return;
    CellValueAtCursor = CellValue(C, R);
    const TCellCorners k = CornersOf(C, R);
    const int x1 = k.xL + 1, x2 = k.xR - 1, y1 = k.yTL + 1, y2 = k.yBL - 1, y3 = k.yTR + 1, y4 = k.yBR - 1;
    if (OnCellDrawn)
        OnCellDrawn(ColBounds[C], ColBounds[C + 1], BoundaryShift(C, R) + RowBounds[R],
                    BoundaryShift(C, R + 1) + RowBounds[R + 1], BoundaryShift(C + 1, R) + RowBounds[R],
                    BoundaryShift(C + 1, R + 1) + RowBounds[R + 1]);
    if (!(x2 - x1 > 0 && y2 - y1 > 0))
        return;
    TCanvas& canvas = CellPicture().Canvas();
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetStyle(TBrush::bsClear);
    canvas.Pen().SetColor(ValueToColor(CellValueAtCursor));
    canvas.Pen().SetMode(TPen::pmNot);
    if (ShowMesh) {
        canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y4}, {x2, y3}, {x1, y1}});
    } else {
        const auto quad = InnerQuad(x1, x2, y1, y2, y3, y4, C == LastCol, R == LastRow);
        canvas.Polygon(std::vector<TPoint>(quad.begin(), quad.end()));
    }
    canvas.Brush().SetStyle(TBrush::bsSolid);
    canvas.Pen().SetMode(TPen::pmCopy);
    Invalidate();
}

void TTModelSection2d::MeshAfterDraw()
{
    if (CurCol == -1 || CurRow == -1)
        return;
    const TRect r = ChartRectangle();
    TPlotCanvas& canvas = Canvas();
    DrawColorBar(r.Right + ColorBarGap, r.Top, ColorBarWidth, std::abs(r.Top - r.Bottom), canvas);
    canvas.Brush()->SetStyle(TBrush::bsSolid);
    canvas.Brush()->SetColor(clBlack);
    const auto mark = [&](double x, double z) {
        const int px = BottomAxis()->CalcPosValue(x), py = LeftAxis()->CalcPosValue(z);
        if (py >= r.Top)
            canvas.FillRect(TRect{px - 1, py - 3, px + 1, py});
    };
    // An anchored boundary is marked where it meets the relief.
    for (int i = 0; i < ColAnchored.Length() && i < ColBounds.Length() && i < ReliefShift.Length(); ++i)
        if (ColAnchored[i])
            mark(ColBounds[i], ModelTop + ReliefShift[i]);
    for (const complexM& point : MarkerPoints)
        mark(point.re, point.im);
}

void TTModelSection2d::UpdateStatusTexts()
{
    if (CurCol == -1 || CurRow == -1)
        return;
    const auto text = [](double v) { return QString::fromStdString(RealToText(0, true, v)); };
    PositionText = QStringLiteral("X:") + text(PointerX) + QStringLiteral(" Z:") + text(PointerZ) +
                   QStringLiteral(" cellX:") + QString::number(CurCol + 1) + QStringLiteral(" cellZ:") +
                   QString::number(CurRow + 1);
    ValueText = QStringLiteral("Value:") + text(CellValueAtCursor);
    if (Selected[CurCol][CurRow])
        ValueText += QStringLiteral(", selected");
    if (Fixed[CurCol][CurRow])
        ValueText += QStringLiteral(", fixed ");
    const complexM limits = Limits[CurCol][CurRow];
    if (limits.re < limits.im)
        ValueText += QStringLiteral("(Min:") + text(limits.re) + QStringLiteral(", Max:") + text(limits.im) +
                     QStringLiteral(")");
    if (!ReadOnly) {
        static const char* const names[] = {"Editing",          "Free-form selection", "MagicWand",
                                            "Elleptic selection", "Rect selection",    "Moving selection",
                                            "Add col/row",      "Remove col/row",      "Resize col/row"};
        if (ToolMode >= 1 && ToolMode <= 9)
            ModeText = QString::fromLatin1(names[ToolMode - 1]);
    }
}

} // namespace lp
