// Bar series: grouping of related series in every multi-bar mode, bar
// width, positions, stacking sums, value ranges, the bar styles in 2-D and
// 3-D, clicks, horizontal bars and a reference picture.

#include "chart/engine/PlotBarSeries.h"

#include "EngineTestUtil.h"
#include "ReferenceImage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QRegularExpression>

#include <cstdlib>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

// A chart over (0, 0)-(400, 200): the horizontal axis fixed to 0 .. 4 (a
// category C at X = 100 C), the vertical one to 0 .. 100 (V at
// Y = 200 - 2 V); drawn onto a recording device.
struct TBarChart : test::TFixedAxesChart {
    explicit TBarChart(bool Is3D = false) : TFixedAxesChart(Is3D, 4, 100) {}

    // A bar series of Values at X = 0, 1, ...; a Mode of -1 keeps the
    // grouping the series takes from the chart.
    template <class T = TBarSeries> T* Add(std::initializer_list<double> Values, int Mode = -1)
    {
        auto* S = new T(&Chart);
        S->SetSeriesColor(clRed);
        S->Marks()->SetVisible(false);
        Chart.AddSeries(S);
        if (Mode >= 0)
            S->SetMultiBar(TMultiBar(Mode));
        int X = 0;
        for (double V : Values)
            S->AddXY(X++, V);
        return S;
    }
    QStringList Draw(TChartSeries& S)
    {
        DC.ClearCalls();
        S.DrawAllValues();
        QStringList Result;
        for (const QString& Call : DC.Calls())
            for (const char* Prefix : {"MoveTo(", "LineTo(", "Polygon(", "Polyline(", "Rectangle(", "Ellipse("})
                if (Call.startsWith(QLatin1String(Prefix)))
                    Result << Call;
        return Result;
    }
};

QString Rect(int L, int T, int R, int B)
{
    return QStringLiteral("Rectangle(%1,%2,%3,%4)").arg(L).arg(T).arg(R).arg(B);
}

// --- Grouping -----------------------------------------------------------------------------------

struct TGroupRow {
    TMultiBar Mode;
    int NumBars;
    int Orders[3];
    int Previous[3];
    int MaxBarPoints;
};

TEST(BarGrouping, EveryMultiBarModeWithThreeSeries)
{
    // Three series of 3, 2 and 3 points; stack groups 0, 0 and 1.
    const TGroupRow Rows[] = {
        {mbNone, 1, {1, 1, 1}, {0, 3, 5}, 4},
        {mbSide, 3, {1, 2, 3}, {0, 3, 5}, 4},
        {mbStacked, 2, {1, 1, 2}, {0, 3, 5}, 4},
        {mbStacked100, 2, {1, 1, 2}, {0, 3, 5}, 4},
        {mbSideAll, 3, {1, 2, 3}, {0, 3, 5}, 4},
        {mbSelfStack, 1, {1, 1, 1}, {0, 3, 5}, 1},
    };
    for (const TGroupRow& Row : Rows) {
        SCOPED_TRACE(int(Row.Mode));
        TBarChart C;
        TBarSeries* S[3] = {C.Add({10, 20, 30}), C.Add({5, 5}), C.Add({1, 2, 3})};
        S[2]->SetStackGroup(1);
        S[0]->SetMultiBar(Row.Mode);
        C.Layout();
        for (int I = 0; I < 3; ++I) {
            EXPECT_EQ(S[I]->MultiBar(), Row.Mode) << "shared by related series";
            EXPECT_EQ(S[I]->NumBars(), Row.NumBars);
            EXPECT_EQ(S[I]->BarOrder(), Row.Orders[I]);
            EXPECT_EQ(S[I]->PreviousCount(), Row.Previous[I]);
            EXPECT_EQ(S[I]->MaxBarPoints(), Row.MaxBarPoints);
        }
    }
}

TEST(BarGrouping, SideMarginsAddOneSlotAndAreShared)
{
    TBarChart C;
    TBarSeries* A = C.Add({1, 2, 3});
    TBarSeries* B = C.Add({1, 2, 3});
    A->SetSideMargins(false);
    EXPECT_FALSE(B->SideMargins());
    C.Layout();
    EXPECT_EQ(A->MaxBarPoints(), 3);
    B->SetSideMargins(true);
    C.Layout();
    EXPECT_EQ(A->MaxBarPoints(), 4);
    // A series joining the chart takes the grouping of the first one.
    A->SetMultiBar(mbStacked);
    auto* Late = new TBarSeries(&C.Chart);
    C.Chart.AddSeries(Late);
    EXPECT_EQ(Late->MultiBar(), mbStacked);
}

// --- Bar width and positions --------------------------------------------------------------------

TEST(BarLayout, TwoDefaultSeriesStandSideBySideAroundTheCategory)
{
    TBarChart C;
    TBarSeries* A = C.Add({10, 20, 30});
    TBarSeries* B = C.Add({40, 50, 60});
    C.Layout();
    // Slot 400 div 4 = 100; 70 % = 70; div 2 bars = 35, made even: 36.
    EXPECT_EQ(A->BarSize(), 36);
    EXPECT_EQ(B->BarSize(), 36);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(A->CalcXPos(I), 100 * I - 36);
        EXPECT_EQ(B->CalcXPos(I), 100 * I);
    }
    // The first bar ends on the second bar's first pixel (shared outline).
    const QStringList First = C.Draw(*A);
    EXPECT_TRUE(First.contains(Rect(64, 160, 101, 200))) << First.join(' ').toStdString();
    const QStringList Second = C.Draw(*B);
    EXPECT_TRUE(Second.contains(Rect(100, 100, 137, 200))) << Second.join(' ').toStdString();
    // Margins: one bar width per bar on each side.
    int L = 0;
    int R = 0;
    A->CalcHorizMargins(L, R);
    EXPECT_EQ(L, 72);
    EXPECT_EQ(R, 72);
}

TEST(BarLayout, BarSizeIsEvenButCustomSizesStay)
{
    struct TRow {
        int Percent;
        int Custom;
        int Expected;
    };
    // One series of 3 points + side slot: slot 100.
    const TRow Rows[] = {{70, 0, 70}, {55, 0, 56}, {33, 0, 34}, {100, 0, 100}, {70, 7, 7}, {70, 13, 13}};
    for (const TRow& Row : Rows) {
        TBarChart C;
        TBarSeries* S = C.Add({1, 2, 3});
        S->SetBarWidthPercent(Row.Percent);
        S->SetCustomBarSize(Row.Custom);
        C.Layout();
        EXPECT_EQ(S->BarSize(), Row.Expected) << Row.Percent << " " << Row.Custom;
    }
}

TEST(BarLayout, PositionsPerModeAndOffset)
{
    struct TRow {
        TMultiBar Mode;
        int Offset;
        int Expected[2]; // left pixel of point 1 of each series
    };
    // Two series of 2 points: slot 400 div 3 = 133, 70 % = 93.
    const TRow Rows[] = {
        {mbNone, 0, {100 - 47, 100 - 47}},   // 93 div 1, even 94
        {mbSide, 0, {100 - 48, 100}},        // 93 div 2 = 46 + 0 -> 46... see below
        {mbSideAll, 0, {100 - 24, 300 - 24}}, // slot: bars of all points
        {mbNone, 50, {100 - 47 + 47, 100 - 47 + 47}},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(int(Row.Mode));
        TBarChart C;
        TBarSeries* A = C.Add({10, 20}, Row.Mode);
        TBarSeries* B = C.Add({30, 40}, Row.Mode);
        A->SetOffsetPercent(Row.Offset);
        B->SetOffsetPercent(Row.Offset);
        C.Layout();
        const int Size = A->BarSize();
        ASSERT_EQ(Size % 2, 0);
        if (Row.Mode == mbNone) {
            EXPECT_EQ(A->CalcXPos(1), 100 - Size / 2 + RoundToInt32(Row.Offset * Size * 0.01));
            EXPECT_EQ(B->CalcXPos(1), A->CalcXPos(1));
        } else if (Row.Mode == mbSide) {
            EXPECT_EQ(A->CalcXPos(1), 100 - Size);
            EXPECT_EQ(B->CalcXPos(1), 100);
        } else {
            // All four points in one row: A at 0, 1; B at 2, 3.
            EXPECT_EQ(A->CalcXPos(1), 100 - Size / 2);
            EXPECT_EQ(B->CalcXPos(1), 300 - Size / 2);
            EXPECT_EQ(B->MaxXValue(), 3);
        }
    }
}

TEST(BarLayout, FullWidthBarsTouchWhateverTheRounding)
{
    for (const int PenWidth : {1, 2, 3}) {
        TBarChart C;
        for (TChartAxis* Axis : C.Chart.AxesList())
            if (Axis->Horizontal())
                Axis->SetMinMax(0, 6);
        test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
        TBarSeries* S = C.Add({10, 20, 30, 40, 50, 60}, mbNone);
        S->SetBarWidthPercent(100);
        S->BarPen()->SetWidth(PenWidth);
        C.Layout();
        const QStringList Calls = C.Draw(*S);
        ASSERT_EQ(Calls.size(), 6);
        // Each bar's right side is the next bar's left + 1 - pen div 2.
        for (int I = 0; I + 1 < 6; ++I) {
            const QStringList Parts = Calls[I].mid(10).chopped(1).split(',');
            EXPECT_EQ(Parts[2].toInt(), S->CalcXPos(I + 1) + 1 - std::max(1, PenWidth) / 2) << I;
        }
    }
}

// --- Stacking -----------------------------------------------------------------------------------

TEST(BarStacking, SumsOfSameSignedValuesPerGroup)
{
    TBarChart C;
    TBarSeries* A = C.Add({10, -5, 0}, mbStacked);
    TBarSeries* B = C.Add({20, 15, 0});
    TBarSeries* D = C.Add({7, -3, 0});
    TBarSeries* Other = C.Add({100, 100, 100});
    Other->SetStackGroup(1);
    C.Layout();
    struct TRow {
        TBarSeries* S;
        int Index;
        bool SumAll;
        double Expected;
    };
    const TRow Rows[] = {
        {A, 0, false, 0}, {B, 0, false, 10}, {D, 0, false, 30}, {D, 0, true, 37},
        {A, 1, false, 0}, {B, 1, false, 0},  {D, 1, false, -5}, {D, 1, true, -8},
        {B, 1, true, 15}, {Other, 0, false, 0}, {Other, 0, true, 100},
    };
    for (const TRow& Row : Rows)
        EXPECT_DOUBLE_EQ(Row.S->GetOriginValue(Row.Index, Row.SumAll), Row.Expected) << Row.Index;
    // The negative bar grows down from the origin, not from the positive one.
    EXPECT_EQ(D->GetOriginPos(1), C.Chart.LeftAxis()->CalcPosValue(-5));
    EXPECT_EQ(D->CalcYPos(1), C.Chart.LeftAxis()->CalcPosValue(-8));
    EXPECT_EQ(B->GetOriginPos(1), C.Chart.LeftAxis()->CalcPosValue(0));
    // Two groups: two columns per category.
    EXPECT_EQ(A->NumBars(), 2);
    EXPECT_EQ(Other->BarOrder(), 2);
    // The value range covers the stacks.
    EXPECT_DOUBLE_EQ(D->MaxYValue(), 37);
    EXPECT_DOUBLE_EQ(D->MinYValue(), -8);
}

TEST(BarStacking, HundredPercentAndAZeroTotal)
{
    TBarChart C;
    TBarSeries* A = C.Add({25, 0}, mbStacked100);
    TBarSeries* B = C.Add({75, 0});
    C.Layout();
    const TChartAxis* V = C.Chart.LeftAxis();
    EXPECT_EQ(A->CalcYPos(0), V->CalcPosValue(25));
    EXPECT_EQ(B->GetOriginPos(0), V->CalcPosValue(25));
    EXPECT_EQ(B->CalcYPos(0), V->CalcPosValue(100));
    // A stack of zeros has no total: the bars lie on the zero line.
    EXPECT_EQ(B->CalcYPos(1), V->CalcPosValue(0));
    EXPECT_EQ(B->GetOriginPos(1), V->CalcPosValue(0));
    EXPECT_DOUBLE_EQ(A->MaxYValue(), 100);
    EXPECT_DOUBLE_EQ(A->MinYValue(), 0);
}

TEST(BarStacking, SelfStackMakesOneColumnPerSeries)
{
    TBarChart C;
    TBarSeries* A = C.Add({10, 20, 5}, mbSelfStack);
    TBarSeries* B = C.Add({1, 2});
    C.Layout();
    EXPECT_DOUBLE_EQ(A->MinXValue(), 0);
    EXPECT_DOUBLE_EQ(B->MinXValue(), 1);
    EXPECT_DOUBLE_EQ(B->MaxXValue(), 1);
    EXPECT_DOUBLE_EQ(A->MaxYValue(), 35);
    EXPECT_DOUBLE_EQ(A->GetOriginValue(2, false), 30);
    EXPECT_EQ(A->CalcYPos(2), C.Chart.LeftAxis()->CalcPosValue(35));
    EXPECT_FALSE(A->VisibleRangeSearch());
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(A->CalcXPos(I), 0 - A->BarSize() / 2);
    EXPECT_EQ(B->CalcXPos(0), 100 - B->BarSize() / 2);
    EXPECT_EQ(A->FirstVisibleIndex(), 0);
    EXPECT_EQ(A->LastVisibleIndex(), 2);
}

TEST(BarStacking, OriginWidensTheValueRange)
{
    TBarChart C;
    TBarSeries* S = C.Add({10, 20}, mbNone);
    EXPECT_DOUBLE_EQ(S->MinYValue(), 0);
    S->SetYOrigin(50);
    EXPECT_DOUBLE_EQ(S->MaxYValue(), 50);
    S->SetUseYOrigin(false);
    EXPECT_DOUBLE_EQ(S->MinYValue(), 10);
    EXPECT_DOUBLE_EQ(S->MaxYValue(), 20);
    C.Layout();
    // Without origin the bars start at the vertical axis' end.
    EXPECT_EQ(S->GetOriginPos(0), C.Chart.LeftAxis()->EndPixel());
}

// --- Styles -------------------------------------------------------------------------------------

TEST(BarStyles, EveryStyleDrawsInsideItsBarIn2DAnd3D)
{
    struct TRow {
        TBarStyle Style;
        const char* Expected2D; // the first drawing call's name
    };
    const TRow Rows[] = {
        {bsRectangle, "Rectangle("}, {bsPyramid, "Polygon("},  {bsInvPyramid, "Polygon("}, {bsCilinder, "Rectangle("},
        {bsEllipse, "Ellipse("},     {bsArrow, "Polygon("},    {bsRectGradient, "Rectangle("},
        {bsCone, "Polygon("},        {bsBevel, "Rectangle("},  {bsSlantCube, "Rectangle("},
        {bsDiamond, "Polygon("},     {bsInvArrow, "Polygon("}, {bsInvCone, "Polygon("},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(int(Row.Style));
        for (const bool Is3D : {false, true}) {
            TBarChart C(Is3D);
            TBarSeries* S = C.Add({50}, mbNone);
            S->SetBarStyle(Row.Style);
            if (Is3D) {
                C.Chart.SetMaxZOrder(0);
                S->CalcZOrder();
                S->SetDepthPositions(0, 5, 10);
            }
            C.Layout();
            const QStringList Calls = C.Draw(*S);
            ASSERT_FALSE(Calls.isEmpty());
            if (!Is3D) {
                EXPECT_TRUE(Calls.first().startsWith(QLatin1String(Row.Expected2D))) << Calls.first().toStdString();
            }
        }
    }
}

TEST(BarStyles, PyramidsPointUpAndInvertedOnesDown)
{
    TBarChart C;
    TBarSeries* S = C.Add({50}, mbNone); // slot 200, bar 0: X -70 .. 71, Y 100 .. 200
    C.Layout();
    S->SetBarStyle(bsPyramid);
    EXPECT_TRUE(C.Draw(*S).contains(QStringLiteral("Polygon([-70 200;0 100;71 200])")))
        << C.Draw(*S).join(' ').toStdString();
    S->SetBarStyle(bsInvPyramid);
    EXPECT_TRUE(C.Draw(*S).contains(QStringLiteral("Polygon([-70 100;0 200;71 100])")))
        << C.Draw(*S).join(' ').toStdString();
    S->SetBarStyle(bsDiamond);
    EXPECT_TRUE(C.Draw(*S).contains(QStringLiteral("Polygon([0 100;71 150;0 200;-70 150])")))
        << C.Draw(*S).join(' ').toStdString();
}

TEST(BarStyles, OnGetBarStyleChoosesPerPoint)
{
    TBarChart C;
    TBarSeries* S = C.Add({50, 60}, mbNone);
    S->OnGetBarStyle = [](TCustomBarSeries*, int Index, TBarStyle& Style) {
        if (Index == 1)
            Style = bsEllipse;
    };
    C.Layout();
    const QStringList Calls = C.Draw(*S);
    ASSERT_EQ(Calls.size(), 2);
    EXPECT_TRUE(Calls[0].startsWith(QLatin1String("Rectangle(")));
    EXPECT_TRUE(Calls[1].startsWith(QLatin1String("Ellipse(")));
}

TEST(BarStyles, NullPointsDrawNothing)
{
    TBarChart C;
    TBarSeries* S = C.Add({50}, mbNone);
    S->AddNullXY(1, 0);
    C.Layout();
    EXPECT_EQ(C.Draw(*S).size(), 1);
}

TEST(BarDepth, DepthPercentKeepsTheMiddle)
{
    TBarChart C(true);
    TBarSeries* S = C.Add({50}, mbNone);
    S->SetDepth(40);
    S->SetDepthPercent(50);
    S->SetComputedZOrder(0);
    S->CalcDepthPositions();
    EXPECT_EQ(S->DepthStart(), 10);
    EXPECT_EQ(S->DepthEnd(), 30);
}

// --- Clicks -------------------------------------------------------------------------------------

TEST(BarClicks, EdgesAndStyles)
{
    TBarChart C;
    TBarSeries* S = C.Add({50, 20}, mbNone);
    C.Layout();
    const int Size = S->BarSize(); // slot 133: 94
    ASSERT_EQ(Size, 94);
    const int Left = S->CalcXPos(1);
    ASSERT_EQ(Left, 100 - 47);
    struct TRow {
        TBarStyle Style;
        int X;
        int Y;
        int Expected;
    };
    const TRow Rows[] = {
        {bsRectangle, Left, 180, 1},      {bsRectangle, Left - 1, 180, -1},
        {bsRectangle, Left + Size, 199, 1}, {bsRectangle, Left + Size + 1, 180, -1},
        {bsRectangle, Left + 10, 150, -1}, {bsRectangle, 0, 120, 0},
        {bsPyramid, 100, 162, 1},         {bsPyramid, Left + 1, 162, -1},
        {bsEllipse, 100, 180, 1},         {bsEllipse, Left + 1, 161, -1},
    };
    for (const TRow& Row : Rows) {
        S->SetBarStyle(Row.Style);
        EXPECT_EQ(S->Clicked(Row.X, Row.Y), Row.Expected) << int(Row.Style) << " " << Row.X << "," << Row.Y;
    }
    // Nothing visible: nothing clicked.
    S->SetVisibleRange(-1, -1);
    EXPECT_EQ(S->Clicked(100, 180), -1);
}

// --- Horizontal bars ----------------------------------------------------------------------------

TEST(HorizBar, LaysOutAcrossTheVerticalAxis)
{
    TBarChart C;
    for (TChartAxis* Axis : C.Chart.AxesList())
        Axis->SetMinMax(0, Axis->Horizontal() ? 100 : 4);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* S = C.Add<THorizBarSeries>({}, mbNone);
    S->AddXY(50, 1);
    S->AddXY(25, 2);
    C.Layout();
    // Slot 200 div 3 = 66, 70 % = 46.
    EXPECT_EQ(S->BarSize(), 46);
    const int Top = S->CalcYPos(0);
    EXPECT_EQ(Top, 150 - 23);
    EXPECT_EQ(S->CalcXPos(0), 200);
    EXPECT_EQ(S->GetOriginPos(0), 0);
    const QStringList Calls = C.Draw(*S);
    EXPECT_TRUE(Calls.contains(Rect(0, Top, 200, Top + 45))) << Calls.join(' ').toStdString();
    EXPECT_EQ(S->Clicked(100, Top), 0);
    EXPECT_EQ(S->Clicked(100, Top - 1), -1);
    EXPECT_EQ(S->Clicked(201, Top + 5), -1);
    EXPECT_DOUBLE_EQ(S->MinXValue(), 0);
    S->SetBarStyle(bsPyramid);
    EXPECT_TRUE(C.Draw(*S).first().startsWith(QLatin1String("Polygon([0 ")));
}

// Horizontal bars share the shapes of vertical ones, turned to point right.
TEST(HorizBar, ShapesPointRightAndInvertedOnesLeft)
{
    TBarChart C;
    for (TChartAxis* Axis : C.Chart.AxesList())
        Axis->SetMinMax(0, Axis->Horizontal() ? 100 : 4);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* S = C.Add<THorizBarSeries>({}, mbNone);
    S->AddXY(50, 1); // X 0 .. 200, Y 115 .. 184
    C.Layout();
    const struct {
        TBarStyle Style;
        const char* Call;
    } Rows[] = {
        {bsPyramid, "Polygon([0 115;200 149;0 184])"},
        {bsCone, "Polygon([0 115;200 149;0 184])"},
        {bsInvPyramid, "Polygon([200 115;0 149;200 184])"},
        {bsDiamond, "Polygon([0 149;100 184;200 149;100 115])"},
        {bsEllipse, "Ellipse(0,115,200,184)"},
        {bsSlantCube, "LineTo(200,149)"},
    };
    for (const auto& Row : Rows) {
        S->SetBarStyle(Row.Style);
        const QStringList Calls = C.Draw(*S);
        EXPECT_TRUE(Calls.contains(QString::fromLatin1(Row.Call))) << Calls.join(' ').toStdString();
    }
    // The arrow's head is the bar's right end.
    S->SetBarStyle(bsArrow);
    const QStringList Calls = C.Draw(*S);
    ASSERT_FALSE(Calls.isEmpty());
    EXPECT_TRUE(Calls.first().contains(QLatin1String("200 149"))) << Calls.join(' ').toStdString();
    EXPECT_EQ(S->Clicked(190, 149), 0);
    S->SetBarStyle(bsPyramid);
    EXPECT_EQ(S->Clicked(190, 149), 0);
    EXPECT_EQ(S->Clicked(190, 130), -1); // outside the triangle near its apex
    EXPECT_EQ(S->Clicked(5, 130), 0);
}

// A bar thinner than its pen is drawn with the pen in the bar's colour, in
// both orientations.
TEST(BarStyles, BarsThinnerThanThePenTakeTheirColourForThePen)
{
    for (const bool Horizontal : {false, true}) {
        TBarChart C;
        TCustomBarSeries* S = nullptr;
        if (Horizontal) {
            for (TChartAxis* Axis : C.Chart.AxesList())
                Axis->SetMinMax(0, Axis->Horizontal() ? 100 : 4);
            test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
            S = C.Add<THorizBarSeries>({}, mbNone);
            S->AddXY(50, 1);
        } else {
            S = C.Add<TBarSeries>({50}, mbNone);
        }
        S->SetCustomBarSize(3);
        S->BarPen()->SetWidth(5);
        S->SetSeriesColor(clBlue);
        C.Layout();
        C.Draw(*S);
        const QStringList& Calls = C.DC.Calls();
        const int Bar = static_cast<int>(Calls.indexOf(QRegularExpression("^Rectangle\\(.*")));
        ASSERT_GE(Bar, 0) << Horizontal;
        QString Pen;
        for (int I = Bar - 1; I >= 0 && Pen.isEmpty(); --I)
            if (Calls[I].startsWith("SelectPen("))
                Pen = Calls[I];
        EXPECT_TRUE(Pen.contains(QLatin1String(",0xFF0000,"))) << Horizontal << " " << Pen.toStdString();
    }
}

// The value axis' ticks cross a 3-D bar's front and run along the depth on
// the side face the viewer sees: the right face of a vertical bar, the top
// face of a horizontal one.
TEST(BarStyles3D, TickLinesRunAlongTheVisibleSideFace)
{
    for (const bool Horizontal : {false, true}) {
        TBarChart C(true);
        TCustomBarSeries* S = nullptr;
        TChartAxis* ValueAxis = Horizontal ? C.Chart.BottomAxis() : C.Chart.LeftAxis();
        if (Horizontal) {
            for (TChartAxis* Axis : C.Chart.AxesList())
                Axis->SetMinMax(0, Axis->Horizontal() ? 100 : 4);
            test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
            S = C.Add<THorizBarSeries>({}, mbNone);
            S->AddXY(80, 1);
        } else {
            S = C.Add<TBarSeries>({80}, mbNone);
        }
        S->TickLines()->SetVisible(true);
        ValueAxis->SetIncrement(25);
        ValueAxis->DrawAxis(true);
        C.Chart.SetMaxZOrder(0);
        S->CalcZOrder();
        S->SetDepthPositions(0, 5, 10);
        C.Layout();
        C.Draw(*S);
        const TRect& B = S->BarBounds();
        const int Pos = Horizontal ? 100 : C.Chart.LeftAxis()->CalcPosValue(50);
        const TPoint Corner = Horizontal ? TPoint{Pos, B.Top} : TPoint{B.Right, Pos};
        const TPoint Front = C.Chart.Canvas().Calculate3DPoint(Corner, 0);
        const TPoint Back = C.Chart.Canvas().Calculate3DPoint(Corner, 10);
        const QStringList& Calls = C.DC.Calls();
        const QString From = QStringLiteral("MoveTo(%1,%2)").arg(Front.X).arg(Front.Y);
        const QString To = QStringLiteral("LineTo(%1,%2)").arg(Back.X).arg(Back.Y);
        bool Found = false;
        for (int I = 0; I + 1 < Calls.size(); ++I)
            Found = Found || (Calls[I] == From && Calls[I + 1] == To);
        EXPECT_TRUE(Found) << Horizontal << " " << Calls.join(' ').toStdString();
    }
}

TEST(HorizBar, StacksAlongTheHorizontalAxisAndTouches)
{
    TBarChart C;
    for (TChartAxis* Axis : C.Chart.AxesList())
        Axis->SetMinMax(0, Axis->Horizontal() ? 100 : 4);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* A = C.Add<THorizBarSeries>({}, mbStacked);
    auto* B = C.Add<THorizBarSeries>({});
    A->AddXY(30, 0);
    A->AddXY(30, 1);
    B->AddXY(20, 0);
    B->AddXY(20, 1);
    C.Layout();
    EXPECT_EQ(B->MultiBar(), mbStacked);
    EXPECT_EQ(B->GetOriginPos(0), 120);
    EXPECT_EQ(B->CalcXPos(0), 200);
    EXPECT_DOUBLE_EQ(B->MaxXValue(), 50);
    EXPECT_EQ(A->CalcYPos(0), B->CalcYPos(0)) << "one column";
    // Full-width horizontal bars: each point's bottom is the previous top.
    A->SetBarWidthPercent(100);
    C.Layout();
    const QStringList Calls = C.Draw(*A);
    ASSERT_EQ(Calls.size(), 2);
    EXPECT_TRUE(Calls[1].endsWith(QStringLiteral(",%1)").arg(A->CalcYPos(0)))) << Calls.join(' ').toStdString();
}

// --- Settings, galleries ------------------------------------------------------------------------

TEST(BarSettings, DefaultsAssignAndGallery)
{
    TBarSeries S;
    EXPECT_EQ(S.BarWidthPercent(), 70);
    EXPECT_EQ(S.MultiBar(), mbSide);
    EXPECT_EQ(int(mbStacked100), 3);
    EXPECT_TRUE(S.Gradient()->Visible());
    EXPECT_EQ(S.Gradient()->Direction(), gdTopBottom);
    EXPECT_TRUE(S.Marks()->Visible());
    EXPECT_EQ(S.Marks()->Callout()->Length(), 20);
    EXPECT_FALSE(S.TickLines()->Visible());
    EXPECT_EQ(S.MandatoryValues()->Name(), QStringLiteral("Bar"));
    EXPECT_EQ(S.EditorClassName(), QStringLiteral("TBarSeriesEditor"));
    THorizBarSeries H;
    EXPECT_EQ(H.Gradient()->Direction(), gdLeftRight);
    EXPECT_FALSE(H.MandatoryIsY());

    TBarSeries Source;
    Source.SetBarStyle(bsCone);
    Source.SetMultiBar(mbStacked);
    Source.SetStackGroup(3);
    Source.SetYOrigin(5);
    Source.SetCustomBarSize(9);
    S.Assign(&Source);
    EXPECT_EQ(S.BarStyle(), bsCone);
    EXPECT_EQ(S.MultiBar(), mbStacked);
    EXPECT_EQ(S.StackGroup(), 3);
    EXPECT_DOUBLE_EQ(S.YOrigin(), 5);
    EXPECT_EQ(S.CustomBarSize(), 9);

    QStringList Captions;
    S.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    EXPECT_EQ(Captions.size(), 11);
    EXPECT_EQ(Captions.value(2), QStringLiteral("Pyramid"));
    EXPECT_EQ(Captions.value(8), QStringLiteral("Self Stacked"));
    struct TRow {
        int Index;
        TBarStyle Style;
        TMultiBar Mode;
    };
    const TRow Rows[] = {{2, bsPyramid, mbSide}, {3, bsEllipse, mbSide}, {4, bsInvPyramid, mbSide},
                         {5, bsRectGradient, mbSide}, {6, bsRectangle, mbStacked}, {7, bsRectangle, mbStacked100},
                         {8, bsRectangle, mbSelfStack}, {10, bsRectangle, mbSideAll}};
    for (const TRow& Row : Rows) {
        TBarSeries G;
        G.SetSubGallery(Row.Index);
        EXPECT_EQ(G.BarStyle(), Row.Style) << Row.Index;
        EXPECT_EQ(G.MultiBar(), Row.Mode) << Row.Index;
    }
    TBarSeries Colors;
    Colors.SetSubGallery(1);
    EXPECT_TRUE(Colors.ColorEachPoint());
}

// --- Painted charts ----------------------------------------------------------------------------

// A full chart of 320 x 200 with one bar series of Values, painted by Fill's
// settings; the bitmap stays for pixel checks.
struct TPainted {
    TChart Chart;
    TBarSeries* S = nullptr;
    std::unique_ptr<TBitmap> Picture;

    TPainted(std::initializer_list<double> Values, const std::function<void(TBarSeries&)>& Setup)
    {
        Chart.SetBounds(0, 0, 320, 200);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        S = new TBarSeries(&Chart);
        S->SetSeriesColor(clRed);
        S->Marks()->SetVisible(false);
        Chart.AddSeries(S);
        int X = 0;
        for (double V : Values)
            S->AddXY(X++, V);
        Setup(*S);
        Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    }
    TColor Pixel(int X, int Y) const { return Picture->Canvas().Pixel(X, Y); }
};

int Red(TColor C) { return C & 0xFF; }
int Blue(TColor C) { return (C >> 16) & 0xFF; }

TEST(BarPainted, TickLinesCrossTheBars)
{
    TPainted P({80, 60}, [](TBarSeries& S) {
        S.TickLines()->SetVisible(true);
        S.TickLines()->SetColor(clBlack);
        S.BarPen()->SetVisible(false);
    });
    const int Mid = P.S->CalcXPos(0) + P.S->BarSize() / 2;
    const int Top = P.S->CalcYPos(0);
    const int Bottom = P.S->GetOriginPos(0);
    int Crossed = 0;
    for (const int Tick : P.Chart.LeftAxis()->TickPositions())
        if (Tick > Top && Tick < Bottom) {
            EXPECT_EQ(P.Pixel(Mid, Tick) & 0xFFFFFF, 0) << Tick;
            ++Crossed;
        }
    EXPECT_GT(Crossed, 2);
}

TEST(BarPainted, GradientRunsFromTheBarColourToTheStartColour)
{
    TPainted P({80, 60}, [](TBarSeries& S) { S.SetBarStyle(bsRectGradient); });
    const int Mid = P.S->CalcXPos(0) + P.S->BarSize() / 2;
    const int Top = P.S->CalcYPos(0);
    const int Bottom = P.S->GetOriginPos(0);
    const TColor Near = P.Pixel(Mid, Top + 3);
    const TColor Far = P.Pixel(Mid, Bottom - 3);
    EXPECT_GT(Red(Near), 200);
    EXPECT_LT(Blue(Near), 60);
    EXPECT_GT(Blue(Far), 180) << "white at the base";
}

TEST(BarPainted, RelativeGradientPalesLowerBars)
{
    TPainted P({80, 40}, [](TBarSeries& S) {
        S.SetBarStyle(bsRectGradient);
        S.Gradient()->SetRelative(true);
    });
    const int Mid0 = P.S->CalcXPos(0) + P.S->BarSize() / 2;
    const int Mid1 = P.S->CalcXPos(1) + P.S->BarSize() / 2;
    const TColor Full = P.Pixel(Mid0, P.S->CalcYPos(0) + 3);
    const TColor Half = P.Pixel(Mid1, P.S->CalcYPos(1) + 3);
    EXPECT_LT(Blue(Full), 60) << "the largest value ends in the bar colour";
    EXPECT_GT(Blue(Half), 90) << "half way between white and the bar colour";
}

TEST(BarPainted, MarksStandBeyondTheValueEnd)
{
    TPainted P({50, -30}, [](TBarSeries& S) {
        S.Marks()->SetVisible(true);
        S.SetUseYOrigin(true);
    });
    // The chart's canvas stays bound to the painted bitmap's size.
    auto Target = test::BindCanvas(P.Chart);
    TSeriesMarkPosition UpPos;
    UpPos.MarkWidth = 20;
    UpPos.MarkHeight = 12;
    TSeriesMarkPosition DownPos = UpPos;
    P.S->DrawMark(0, QStringLiteral("50"), UpPos);
    P.S->DrawMark(1, QStringLiteral("-30"), DownPos);
    const TSeriesMarkPosition* Up = &UpPos;
    const TSeriesMarkPosition* Down = &DownPos;
    // Centred on the bar.
    EXPECT_EQ(Up->ArrowStart.X, P.S->CalcXPos(0) + P.S->BarSize() / 2);
    EXPECT_EQ(Up->TopLeft.X, Up->ArrowStart.X - 10);
    // Above a rising bar, below a falling one.
    EXPECT_LT(Up->TopLeft.Y + Up->MarkHeight, P.S->CalcYPos(0));
    EXPECT_GT(Down->TopLeft.Y, P.S->CalcYPos(1));
    EXPECT_EQ(Down->ArrowEnd.Y - Down->ArrowStart.Y, P.S->Marks()->Callout()->Length());
}

TEST(BarPainted, ExtremeSettingsStayWithinThePixelLimit)
{
    struct TRow {
        int Custom;
        int Offset;
        int Percent;
        int Depth;
    };
    const int Big = std::numeric_limits<int>::max();
    const TRow Rows[] = {{Big, 0, 70, 100}, {0, Big, 70, 100}, {0, -Big, 70, 100},
                         {0, 0, Big, 100},  {-Big, 0, 70, 100}, {0, 0, 70, -Big}};
    for (const TRow& Row : Rows) {
        TPainted P({10, 20}, [&](TBarSeries& S) {
            S.SetCustomBarSize(Row.Custom);
            S.SetOffsetPercent(Row.Offset);
            S.SetBarWidthPercent(Row.Percent);
            S.SetDepthPercent(Row.Depth);
        });
        EXPECT_LE(std::abs(P.S->CalcXPos(1)), PlotMaxPixelPos);
        EXPECT_LE(std::abs(P.S->BarSize()), PlotMaxPixelPos);
        EXPECT_GE(P.S->Clicked(0, 0), -1);
    }
}

TEST(BarPainted, OnePointPerPageShowsThePageOnly)
{
    TBarChart C;
    TBarSeries* S = C.Add({1, 2, 3}, mbNone);
    C.Chart.SetMaxPointsPerPage(1);
    struct TRow {
        int Page;
        int First;
    };
    for (const TRow Row : {TRow{1, 0}, TRow{3, 2}}) {
        C.Chart.SetPage(Row.Page);
        S->CalcFirstLastVisibleIndex();
        EXPECT_EQ(S->FirstVisibleIndex(), Row.First);
        EXPECT_EQ(S->LastVisibleIndex(), Row.First);
    }
    S->DoBeforeDrawChart();
    EXPECT_EQ(S->MaxBarPoints(), 1);
}

TEST(BarOrder, DrawingDirectionOfStacks)
{
    struct TRow {
        int Mode;
        double Value;
        bool Inverted;
        bool Forward;
    };
    const TRow Rows[] = {{mbStacked100, 5, false, true}, {mbStacked100, 5, true, false},
                         {mbStacked, 5, false, true},    {mbStacked, -5, false, false},
                         {mbStacked, -5, true, true},    {mbSelfStack, 5, true, false}};
    for (const TRow& Row : Rows) {
        TBarChart C;
        TBarSeries* S = C.Add({Row.Value}, Row.Mode);
        C.Chart.LeftAxis()->SetInverted(Row.Inverted);
        C.Layout();
        EXPECT_EQ(S->DrawSeriesForward(), Row.Forward) << Row.Mode << " " << Row.Value << " " << Row.Inverted;
    }
}

TEST(BarStyles3D, CubesAndPyramidsUseTheSeriesDepth)
{
    TBarChart C(true);
    TBarSeries* S = C.Add({50}, mbNone);
    S->SetDepthPositions(0, 10, 20);
    C.Layout();
    S->SetBarStyle(bsRectangle);
    const QStringList Cube = C.Draw(*S);
    // A cube shows at least its front face and one more.
    EXPECT_GE(Cube.size(), 2) << Cube.join(' ').toStdString();
    S->SetBarStyle(bsPyramid);
    EXPECT_FALSE(C.Draw(*S).isEmpty());
    // A click on the front face of the cube hits.
    S->SetBarStyle(bsRectangle);
    int X = S->CalcXPos(0) + 5;
    int Y = 180;
    const TPoint Front = C.Chart.Canvas().Calculate3DPosition(X, Y, S->DepthStart());
    EXPECT_EQ(S->Clicked(Front.X, Front.Y), 0);
}

TEST(BarDepth, GroupedSeriesShareOneDepthSlot)
{
    struct TRow {
        int Mode;
        int Orders[3];
    };
    const TRow Rows[] = {{mbSide, {0, 0, 0}}, {mbStacked, {0, 0, 0}}, {mbNone, {0, 1, 2}}};
    for (const TRow& Row : Rows) {
        TBarChart C(true);
        TBarSeries* S[3] = {C.Add({1}, Row.Mode), C.Add({2}), C.Add({3})};
        C.Chart.SetMaxZOrder(-1);
        for (TBarSeries* B : S)
            B->CalcZOrder();
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(S[I]->ZOrder(), Row.Orders[I]) << Row.Mode << " " << I;
    }
}

TEST(BarGallery, GroupingStylesInAGalleryChartGetACompanion)
{
    TBarChart C;
    TBarSeries* S = C.Add({1, 2, 3});
    S->SetSubGallery(7);
    EXPECT_EQ(S->MultiBar(), mbStacked100);
    // The companion exists where the class can be created by name.
    for (TChartSeries* Other : C.Chart.SeriesList()) {
        auto* B = qobject_cast<TBarSeries*>(Other);
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->MultiBar(), mbStacked100);
        if (B != S) {
            EXPECT_EQ(B->Count(), 2);
            EXPECT_FALSE(B->Marks()->Visible());
        }
    }
    // Sample bars stand at 0, 1, 2, ...
    TBarSeries Sample;
    Sample.FillSampleValues(4);
    for (int I = 0; I < 4; ++I)
        EXPECT_DOUBLE_EQ(Sample.XValues()->Value(I), I);
    EXPECT_EQ(Sample.NumSampleValues(), 6);
}

// --- Pictures -----------------------------------------------------------------------------------

TEST(BarPicture, SideBySideBarChart)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    const TColor Colors[] = {clRed, clBlue};
    for (int K = 0; K < 2; ++K) {
        auto* S = new TBarSeries(&Chart);
        S->SetSeriesColor(Colors[K]);
        S->Marks()->SetVisible(false);
        Chart.AddSeries(S);
        for (int I = 0; I < 4; ++I)
            S->AddXY(I, 10 + 10 * ((I + 2 * K) % 4));
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "bar", "bar-chart"));
}

} // namespace
} // namespace lp
