// The 3-D vector series.

#include "chart/extensions/grid3d/PlotVector3DSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

namespace {

int Nearest(double V)
{
    return static_cast<int>(std::nearbyint(V));
}

} // namespace

TVector3DSeries::TVector3DSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner)
{
    const auto Changed = [this](TGraphicsObject* Sender) { CanvasChanged(Sender); };
    FStartArrow = std::make_unique<TChartHiddenPen>(Changed);
    FStartArrow->SetColor(clPlotColor);
    FEndArrow = CreateChartPen();
    FEndArrow->SetColor(clPlotColor);
    FEndXValues = new TChartValueList(this, PlotMsg_ValuesEndX);
    FEndYValues = new TChartValueList(this, PlotMsg_ValuesEndY);
    FEndZValues = new TChartValueList(this, PlotMsg_ValuesEndZ);
    XValues()->InitOrder(loNone);
    XValues()->SetDateTime(false);
}

TVector3DSeries::~TVector3DSeries()
{
    // The pens call back into the series on change: they go first.
    FEndArrow.reset();
    FStartArrow.reset();
}

void TVector3DSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TVector3DSeries*>(Source)) {
        FArrowHeight = S->FArrowHeight;
        FArrowWidth = S->FArrowWidth;
        FEndArrow->Assign(S->FEndArrow.get());
        FStartArrow->Assign(S->FStartArrow.get());
    }
    TCustom3DPaletteSeries::Assign(Source);
}

int TVector3DSeries::AddVector(double X, double Y, double Z, double EndX, double EndY, double EndZ,
                               const QString& Label, TColor Color)
{
    FEndXValues->SetTempValue(EndX);
    FEndYValues->SetTempValue(EndY);
    FEndZValues->SetTempValue(EndZ);
    return AddXYZLabel(X, Y, Z, Label, Color);
}

// --- Extents ------------------------------------------------------------------------------------

double TVector3DSeries::MaxXValue()
{
    return std::max(TCustom3DPaletteSeries::MaxXValue(), FEndXValues->MaxValue());
}

double TVector3DSeries::MinXValue()
{
    return std::min(TCustom3DPaletteSeries::MinXValue(), FEndXValues->MinValue());
}

double TVector3DSeries::MaxYValue()
{
    return std::max(TCustom3DPaletteSeries::MaxYValue(), FEndYValues->MaxValue());
}

double TVector3DSeries::MinYValue()
{
    return std::min(TCustom3DPaletteSeries::MinYValue(), FEndYValues->MinValue());
}

double TVector3DSeries::MaxZValue()
{
    return std::max(TCustom3DPaletteSeries::MaxZValue(), FEndZValues->MaxValue());
}

double TVector3DSeries::MinZValue()
{
    return std::min(TCustom3DPaletteSeries::MinZValue(), FEndZValues->MinValue());
}

// --- Drawing ------------------------------------------------------------------------------------

std::pair<TPoint, TPoint> TVector3DSeries::HeadSides(const TPoint& Tip, double Angle, int Width, int Height)
{
    const double C = std::cos(Angle);
    const double S = std::sin(Angle);
    return {{Tip.X + Nearest(-Width * C - Height * S), Tip.Y + Nearest(Width * S - Height * C)},
            {Tip.X + Nearest(-Width * C + Height * S), Tip.Y + Nearest(Width * S + Height * C)}};
}

void TVector3DSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Chart->DepthAxis())
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    Canvas.SetBackMode(TRANSPARENT);
    const TColor Color = GetValueColor(ValueIndex);
    Canvas.AssignVisiblePenColor(*Pen(), Color);
    const TPoint3D Start{CalcXPos(ValueIndex), CalcYPos(ValueIndex), CalcZPos(ValueIndex)};
    const TPoint3D End{CalcXPosValue(FEndXValues->Value(ValueIndex)), CalcYPosValue(FEndYValues->Value(ValueIndex)),
                       Chart->DepthAxis()->CalcPosValue(FEndZValues->Value(ValueIndex))};
    Canvas.MoveTo3DPoint(Start);
    Canvas.LineTo3DPoint(End);
    if (!FStartArrow->Visible() && !FEndArrow->Visible())
        return;
    const TPoint S = Canvas.Calculate3DPoint3D(Start);
    const TPoint E = Canvas.Calculate3DPoint3D(End);
    const double Angle = std::atan2(S.Y - E.Y, E.X - S.X);
    if (FStartArrow->Visible())
        DrawHead(*FStartArrow, Color, {Start.X, Start.Y}, Start.Z, Angle);
    if (FEndArrow->Visible())
        DrawHead(*FEndArrow, Color, {End.X, End.Y}, End.Z, Angle);
}

void TVector3DSeries::DrawHead(const TChartPen& HeadPen, TColor Color, const TPoint& Tip, int TipZ, double Angle)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (HeadPen.Color() == clPlotColor)
        Canvas.AssignVisiblePenColor(*Pen(), Color);
    else
        Canvas.AssignVisiblePen(HeadPen);
    const auto [A, B] = HeadSides(Tip, Angle, FArrowWidth, FArrowHeight);
    Canvas.MoveTo3D(A.X, A.Y, TipZ);
    Canvas.LineTo3D(Tip.X, Tip.Y, TipZ);
    Canvas.LineTo3D(B.X, B.Y, TipZ);
}

// --- Samples and sources ------------------------------------------------------------------------

void TVector3DSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    for (int I = 0; I < NumValues; ++I) {
        const double T = I;
        const double A = I * 8 * std::numbers::pi / NumValues;
        AddVector(std::sin(A) + T, T, std::cos(A), 2 * std::sin(A) + T, 0.6 * NumValues * std::sin(A) * std::cos(A) + T,
                  (T + 1) * std::cos(A));
    }
}

bool TVector3DSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TVector3DSeries*>(Source) != nullptr;
}

} // namespace lp
