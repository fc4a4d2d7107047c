// Gauge series: the scale (ticks, labels, minor ticks, arc), the hand and
// its knobs, Value and its limits, clicks and registration.

#include "chart/extensions/circular/PlotGaugeSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/circular/PlotCircular_p.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"

#include <array>
#include <cmath>

namespace lp {

using circular::DegToRad;

namespace {

// Tick walks stop after this many steps, whatever the range and step: no
// dial shows more.
constexpr int MaxTicks = 1000;

// P moved towards Target by Distance pixels.
TPoint MovedTowards(const TPoint& P, const TPoint& Target, double Distance)
{
    const double DX = Target.X - P.X;
    const double DY = Target.Y - P.Y;
    const double Length = std::hypot(DX, DY);
    if (Length == 0)
        return P;
    return {P.X + RoundPixel(DX * Distance / Length), P.Y + RoundPixel(DY * Distance / Length)};
}

// A knob's size across: twice its vertical size and its pen, when visible.
int KnobExtent(const TSeriesPointer& Knob)
{
    if (!Knob.Visible())
        return 0;
    return 2 * Knob.VertSize() + (Knob.Pen()->Visible() ? Knob.Pen()->Width() : 0);
}

} // namespace

TGaugeSeries::TGaugeSeries(TComponent* AOwner) : TCircledSeries(AOwner)
{
    SetCircled(true);
    SetShowInLegend(false);
    FCenter = std::make_unique<TSeriesPointer>(this);
    // The gradient first: a visible gradient's end follows the colour, as
    // it does when a stored knob is read back.
    FCenter->Gradient()->SetVisible(true);
    FCenter->Brush()->SetStyle(TBrush::bsSolid);
    FCenter->SetColor(clBlack);
    FCenter->SetStyle(psCircle);
    FCenter->SetHorizSize(8);
    FCenter->SetVertSize(8);
    FEndPoint = std::make_unique<TSeriesPointer>(this);
    FEndPoint->Brush()->SetStyle(TBrush::bsSolid);
    FEndPoint->SetColor(clWhite);
    FEndPoint->SetStyle(psCircle);
    FEndPoint->SetHorizSize(3);
    FEndPoint->SetVertSize(3);
    FEndPoint->SetVisible(false);
    KeepStartAsDefault(*FCenter, {"HorizSize", "Style", "VertSize"});
    KeepStartAsDefault(*FCenter->Brush(), {"Color"});
    KeepStartAsDefault(*FCenter->Gradient(), {"Visible"});
    KeepStartAsDefault(*FEndPoint, {"HorizSize", "Style", "VertSize"});
    KeepStartAsDefault(*FEndPoint->Brush(), {"Color"});
    AddXY(0, 0);
    SetRotationAngle(135);
}

TGaugeSeries::~TGaugeSeries() = default;

void TGaugeSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCircledSeries::SetParentChart(Value);
    if (!IsDestroying()) {
        FCenter->SetParentChart(Value);
        FEndPoint->SetParentChart(Value);
    }
    if (!Value || Value->IsDestroying())
        return;
    // A chart being read keeps the settings it was saved with, its axes'
    // tick lengths among them.
    if (Value->IsLoading())
        return;
    Value->SetView3DWalls(false);
    Value->SetView3D(false);
    if (auto* Chart = qobject_cast<TCustomChart*>(Value))
        Chart->Frame()->SetVisible(false);
    if (TChartAxis* Axis = GetVertAxis()) {
        Axis->SetTickLength(14);
        Axis->SetMinorTickLength(6);
    }
}

void TGaugeSeries::SetHandStyle(THandStyle Value)
{
    if (FHandStyle != Value) {
        FHandStyle = Value;
        Repaint();
    }
}

void TGaugeSeries::SetMaximum(double Value)
{
    SetDoubleProperty(FMaximum, Value);
    SetValue(std::min(this->Value(), FMaximum));
}

void TGaugeSeries::SetMinimum(double Value)
{
    SetDoubleProperty(FMinimum, Value);
    SetValue(std::max(this->Value(), FMinimum));
}

double TGaugeSeries::Value()
{
    // Saving reads Value too, and saving never changes the chart it saves:
    // an emptied gauge is written as value 0 and stays empty.
    if (Count() == 0 && ComponentState().testFlag(csWriting))
        return 0;
    if (Count() == 0)
        AddXY(0, 0);
    return YValues()->Value(0);
}

void TGaugeSeries::SetValue(double AValue)
{
    if (AValue == Value())
        return;
    // The hand is not drawn straight onto the chart's canvas here: outside a
    // paint that canvas may belong to a picture already gone. A repaint
    // draws the new hand.
    YValues()->SetValue(0, AValue);
    Repaint();
    if (OnChange)
        OnChange(this);
}

void TGaugeSeries::NotifyValue(int Event, int ValueIndex)
{
    if (Event == veModify && ValueIndex >= 0 && ValueIndex < Count())
        SetValue(YValues()->Value(ValueIndex));
    TCircledSeries::NotifyValue(Event, ValueIndex);
}

// --- Geometry -----------------------------------------------------------------------------------

double TGaugeSeries::ValueAngle(double V) const
{
    const double Range = FMaximum - FMinimum;
    if (Range == 0)
        return 90;
    return RotationAngle() + 360 - (FTotalAngle - (V - FMinimum) * FTotalAngle / Range);
}

TPoint TGaugeSeries::PositionAt(double Angle, double RX, double RY) const
{
    const double A = Angle * DegToRad;
    return {FCircleXCenter - RoundPixel(std::cos(A) * RX), FCircleYCenter - RoundPixel(std::sin(A) * RY)};
}

TGaugeSeries::THand TGaugeSeries::HandGeometry()
{
    const TPoint Centre{FCircleXCenter, FCircleYCenter};
    THand Hand{Centre, PositionAt(ValueAngle(Value()), FXRadius, FYRadius)};
    const int Short = FHandDistance + KnobExtent(*FEndPoint);
    if (Short > 0)
        Hand.End = MovedTowards(Hand.End, Centre, Short);
    if (FCenter->Visible() && FCenter->Style() == psCircle)
        Hand.Start = MovedTowards(Centre, Hand.End, KnobExtent(*FCenter) / 2.0);
    return Hand;
}

int TGaugeSeries::Clicked(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return -1;
    if (Chart->View3D())
        Chart->Canvas().Calculate2DPosition(X, Y, DepthEnd());
    const THand Hand = HandGeometry();
    return PointInLineTolerancePts({X, Y}, Hand.Start, Hand.End, 2) ? 0 : -1;
}

double TGaugeSeries::MajorStep() const
{
    const TChartAxis* Axis = GetVertAxis();
    const double Step = Axis ? std::fabs(Axis->Increment()) : 0;
    return Step == 0 ? 10 : Step;
}

// --- Drawing ------------------------------------------------------------------------------------

void TGaugeSeries::DrawAllValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    TChartAxis* Axis = GetVertAxis();
    if (!Chart || !Axis)
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (Gradient()->Visible())
        DrawCircleGradient();
    if (FCenter->Visible()) {
        // The knob's gradient takes the knob's colour while it draws; what
        // is stored stays as it was.
        TPlotGradient& KnobGradient = *FCenter->Gradient();
        const TColor StoredEnd = KnobGradient.EndColor();
        FCenter->PrepareCanvas(Canvas, FCenter->Color());
        FCenter->Draw(FCircleXCenter, FCircleYCenter);
        KnobGradient.SetEndColor(StoredEnd);
    }
    const double Step = MajorStep();
    if (Axis->Ticks()->Visible() || Axis->Labels())
        DrawTicksAndLabels(*Axis, Step);
    if (Axis->MinorTicks()->Visible() && Axis->MinorTickCount() > 0)
        DrawMinorTicks(*Axis, Step);
    if (Axis->Axis()->Visible())
        DrawScaleArc(*Axis);
    if (Pen()->Visible())
        DrawHand();
}

void TGaugeSeries::DrawTicksAndLabels(TChartAxis& Axis, double Step)
{
    if (FMaximum - FMinimum == 0)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*Axis.LabelsFont());
    Canvas.AssignVisiblePen(*Axis.Ticks());
    Canvas.SetBackMode(TRANSPARENT);
    const int InnerX = FXRadius - Axis.TickLength();
    const int InnerY = FYRadius - Axis.TickLength();
    const int H = Canvas.FontHeight();
    const bool FullCircle = FTotalAngle >= 360;
    double V = FMinimum;
    for (int K = 0; (FullCircle ? V < FMaximum : V <= FMaximum) && K < MaxTicks; V = FMinimum + ++K * Step) {
        const double A = ValueAngle(V);
        const TPoint Inner = PositionAt(A, InnerX, InnerY);
        if (Axis.Ticks()->Visible()) {
            Canvas.AssignVisiblePen(*Axis.Ticks());
            const TPoint Outer = PositionAt(A, FXRadius, FYRadius);
            Canvas.LineWithZ(Inner.X, Inner.Y, Outer.X, Outer.Y, DepthEnd());
        }
        if (Axis.Labels())
            DrawTickLabel(V, Inner, A, H);
    }
}

void TGaugeSeries::DrawTickLabel(double V, const TPoint& Inner, double Angle, int FontHeight)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const QString Text = FormattedValue(V);
    TPoint P = Inner;
    if (!FLabelsInside)
        P = PositionAt(Angle, FXRadius + FontHeight, FYRadius + FontHeight);
    else {
        double A = std::fmod(Angle, 360.0);
        if (A < 0)
            A += 360;
        P.X += RoundPixel(Canvas.TextWidth(Text) / 2.0 * std::cos(A * DegToRad));
        if (A > 180 && A < 360)
            P.Y += RoundPixel(FontHeight * std::sin(A * DegToRad));
    }
    Canvas.SetTextAlign(TA_CENTER | TA_TOP);
    Canvas.TextOut3D(P.X, P.Y, DepthEnd(), Text);
}

void TGaugeSeries::DrawMinorTicks(TChartAxis& Axis, double Step)
{
    if (FMaximum - FMinimum == 0)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignVisiblePen(*Axis.MinorTicks());
    const int OuterX = FXRadius - FMinorTickDistance;
    const int OuterY = FYRadius - FMinorTickDistance;
    const int N = Axis.MinorTickCount();
    const double MinorStep = Step / (N + 1);
    const auto TicksAfter = [&](double V) {
        for (int K = 1; K <= N; ++K) {
            const double M = V + K * MinorStep;
            if (M >= FMaximum)
                return;
            const double A = ValueAngle(M);
            const TPoint Outer = PositionAt(A, OuterX, OuterY);
            const TPoint Inner = PositionAt(A, OuterX - Axis.MinorTickLength(), OuterY - Axis.MinorTickLength());
            Canvas.LineWithZ(Inner.X, Inner.Y, Outer.X, Outer.Y, DepthEnd());
        }
    };
    double V = FMinimum;
    int K = 0;
    for (; V <= FMaximum - Step && K < MaxTicks; V = FMinimum + ++K * Step)
        TicksAfter(V);
    if (V < FMaximum && K < MaxTicks)
        TicksAfter(V);
}

void TGaugeSeries::DrawScaleArc(TChartAxis& Axis)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignVisiblePen(*Axis.Axis());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    TRect R = FCircleRect;
    ++R.Left;
    ++R.Top;
    // Counter-clockwise on screen from the maximum's end to the minimum's.
    const TPoint From = PositionAt(RotationAngle(), FXRadius, FYRadius);
    const TPoint To = PositionAt(360 - FTotalAngle + RotationAngle(), FXRadius, FYRadius);
    Canvas.Arc(R.Left, R.Top, R.Right, R.Bottom, From.X, From.Y, To.X, To.Y);
}

void TGaugeSeries::DrawHand()
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const THand Hand = HandGeometry();
    const TPen::TPenMode Mode = FFullRepaint ? TPen::pmCopy : TPen::pmNotXor;
    Canvas.AssignVisiblePen(*Pen());
    Canvas.Pen()->SetMode(Mode);
    if (FHandStyle == hsLine)
        Canvas.LineWithZ(Hand.Start.X, Hand.Start.Y, Hand.End.X, Hand.End.Y, DepthEnd());
    else {
        // The base lies across the hand, 4 pixels either side of its start.
        const double DX = Hand.End.X - Hand.Start.X;
        const double DY = Hand.End.Y - Hand.Start.Y;
        const double Length = std::hypot(DX, DY);
        const int OX = Length == 0 ? 4 : RoundPixel(-DY * 4 / Length);
        const int OY = Length == 0 ? 0 : RoundPixel(DX * 4 / Length);
        Canvas.AssignBrush(*Brush(), Pen()->Color());
        Canvas.Brush()->SetStyle(TBrush::bsSolid);
        Canvas.Brush()->SetColor(Pen()->Color());
        const std::array<TPoint, 3> Triangle{
            Hand.End, TPoint{Hand.Start.X + OX, Hand.Start.Y + OY}, TPoint{Hand.Start.X - OX, Hand.Start.Y - OY}};
        Canvas.PolygonWithZ(Triangle, DepthEnd());
    }
    if (FEndPoint->Visible()) {
        const TPoint Centre{FCircleXCenter, FCircleYCenter};
        const TPoint Tip = MovedTowards(Hand.End, Centre, -KnobExtent(*FEndPoint) / 2.0);
        FEndPoint->PrepareCanvas(Canvas, FEndPoint->Color());
        Canvas.Pen()->SetMode(Mode);
        if (!FFullRepaint)
            Canvas.Brush()->SetStyle(TBrush::bsClear);
        FEndPoint->Draw(Tip.X, Tip.Y);
    }
    Canvas.Pen()->SetMode(TPen::pmCopy);
}

// --- Samples and gallery ------------------------------------------------------------------------

void TGaugeSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)NumValues;
    (void)OnlyMandatory;
    SetValue(RandomValue(1000) / 1000.0 * (FMaximum - FMinimum) + FMinimum);
}

void TGaugeSeries::PrepareForGallery(bool IsEnabled)
{
    TCircledSeries::PrepareForGallery(IsEnabled);
    if (TChartAxis* Axis = GetVertAxis()) {
        Axis->SetMinorTickCount(1);
        Axis->SetTickLength(4);
        Axis->SetMinorTickLength(2);
        Axis->SetIncrement(25);
    }
    SetHandDistance(3);
    FCenter->SetHorizSize(2);
    FCenter->SetVertSize(2);
    SetFullRepaint(true);
    Pen()->SetColor(IsEnabled ? clBlue : clGray);
}

void TGaugeSeries::GalleryChanged3D(bool Is3D)
{
    TCircledSeries::GalleryChanged3D(Is3D);
    if (ParentChart())
        ParentChart()->SetView3D(false);
    SetCircled(true);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterGaugeSeries()
{
    RegisterPlotSeries<TGaugeSeries>(&PlotMsg_GalleryGauge, &PlotMsg_GalleryExtended, 1);
}

void UnregisterGaugeSeries()
{
    UnRegisterPlotSeries({&TGaugeSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TGaugeSeries::staticMetaObject));
}

} // namespace lp
