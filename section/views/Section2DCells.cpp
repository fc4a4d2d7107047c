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

#include <algorithm>
#include <cmath>

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

void DrawBorderLine(TCanvas& Canvas, TPoint From, TPoint To, TColor Color)
{
    Canvas.MoveTo(From.X, From.Y);
    Canvas.LineTo(To.X, To.Y);
    // A line leaves out its end pixel; a border includes it.
    Canvas.SetPixel(To.X, To.Y, Color);
}

QRgb ToQRgb(TColor Color)
{
    return qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

// The points of a mesh-less cell: its right and bottom edges stay one pixel
// inside, except at the mesh's last column and row.
std::vector<TPoint> InnerQuad(int x1, int x2, int y1, int y2, int y3, int y4, int eC, int eR)
{
    return {{x1, y1}, {x1, y2 - 1 + eR}, {x2 - 1 + eC, y4 - 1 + eR}, {x2 - 1 + eC, y3}, {x1, y1}};
}

} // namespace

TBitmap& TTModelSection2d::CellPicture()
{
    return ImageTool->Picture()->Bitmap();
}

TTModelSection2d::TCellCorners TTModelSection2d::CornersOf(int C, int R) const
{
    return {XToCellPixel(ColBounds[C]),
            XToCellPixel(ColBounds[C + 1]),
            ZToCellPixel(ReliefShift[C] + RowBounds[R]),
            ZToCellPixel(ReliefShift[C] + RowBounds[R + 1]),
            ZToCellPixel(ReliefShift[C + 1] + RowBounds[R]),
            ZToCellPixel(ReliefShift[C + 1] + RowBounds[R + 1])};
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

void TTModelSection2d::DrawCell(int C, int R, bool Isolated, TCanvas* Canvas)
{
    // A picture without pixels (before the first layout) takes no cells.
    if (Canvas == nullptr && CellPicture().Empty())
        return;
    TCanvas& canvas = Canvas != nullptr ? *Canvas : CellPicture().Canvas();
    const TCellCorners k = CornersOf(C, R);
    const TColor cellColor = ValueToColor(CellValue(C, R));
    canvas.Brush().SetColor(cellColor);
    const bool selected = Selected[C][R], fixed = Fixed[C][R];
    const TColor dotColor = selected && fixed ? MixedColor(FixedDotColor, SelectedDotColor)
                            : selected        ? SelectedDotColor
                                              : FixedDotColor;
    SetCellBrush(canvas.Brush(), cellColor, selected || fixed, dotColor);

    if (R == LastRow && ReliefX.Length() >= 3) {
        const int h = CellPicture().Height();
        canvas.Pen().SetColor(cellColor);
        canvas.Polygon({{k.xL, k.yBL}, {k.xR, k.yBR}, {k.xR, h}, {k.xL, h}});
    }
    if (ShowMesh) {
        canvas.Pen().SetColor(MeshLineColor);
        canvas.Polygon({{k.xL, k.yTL}, {k.xL, k.yBL}, {k.xR, k.yBR}, {k.xR, k.yTR}, {k.xL, k.yTL}});
    } else if (std::abs(k.yTL - k.yBL) > 0 && std::abs(k.xL - k.xR) > 0) {
        canvas.Pen().SetColor(cellColor);
        canvas.Polygon(InnerQuad(k.xL, k.xR, k.yTL, k.yBL, k.yTR, k.yBR, C == LastCol, R == LastRow));
    }
    if (ShowBorders && k.yBL - k.yTL >= 2 && k.xR - k.xL >= 2)
        DrawBorders(canvas, k, C, R, Isolated);
    // A cell repainted alone into the picture shows at the next paint.
    if (Canvas == nullptr)
        Invalidate();
}

void TTModelSection2d::DrawBorders(TCanvas& Canvas, const TCellCorners& K, int C, int R, bool Isolated)
{
    const double value = CellValue(C, R);
    const auto differs = [&](int c, int r) { return ColorScalePercent(value, CellValue(c, r)) > BorderThreshold; };
    Canvas.Pen().SetColor(BorderColor);
    if (C == 0 || differs(C - 1, R))
        DrawBorderLine(Canvas, {K.xL, K.yTL}, {K.xL, K.yBL}, BorderColor);
    if (R == 0 || differs(C, R - 1))
        DrawBorderLine(Canvas, {K.xL, K.yTL}, {K.xR, K.yTR}, BorderColor);
    if (C == LastCol || (Isolated && differs(C + 1, R)))
        DrawBorderLine(Canvas, {K.xR, K.yTR}, {K.xR, K.yBR}, BorderColor);
    if (Isolated && R != LastRow && differs(C, R + 1))
        DrawBorderLine(Canvas, {K.xL, K.yBL}, {K.xR, K.yBR}, BorderColor);
}

void TTModelSection2d::PaintCells(TCanvas* Canvas)
{
    if (Layers.Length() == 0)
        return;
    if (Canvas == nullptr && CellPicture().Empty()) {
        CurCol = 0;
        CurRow = 0;
        return;
    }
    TCanvas& canvas = Canvas != nullptr ? *Canvas : CellPicture().Canvas();
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r)
            DrawCell(c, r, false, &canvas);
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
        OnCellDrawn(ColBounds[C], ColBounds[C + 1], ReliefShift[C] + RowBounds[R], ReliefShift[C] + RowBounds[R + 1],
                    ReliefShift[C + 1] + RowBounds[R], ReliefShift[C + 1] + RowBounds[R + 1]);
    if (!(x2 - x1 > 0 && y2 - y1 > 0))
        return;
    TCanvas& canvas = CellPicture().Canvas();
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetStyle(TBrush::bsClear);
    canvas.Pen().SetColor(ValueToColor(CellValueAtCursor));
    canvas.Pen().SetMode(TPen::pmNot);
    if (ShowMesh)
        canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y4}, {x2, y3}, {x1, y1}});
    else
        canvas.Polygon(InnerQuad(x1, x2, y1, y2, y3, y4, C == LastCol, R == LastRow));
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
