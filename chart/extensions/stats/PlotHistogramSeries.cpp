// Histogram bars: bounds that share edges, fill, stepped outline,
// separating lines, margins, hit test and gallery styles.

#include "chart/extensions/stats/PlotHistogramSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <string>

namespace lp {

THistogramSeries::THistogramSeries(TComponent* AOwner) : TCustomLineSeries(AOwner)
{
    FLinesPen = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
}

THistogramSeries::~THistogramSeries()
{
    // The pen calls back into the series on change: it goes first.
    FLinesPen.reset();
}

void THistogramSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const THistogramSeries*>(Source)) {
        FLinesPen->Assign(S->FLinesPen.get());
        Brush()->Assign(S->Brush());
        FTransparency = S->FTransparency;
    }
    TCustomLineSeries::Assign(Source);
}

void THistogramSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
    SetIntegerProperty(FTransparency, Value);
}

int THistogramSeries::BarCount() const
{
    const int PerPage = FParentChart ? FParentChart->MaxPointsPerPage() : 0;
    return PerPage != 0 ? PerPage : Count();
}

int THistogramSeries::HalfBar(const TChartAxis* Axis) const
{
    const int N = BarCount();
    return N < 1 || !Axis ? 0 : Axis->AxisPixelSize() / N / 2;
}

int THistogramSeries::LastDisplayedIndex() const
{
    return DrawValuesForward() ? LastVisibleIndex() : FirstVisibleIndex();
}

namespace {

// The pixel the bars grow from: the vertical axis's end (its start when
// inverted), the horizontal axis's start (its end when inverted).
int AxisBase(const TChartAxis* Axis, bool Vertical)
{
    if (!Axis)
        return 0;
    return Axis->Inverted() == Vertical ? Axis->StartPixel() : Axis->EndPixel();
}

} // namespace

TRect THistogramSeries::CalcBarBounds(int ValueIndex)
{
    if (BarCount() < 1)
        return {};
    const int Half = HalfBar(GetHorizAxis());
    const int X = CalcXPos(ValueIndex);
    // Whether the bars run rightwards on the screen in drawing order. Drawing
    // backwards over an inverted axis still runs rightwards: taking the
    // drawing order alone would end each bar left of its point, over the
    // bar before it.
    const TChartAxis* Axis = GetHorizAxis();
    const bool Rightwards = DrawValuesForward() == !(Axis && Axis->Inverted());
    TRect R;
    if (ValueIndex == FirstDisplayedIndex()) {
        R.Left = X - Half + 1;
        R.Right = R.Left + 2 * Half;
        if (!Rightwards)
            std::swap(R.Left, R.Right);
    } else {
        R.Left = FPreviousEdge;
        R.Right = Rightwards ? X + Half + 1 : X - Half - 1;
    }
    FPreviousEdge = R.Right - 1;
    R.Top = CalcYPos(ValueIndex);
    R.Bottom = AxisBase(GetVertAxis(), true);
    return R;
}

void THistogramSeries::FillBar(int ValueIndex, TRect R)
{
    if (Brush()->Style() == TBrush::bsClear)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    Canvas.AssignBrush(*Brush(), GetValueColor(ValueIndex));
    if (GetVertAxis() && GetVertAxis()->Inverted())
        ++R.Top;
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0) {
        TRect Area = R;
        if (Is3D) {
            const TPoint A = Canvas.Calculate3DPosition(R.Left, R.Top, DepthMiddle());
            const TPoint B = Canvas.Calculate3DPosition(R.Right, R.Bottom, DepthMiddle());
            Area = {std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
        }
        Blend = Canvas.BeginBlending(Area, FTransparency);
    }
    if (Is3D)
        Canvas.RectangleWithZ(R, DepthMiddle());
    else
        Canvas.RectangleRect(R);
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
}

void THistogramSeries::OutlineLine(int X0, int Y0, int X1, int Y1)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FParentChart->View3D())
        Canvas.LineWithZ(X0, Y0, X1, Y1, DepthMiddle());
    else
        Canvas.Line(X0, Y0, X1, Y1);
}

void THistogramSeries::DrawOutline(int ValueIndex, const TRect& R)
{
    if (!Pen()->Visible())
        return;
    FParentChart->Canvas().AssignVisiblePen(*Pen());
    const bool First = ValueIndex == FirstDisplayedIndex();
    const bool Last = ValueIndex == LastDisplayedIndex();
    if (MandatoryIsY()) {
        if (First)
            OutlineLine(R.Left, R.Bottom, R.Left, R.Top);
        else if (ValueIndex > 0)
            OutlineLine(R.Left, CalcYPos(ValueIndex - 1), R.Left, R.Top);
        OutlineLine(R.Left, R.Top, R.Right, R.Top);
        if (Last)
            OutlineLine(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        return;
    }
    if (First)
        OutlineLine(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    else if (ValueIndex > 0)
        OutlineLine(CalcXPos(ValueIndex - 1), R.Bottom - 1, R.Right, R.Bottom - 1);
    const int X = R.Right - Pen()->Width();
    OutlineLine(X, R.Top, X, R.Bottom);
    if (Last)
        OutlineLine(R.Left, R.Top, R.Right, R.Top);
}

void THistogramSeries::DrawSeparator(int ValueIndex, const TRect& R)
{
    if (ValueIndex <= 0 || ValueIndex == FirstDisplayedIndex() || !FLinesPen->Visible())
        return;
    FParentChart->Canvas().AssignVisiblePen(*FLinesPen);
    const int Lift = Pen()->Visible() ? 0 : 1;
    if (MandatoryIsY()) {
        const int Previous = CalcYPos(ValueIndex - 1);
        const bool Inverted = GetVertAxis() && GetVertAxis()->Inverted();
        const int From = Inverted ? std::min(R.Top, Previous) : std::max(R.Top, Previous);
        OutlineLine(R.Left, From - Lift, R.Left, R.Bottom);
        return;
    }
    const int Previous = CalcXPos(ValueIndex - 1);
    const bool Inverted = GetHorizAxis() && GetHorizAxis()->Inverted();
    const int To = Inverted ? std::max(R.Right, Previous) : std::min(R.Right, Previous);
    OutlineLine(R.Left, R.Bottom, To + Lift, R.Bottom);
}

void THistogramSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    const TRect R = CalcBarBounds(ValueIndex);
    FParentChart->Canvas().Pen()->SetStyle(TPen::psClear);
    FillBar(ValueIndex, R);
    DrawOutline(ValueIndex, R);
    DrawSeparator(ValueIndex, R);
}

void THistogramSeries::CalcFirstLastVisibleIndex()
{
    TCustomLineSeries::CalcFirstLastVisibleIndex();
    int First = FirstVisibleIndex();
    int Last = LastVisibleIndex();
    if (First < 0)
        return;
    if (First > 0)
        --First;
    if (Last < Count() - 1)
        ++Last;
    SetVisibleRange(First, Last);
}

void THistogramSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustomLineSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int Half = HalfBar(GetHorizAxis());
    LeftMargin += Half;
    RightMargin += Half + (Pen()->Visible() ? Pen()->Width() : 0);
}

void THistogramSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TCustomLineSeries::CalcVertMargins(TopMargin, BottomMargin);
    if (Pen()->Visible())
        TopMargin += Pen()->Width();
}

int THistogramSeries::Clicked(int X, int Y)
{
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First < 0 || Last < 0 || !FParentChart)
        return -1;
    if (FParentChart->View3D())
        FParentChart->Canvas().Calculate2DPosition(X, Y, DepthMiddle());
    const bool Forward = DrawValuesForward();
    for (int Step = 0; Step <= Last - First; ++Step) {
        const int I = Forward ? First + Step : Last - Step;
        if (PointInRect(NormalizeRect(CalcBarBounds(I)), X, Y))
            return I;
    }
    return -1;
}

void THistogramSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomLineSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption :
         {&PlotMsg_StyleHollow, &PlotMsg_StyleNoBorder, &PlotMsg_StyleLines, &PlotMsg_Transparency})
        AddSubChart(*Caption);
}

void THistogramSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: Brush()->SetStyle(TBrush::bsClear); break;
    case 2: Pen()->Hide(); break;
    case 3: FLinesPen->Show(); break;
    case 4: SetTransparency(30); break;
    default: TCustomLineSeries::SetSubGallery(Index); break;
    }
}

// --- THorizHistogramSeries ------------------------------------------------------------------------

THorizHistogramSeries::THorizHistogramSeries(TComponent* AOwner) : THistogramSeries(AOwner)
{
    SetHorizontal();
    XValues()->InitOrder(loNone);
    YValues()->InitOrder(loAscending);
}

TRect THorizHistogramSeries::CalcBarBounds(int ValueIndex)
{
    if (BarCount() < 1)
        return {};
    const int Half = HalfBar(GetVertAxis());
    const int Y = CalcYPos(ValueIndex);
    TRect R;
    if (ValueIndex == FirstDisplayedIndex()) {
        R.Top = Y - Half + 1;
        R.Bottom = R.Top + 2 * Half;
    } else {
        R.Bottom = FPreviousEdge;
        R.Top = Y - Half;
    }
    FPreviousEdge = R.Top + 1;
    R.Right = CalcXPos(ValueIndex) + 1;
    R.Left = AxisBase(GetHorizAxis(), false);
    return R;
}

void THorizHistogramSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustomLineSeries::CalcHorizMargins(LeftMargin, RightMargin);
    if (Pen()->Visible())
        RightMargin += Pen()->Width();
}

void THorizHistogramSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TCustomLineSeries::CalcVertMargins(TopMargin, BottomMargin);
    const int Half = HalfBar(GetVertAxis());
    TopMargin += Half;
    BottomMargin += Half + (Pen()->Visible() ? Pen()->Width() : 0);
}

} // namespace lp
