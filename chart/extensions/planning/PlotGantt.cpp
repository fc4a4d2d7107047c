// The Gantt series.

#include "chart/extensions/planning/PlotGantt.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/DateTimeFormat.h"

#include <QtCore/QDate>

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

TGanttSeries::TGanttSeries(TComponent* AOwner) : TPointSeries(AOwner)
{
    SetHorizontal();
    // Links name tasks by index: adding a task must not move the others.
    XValues()->InitOrder(TChartValueList::loNone);
    XValues()->SetName(PlotMsg_ValuesStart);
    XValues()->InitDateTime(true);
    FEndValues = new TChartValueList(this, PlotMsg_ValuesEnd);
    FEndValues->InitDateTime(true);
    FNextTask = new TChartValueList(this, PlotMsg_ValuesNextTask);
    FNextTask->SetTempValue(-1);
    SetVisibleRangeSearch(false);
    SetClickableLine(false);
    SetColorEachPoint(true);
    Pointer()->SetStyle(psRectangle);
}

void TGanttSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TGanttSeries*>(Source))
        ConnectingPen()->Assign(Other->ConnectingPen());
    TPointSeries::Assign(Source);
}

int TGanttSeries::AddGantt(double AStart, double AEnd, double AY, const QString& ALabel)
{
    return AddGanttColor(AStart, AEnd, AY, ALabel, clPlotColor);
}

int TGanttSeries::AddGanttColor(double AStart, double AEnd, double AY, const QString& ALabel, TColor AColor)
{
    FEndValues->SetTempValue(AEnd);
    return AddXY(AStart, AY, ALabel, AColor);
}

int TGanttSeries::AddXY(double X, double Y, const QString& Label, TColor Color)
{
    const int Result = TPointSeries::AddXY(X, Y, Label, Color);
    // The next point has no successor unless one is set before it is
    // added; a stored chart's reader sets it so.
    FNextTask->SetTempValue(-1);
    return Result;
}

void TGanttSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    const TColor Color = GetValueColor(ValueIndex);
    if (!Chart || Color == clNone)
        return;
    const int X0 = CalcXPos(ValueIndex);
    const int X1 = CalcXPosValue(FEndValues->Value(ValueIndex));
    const int Y = CalcYPos(ValueIndex);
    if (Pointer()->Visible()) {
        const int Half = (X1 - X0) / 2;
        TPlotCanvas3D& Canvas = Chart->Canvas();
        Pointer()->PrepareCanvas(Canvas, Color);
        const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : Pointer()->Style();
        Pointer()->DrawPointer(Canvas, Chart->View3D(), X0 + Half, Y, Half, Pointer()->VertSize(), Color, Style);
    }
    DrawLink(ValueIndex, X1, Y);
}

// The link from the task's end, half way to the successor's start, down or
// up to its row and on to its start.
void TGanttSeries::DrawLink(int ValueIndex, int X1, int Y)
{
    const double Next = FNextTask->Value(ValueIndex);
    if (!ConnectingPen()->Visible() || !std::isfinite(Next))
        return;
    const double N = std::round(Next);
    if (N < 0 || N >= Count())
        return;
    const int NextIndex = static_cast<int>(N);
    const int Xn = CalcXPos(NextIndex);
    const int Yn = CalcYPos(NextIndex);
    const int Mid = X1 + (Xn - X1) / 2;
    const int Z = DepthMiddle();
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.AssignVisiblePen(*ConnectingPen());
    Canvas.MoveTo3D(X1, Y, Z);
    Canvas.LineTo3D(Mid, Y, Z);
    Canvas.LineTo3D(Mid, Yn, Z);
    Canvas.LineTo3D(Xn, Yn, Z);
}

void TGanttSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    const int Half = (CalcXPosValue(FEndValues->Value(ValueIndex)) - CalcXPos(ValueIndex)) / 2;
    APosition.TopLeft.X += Half;
    APosition.TopLeft.Y += APosition.MarkHeight / 2;
    APosition.ArrowStart.X += Half;
    APosition.ArrowEnd.X += Half;
    APosition.ArrowEnd.Y += APosition.MarkHeight / 2;
    TPointSeries::DrawMark(ValueIndex, St, APosition);
}

double TGanttSeries::MaxXValue()
{
    const double Inherited = TPointSeries::MaxXValue();
    return Count() == 0 ? Inherited : std::max(Inherited, FEndValues->MaxValue());
}

bool TGanttSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y)
{
    (void)PY;
    const int X1 = CalcXPosValue(FEndValues->Value(ValueIndex));
    return X >= std::min(PX, X1) && X <= std::max(PX, X1) &&
           std::abs(Y - CalcYPos(ValueIndex)) < Pointer()->VertSize();
}

void TGanttSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    static const std::array<const char*, 10> TaskNames{"Design",     "Prototyping", "Development", "Sales",
                                                       "Marketing",  "Testing",     "Manufac.",    "Debugging",
                                                       "New Version", "Banking"};
    const QDate Now = QDate::currentDate();
    const double Today = EncodeDateTime(Now.year(), Now.month(), Now.day(), 0, 0, 0, 0);
    const int Last = std::min(NumValues - 1, RandomValue(20) + 10);
    for (int T = 0; T <= Last; ++T) {
        const double Start = Today + 3 * T + RandomValue(5);
        const double End = Start + 9 + RandomValue(16);
        const int Added = AddGantt(Start, End, T % 10, QString::fromLatin1(TaskNames.at(static_cast<size_t>(T % 10))));
        // The first earlier task still without a successor that ends
        // before this one starts leads to it.
        for (int K = 0; K < Added; ++K)
            if (FNextTask->Value(K) == -1 && FEndValues->Value(K) < Start) {
                FNextTask->SetValue(K, Added);
                break;
            }
    }
}

void TGanttSeries::PrepareForGallery(bool IsEnabled)
{
    TPointSeries::PrepareForGallery(IsEnabled);
    SetColorEachPoint(IsEnabled);
    Pointer()->SetVertSize(3);
    Pointer()->Gradient()->SetVisible(true);
}

bool TGanttSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TGanttSeries*>(Source) != nullptr;
}

void RegisterGanttSeries()
{
    RegisterPlotSeries<TGanttSeries>(&PlotMsg_GalleryGantt, &PlotMsg_GalleryStandard, 1);
}

void UnregisterGanttSeries()
{
    UnRegisterPlotSeries({&TGanttSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TGanttSeries::staticMetaObject));
}

} // namespace lp
