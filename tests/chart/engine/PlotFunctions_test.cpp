// The function walks (all points, by period, moving window, many series)
// and the basic functions, against hand-computed tables; a function's output
// reaching its series in the order of its X list.

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using namespace lp;
using namespace lp::test;

namespace {

using TPoints = std::vector<std::pair<double, double>>;

TPoints PointsOf(const TChartSeries* S)
{
    TPoints Result;
    for (int I = 0; I < S->Count(); ++I)
        Result.emplace_back(S->XValues()->Value(I), S->YValues()->Value(I));
    return Result;
}

void ExpectPoints(const TChartSeries* S, const TPoints& Expected)
{
    const TPoints Got = PointsOf(S);
    ASSERT_EQ(Got.size(), Expected.size());
    for (size_t I = 0; I < Got.size(); ++I) {
        EXPECT_NEAR(Got[I].first, Expected[I].first, 1e-9) << "X of point " << I;
        EXPECT_NEAR(Got[I].second, Expected[I].second, 1e-9) << "Y of point " << I;
    }
}

// A chart with source series and one parent series fed by a function.
struct TFixture {
    TTestChart Chart;
    TChartSeries* Parent;

    TFixture() : Parent(NewSeries()) {}

    TChartSeries* NewSeries()
    {
        auto* S = new TChartSeries(&Chart);
        Chart.AddSeries(S);
        return S;
    }
    TChartSeries* Source(const TPoints& Points)
    {
        TChartSeries* S = NewSeries();
        for (const auto& [X, Y] : Points)
            S->AddXY(X, Y);
        return S;
    }
    // Parent takes F and is fed by Sources (in this order).
    template <class T>
    T* Feed(T* F, std::initializer_list<TChartSeries*> Sources)
    {
        Parent->SetFunction(F);
        bool First = true;
        for (TChartSeries* S : Sources) {
            if (First)
                Parent->SetDataSource(S);
            else
                Parent->DataSources().Add(S);
            First = false;
        }
        return F;
    }
};

// Sums the window: makes the moving walk visible.
class TMovingSumFunction : public TPlotMovingFunction {
public:
    using TPlotMovingFunction::TPlotMovingFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override
    {
        double Sum = 0;
        for (int I = FirstIndex; I <= LastIndex; ++I)
            Sum += Source->YValues()->Value(I);
        return Sum;
    }
};

const TPoints FivePoints{{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}};

// --- Base settings -------------------------------------------------------------------------------

TEST(PlotFunction, DefaultsOfTheClasses)
{
    TPlotFunction Base;
    EXPECT_EQ(Base.Period(), 0);
    EXPECT_EQ(Base.PeriodStyle(), TPlotFunction::psNumPoints);
    EXPECT_EQ(Base.PeriodAlign(), TPlotFunction::paCenter);
    EXPECT_TRUE(Base.UsesPeriod());
    EXPECT_FALSE(Base.RecalculateOnRefill());
    EXPECT_FALSE(Base.IsMoving());
    EXPECT_EQ(Base.GetEditorClassName(), "TPlotFunctionEditor");
    EXPECT_EQ(Base.Calculate(nullptr, -1, -1), 0);
    EXPECT_EQ(Base.CalculateMany({}, 0), 0);

    EXPECT_FALSE(Base.PeriodRequired());

    TPlotMovingFunction Moving;
    EXPECT_EQ(Moving.Period(), 1);
    EXPECT_TRUE(Moving.IsMoving());
    EXPECT_TRUE(Moving.PeriodRequired());

    TCustomPlotFunction Custom;
    EXPECT_EQ(Custom.Period(), 1);
    EXPECT_EQ(Custom.NumPoints(), 100);
    EXPECT_EQ(Custom.StartX(), 0);
    EXPECT_TRUE(Custom.RecalculateOnRefill());
    EXPECT_EQ(Custom.GetEditorClassName(), "TCustomFunctionEditor");

    TAveragePlotFunction Average;
    EXPECT_TRUE(Average.IncludeNulls());
    EXPECT_EQ(Average.GetEditorClassName(), "TAverageFuncEditor");
    TMedianPlotFunction Median;
    EXPECT_TRUE(Median.IncludeNulls());
}

TEST(PlotFunction, NegativePeriodIsRefusedAndTheOldOneStays)
{
    TAddPlotFunction F;
    F.SetPeriod(2);
    try {
        F.SetPeriod(-1);
        FAIL() << "no exception";
    } catch (const ChartException& E) {
        EXPECT_EQ(QString::fromUtf8(E.what()), PlotMsg_FunctionPeriod);
    }
    EXPECT_EQ(F.Period(), 2);
}

TEST(PlotFunction, AssignCopiesThePeriodSettings)
{
    TAveragePlotFunction A, B;
    A.SetPeriod(3);
    A.SetPeriodStyle(TPlotFunction::psRange);
    A.SetPeriodAlign(TPlotFunction::paLast);
    A.SetIncludeNulls(false);
    B.Assign(&A);
    EXPECT_EQ(B.Period(), 3);
    EXPECT_EQ(B.PeriodStyle(), TPlotFunction::psRange);
    EXPECT_EQ(B.PeriodAlign(), TPlotFunction::paLast);
    EXPECT_FALSE(B.IncludeNulls());
}

TEST(PlotFunction, SettersRecalculateUnlessUpdating)
{
    TFixture T;
    auto* F = T.Feed(new TAddPlotFunction(), {T.Source(FivePoints)});
    EXPECT_EQ(F->ParentSeries(), T.Parent);
    ExpectPoints(T.Parent, {{3, 150}});
    F->BeginUpdate();
    F->SetPeriod(2);
    ExpectPoints(T.Parent, {{3, 150}});
    T.Parent->CheckDataSource(); // a refill while updating adds nothing
    EXPECT_EQ(T.Parent->Count(), 0);
    F->EndUpdate();
    ExpectPoints(T.Parent, {{1.5, 30}, {3.5, 70}});
    F->SetPeriodAlign(TPlotFunction::paFirst);
    ExpectPoints(T.Parent, {{1, 30}, {3, 70}});
}

// --- All points and periods ----------------------------------------------------------------------

TEST(PlotFunction, AllPointsCentredOrAtBothEnds)
{
    TFixture T;
    T.Feed(new TAddPlotFunction(), {T.Source({{2, 1}, {4, 2}, {10, 3}})});
    ExpectPoints(T.Parent, {{6, 6}});
    T.Parent->SetFunctionResultCentered(false);
    T.Parent->CheckDataSource();
    ExpectPoints(T.Parent, {{2, 6}, {10, 6}});
}

TEST(PlotFunction, AnEmptySourceAddsNothing)
{
    TFixture T;
    T.Feed(new TAddPlotFunction(), {T.NewSeries()});
    EXPECT_EQ(T.Parent->Count(), 0);
}

struct TPeriodRow {
    const char* Name;
    TPlotFunction::TFunctionPeriodStyle Style;
    double Period;
    TPlotFunction::TFunctionPeriodAlign Align;
    TPoints Source;
    TPoints Expected;
};

// Range source: X 0, 1, 2.5 | (3 .. 6 empty) | 7, 8 with period 3 from 0.
const TPoints RangeSource{{0, 1}, {1, 2}, {2.5, 3}, {7, 4}, {8, 5}};

const TPeriodRow PeriodRows[] = {
    {"points first", TPlotFunction::psNumPoints, 2, TPlotFunction::paFirst, FivePoints, {{1, 30}, {3, 70}}},
    {"points center", TPlotFunction::psNumPoints, 2, TPlotFunction::paCenter, FivePoints, {{1.5, 30}, {3.5, 70}}},
    {"points last", TPlotFunction::psNumPoints, 2, TPlotFunction::paLast, FivePoints, {{2, 30}, {4, 70}}},
    {"points whole", TPlotFunction::psNumPoints, 5, TPlotFunction::paCenter, FivePoints, {{3, 150}}},
    {"points too few", TPlotFunction::psNumPoints, 6, TPlotFunction::paCenter, FivePoints, {}},
    // A period rounding to 0 points used to never advance the walk.
    {"points below half", TPlotFunction::psNumPoints, 0.3, TPlotFunction::paFirst, FivePoints,
     {{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}}},
    // A huge period must not overflow the last index.
    {"points huge", TPlotFunction::psNumPoints, 1e12, TPlotFunction::paFirst, FivePoints, {}},
    {"range first", TPlotFunction::psRange, 3, TPlotFunction::paFirst, RangeSource, {{0, 6}, {3, 0}, {6, 9}}},
    {"range center", TPlotFunction::psRange, 3, TPlotFunction::paCenter, RangeSource,
     {{1.4985, 6}, {4.4985, 0}, {7.4985, 9}}},
    {"range last", TPlotFunction::psRange, 3, TPlotFunction::paLast, RangeSource,
     {{2.997, 6}, {5.997, 0}, {8.997, 9}}},
    {"range all in one", TPlotFunction::psRange, 100, TPlotFunction::paFirst, RangeSource, {{0, 15}}},
};

class PlotFunctionPeriods : public ::testing::TestWithParam<TPeriodRow> {};

TEST_P(PlotFunctionPeriods, AddByPeriod)
{
    const TPeriodRow& Row = GetParam();
    TFixture T;
    auto* F = new TAddPlotFunction();
    F->SetPeriodStyle(Row.Style);
    F->SetPeriodAlign(Row.Align);
    F->SetPeriod(Row.Period);
    T.Feed(F, {T.Source(Row.Source)});
    ExpectPoints(T.Parent, Row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotFunctionPeriods, ::testing::ValuesIn(PeriodRows),
                         [](const auto& Info) {
                             std::string N = Info.param.Name;
                             for (char& C : N)
                                 if (C == ' ')
                                     C = '_';
                             return N;
                         });

TEST(PlotFunction, RangePeriodsTooManyToComputeAddNothing)
{
    // Regression: "Every range" with a period of 1e-9 over an X span of 30
    // added one point per empty range (about 3e10) until memory ran out.
    TFixture T;
    TChartSeries* Source = T.Source({{0, 1}, {30, 2}});
    EXPECT_DOUBLE_EQ(TPlotFunction::RangeCount(*Source->XValues(), 1e-9), std::floor(30 / 1e-9) + 1);
    EXPECT_THROW(TPlotFunction::CheckRangeCount(*Source, 1e-9), ChartException);
    EXPECT_NO_THROW(TPlotFunction::CheckRangeCount(*Source, 30.0 / (MaxFunctionPoints - 1)));
    EXPECT_NO_THROW(TPlotFunction::CheckRangeCount(*Source, 0)); // no periods
    auto* F = T.Feed(new TAddPlotFunction(), {Source});
    F->SetPeriodStyle(TPlotFunction::psRange);
    F->SetPeriod(1e-9);
    EXPECT_EQ(T.Parent->Count(), 0);
    // Within the limit every range has its point, the empty ones included.
    F->SetPeriod(0.01);
    EXPECT_NEAR(T.Parent->Count(), 3001, 1);
    EXPECT_DOUBLE_EQ(T.Parent->YValues()->Total(), 3);
}

TEST(PlotFunction, RangePeriodsEndAtPositionsNoRangeHolds)
{
    // Positions without a span (infinite) or past every range (NaN after the
    // largest) end the range walk instead of adding empty ranges for ever.
    struct TRow {
        const char* Name;
        TPoints Source;
        size_t Expected;
    } Rows[] = {
        {"infinite", {{0, 1}, {HUGE_VAL, 2}}, 0},
        {"NaN first", {{std::nan(""), 1}, {1, 2}}, 0},
        {"NaN last", {{0, 1}, {2, 2}, {std::nan(""), 3}}, 3},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TFixture T;
        TChartSeries* Source = T.NewSeries();
        Source->XValues()->SetOrder(loNone);
        for (const auto& [X, Y] : Row.Source)
            Source->AddXY(X, Y);
        auto* F = new TAddPlotFunction();
        F->SetPeriodStyle(TPlotFunction::psRange);
        F->SetPeriod(1);
        T.Feed(F, {Source});
        EXPECT_EQ(PointsOf(T.Parent).size(), Row.Expected);
    }
}

TEST(PlotFunction, DateTimeRangePeriodsStepByCalendarMonths)
{
    TFixture T;
    TChartSeries* S = T.NewSeries();
    S->XValues()->SetDateTime(true);
    const TDateTime Jan1 = EncodeDate(2026, 1, 1), Feb1 = EncodeDate(2026, 2, 1), Mar1 = EncodeDate(2026, 3, 1);
    S->AddXY(Jan1, 1);
    S->AddXY(EncodeDate(2026, 1, 20), 2);
    S->AddXY(Feb1, 3);
    S->AddXY(EncodeDate(2026, 2, 27), 4);
    S->AddXY(EncodeDate(2026, 3, 5), 5);
    auto* F = new TAddPlotFunction();
    F->SetPeriodStyle(TPlotFunction::psRange);
    F->SetPeriodAlign(TPlotFunction::paFirst);
    F->SetPeriod(DateTimeStep(dtOneMonth));
    T.Feed(F, {S});
    ExpectPoints(T.Parent, {{Jan1, 3}, {Feb1, 7}, {Mar1, 5}});
    EXPECT_TRUE(T.Parent->XValues()->DateTime());
}

TEST(PlotFunction, HorizontalSourceAndParentExchangeXAndY)
{
    TFixture T;
    TChartSeries* S = T.NewSeries();
    S->SetHorizontal();
    for (const auto& [Pos, V] : FivePoints)
        S->AddXY(V, Pos); // X holds the values, Y the positions
    T.Parent->SetHorizontal();
    auto* F = new TAddPlotFunction();
    F->SetPeriod(2);
    F->SetPeriodAlign(TPlotFunction::paFirst);
    T.Feed(F, {S});
    ASSERT_EQ(T.Parent->Count(), 2);
    EXPECT_EQ(T.Parent->XValues()->Value(0), 30);
    EXPECT_EQ(T.Parent->YValues()->Value(0), 1);
    EXPECT_EQ(T.Parent->XValues()->Value(1), 70);
    EXPECT_EQ(T.Parent->YValues()->Value(1), 3);
}

// --- Moving window -------------------------------------------------------------------------------

struct TMovingRow {
    double Period;
    TPoints Expected;
};

TEST(PlotFunction, MovingWindow)
{
    const TMovingRow Rows[] = {
        {3, {{3, 60}, {4, 90}, {5, 120}}},
        {1, FivePoints},
        {5, {{5, 150}}},
        {6, {}},
    };
    for (const TMovingRow& Row : Rows) {
        TFixture T;
        auto* F = new TMovingSumFunction();
        F->SetPeriod(Row.Period);
        T.Feed(F, {T.Source(FivePoints)});
        SCOPED_TRACE(Row.Period);
        ExpectPoints(T.Parent, Row.Expected);
    }
}

// --- A function's output -------------------------------------------------------------------------

// Regression: a function added its output point by point as it computed
// them; points against the order of the output's X list were each searched
// for and shifted in (the square of the count per computation, the cube
// over a source growing point by point). Now the points are held from the
// first one against the order, put in order once and appended, with the
// very result AddXY one by one gives: equal X in the order they came.
TEST(FunctionOutput, PutInTheListsOrderThenAppended)
{
    const TPoints Computed = {{3, 0}, {1, 1}, {2, 2}, {1, 3}, {3, 4}, {0, 5}};
    for (TChartListOrder Order : {loAscending, loDescending, loNone}) {
        SCOPED_TRACE(Order);
        TChartSeries OneByOne;
        TChartSeries Together;
        OneByOne.XValues()->SetOrder(Order);
        Together.XValues()->SetOrder(Order);
        TInsertWatch Watch(Together);
        TFunctionOutput Output(Together);
        for (const auto& [X, Y] : Computed) {
            OneByOne.AddXY(X, Y);
            Output.Add(X, Y);
        }
        Output.Finish();
        EXPECT_EQ(PointsOf(&Together), PointsOf(&OneByOne));
        EXPECT_EQ(Watch.Shifted, 0);
    }
}

TEST(FunctionOutput, PointsInOrderGoStraightToTheEnd)
{
    TChartSeries Target;
    Target.AddXY(1, 10);
    TInsertWatch Watch(Target);
    TFunctionOutput Output(Target);
    Output.Add(1, 20);
    Output.Add(4, 30);
    EXPECT_EQ(Target.Count(), 3); // added at once, nothing held
    // A point against the order: the two added are taken back and held
    // with it; all three land in order at the end.
    Output.Add(2, 40);
    EXPECT_EQ(Target.Count(), 1);
    Output.Add(5, 50);
    Output.Finish();
    EXPECT_EQ(PointsOf(&Target), (TPoints{{1, 10}, {1, 20}, {2, 40}, {4, 30}, {5, 50}}));
    EXPECT_EQ(Watch.Shifted, 0);
    // Not finished: what was held is dropped.
    {
        TFunctionOutput Dropped(Target);
        Dropped.Add(0, 1);
    }
    EXPECT_EQ(Target.Count(), 5);
}

// Both series hold the same points, NaN X where the other has NaN X.
void ExpectSamePoints(const TChartSeries& A, const TChartSeries& B)
{
    const TPoints PA = PointsOf(&A);
    const TPoints PB = PointsOf(&B);
    ASSERT_EQ(PA.size(), PB.size());
    for (size_t I = 0; I < PA.size(); ++I) {
        EXPECT_TRUE(PA[I].first == PB[I].first || (std::isnan(PA[I].first) && std::isnan(PB[I].first))) << I;
        EXPECT_EQ(PA[I].second, PB[I].second) << I;
    }
}

TEST(FunctionOutput, NaNOrAListOutOfItsOrderTakesThePointsAsTheyCame)
{
    const auto AddBothWays = [](TChartSeries& OneByOne, TChartSeries& Together, const TPoints& Computed) {
        TFunctionOutput Output(Together);
        for (const auto& [X, Y] : Computed) {
            // A point without a position is left out.
            if (!std::isnan(X))
                OneByOne.AddXY(X, Y);
            Output.Add(X, Y);
        }
        Output.Finish();
        ExpectSamePoints(OneByOne, Together);
    };
    // A NaN X has no place in an order (nor on an axis): the others as
    // AddXY one by one places them.
    TChartSeries OneByOne;
    TChartSeries Together;
    AddBothWays(OneByOne, Together, {{2, 0}, {std::nan(""), 1}, {1, 2}, {0, 3}});
    // A list read out of its order: the search from its end places them.
    TChartSeries ReadOneByOne;
    TChartSeries ReadTogether;
    for (TChartSeries* S : {&ReadOneByOne, &ReadTogether}) {
        S->XValues()->SetOrder(loNone);
        S->AddXY(5, 0);
        S->AddXY(1, 0);
        S->XValues()->SetOrder(loAscending);
    }
    AddBothWays(ReadOneByOne, ReadTogether, {{4, 1}, {0, 2}, {3, 3}});
}

TEST(FunctionOutput, AMovingWindowOverASourceAgainstTheOrderAppendsEveryPoint)
{
    // The source's X list keeps the order of adding; its days come newest
    // first, so the window results come against the output's order.
    TFixture T;
    TChartSeries* Source = T.Source({});
    Source->XValues()->SetOrder(loNone);
    for (double X : {5, 4, 3, 2, 1})
        Source->AddXY(X, X * 30);
    auto* F = new TMovingSumFunction();
    F->SetPeriod(2);
    TInsertWatch Watch(*T.Parent);
    T.Feed(F, {Source});
    ExpectPoints(T.Parent, {{1, 90}, {2, 150}, {3, 210}, {4, 270}});
    EXPECT_GE(Watch.Added, 4);
    EXPECT_EQ(Watch.Shifted, 0);
}

// --- Many series ---------------------------------------------------------------------------------

struct TManyRow {
    const char* Name;
    TPlotFunction* (*Make)();
    std::vector<double> Expected; // Y at X = 1 .. 5
};

template <class T>
TPlotFunction* Make()
{
    return new T();
}

// Guards divide by zero producing infinities, and low/high pinned to 0 when
// the list's first source lacks the point.
TEST(PlotFunction, ManySeriesPointByPoint)
{
    // First source: 3 points, second: 5 with a zero at index 2.
    // Divide by zero leaves the running result unchanged (30 / 0 -> 30).
    const TManyRow Rows[] = {
        {"add", Make<TAddPlotFunction>, {11, 22, 30, 4, 5}},
        {"subtract", Make<TSubtractPlotFunction>, {9, 18, 30, 4, 5}},
        {"multiply", Make<TMultiplyPlotFunction>, {10, 40, 0, 4, 5}},
        {"divide", Make<TDividePlotFunction>, {10, 10, 30, 4, 5}},
        {"high", Make<THighPlotFunction>, {10, 20, 30, 4, 5}},
        {"low", Make<TLowPlotFunction>, {1, 2, 0, 4, 5}},
        {"average", Make<TAveragePlotFunction>, {5.5, 11, 15, 4, 5}},
        {"median", Make<TMedianPlotFunction>, {5.5, 11, 15, 4, 5}},
        {"mode", Make<TModePlotFunction>, {1, 2, 0, 4, 5}},
    };
    for (const TManyRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TFixture T;
        TChartSeries* A = T.Source({{1, 10}, {2, 20}, {3, 30}});
        TChartSeries* B = T.Source({{1, 1}, {2, 2}, {3, 0}, {4, 4}, {5, 5}});
        T.Feed(Row.Make(), {A, B});
        TPoints Expected;
        for (size_t I = 0; I < Row.Expected.size(); ++I)
            Expected.emplace_back(double(I + 1), Row.Expected[I]);
        ExpectPoints(T.Parent, Expected);
    }
}

TEST(PlotFunction, ManySeriesTakesLabelsFromTheLongestSource)
{
    TFixture T;
    TChartSeries* A = T.Source({{1, 10}});
    TChartSeries* B = T.NewSeries();
    B->AddXY(1, 1, "one");
    B->AddXY(2, 2, "two");
    T.Feed(new TAddPlotFunction(), {A, B});
    ASSERT_EQ(T.Parent->Count(), 2);
    EXPECT_EQ(T.Parent->Labels().GetLabel(0), "one");
    EXPECT_EQ(T.Parent->Labels().GetLabel(1), "two");
}

TEST(PlotFunction, ManySeriesDivideAndSubtractOrder)
{
    TFixture T;
    TChartSeries* A = T.Source({{1, 100}});
    TChartSeries* B = T.Source({{1, 5}});
    TChartSeries* C = T.Source({{1, 2}});
    T.Feed(new TDividePlotFunction(), {A, B, C});
    ExpectPoints(T.Parent, {{1, 10}});
    T.Parent->SetFunction(new TSubtractPlotFunction());
    ExpectPoints(T.Parent, {{1, 93}});
}

// --- High, low, average with nulls ---------------------------------------------------------------

TChartSeries* WithNulls(TFixture& T)
{
    TChartSeries* S = T.NewSeries();
    S->AddXY(1, 2);
    S->AddNullXY(2, 0);
    S->AddXY(3, 4);
    S->AddNullXY(4, 10);
    return S;
}

TEST(PlotFunction, HighLowAverageOverRanges)
{
    TFixture T;
    TChartSeries* S = WithNulls(T);
    T.Parent->SetDataSource(S);
    THighPlotFunction High;
    TLowPlotFunction Low;
    TAveragePlotFunction Average;
    struct TRow {
        TPlotFunction* F;
        int First, Last;
        double Expected;
    } Rows[] = {
        {&High, -1, -1, 10}, {&High, 0, 1, 2},  {&High, 2, 1, 0}, {&Low, -1, -1, 0}, {&Low, 2, 3, 4},
        {&Low, 3, 2, 0},     {&Average, -1, -1, 4}, {&Average, 0, 2, 2}, {&Average, 1, 0, 0},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.First);
        EXPECT_DOUBLE_EQ(Row.F->Calculate(S, Row.First, Row.Last), Row.Expected);
    }
    Average.SetIncludeNulls(false);
    EXPECT_DOUBLE_EQ(Average.Calculate(S, -1, -1), 3);
    EXPECT_DOUBLE_EQ(Average.Calculate(S, 1, 1), 0); // only a null: nothing summed
    EXPECT_DOUBLE_EQ(Average.Calculate(S, 0, 3), 3);
    EXPECT_THROW(High.Calculate(S, 0, 4), ERangeError);
}

TEST(PlotFunction, AverageSkipsNullsThroughTheParent)
{
    TFixture T;
    auto* F = T.Feed(new TAveragePlotFunction(), {WithNulls(T)});
    ExpectPoints(T.Parent, {{2.5, 4}});
    F->SetIncludeNulls(false);
    ExpectPoints(T.Parent, {{2.5, 3}});

    TFixture AllNull;
    TChartSeries* S = AllNull.NewSeries();
    S->AddNullXY(1, 5);
    S->AddNullXY(2, 7);
    auto* G = new TAveragePlotFunction();
    G->SetIncludeNulls(false);
    AllNull.Feed(G, {S});
    ExpectPoints(AllNull.Parent, {{1.5, 0}});
}

TEST(PlotFunction, AverageManySkipsNullPoints)
{
    TFixture T;
    TChartSeries* A = T.Source({{1, 2}});
    TChartSeries* B = T.NewSeries();
    B->AddNullXY(1, 10);
    auto* F = T.Feed(new TAveragePlotFunction(), {A, B});
    ExpectPoints(T.Parent, {{1, 6}});
    F->SetIncludeNulls(false);
    ExpectPoints(T.Parent, {{1, 2}});
}

// --- Median and mode -----------------------------------------------------------------------------

struct TSortedRow {
    std::vector<double> Values;
    double Median, Mode;
};

// Guards the median off by one (2.5 for 1, 2, 3 and 3 for 1, 2, 3, 4) and
// median / mode of no values reading past the data.
TEST(PlotFunction, MedianAndMode)
{
    const TSortedRow Rows[] = {
        {{1, 2, 3}, 2, 1},
        {{1, 2, 3, 4}, 2.5, 1},
        {{4, 1, 3, 2}, 2.5, 1},
        {{1, 2, 2, 3, 3}, 2, 2},
        {{3, 3, 1, 1}, 2, 1},
        {{7}, 7, 7},
        {{5, 9, 9, 1}, 7, 9},
        {{}, 0, 0},
    };
    for (const TSortedRow& Row : Rows) {
        TFixture T;
        TChartSeries* S = T.NewSeries();
        for (double V : Row.Values)
            S->Add(V);
        TMedianPlotFunction Median;
        TModePlotFunction Mode;
        T.Parent->SetDataSource(S);
        SCOPED_TRACE(Row.Values.size());
        EXPECT_DOUBLE_EQ(Median.Calculate(S, -1, -1), Row.Median);
        EXPECT_DOUBLE_EQ(Mode.Calculate(S, -1, -1), Row.Mode);
    }
}

// Guards skipped nulls leaving 0 entries in the sorted data.
TEST(PlotFunction, SortedFunctionsKeepOnlyTheValuesTaken)
{
    TFixture T;
    TChartSeries* S = T.NewSeries();
    S->AddXY(1, 1);
    S->AddNullXY(2, 100);
    S->AddXY(3, 3);
    TMedianPlotFunction Median;
    EXPECT_DOUBLE_EQ(Median.Calculate(S, -1, -1), 3);
    EXPECT_EQ(Median.SortedValues(), (std::vector<double>{1, 3, 100}));
    Median.SetIncludeNulls(false);
    EXPECT_DOUBLE_EQ(Median.Calculate(S, -1, -1), 2);
    EXPECT_EQ(Median.SortedValues(), (std::vector<double>{1, 3}));
    EXPECT_DOUBLE_EQ(Median.Calculate(S, 1, 1), 0); // only a skipped null
    EXPECT_DOUBLE_EQ(Median.Calculate(S, 1, 2), 3);
}

TEST(PlotFunction, MedianByPeriodThroughTheParent)
{
    TFixture T;
    auto* F = new TMedianPlotFunction();
    F->SetPeriod(3);
    F->SetPeriodAlign(TPlotFunction::paFirst);
    T.Feed(F, {T.Source({{1, 5}, {2, 1}, {3, 3}, {4, 8}, {5, 2}, {6, 4}})});
    ExpectPoints(T.Parent, {{1, 3}, {4, 4}});
}

// --- y = f(x) ------------------------------------------------------------------------------------

TEST(PlotFunction, CustomFunctionComputesWithoutASource)
{
    TFixture T;
    auto* F = new TCustomPlotFunction();
    T.Parent->SetFunction(F);
    EXPECT_EQ(T.Parent->Count(), 0); // no formula yet
    std::vector<double> SeenX;
    F->SetOnCalculate([&](TCustomPlotFunction* Sender, double X, double& Y) {
        SeenX.push_back(Sender->CurrentX());
        Y = 2 * X;
    });
    ASSERT_EQ(T.Parent->Count(), 100);
    for (int I = 0; I < 100; ++I) {
        EXPECT_EQ(T.Parent->XValues()->Value(I), I);
        EXPECT_EQ(T.Parent->YValues()->Value(I), 2 * I);
    }
    EXPECT_EQ(SeenX.size(), 100u);
    EXPECT_EQ(SeenX[99], 99);

    struct TRow {
        int NumPoints;
        double StartX, Period;
        TPoints Expected;
    } Rows[] = {
        {3, 5, 0.5, {{5, 10}, {5.5, 11}, {6, 12}}},
        {1, -2, 1, {{-2, -4}}},
        {0, 0, 1, {}},
    };
    for (const TRow& Row : Rows) {
        F->BeginUpdate();
        F->SetNumPoints(Row.NumPoints);
        F->SetStartX(Row.StartX);
        F->SetPeriod(Row.Period);
        F->EndUpdate();
        SCOPED_TRACE(Row.NumPoints);
        ExpectPoints(T.Parent, Row.Expected);
    }
}

TEST(PlotFunction, CustomFunctionNumberOfPointsIsBounded)
{
    // Regression: 2147483647 points were taken and computed until memory
    // ran out; the number is bounded as the sample values are.
    TCustomPlotFunction F;
    F.SetNumPoints(MaxFunctionPoints);
    for (int Bad : {2147483647, MaxFunctionPoints + 1, -3})
        EXPECT_THROW(F.SetNumPoints(Bad), ChartException) << Bad;
    EXPECT_EQ(F.NumPoints(), MaxFunctionPoints);
}

TEST(PlotFunction, CustomFunctionOnAHorizontalParent)
{
    TFixture T;
    T.Parent->SetHorizontal();
    auto* F = new TCustomPlotFunction();
    F->SetNumPoints(2);
    F->SetOnCalculate([](TCustomPlotFunction*, double X, double& Y) { Y = X + 10; });
    T.Parent->SetFunction(F);
    ASSERT_EQ(T.Parent->Count(), 2);
    EXPECT_EQ(T.Parent->XValues()->Value(1), 11);
    EXPECT_EQ(T.Parent->YValues()->Value(1), 1);
}

TEST(PlotFunction, GalleryPreparationReachesEverySeries)
{
    TFixture T;
    TChartSeries* Other = T.NewSeries();
    TAddPlotFunction F;
    F.PrepareForGallery(&T.Chart);
    F.PrepareForGallery(nullptr); // no chart: nothing to prepare
    for (TChartSeries* S : {T.Parent, Other}) {
        EXPECT_EQ(S->Marks()->ArrowLength(), 4);
        EXPECT_EQ(S->Marks()->DrawEvery(), 2);
        EXPECT_GT(S->Count(), 0);
    }
}

// --- Registration --------------------------------------------------------------------------------

TEST(PlotFunction, RegistersTheBasicFunctionsOnTheStandardPage)
{
    const std::vector<std::pair<const QMetaObject*, const QString*>> Expected{
        {&TAddPlotFunction::staticMetaObject, &PlotMsg_FunctionAdd},
        {&TSubtractPlotFunction::staticMetaObject, &PlotMsg_FunctionSubtract},
        {&TMultiplyPlotFunction::staticMetaObject, &PlotMsg_FunctionMultiply},
        {&TDividePlotFunction::staticMetaObject, &PlotMsg_FunctionDivide},
        {&THighPlotFunction::staticMetaObject, &PlotMsg_FunctionHigh},
        {&TLowPlotFunction::staticMetaObject, &PlotMsg_FunctionLow},
        {&TAveragePlotFunction::staticMetaObject, &PlotMsg_FunctionAverage},
        {&TCustomPlotFunction::staticMetaObject, &PlotMsg_FunctionCustom},
        {&TMedianPlotFunction::staticMetaObject, &PlotMsg_FunctionMedian},
        {&TModePlotFunction::staticMetaObject, &PlotMsg_FunctionMode},
    };
    auto Ours = [&] {
        std::vector<const TPlotSeriesType*> Result;
        if (TPlotSeriesTypes* Types = PlotSeriesTypes())
            for (int I = 0; I < Types->Count(); ++I)
                for (const auto& E : Expected)
                    if (Types->Items(I)->FunctionClass == E.first)
                        Result.push_back(Types->Items(I));
        return Result;
    };
    // The library's start-up registered them; start from none.
    EXPECT_EQ(Ours().size(), Expected.size());
    UnRegisterBasicFunctions();
    ASSERT_TRUE(Ours().empty());
    RegisterBasicFunctions();
    const std::vector<const TPlotSeriesType*> Entries = Ours();
    ASSERT_EQ(Entries.size(), Expected.size());
    for (size_t I = 0; I < Entries.size(); ++I) {
        EXPECT_EQ(Entries[I]->FunctionClass, Expected[I].first);
        EXPECT_EQ(Entries[I]->Description, Expected[I].second);
        EXPECT_EQ(Entries[I]->GalleryPageText(), PlotMsg_GalleryStandard);
        EXPECT_EQ(Entries[I]->NumGallerySeries, 2);
    }
    EXPECT_EQ(PlotMsg_FunctionCustom, "y = f(x)");
    UnRegisterBasicFunctions();
    EXPECT_TRUE(Ours().empty());
    RegisterBasicFunctions();
}

} // namespace
