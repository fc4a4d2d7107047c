// Series marks: drawing one mark, hit tests and the overlap rule.

#include "chart/engine/PlotMarks.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotRichText.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

namespace {

int Add(int A, int B)
{
    return CheckedInt32(static_cast<int64_t>(A) + B);
}

TRect OffsetRect(const TRect& R, int DX, int DY)
{
    return TRect{Add(R.Left, DX), Add(R.Top, DY), Add(R.Right, DX), Add(R.Bottom, DY)};
}

// P turned by Angle degrees (counter-clockwise on the screen) about C.
TPoint RotatePoint(const TPoint& P, const TPoint& C, int Angle)
{
    const double Radians = Angle * std::numbers::pi / 180.0;
    const double S = std::sin(Radians);
    const double Co = std::cos(Radians);
    const double X = static_cast<double>(P.X) - C.X;
    const double Y = static_cast<double>(P.Y) - C.Y;
    return TPoint{RoundToInt32(C.X + X * Co + Y * S), RoundToInt32(C.Y - X * S + Y * Co)};
}

} // namespace

TRect TSeriesMarks::DisplayRect(const TSeriesMarkPosition& Position) const
{
    const TRect R = Position.Bounds();
    const TCustomPlotPanel* Chart = ParentChart();
    if (!Chart || !Chart->View3D() || Chart->Canvas().Supports3DText())
        return R;
    const TPoint P = Chart->Canvas().Calculate3DPoint(Position.ArrowEnd, FZPosition);
    return OffsetRect(R, CheckedInt32(static_cast<int64_t>(P.X) - Position.ArrowEnd.X),
                      CheckedInt32(static_cast<int64_t>(P.Y) - Position.ArrowEnd.Y));
}

TRect TSeriesMarks::FullRect(int ValueIndex, const TSeriesMarkPosition& Position)
{
    TRect R = Position.Bounds();
    const TPlotCustomShape& Shape = Appearance(ValueIndex);
    if (Shape.Pen()->Visible()) {
        R.Right = Add(R.Right, Shape.Pen()->Width());
        R.Bottom = Add(R.Bottom, Shape.Pen()->Width());
    }
    if (const TPlotShadow* Shadow = Shape.Shadow()) {
        if (Shadow->HorizSize() > 0)
            R.Right = Add(R.Right, Shadow->HorizSize());
        else
            R.Left = Add(R.Left, Shadow->HorizSize());
        if (Shadow->VertSize() > 0)
            R.Bottom = Add(R.Bottom, Shadow->VertSize());
        else
            R.Top = Add(R.Top, Shadow->VertSize());
    }
    const TRect Shown = DisplayRect(Position);
    return OffsetRect(R, CheckedInt32(static_cast<int64_t>(Shown.Left) - Position.TopLeft.X),
                      CheckedInt32(static_cast<int64_t>(Shown.Top) - Position.TopLeft.Y));
}

int TSeriesMarks::Clicked(int X, int Y)
{
    const int Every = std::max(1, FDrawEvery);
    for (int I = FPositions->Count() - 1; I >= 0; --I) {
        if (I % Every != 0)
            continue;
        const TSeriesMarkPosition* Position = FPositions->GetPosition(I);
        if (!Position)
            continue;
        const TRect R = DisplayRect(*Position);
        if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom)
            return I;
    }
    return -1;
}

void TSeriesMarks::MoveOffOverlaps(int FirstIndex, int ValueIndex, TSeriesMarkPosition& Position)
{
    const TRect R = FullRect(ValueIndex, Position);
    for (int I = std::max(0, FirstIndex); I < ValueIndex && I < FPositions->Count(); ++I) {
        const TSeriesMarkPosition* Other = FPositions->GetPosition(I);
        if (!Other)
            continue;
        const TRect R2 = FullRect(I, *Other);
        const bool Overlap = R.Left < R2.Right && R2.Left < R.Right && R.Top < R2.Bottom && R2.Top < R.Bottom;
        if (!Overlap)
            continue;
        // A tie (the same top) moves up: marks stand above their points.
        const int64_t Move = R2.Top >= R.Top ? -(static_cast<int64_t>(R.Bottom) - R2.Top)
                                             : static_cast<int64_t>(R2.Bottom) - R.Top;
        Position.TopLeft.Y = CheckedInt32(Position.TopLeft.Y + Move);
        Position.ArrowEnd.Y = CheckedInt32(Position.ArrowEnd.Y + Move);
    }
}

int TSeriesMarks::WidestMarkLine(int ValueIndex)
{
    TCustomPlotPanel* Chart = ParentChart();
    if (!Chart || !FParentSeries)
        return 0;
    TCanvas3D& Canvas = Chart->Canvas();
    Canvas.AssignFont(*Font());
    int Widest = 0;
    for (const QString& Line : FParentSeries->GetMarkText(ValueIndex).split(PlotLineSeparator))
        Widest = std::max(Widest, Canvas.TextWidth(Line));
    return Widest;
}

void TSeriesMarks::DrawOneMark(int ValueIndex, TColor AColor, const QString& Text, TSeriesMarkPosition& Position)
{
    // 1. A mark the user moved keeps its place; others record where they go.
    TSeriesMarkPosition& Stored = FPositions->Ensure(ValueIndex);
    if (Stored.UserMoved) {
        const bool KeepStart = Position.ArrowFixed && Stored.ArrowFixed;
        const TPoint Start = Position.ArrowStart;
        Position = Stored;
        if (KeepStart)
            Position.ArrowStart = Start;
    } else {
        Stored = Position;
    }

    TCustomPlotPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TCanvas3D& Canvas = Chart->Canvas();
    TPlotCustomShape& Shape = Appearance(ValueIndex);
    const int Angle = NormalAngle(FAngle);
    const int DepthZ = Add(FZPosition, 1);
    // The font as the series measured the mark: in a zoomed 3-D view whose
    // canvas has no 3-D text, scaled by the zoom.
    const TView3DOptions* View = Chart->View3DOptions();
    const bool ZoomFont =
        Chart->View3D() && !Canvas.Supports3DText() && View && View->ZoomText() && View->Zoom() != 100;
    const auto AssignMarkFont = [&] {
        const double OldZoom = Canvas.FontZoom();
        if (ZoomFont)
            Canvas.SetFontZoom(OldZoom * View->Zoom() * 0.01);
        Canvas.AssignFont(*Shape.Font());
        Canvas.SetFontZoom(OldZoom);
    };

    // 2. The callout from the point to the mark.
    TMarksCallout& C = *Callout();
    if (C.Visible() || C.Arrow()->Visible())
        C.Draw(AColor, Position.ArrowStart, FZPosition, Position.ArrowEnd);

    // 3. Fill and font of the appearance; the frame.
    if (Shape.Transparent()) {
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.SetBackMode(TRANSPARENT);
    } else {
        Canvas.AssignBrush(*Shape.Brush(), Shape.Color());
    }
    AssignMarkFont();
    const TRect R = DisplayRect(Position);
    Shape.DrawRectRotated(R, Angle, DepthZ);

    // 4. The symbol in the point's colour, with the mark's rotation.
    AssignMarkFont();
    const int LineHeight = Canvas.FontHeight();
    int TextLeft = R.Left;
    if (FSymbol && FSymbol->Visible()) {
        // Drawing must not change the stored symbol: colour and
        // transparency are put back afterwards.
        const TColor OldColor = FSymbol->Color();
        const bool OldTransparent = FSymbol->Transparent();
        FSymbol->SetColor(AColor);
        FSymbol->SetTransparent(false);
        const TRect Square{Add(R.Left, 4), Add(R.Top, 3), Add(R.Left, LineHeight - 1), Add(R.Top, LineHeight - 2)};
        try {
            FSymbol->DrawRectRotated(Square, Angle, DepthZ);
        } catch (...) {
            FSymbol->SetColor(OldColor);
            FSymbol->SetTransparent(OldTransparent);
            throw;
        }
        FSymbol->SetColor(OldColor);
        FSymbol->SetTransparent(OldTransparent);
        TextLeft = Add(R.Left, Add(Square.Right - Square.Left, 4));
        AssignMarkFont();
    }

    // 5. The text, centred, 2 pixels below the top, on a clear background.
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.SetBackMode(TRANSPARENT);
    const int CenterX = static_cast<int>((static_cast<int64_t>(TextLeft) + R.Right) / 2);
    const int Top = Add(R.Top, 2);
    if (TextFormat() == ttfHtml) {
        const TSize Extent = HtmlTextExtent(Canvas, Text);
        HtmlTextOut(Canvas, Add(CenterX, -(Extent.cx / 2)), Top, Text);
        return;
    }
    const unsigned OldAlign = Canvas.GetTextAlign();
    Canvas.SetTextAlign(TA_CENTER | TA_TOP);
    try {
        int RX = 0;
        int RY = 0;
        RectCenter(R, RX, RY);
        const QStringList Lines = Text.split(PlotLineSeparator);
        for (int I = 0; I < Lines.size(); ++I) {
            const int Y = CheckedInt32(Top + static_cast<int64_t>(I) * LineHeight);
            if (Angle != 0) {
                TPoint P = RotatePoint(TPoint{CenterX, Y}, TPoint{RX, RY}, Angle);
                if (Angle == 90)
                    P.X = Add(P.X, 1);
                if (Canvas.Supports3DText())
                    Canvas.RotateLabel3D(P.X, P.Y, FZPosition, Lines[I], Angle);
                else
                    Canvas.RotateLabel(P.X, P.Y, Lines[I], Angle);
            } else if (Canvas.Supports3DText()) {
                Canvas.TextOut3D(CenterX, Y, FZPosition, Lines[I]);
            } else {
                Canvas.TextOut(CenterX, Y, Lines[I]);
            }
        }
    } catch (...) {
        Canvas.SetTextAlign(OldAlign);
        throw;
    }
    Canvas.SetTextAlign(OldAlign);
}

} // namespace lp
