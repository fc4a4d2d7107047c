// The axis: range, positions, label steps and texts, settings and their
// errors; layout and drawing of labels, ticks and grid.
//
// Label texts are measured by a fixed measurer (6 pixels per character, 10
// pixels a line) so that steps and layouts do not depend on fonts.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisLabelBoxes.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

using test::TTestChart;

constexpr int CharWidth = 6;
constexpr int LineHeight = 10;

void UseFixedMetrics(TChartAxis& Axis, int Width = -1)
{
    Axis.LabelMeasurer.TextWidth = [Width](const QString& Line) {
        return Width >= 0 && !Line.isEmpty() ? Width : CharWidth * static_cast<int>(Line.size());
    };
    Axis.LabelMeasurer.FontHeight = [] { return LineHeight; };
}

// A fixed range over a pixel span, as a paint prepares it.
void Prepare(TChartAxis& Axis, int Start, int End, double Min, double Max)
{
    Axis.SetMinMax(Min, Max);
    Axis.SetPixelSpan(Start, End);
    Axis.AdjustMaxMin();
}

// A logarithmic axis over fixed automatic limits.
void PrepareLog(TChartAxis& Axis, int Start, int End, double Min, double Max)
{
    Axis.SetUseFixedLimits(true);
    Axis.SetFixedMinimum(Min);
    Axis.SetFixedMaximum(Max);
    Axis.SetLogarithmic(true);
    Axis.SetPixelSpan(Start, End);
    Axis.AdjustMaxMin();
}

// --- Steps ---------------------------------------------------------------------------------------

TEST(AxisSteps, TheLadderGoesOneTwoFive)
{
    const struct {
        double Value, Next;
    } Rows[] = {{1, 2}, {2, 5}, {5, 10}, {0.3, 0.5}, {30, 50}, {7.5, 10}, {std::numeric_limits<double>::infinity(), 1}};
    for (const auto& Row : Rows)
        EXPECT_DOUBLE_EQ(TChartAxis::NextStep125(Row.Value), Row.Next) << Row.Value;
}

TEST(AxisSteps, LabelsCountedFromTheirWidth)
{
    // 0..100 over 400 pixels, labels 30 pixels wide: 33 with 10 % free, 12
    // labels, 100 / 13 widened on the ladder to 10.
    const struct {
        int Separation;
        double Increment;
        bool Alternate;
        double Step;
    } Rows[] = {{10, 0, false, 10}, {0, 0, false, 100.0 / 14}, {0, 5, false, 5}, {10, 0, true, 5}};
    for (const auto& Row : Rows) {
        TTestChart Chart;
        TChartAxis& Axis = *Chart.BottomAxis();
        UseFixedMetrics(Axis, 30);
        Axis.SetLabelsSeparation(Row.Separation);
        Axis.SetIncrement(Row.Increment);
        Axis.SetLabelsAlternate(Row.Alternate);
        Prepare(Axis, 0, 400, 0, 100);
        EXPECT_DOUBLE_EQ(Axis.CalcLabelsIncrement(), Row.Step) << Row.Separation << " " << Row.Increment;
    }
}

TEST(AxisSteps, FewPointsNeverGetAStepBelowOne)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 5; ++I)
        Series->Add(I);
    TChartAxis& Axis = *Chart.BottomAxis();
    UseFixedMetrics(Axis, 10);
    Axis.SetPixelSpan(0, 400);
    Axis.AdjustMaxMin();
    EXPECT_DOUBLE_EQ(Axis.CalcLabelsIncrement(), 1);
}

TEST(AxisSteps, DateTimeStepsFollowTheTable)
{
    const struct {
        double Increment, Range;
        int Labels;
        double Step;
    } Rows[] = {{0.125, 1, 5, 0.25}, {200, 1000, 3, 365}, {400, 2000, 3, 800}, {0, 1, 0, DateTimeStep(dtOneMicrosecond)}};
    for (const auto& Row : Rows) {
        TTestChart Chart;
        auto* Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        Series->XValues()->SetDateTime(true);
        Series->AddXY(0, 0);
        TChartAxis& Axis = *Chart.BottomAxis();
        Axis.SetIncrement(Row.Increment);
        Prepare(Axis, 0, 400, 0, Row.Range);
        ASSERT_TRUE(Axis.IsDateTimeAxis());
        EXPECT_NEAR(Axis.CalcIncrementForLabelCount(Row.Labels), Row.Step, 1e-12) << Row.Increment;
    }
}

// --- Range ---------------------------------------------------------------------------------------

TEST(AxisRange, SetMinMaxKeepsARangeAndSwaps)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.LeftAxis();
    Axis.SetMinMax(5, 5);
    EXPECT_DOUBLE_EQ(Axis.Maximum(), 5 + 1e-10);
    EXPECT_FALSE(Axis.Automatic() || Axis.AutomaticMinimum() || Axis.AutomaticMaximum());
    Axis.SetMinMax(7, 3);
    EXPECT_EQ(Axis.Minimum(), 3);
    EXPECT_EQ(Axis.Maximum(), 7);
}

TEST(AxisRange, RoundedLimitsGoOutwardWithTolerance)
{
    const struct {
        bool Logarithmic;
        double DataMin, DataMax, Min, Max;
    } Rows[] = {
        {false, 0.26, 2.24, 0, 2.5},
        {false, 0.26, 2.0000000000001, 0, 2}, // within 1e-10 of a step: stays
        {false, -0.74, 1, -1, 1},
        {true, 3, 700, 1, 1000},
        {true, 10, 10, 1, 100},    // one power: a decade added each way
        {true, -5, 100, -10, 100}, // LinLog: powers of ten away from zero
    };
    for (const auto& Row : Rows) {
        TTestChart Chart;
        TChartAxis& Axis = *Chart.BottomAxis();
        Axis.SetIncrement(0.5);
        Axis.SetUseFixedLimits(true);
        Axis.SetFixedMinimum(Row.DataMin);
        Axis.SetFixedMaximum(Row.DataMax);
        Axis.SetLogarithmic(Row.Logarithmic);
        Axis.SetRoundedLimits(true);
        Axis.AdjustMaxMin();
        EXPECT_NEAR(Axis.CalcMinimum(), Row.Min, 1e-12) << Row.DataMin << ".." << Row.DataMax;
        EXPECT_NEAR(Axis.CalcMaximum(), Row.Max, 1e-12) << Row.DataMin << ".." << Row.DataMax;
        EXPECT_EQ(Axis.Minimum(), Axis.CalcMinimum());
    }
}

TEST(AxisRange, LogarithmicAxisSwitchesLinLogByItsData)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(-5, 0);
    Series->AddXY(100, 0);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.SetLogarithmic(true);
    EXPECT_TRUE(Axis.LinLogActive());
    // The largest magnitude 100, three decades down: 0.1 is one LinLog decade.
    EXPECT_DOUBLE_EQ(Axis.LinLogUnit(), 0.1 / 9);
    EXPECT_NEAR(Axis.LinLogValue(0.1), 1, 1e-12);
    Series->SetXValue(0, 1);
    Axis.AdjustMaxMin();
    EXPECT_FALSE(Axis.LinLogActive());
    EXPECT_TRUE(Axis.RangeChanged());
}

TEST(AxisRange, ZoomedChartKeepsTheAxisRange)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(0, 0);
    Series->AddXY(10, 0);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.CalcMaximum(), 10);
    Chart.SetZoomed(true);
    Axis.Scroll(2);
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.CalcMinimum(), 2);
    EXPECT_EQ(Axis.CalcMaximum(), 12);
    // Scrolling with limits stops once the data's end is passed.
    Axis.Scroll(2, true);
    EXPECT_EQ(Axis.Maximum(), 12);
}

TEST(AxisRange, MarginsNarrowTheDataRange)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.BottomAxis();
    Prepare(Axis, 0, 100, 0, 10);
    Axis.ApplyMargins(10, 10);
    EXPECT_EQ(Axis.StartPixel(), 0);
    EXPECT_EQ(Axis.EndPixel(), 100);
    EXPECT_DOUBLE_EQ(Axis.CalcMinimum(), -1.25);
    EXPECT_DOUBLE_EQ(Axis.CalcMaximum(), 11.25);
    EXPECT_EQ(Axis.CalcPosValue(0), 10);
    EXPECT_EQ(Axis.CalcPosValue(10), 90);
}

TEST(AxisRange, PixelSpanFromTheChartRectangle)
{
    TTestChart Chart;
    Chart.SetChartRectangle({10, 20, 410, 220});
    Chart.SetDepth3D(40);
    for (TChartAxis* Axis : {Chart.BottomAxis(), Chart.LeftAxis(), Chart.DepthAxis()}) {
        Axis->SetStartPosition(25);
        Axis->SetEndPosition(75);
        Axis->InternalCalcPositions();
    }
    EXPECT_EQ(Chart.BottomAxis()->StartPixel(), 110);
    EXPECT_EQ(Chart.BottomAxis()->EndPixel(), 310);
    EXPECT_EQ(Chart.LeftAxis()->StartPixel(), 70);
    EXPECT_EQ(Chart.LeftAxis()->CenterPixel(), 120);
    EXPECT_EQ(Chart.DepthAxis()->EndPixel(), 30);
}

// --- Positions -----------------------------------------------------------------------------------

TEST(AxisPositions, ValuesToPixelsAndBack)
{
    const struct {
        bool Log, Horizontal, Inverted;
        double Min, Max, Value;
        int Pixel;
    } Rows[] = {
        {false, true, false, 0, 10, 2.5, 125},  {false, true, true, 0, 10, 2.5, 175},
        {false, false, false, 0, 10, 2.5, 175}, {false, false, true, 0, 10, 2.5, 125},
        {true, true, false, 1, 1000, 10, 133},  {true, true, true, 1, 1000, 10, 167},
        {true, false, false, 1, 1000, 10, 167}, {true, false, true, 1, 1000, 100, 167},
        {true, true, false, -100, 1000, -10, -1}, // LinLog below zero: checked by the round trip
    };
    for (const auto& Row : Rows) {
        TTestChart Chart;
        TChartAxis& Axis = Row.Horizontal ? *Chart.BottomAxis() : *Chart.LeftAxis();
        Axis.SetInverted(Row.Inverted);
        if (Row.Log)
            PrepareLog(Axis, 100, 200, Row.Min, Row.Max);
        else
            Prepare(Axis, 100, 200, Row.Min, Row.Max);
        const int Pixel = Axis.CalcPosValue(Row.Value);
        if (Row.Pixel >= 0) {
            EXPECT_EQ(Pixel, Row.Pixel) << Row.Value;
        }
        // Back within the value span of one pixel.
        const double Back = Axis.CalcPosPoint(Pixel);
        const double Tolerance = Row.Log ? std::fabs(Row.Value) * 0.1 : 0.1;
        EXPECT_NEAR(Back, Row.Value, Tolerance) << Row.Value;
        EXPECT_EQ(Axis.CalcPosPoint(Row.Inverted == Row.Horizontal ? 200 : 100), Row.Min);
    }
}

TEST(AxisPositions, LinLogRoundTripsExactlyThroughReals)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.BottomAxis();
    PrepareLog(Axis, 0, 100000, -500, 2000);
    ASSERT_TRUE(Axis.LinLogActive());
    for (double Value : {-500.0, -3.0, 0.0, 0.004, 7.0, 2000.0}) {
        EXPECT_NEAR(Axis.LinLogInverse(Axis.LinLogValue(Value)), Value, 1e-9);
        EXPECT_NEAR(Axis.CalcPosPoint(Axis.CalcPosValue(Value)), Value, std::fabs(Value) * 1e-3 + 1e-3);
    }
}

TEST(AxisPositions, ZeroOnAPlainLogAxisGoesToTheLowEnd)
{
    // Zero used to map to pixel 0 on a horizontal logarithmic axis, wherever
    // the axis lay.
    const struct {
        bool Horizontal, Inverted;
        int Pixel;
    } Rows[] = {{true, false, 50}, {true, true, 350}, {false, false, 350}, {false, true, 50}};
    for (const auto& Row : Rows) {
        TTestChart Chart;
        TChartAxis& Axis = Row.Horizontal ? *Chart.BottomAxis() : *Chart.LeftAxis();
        Axis.SetInverted(Row.Inverted);
        PrepareLog(Axis, 50, 350, 1, 1000);
        ASSERT_FALSE(Axis.LinLogActive());
        EXPECT_EQ(Axis.CalcPosValue(0), Row.Pixel);
        EXPECT_EQ(Axis.CalcPosValue(-3), Row.Pixel);
    }
}

TEST(AxisPositions, ZeroRangeGivesTheCentre)
{
    TTestChart Chart;
    for (bool Log : {false, true}) {
        TChartAxis& Axis = *Chart.BottomAxis();
        Axis.SetLogarithmic(Log);
        Axis.SetPixelSpan(10, 110);
        Axis.SetLinLogActive(false);
        Axis.SetCalcRange(5, 5);
        EXPECT_TRUE(Axis.RangeIsZero());
        EXPECT_EQ(Axis.CalcPosValue(5), 60);
        EXPECT_EQ(Axis.CalcPosValue(1e6), 60);
        EXPECT_EQ(Axis.CalcSizeValue(3), 0);
    }
}

TEST(AxisPositions, ClampedFastAndDepthPositions)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.BottomAxis();
    Prepare(Axis, 0, 100, 0, 10);
    EXPECT_EQ(Axis.CalcPosValue(1e300), PlotMaxPixelPos);
    EXPECT_EQ(Axis.CalcPosValue(-1e300), -PlotMaxPixelPos);
    EXPECT_EQ(Axis.CalcSizeValue(2.5), 25);
    Chart.AxesList().SetFastCalc(true);
    EXPECT_EQ(Axis.CalcPosValue(2.5), 25);
    EXPECT_EQ(Axis.CalcPosValue(1e300), std::numeric_limits<int>::max());

    TChartAxis& Depth = *Chart.DepthAxis();
    Prepare(Depth, 0, 100, 0, 10);
    EXPECT_EQ(Depth.CalcPosValue(2.5), 25);
    EXPECT_DOUBLE_EQ(Depth.CalcPosPoint(25), 2.5);
    Depth.SetInverted(true);
    EXPECT_EQ(Depth.CalcPosValue(2.5), 75);
    EXPECT_DOUBLE_EQ(Depth.CalcPosPoint(75), 2.5);
}

// --- Texts, styles and settings ------------------------------------------------------------------

TEST(AxisTexts, LabelValueGoesThroughTheChartEvent)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.LeftAxis();
    std::vector<std::pair<TChartSeries*, int>> Calls;
    Chart.OnGetAxisLabel = [&](TChartAxis* Sender, TChartSeries* Series, int Index, QString& Text) {
        EXPECT_EQ(Sender, &Axis);
        Calls.emplace_back(Series, Index);
        Text += " m";
    };
    EXPECT_EQ(Axis.LabelValue(1234.5), "1,234.5 m");
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0], (std::pair<TChartSeries*, int>{nullptr, -1}));
    Axis.SetLabelsMultiLine(true);
    EXPECT_EQ(Axis.LabelValue(2), QString("2") + PlotLineSeparator + "m");
}

TEST(AxisTexts, KeptLabelTextsFollowTheFormatTheAxisKindAndTheEvent)
{
    // The axis keeps the texts of the values it formatted: a new format,
    // an axis turned date-time and the chart's event must still show.
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(EncodeDate(2001, 5, 6), 0);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.SetAxisValuesFormat("0.0");
    EXPECT_EQ(Axis.LabelValue(2), "2.0");
    EXPECT_EQ(Axis.LabelValue(2), "2.0");
    EXPECT_EQ(Axis.LabelValue(-0.0), FormatFloat("0.0", -0.0));
    EXPECT_EQ(Axis.LabelValue(0.0), FormatFloat("0.0", 0.0));
    Axis.SetAxisValuesFormat("0.000");
    EXPECT_EQ(Axis.LabelValue(2), "2.000");
    Chart.OnGetAxisLabel = [](TChartAxis*, TChartSeries*, int, QString& Text) { Text += "!"; };
    EXPECT_EQ(Axis.LabelValue(2), "2.000!");
    Chart.OnGetAxisLabel = nullptr;
    Series->XValues()->SetDateTime(true);
    Axis.SetDateTimeFormat("yyyy");
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.LabelValue(EncodeDate(2001, 5, 6)), "2001");
    Axis.SetDateTimeFormat("mm/yyyy");
    EXPECT_EQ(Axis.LabelValue(EncodeDate(2001, 5, 6)), "05/2001");
    Series->XValues()->SetDateTime(false);
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.LabelValue(2), "2.000");
}

TEST(AxisTexts, DateTimeLabelsOfNegativeValuesAreEmpty)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->XValues()->SetDateTime(true);
    Series->AddXY(1, 0);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.SetDateTimeFormat("yyyy");
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.LabelValue(-1), "");
    EXPECT_EQ(Axis.LabelValue(EncodeDate(2001, 5, 6)), "2001");
}

// Without a format of its own a date-time axis showed "15:00 AP" in a
// 12-hour locale: the locale's pattern was read as our picture.
TEST(AxisTexts, DateTimeLabelsFollowTheLocaleClock)
{
    const QLocale Saved;
    struct TRestore {
        QLocale Locale;
        ~TRestore() { QLocale::setDefault(Locale); }
    } Restore{Saved};
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->XValues()->SetDateTime(true);
    const double Day = EncodeDate(2026, 12, 7);
    Series->AddXY(Day, 0);
    Series->AddXY(Day + 0.75, 1);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.AdjustMaxMin();
    ASSERT_LE(Axis.CalcRange(), 1);
    QLocale::setDefault(QLocale("en_US"));
    EXPECT_EQ(Axis.LabelValue(Day + 0.625), "3:00 PM");
    QLocale::setDefault(QLocale("de_DE"));
    EXPECT_EQ(Axis.LabelValue(Day + 0.625), "15:00");
    Series->AddXY(Day + 30, 2);
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.LabelValue(Day), "07.12.26");
}

class TZSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    bool HasZValues() const override { return true; }
};

TEST(AxisTexts, SeriesWithOwnZValuesAreLabelledByValue)
{
    TTestChart Chart;
    EXPECT_EQ(Chart.BottomAxis()->CalcLabelStyle(), talNone);
    EXPECT_EQ(Chart.DepthAxis()->CalcLabelStyle(), talText);
    auto* Plain = new TChartSeries(&Chart);
    Chart.AddSeries(Plain);
    Plain->AddXY(1, 1, "one");
    EXPECT_EQ(Chart.BottomAxis()->CalcLabelStyle(), talText);
    EXPECT_EQ(Chart.LeftAxis()->CalcLabelStyle(), talValue);
    EXPECT_EQ(Chart.DepthAxis()->CalcLabelStyle(), talText);
    Plain->SetActive(false);
    auto* Z = new TZSeries(&Chart);
    Chart.AddSeries(Z);
    Z->AddXY(1, 1, "one");
    EXPECT_EQ(Chart.BottomAxis()->CalcLabelStyle(), talValue);
    EXPECT_EQ(Chart.DepthAxis()->CalcLabelStyle(), talValue);
}

TEST(AxisSettings, SettersRaiseAndKeepTheOldValue)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->XValues()->SetDateTime(true);
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.SetMinMax(0, 10);
    const struct {
        std::function<void()> Set;
        const QString* Message;
        std::function<bool()> Unchanged;
    } Rows[] = {
        {[&] { Axis.SetLogarithmicBase(1); }, &PlotMsg_AxisLogBase, [&] { return Axis.LogarithmicBase() == 10; }},
        {[&] { Axis.SetLogarithmicBase(0); }, &PlotMsg_AxisLogBase, [&] { return Axis.LogarithmicBase() == 10; }},
        {[&] { Axis.SetLogarithmic(true); }, &PlotMsg_AxisLogDateTime, [&] { return !Axis.Logarithmic(); }},
        {[&] { Axis.SetLabelsSeparation(-1); }, &PlotMsg_AxisLabelsSeparation,
         [&] { return Axis.LabelsSeparation() == 10; }},
        {[&] { Axis.SetIncrement(-1); }, &PlotMsg_AxisIncrementNegative, [&] { return Axis.Increment() == 0; }},
        {[&] { Axis.SetMinimum(11); }, &PlotMsg_AxisMinimumAboveMaximum, [&] { return Axis.Minimum() == 0; }},
        {[&] { Axis.SetMaximum(-1); }, &PlotMsg_AxisMaximumBelowMinimum, [&] { return Axis.Maximum() == 10; }},
    };
    for (const auto& Row : Rows) {
        try {
            Row.Set();
            ADD_FAILURE() << "no exception: " << Row.Message->toStdString();
        } catch (const AxisException& E) {
            EXPECT_EQ(QString::fromStdString(E.Message()), *Row.Message);
        }
        EXPECT_TRUE(Row.Unchanged()) << Row.Message->toStdString();
    }
}

TEST(AxisSettings, LogAutoFormatSwitchesTheLabelFormat)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.LeftAxis();
    int ScaleChanges = 0;
    Axis.OnScaleChange = [&](QObject*) { ++ScaleChanges; };
    Axis.SetLogAutoFormat(true);
    Axis.SetLogarithmic(true);
    EXPECT_EQ(Axis.AxisValuesFormat(), "0\"0\"e-0");
    EXPECT_TRUE(Axis.LabelsExponent());
    EXPECT_EQ(Axis.MinorTickCount(), 8);
    Axis.SetLogarithmic(false);
    EXPECT_EQ(Axis.AxisValuesFormat(), "##0.###");
    EXPECT_FALSE(Axis.LabelsExponent());
    EXPECT_EQ(Axis.MinorTickCount(), 1);
    Axis.SetLogarithmic(false);
    EXPECT_EQ(ScaleChanges, 2);
}

TEST(AxisSettings, LinLogSmallestDecadeIsCheckedAgainstTheRange)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.BottomAxis();
    PrepareLog(Axis, 0, 100, -10, 1000);
    EXPECT_FALSE(Axis.SetLinLogMinDecValue(0));
    EXPECT_FALSE(Axis.SetLinLogMinDecValue(1000));
    EXPECT_TRUE(Axis.SetLinLogMinDecValue(0.3));
    Axis.SetLinLogMinDec(true);
    EXPECT_DOUBLE_EQ(Axis.LinLogUnit(), 0.1 / 9); // 0.3 rounds to the decade 0.1
    Axis.SetLinLogDecShift(40);
    EXPECT_EQ(Axis.LinLogDecShift(), 15);
}

TEST(AxisSettings, StoredRulesAndDefaults)
{
    TTestChart Chart;
    TChartAxis& Top = *Chart.TopAxis();
    TChartAxis& Bottom = *Chart.BottomAxis();
    EXPECT_FALSE(IsPropertyStored(&Top, "ZPosition"));
    Top.SetZPosition(50);
    EXPECT_TRUE(IsPropertyStored(&Top, "ZPosition"));
    Bottom.SetZPosition(0); // becomes 0.01: not stored
    EXPECT_EQ(Bottom.ZPosition(), 0.01);
    EXPECT_FALSE(IsPropertyStored(&Bottom, "ZPosition"));
    // Depth axes start at 0 on either side and keep where they are put.
    for (TChartAxis* Depth : {Chart.DepthAxis(), Chart.DepthTopAxis()}) {
        EXPECT_FALSE(IsPropertyStored(Depth, "ZPosition"));
        Depth->SetZPosition(0);
        EXPECT_FALSE(IsPropertyStored(Depth, "ZPosition"));
        Depth->SetZPosition(100);
        EXPECT_TRUE(IsPropertyStored(Depth, "ZPosition"));
    }
    EXPECT_FALSE(IsPropertyStored(&Bottom, "Horizontal"));
    EXPECT_EQ(PropertyDefault(&Bottom, "LabelsSeparation").toInt(), 10);
    EXPECT_EQ(PropertyDefault(&Bottom, "EndPosition").toDouble(), 100);
    EXPECT_EQ(PropertyDefault(Bottom.Axis(), "Width").toInt(), 2);
    EXPECT_EQ(Bottom.Axis()->Width(), 2);
    Bottom.SetLogarithmicBase(2);
    EXPECT_TRUE(IsPropertyStored(&Bottom, "LogarithmicBase"));

    auto* Custom = qobject_cast<TChartAxis*>(Chart.CustomAxes().Add());
    ASSERT_NE(Custom, nullptr);
    Custom->SetHorizontal(true);
    EXPECT_TRUE(IsPropertyStored(Custom, "Horizontal"));

    TChartAxisTitle& Title = *Chart.LeftAxis()->Title();
    Title.SetDefaultAngle(90);
    EXPECT_FALSE(IsPropertyStored(&Title, "Angle"));
    Title.SetAngle(-90);
    EXPECT_EQ(Title.Angle(), 270);
    EXPECT_TRUE(IsPropertyStored(&Title, "Angle"));
    TAxisGridPen& Grid = *Top.Grid();
    Grid.SetDefaultZPosition(100);
    EXPECT_FALSE(IsPropertyStored(&Grid, "ZPosition"));
    Top.SetGridCentered(true);
    EXPECT_TRUE(Grid.Centered());
}

TEST(AxisSettings, AssignCopiesSettingsPensAndLabels)
{
    TTestChart Chart;
    TChartAxis& Source = *Chart.LeftAxis();
    Source.SetLabelsAngle(45);
    Source.SetTickLength(7);
    Source.Grid()->SetZPosition(30);
    Source.Axis()->SetLineMode(lmCylinder);
    Source.Title()->SetCaption("Depth");
    Source.Items().Add(3, "three");
    TChartAxis& Target = *Chart.RightAxis();
    Target.Assign(&Source);
    EXPECT_EQ(Target.LabelsAngle(), 45);
    EXPECT_EQ(Target.TickLength(), 7);
    EXPECT_EQ(Target.Grid()->ZPosition(), 30);
    EXPECT_EQ(Target.Axis()->LineMode(), lmCylinder);
    EXPECT_EQ(Target.Title()->Caption(), "Depth");
    ASSERT_EQ(Target.Items().Count(), 1);
    EXPECT_EQ(Target.Items()[0]->Text(), "three");
    EXPECT_TRUE(Target.OtherSide()); // a standard axis keeps its side
    EXPECT_THROW(Target.Items().Item(1), ERangeError);
}

// --- Layout --------------------------------------------------------------------------------------

TEST(AxisLayout, SpaceTakenAndPlacement)
{
    const TRect Full{0, 0, 400, 250};
    const struct {
        const char* Name;
        std::function<TChartAxis&(TTestChart&)> Setup;
        bool CalcSizes;
        TRect Rect;
        int Title, Labels, AxisLine;
    } Rows[] = {
        // Title 10, labels 10 (one line), line 2 + 1 and ticks 4.
        {"bottom", [](TTestChart& C) -> TChartAxis& {
             C.BottomAxis()->Title()->SetCaption("T");
             return *C.BottomAxis();
         }, true, {0, 0, 400, 223}, 240, 230, -1},
        {"bottom placed", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, false, Full, 267, 257, 250},
        // Title turned 90 degrees, one line 10 high; labels "100" and a
        // blank 24 wide; then 10 % of the remaining width inward.
        {"left", [](TTestChart& C) -> TChartAxis& {
             TChartAxis& A = *C.LeftAxis();
             A.Title()->SetCaption("T");
             A.SetLabelStyle(talValue);
             A.SetPositionPercent(10);
             Prepare(A, 0, 250, 0, 100);
             return A;
         }, true, {41, 0, 400, 250}, 46, 70, -1},
        {"right placed", [](TTestChart& C) -> TChartAxis& {
             C.AxesList().OnAxisSize = [](TChartAxis*, int Size) { return Size + 5; };
             return *C.RightAxis();
         }, false, Full, 412, 407, 400},
        {"top in pixels", [](TTestChart& C) -> TChartAxis& {
             TChartAxis& A = *C.TopAxis();
             A.SetLabelsAlternate(true);
             A.SetPositionUnits(muPixels);
             A.SetPositionPercent(3);
             return A;
         }, true, {0, 27, 400, 250}, 3, 23, -1},
    };
    for (const auto& Row : Rows) {
        TTestChart Chart;
        for (TChartAxis* Axis : Chart.AxesList())
            UseFixedMetrics(*Axis);
        TChartAxis& Axis = Row.Setup(Chart);
        TRect Rect = Full;
        Axis.CalcAxisSpace(Rect, Row.CalcSizes);
        EXPECT_EQ(Rect, Row.Rect) << Row.Name;
        EXPECT_EQ(Axis.TitlePixel(), Row.Title) << Row.Name;
        EXPECT_EQ(Axis.LabelsPixel(), Row.Labels) << Row.Name;
        if (Row.AxisLine >= 0) {
            EXPECT_EQ(Axis.AxisLinePixel(), Row.AxisLine) << Row.Name;
        }
    }
}

TEST(AxisLayout, HitRectangleFromLineToLabels)
{
    TTestChart Chart;
    TChartAxis& Axis = *Chart.BottomAxis();
    Axis.SetPixelSpan(0, 400);
    Axis.SetAxisLinePixel(200);
    Axis.SetLabelsPixel(207);
    EXPECT_EQ(Axis.CalcRect(), (TRect{0, 197, 400, 207}));
    EXPECT_TRUE(Axis.Clicked(100, 199));
    EXPECT_FALSE(Axis.Clicked(100, 190));
    Axis.SetVisible(false);
    EXPECT_FALSE(Axis.Clicked(100, 199));
}

// --- Drawing --------------------------------------------------------------------------------------

// A chart drawing unbuffered onto a recording device; fixed text metrics.
struct TRecordedChart {
    TRecordingDC DC{1000, 1000};
    TCanvas Target{&DC};
    TTestChart Chart;
    // Labels as OnDrawLabel saw them.
    struct TLabel {
        int X, Y, Z;
        QString Text;
    };
    std::vector<TLabel> Labels;

    explicit TRecordedChart(bool Is3D = false, int Depth = 0)
    {
        const TRect Rect{0, 0, 400, 200};
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Chart.SetChartRectangle(Rect);
        Chart.SetDepth3D(Depth);
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, Is3D, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(Depth, Rect);
        for (TChartAxis* Axis : Chart.AxesList()) {
            UseFixedMetrics(*Axis);
            Axis->OnDrawLabel = [this](TChartAxis*, int& X, int& Y, int& Z, QString& Text, bool&) {
                Labels.push_back({X, Y, Z, Text});
            };
        }
        DC.ClearCalls();
    }
    QStringList Texts() const
    {
        QStringList Result;
        for (const TLabel& L : Labels)
            Result << L.Text;
        return Result;
    }
    bool HasLine(int X0, int Y0, int X1, int Y1) const
    {
        const QStringList& Calls = DC.Calls();
        const QString From = QStringLiteral("MoveTo(%1,%2)").arg(X0).arg(Y0);
        const QString To = QStringLiteral("LineTo(%1,%2)").arg(X1).arg(Y1);
        for (int I = 0; I + 1 < Calls.size(); ++I)
            if (Calls[I] == From && Calls[I + 1] == To)
                return true;
        return false;
    }
    // The text alignment in force at the TextOut of Text, and its call.
    std::pair<int, QString> TextCall(const QString& Text) const
    {
        int Align = 0;
        for (const QString& Call : DC.Calls()) {
            if (Call.startsWith("SetTextAlign("))
                Align = Call.mid(13).chopped(1).toInt();
            else if (Call.startsWith("TextOut(") && Call.endsWith(",\"" + Text + "\")"))
                return {Align, Call};
        }
        return {-1, {}};
    }
};

TEST(AxisValueLabels, RunFromTheTopDown)
{
    const struct {
        bool RoundFirst;
        QStringList Texts;
    } Rows[] = {{true, {"10", "8", "6", "4", "2"}}, {false, {"10.5", "8.5", "6.5", "4.5", "2.5", "0.5"}}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.BottomAxis();
        Axis.SetLabelStyle(talValue);
        Axis.SetIncrement(2);
        Axis.SetRoundFirstLabel(Row.RoundFirst);
        Prepare(Axis, 0, 400, 0.5, 10.5);
        Axis.DrawAxis(true);
        EXPECT_EQ(R.Texts(), Row.Texts);
        ASSERT_FALSE(R.Labels.empty());
        EXPECT_EQ(R.Labels[0].X, Axis.CalcPosValue(Row.RoundFirst ? 10 : 10.5));
        EXPECT_EQ(Axis.TickPositions().size(), Row.Texts.size());
    }
}

// Guards against value labels run together ("21.91.81.7"): the step was
// measured from the range ends "0", "2" and "1", while the labels between
// them are three characters wide. The step gives way until they fit.
TEST(AxisValueLabels, LabelsNeverRunIntoTheirNeighbours)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.SetLabelStyle(talValue);
    Prepare(Axis, 0, 200, 0, 2);
    Axis.DrawAxis(true);
    EXPECT_EQ(R.Texts(), (QStringList{"2", "1.8", "1.6", "1.4", "1.2", "1", "0.8", "0.6", "0.4", "0.2", "0"}));
    for (size_t I = 1; I < R.Labels.size(); ++I) {
        const double Room = CharWidth * (R.Labels[I - 1].Text.size() + R.Labels[I].Text.size()) / 2.0;
        EXPECT_GE(std::abs(R.Labels[I - 1].X - R.Labels[I].X), Room) << R.Labels[I].Text.toStdString();
    }
    EXPECT_EQ(Axis.TickPositions().size(), R.Labels.size()) << "ticks go with the labels";
    // Without a separation the step is left as it was.
    Axis.SetLabelsSeparation(0);
    R.Labels.clear();
    Axis.DrawAxis(true);
    EXPECT_GT(R.Labels.size(), 11u);
}

// Axes that meet share their label boxes: a label that would overlap a
// box another axis drew is left out, and the labels drawn add theirs.
TEST(AxisValueLabels, SharedBoxesKeepTheLabelsOfMeetingAxesApart)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.SetLabelStyle(talValue);
    Axis.SetIncrement(2);
    Prepare(Axis, 0, 400, 0, 10);
    // A label of another axis where "4" would go.
    const int Four = Axis.CalcPosValue(4);
    std::vector<TRect> Shared{{Four - 2, -100, Four + 2, 100}};
    SetSharedLabelBoxes(Axis, &Shared);
    Axis.DrawAxis(true);
    SetSharedLabelBoxes(Axis, nullptr);
    EXPECT_EQ(R.Texts(), (QStringList{"10", "8", "6", "2", "0"}));
    EXPECT_EQ(Shared.size(), 6u) << "the five labels drawn added their boxes";
    R.Labels.clear();
    Axis.DrawAxis(true);
    EXPECT_EQ(R.Texts().size(), 6) << "without sharing every label shows";
}

TEST(AxisValueLabels, TooManyStepsDrawNothing)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.SetLabelStyle(talValue);
    Axis.SetIncrement(1);
    Axis.SetLabelsSeparation(0);
    Prepare(Axis, 0, 400, 0, 1e6);
    Axis.DrawAxis(true);
    EXPECT_TRUE(R.Labels.empty());
    EXPECT_TRUE(Axis.TickPositions().empty());
}

TEST(AxisValueLabels, LabelsFromTheChartsNextLabelEvent)
{
    const struct {
        const char* Name;
        std::function<void(int, double&, bool&)> Next;
        int Count;
    } Rows[] = {
        {"never stops", [](int, double& V, bool& Stop) { Stop = false; V = 5; }, 2001},
        {"stops at once: value labels", [](int, double&, bool&) {}, 3},
        {"leaves the range", [](int I, double& V, bool& Stop) { Stop = false; V = I * 4; }, 3},
    };
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.LeftAxis();
        Axis.SetLabelStyle(talValue);
        R.Chart.OnGetNextAxisLabel = [&](TChartAxis*, int I, double& V, bool& Stop) { Row.Next(I, V, Stop); };
        Axis.SetIncrement(5);
        Prepare(Axis, 0, 200, 0, 10);
        Axis.DrawAxis(true);
        EXPECT_EQ(static_cast<int>(R.Labels.size()), Row.Count) << Row.Name;
    }
}

TEST(AxisCustomLabels, OnlyTheItemsAreShown)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.Items().Add(1);
    Axis.Items().Add(5, "five");
    Axis.Items().Add(7, "hidden")->SetVisible(false);
    Axis.Items().Add(50, "outside");
    Axis.SetIncrement(1);
    Prepare(Axis, 0, 400, 0, 10);
    Axis.DrawAxis(true);
    EXPECT_EQ(R.Texts(), (QStringList{"1", "five"}));
    EXPECT_EQ(Axis.TickPositions(), (std::vector<int>{40, 200}));
    Axis.SetTickOnLabelsOnly(false);
    Axis.DrawAxis(true);
    EXPECT_EQ(Axis.TickPositions(), (std::vector<int>{40, 200, 280}));
}

TEST(AxisPointLabels, OverlappingLabelsAreSkipped)
{
    // Labels 40 wide: with 10 % the half size is 24, so 130 - 24 < 100 + 20.
    const struct {
        int Separation;
        std::vector<int> Drawn;
    } Rows[] = {{10, {100, 160}}, {0, {100, 130, 160}}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        auto* Series = new TChartSeries(&R.Chart);
        R.Chart.AddSeries(Series);
        Series->AddXY(100, 0, "a");
        Series->AddXY(130, 0, "b");
        Series->AddXY(160, 0, "c");
        TChartAxis& Axis = *R.Chart.BottomAxis();
        UseFixedMetrics(Axis, 40);
        Axis.SetLabelsSeparation(Row.Separation);
        Prepare(Axis, 0, 1000, 0, 1000);
        Series->CalcFirstLastVisibleIndex();
        Axis.DrawAxis(true);
        std::vector<int> Drawn;
        for (const auto& L : R.Labels)
            Drawn.push_back(L.X);
        EXPECT_EQ(Drawn, Row.Drawn) << Row.Separation;
    }
}

TEST(AxisLogLabels, PowersOfTheBaseAndLinLogDecades)
{
    const struct {
        double Min, Max;
        QStringList Texts;
    } Rows[] = {{1, 1000, {"1", "10", "100", "1,000"}},
                {3, 700, {"10", "100"}},
                {-100, 100, {"-100", "-10", "-1", "-0.1", "0", "0.1", "1", "10", "100"}}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.LeftAxis();
        Axis.SetLabelStyle(talValue);
        PrepareLog(Axis, 0, 200, Row.Min, Row.Max);
        Axis.DrawAxis(true);
        EXPECT_EQ(R.Texts(), Row.Texts) << Row.Min;
    }
}

TEST(AxisDepthLabels, SeriesTitlesAlongTheDepth)
{
    TRecordedChart R;
    for (const char* Title : {"A", "B"}) {
        auto* Series = new TChartSeries(&R.Chart);
        Series->SetTitle(Title);
        R.Chart.AddSeries(Series);
    }
    TChartAxis& Axis = *R.Chart.DepthAxis();
    Prepare(Axis, 0, 100, -0.5, 1.5);
    Axis.DrawAxis(true);
    ASSERT_EQ(R.Texts(), (QStringList{"A", "B"}));
    // At the position of 1.0 and 0.0, half a line deeper.
    EXPECT_EQ(R.Labels[0].Z, 75 + LineHeight / 2);
    EXPECT_EQ(R.Labels[1].Z, 25 + LineHeight / 2);
}

TEST(AxisDrawing, LineTicksAndGridFollowTheLabels)
{
    const struct {
        bool Centered;
        std::vector<int> Grid, NoGrid;
    } Rows[] = {{false, {0, 200, 400}, {100, 300}}, {true, {100, 300}, {0, 200}}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.BottomAxis();
        int GridCalls = 0;
        Axis.OnDrawGrid = [&](TChartAxis*) { ++GridCalls; };
        Axis.SetLabelStyle(talValue);
        Axis.SetGridCentered(Row.Centered);
        Axis.SetIncrement(50);
        Prepare(Axis, 0, 400, 0, 100);
        Axis.DrawAxis(true);
        EXPECT_EQ(Axis.AxisLinePixel(), 200);
        EXPECT_EQ(Axis.TickPositions(), (std::vector<int>{400, 200, 0}));
        EXPECT_TRUE(R.HasLine(0, 200, 400, 200));
        for (int X : {0, 200, 400})
            EXPECT_TRUE(R.HasLine(X, 200, X, 204)) << X;
        for (int X : Row.Grid)
            EXPECT_TRUE(R.HasLine(X, 0, X, 201)) << X;
        for (int X : Row.NoGrid)
            EXPECT_FALSE(R.HasLine(X, 0, X, 201)) << X;
        // Three minor ticks between labels, none at the axis ends.
        for (int X : {50, 100, 150, 250, 300, 350})
            EXPECT_TRUE(R.HasLine(X, 200, X, 202)) << X;
        EXPECT_FALSE(R.HasLine(0, 200, 0, 202));
        EXPECT_EQ(GridCalls, 1);
    }
}

TEST(AxisDrawing, GridIn3DRunsAlongTheDepthToo)
{
    const struct {
        bool Is3D;
        double GridZ;
        int Lines;
    } Rows[] = {{false, 0, 3}, {true, 0, 6}, {true, 100, 3}};
    for (const auto& Row : Rows) {
        TRecordedChart R(Row.Is3D, 20);
        TChartAxis& Axis = *R.Chart.BottomAxis();
        Axis.Axis()->Hide();
        Axis.Ticks()->Hide();
        Axis.MinorTicks()->Hide();
        Axis.SetLabelStyle(talValue);
        Axis.Grid()->SetZPosition(Row.GridZ);
        Axis.SetLabels(false);
        Axis.SetIncrement(50);
        Prepare(Axis, 0, 400, 0, 100);
        Axis.DrawAxis(true);
        EXPECT_EQ(R.DC.CallsStartingWith("LineTo").size(), Row.Lines) << Row.Is3D << " " << Row.GridZ;
    }
}

TEST(AxisDrawing, LineModes)
{
    const struct {
        TPenLineMode Mode;
        QString Call;
    } Rows[] = {{lmLine, "LineTo(400,200)"}, {lmRectangle, "Polygon([0 199;400 199;400 201;0 201])"}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.BottomAxis();
        Axis.Axis()->SetLineMode(Row.Mode);
        Axis.SetLabels(false);
        Prepare(Axis, 0, 400, 0, 100);
        Axis.DrawAxis(true);
        EXPECT_TRUE(R.DC.Calls().contains(Row.Call)) << Row.Call.toStdString();
    }
}

TEST(AxisDrawing, LabelsAnchoredByAngleAndSide)
{
    const int LP = 300;
    const struct {
        const char* Name;
        std::function<TChartAxis&(TTestChart&)> Axis;
        int Angle;
        unsigned Align;
        int X, Y;
        TAxisLabelAlign LabelsAlign = alDefault;
    } Rows[] = {
        {"bottom 0", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, 0, TA_CENTER | TA_TOP, 100, LP},
        {"top 0", [](TTestChart& C) -> TChartAxis& { return *C.TopAxis(); }, 0, TA_CENTER | TA_BOTTOM, 100, LP},
        {"left 0", [](TTestChart& C) -> TChartAxis& { return *C.LeftAxis(); }, 0, TA_RIGHT, LP, 95},
        {"right 0", [](TTestChart& C) -> TChartAxis& { return *C.RightAxis(); }, 0, TA_LEFT, LP, 95},
        {"left opposite", [](TTestChart& C) -> TChartAxis& { return *C.LeftAxis(); }, 0, TA_LEFT, LP - 12, 95,
         alOpposite},
        {"bottom 90", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, 90, TA_RIGHT, 95, LP},
        {"left 90", [](TTestChart& C) -> TChartAxis& { return *C.LeftAxis(); }, 90, TA_CENTER | TA_BOTTOM, LP, 100},
        {"bottom 180", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, 180, TA_CENTER | TA_BOTTOM, 100,
         LP},
        {"left 180", [](TTestChart& C) -> TChartAxis& { return *C.LeftAxis(); }, 180, TA_LEFT, LP, 105},
        {"bottom 270", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, 270, TA_LEFT, 105, LP},
        {"left 270", [](TTestChart& C) -> TChartAxis& { return *C.LeftAxis(); }, 270, TA_CENTER | TA_TOP, LP, 100},
        {"bottom 45", [](TTestChart& C) -> TChartAxis& { return *C.BottomAxis(); }, 45, TA_LEFT | TA_TOP, 100, LP},
    };
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = Row.Axis(R.Chart);
        Axis.SetLabelsAngle(Row.Angle);
        Axis.SetLabelsAlign(Row.LabelsAlign);
        Axis.Items().Add(50);
        Prepare(Axis, 0, 200, 0, 100);
        Axis.SetLabelsPixel(LP);
        Axis.DrawAxis(false);
        const auto [Align, Call] = R.TextCall("50");
        EXPECT_EQ(Align, static_cast<int>(Row.Align)) << Row.Name;
        EXPECT_EQ(Call, QStringLiteral("TextOut(%1,%2,\"50\")").arg(Row.X).arg(Row.Y)) << Row.Name;
    }
}

TEST(AxisDrawing, ExponentsAreRaisedAndZeroIsPlain)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.RightAxis();
    Axis.SetAxisValuesFormat("0E+0");
    Axis.SetLabelsExponent(true);
    Axis.Items().Add(1000);
    Axis.Items().Add(0, "-0.00");
    Prepare(Axis, 0, 200, 0, 2000);
    Axis.SetLabelsPixel(300);
    Axis.DrawAxis(false);
    // Mantissa at the label, exponent one pixel after it, 2 pixels higher.
    EXPECT_EQ(R.TextCall("1").second, "TextOut(300,95,\"1\")");
    EXPECT_EQ(R.TextCall("+3").second, "TextOut(307,93,\"+3\")");
    EXPECT_EQ(R.TextCall("0").second, "TextOut(300,195,\"0\")");
}

TEST(AxisDrawing, TitleAtItsBandOrAtTheEdge)
{
    const struct {
        bool AtEdge;
        int Y;
    } Rows[] = {{false, 230}, {true, 250 - LineHeight}};
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TChartAxis& Axis = *R.Chart.BottomAxis();
        Axis.Title()->SetCaption("Depth");
        Axis.SetTitleAtEdge(Row.AtEdge);
        Axis.SetTitlePixel(230);
        Prepare(Axis, 0, 400, 0, 100);
        Axis.DrawAxis(true);
        const auto [Align, Call] = R.TextCall("Depth");
        EXPECT_EQ(Align, static_cast<int>(TA_CENTER | TA_TOP));
        EXPECT_EQ(Call, QStringLiteral("TextOut(200,%1,\"Depth\")").arg(Row.Y));
        EXPECT_FALSE(R.Texts().contains("Depth")); // not a label
    }
}

TEST(AxisDrawing, AlternateLabelsMoveOutward)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.SetLabelStyle(talValue);
    Axis.SetLabelsAlternate(true);
    Axis.SetIncrement(50);
    Prepare(Axis, 0, 400, 0, 100);
    Axis.SetLabelsPixel(210);
    Axis.DrawAxis(false);
    // The step is halved to 25: every second label one line further out.
    std::vector<int> Ys;
    for (const auto& L : R.Labels)
        Ys.push_back(L.Y);
    EXPECT_EQ(Ys, (std::vector<int>{210, 220, 210, 220, 210}));
}

// Minor marks stopped one interval past the outer labels; with custom
// labels the rest of the axis had none.
TEST(AxisDrawing, MinorTicksContinueToTheAxisEnds)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.Items().Add(30);
    Axis.Items().Add(50);
    Axis.SetTickOnLabelsOnly(false);
    Prepare(Axis, 0, 400, 0, 100);
    Axis.DrawAxis(true);
    ASSERT_EQ(Axis.TickPositions(), (std::vector<int>{120, 200}));
    // Three marks per 80-pixel interval: every 20 pixels, strictly inside
    // the axis.
    for (int X = 20; X < 400; X += 20)
        EXPECT_TRUE(X == 120 || X == 200 || R.HasLine(X, 200, X, 202)) << X;
    EXPECT_FALSE(R.HasLine(0, 200, 0, 202));
    EXPECT_FALSE(R.HasLine(400, 200, 400, 202));
}

TEST(AxisDrawing, DenseMinorMarksDrawEachPixelOnce)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Axis.Items().Add(50);
    Axis.Items().Add(50.5);
    Axis.SetMinorTickCount(7);
    Prepare(Axis, 0, 400, 0, 100);
    Axis.DrawAxis(true);
    ASSERT_EQ(Axis.TickPositions(), (std::vector<int>{200, 202}));
    // Four marks per pixel beyond the labels: each pixel is marked, once.
    for (int X = 1; X < 400; ++X)
        EXPECT_TRUE(R.HasLine(X, 200, X, 202)) << X;
    const QStringList Minor = R.DC.CallsStartingWith("LineTo(").filter(QRegularExpression("^LineTo\\(\\d+,202\\)$"));
    EXPECT_LT(Minor.size(), 400 + 7);
}

// A custom axis was laid out against the chart rectangle before the other
// axes took their room: its labels stood away from its line and, at the
// left edge, its title fell off the picture.
TEST(AxisDrawing, CustomAxisLabelsAndTitleFollowItsLine)
{
    for (const int Percent : {0, 50}) {
        TChart Chart;
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        Chart.LeftAxis()->Title()->SetCaption("Depth");
        auto* Custom = qobject_cast<TChartAxis*>(Chart.CustomAxes().Add());
        ASSERT_NE(Custom, nullptr);
        Custom->SetPositionPercent(Percent);
        Custom->SetMinMax(0, 10);
        Custom->Axis()->SetColor(clLime);
        Custom->Grid()->SetVisible(false);
        Custom->LabelsFont()->SetColor(clRed);
        Custom->Title()->SetCaption("Resistivity");
        Custom->Title()->Font()->SetColor(clBlue);
        auto* Series = new TChartSeries(&Chart);
        Series->SetSeriesColor(clWhite);
        Chart.AddSeries(Series);
        Series->SetCustomVertAxis(Custom);
        Series->AddXY(0, 0);
        Series->AddXY(10, 10);
        // The left axis takes room for its labels and title; the custom
        // axis takes none.
        auto* Left = new TChartSeries(&Chart);
        Left->SetSeriesColor(clWhite);
        Chart.AddSeries(Left);
        Left->AddXY(0, 0);
        Left->AddXY(10, 10000);
        std::unique_ptr<TBitmap> Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        const QImage Image = Picture->ToImage();
        // The box of the pixels strongly of one primary colour (text is
        // smoothed at its edges).
        const auto Extent = [&Image](int Channel) {
            QRect Box;
            for (int Y = 0; Y < Image.height(); ++Y)
                for (int X = 0; X < Image.width(); ++X) {
                    const QRgb P = Image.pixel(X, Y);
                    const int C[3] = {qRed(P), qGreen(P), qBlue(P)};
                    if (C[Channel] >= 160 && C[(Channel + 1) % 3] < 90 && C[(Channel + 2) % 3] < 90)
                        Box |= QRect(X, Y, 1, 1);
                }
            return Box;
        };
        const int Line = Custom->AxisLinePixel();
        EXPECT_EQ(Line, Chart.ChartRectangle().Left + (Percent * Chart.ChartRectWidth() + 50) / 100) << Percent;
        const QRect LineBox = Extent(1);
        ASSERT_FALSE(LineBox.isEmpty());
        EXPECT_LE(LineBox.left(), Line);
        EXPECT_GE(LineBox.right(), Line);
        const QRect Labels = Extent(0);
        const QRect Title = Extent(2);
        ASSERT_FALSE(Labels.isEmpty()) << Percent;
        ASSERT_FALSE(Title.isEmpty()) << Percent;
        // Right-aligned labels end within the ticks' reach of the line.
        EXPECT_LT(Labels.right(), LineBox.left()) << Percent;
        EXPECT_GE(Labels.right(), LineBox.left() - Custom->TickLength() - 4) << Percent;
        // The title stands beside the labels, wholly inside the picture.
        EXPECT_LT(Title.right(), Labels.left()) << Percent;
        EXPECT_GE(Title.left(), 0) << Percent;
        EXPECT_GE(Title.top(), 0) << Percent;
        EXPECT_LT(Title.bottom(), Image.height()) << Percent;
    }
}

TEST(AxisDrawing, CustomDrawMinMaxPutsTheAxisBack)
{
    TRecordedChart R;
    TChartAxis& Axis = *R.Chart.BottomAxis();
    Prepare(Axis, 0, 400, 0, 100);
    Axis.SetLabelStyle(talValue);
    Axis.CustomDrawMinMax(50, 60, 40, false, 0, 10, 5, 100, 300);
    EXPECT_EQ(R.Texts(), (QStringList{"10", "5", "0"}));
    EXPECT_EQ(R.Labels[0].X, 300);
    EXPECT_EQ(R.Labels[0].Y, 50);
    EXPECT_TRUE(R.HasLine(100, 40, 300, 40));
    EXPECT_EQ(Axis.Maximum(), 100);
    EXPECT_EQ(Axis.Increment(), 0);
    EXPECT_FALSE(Axis.Automatic());
    EXPECT_TRUE(Axis.Grid()->Visible());
    EXPECT_EQ(Axis.EndPixel(), 400);
    EXPECT_EQ(Axis.CalcPosValue(100), 400);
}

// --- Date-time axes beyond the calendar ---------------------------------------------------------

// A chart of a red line whose values near 1e300 are dates on the left axis,
// with an increment of one day (calendar steps, ExactDateTime), the legend
// showing the values.
void SetUpFarDateChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    auto* Line = new TLineSeries(&Chart);
    Chart.AddSeries(Line);
    Line->SetSeriesColor(clRed);
    Line->YValues()->SetDateTime(true);
    for (double V : {0.9e300, 1e300, 1.05e300})
        Line->Add(V);
    Chart.LeftAxis()->SetIncrement(1.0);
}

// Every paint raised: "Invalid argument to date encode" from the legend's
// value texts, then "Invalid date value" from the calendar steps of the
// labels, before and after a Ctrl+wheel turn scrolled the range.
// Dates beyond the calendar step and show as numbers.
TEST(AxisDateTimeBeyondCalendar, PaintsTheLineAndLabelsTheValuesAsNumbers)
{
    TChart Chart;
    SetUpFarDateChart(Chart);
    double Minimum = 0;
    for (int Turn = 0; Turn < 3; ++Turn) {
        SCOPED_TRACE(Turn);
        QImage Picture;
        ASSERT_NO_THROW(Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage());
        EXPECT_GT(test::CountPixelsOf(Picture, qRgb(255, 0, 0)), 50);
        TRecordingDC DC(400, 300);
        TCanvas Target(&DC);
        ASSERT_NO_THROW(Chart.DrawToCanvas(&Target, Chart.GetRectangle()));
        // The left axis' labels and the legend's values: numbers such as
        // "1.05E+300".
        const QRegularExpression Number(QStringLiteral("^\\d(\\.\\d+)?E\\+\\d{3}$"));
        int Numbers = 0;
        for (const QString& Call : DC.CallsStartingWith(QStringLiteral("TextOut(")))
            Numbers += Number.match(Call.section(QLatin1Char('"'), 1, 1)).hasMatch() ? 1 : 0;
        EXPECT_GE(Numbers, 5);
        // Each turn moves the range: the next paint shows other values.
        EXPECT_NE(Chart.LeftAxis()->Minimum(), Minimum);
        Minimum = Chart.LeftAxis()->Minimum();
        Chart.DoMouseWheel(TControl::TShiftState(TControl::ssCtrl), 120, {200, 150});
    }
}

} // namespace
} // namespace lp
