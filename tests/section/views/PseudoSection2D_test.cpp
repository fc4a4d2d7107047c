#include "section/views/PseudoSection2D.h"

#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "chart/export/PlotPreviewPanel.h"
#include "platform/base/Exception.h"
#include "section/model/NumberArrays.h"
#include "tests/section/views/PseudoSectionTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace lp {
namespace {

using test::FillTriangulation;
using test::TFixturePoint;

// Four triangles round a centre vertex: enough for the levels to be made.
void FillSquare(TPseudoSection2d& Chart, double Low, double High)
{
    FillTriangulation(Chart,
                      {{0, 0, Low}, {10, 0, Low}, {10, 10, High}, {0, 10, Low}, {5, 5, (Low + High) / 2}},
                      {{1, 2, 5}, {2, 3, 5}, {3, 4, 5}, {4, 1, 5}});
}

std::vector<double> LevelsOf(const TPseudoSection2d& Chart)
{
    return std::vector<double>(Chart.Levels.begin(), Chart.Levels.end());
}

struct TLevelCase {
    double Min, Max;
    int Count;
    bool Log;
    std::vector<double> Expected;
};

TEST(PseudoSectionLevels, AreRoundedToTheDigitsThatTellNeighboursApart)
{
    const TLevelCase cases[] = {
        {0, 16, 15, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {0, 1000, 6, false, {100, 300, 400, 600, 700, 900}},
        {1, 1000, 2, true, {10, 100}},
        // -12, 1, 14 round to -10, 1, 10; the middle one snaps to zero.
        {-25, 27, 3, false, {-10, 0, 10}},
        // A single level rounds against the whole range.
        {0, 1000, 1, false, {500}},
        {0, 0, 1, false, {0.5}},
    };
    for (const TLevelCase& c : cases) {
        TPseudoSection2d chart;
        FillSquare(chart, c.Min, c.Max);
        chart.LevelCount = c.Count;
        chart.LogDataScale = c.Log;
        chart.PrepareLevels();
        ASSERT_EQ(chart.Levels.Length(), c.Count) << c.Min << ".." << c.Max;
        for (int i = 0; i < c.Count; ++i)
            EXPECT_NEAR(chart.Levels[i], c.Expected[i], 1e-9 * std::max(1.0, std::fabs(c.Expected[i])))
                << c.Min << ".." << c.Max << " level " << i;
    }
}

TEST(PseudoSectionLevels, EqualDataWidenToAnAscendingRangeOfEitherSign)
{
    for (const double v : {5.0, -5.0}) {
        TPseudoSection2d chart;
        FillSquare(chart, v, v);
        chart.PrepareLevels();
        const std::vector<double> levels = LevelsOf(chart);
        ASSERT_EQ(levels.size(), 15u);
        EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end())) << v;
        EXPECT_LT(levels.back(), levels.front() + std::fabs(v) * 1.5 + 1) << v;
        for (const double level : levels) {
            EXPECT_GE(level, std::min(v / 2, 2 * v)) << v;
            EXPECT_LE(level, std::max(v / 2, 2 * v)) << v;
        }
    }
}

TEST(PseudoSectionLevels, BandAndLineColoursComeFromTheirRamps)
{
    TPseudoSection2d chart;
    FillSquare(chart, 0, 16);
    chart.PrepareLevels();
    const arofintM bands = InterpolateColors(200, {0x0000FF, 0x00FFFF, 0x008000, 0xFF0000}, 3);
    const arofintM lines = InterpolateColors(200, {0xFF0000, 0x0000FF}, 1);
    const int bandIndexes[16] = {0, 13, 27, 40, 53, 67, 80, 93, 107, 120, 133, 147, 160, 173, 187, 200};
    // 12.5, 37.5 and 62.5 round to even.
    const int lineIndexes[15] = {0, 12, 25, 38, 50, 62, 75, 88, 100, 112, 125, 138, 150, 162, 175};
    ASSERT_EQ(chart.BandColors.Length(), 16);
    ASSERT_EQ(chart.LineColors.Length(), 15);
    for (int j = 0; j < 16; ++j)
        EXPECT_EQ(chart.BandColors[j], bands[bandIndexes[j]]) << j;
    for (int j = 0; j < 15; ++j)
        EXPECT_EQ(chart.LineColors[j], lines[lineIndexes[j]]) << j;
    EXPECT_EQ(chart.BandColors[0], 0x0000FF);
    EXPECT_EQ(chart.BandColors[15], 0xFF0000);
}

TEST(PseudoSectionLevels, MoveValuesOffTheLevelsUpToTheLastVertex)
{
    TPseudoSection2d chart;
    // Levels 1..15; the last vertex (index VertexCount) sits on level 8,
    // another one on the level 0 of a second range.
    FillTriangulation(chart, {{0, 0, 0}, {10, 0, 16}, {10, 10, 3.5}, {0, 10, 2}, {5, 5, 8}},
                      {{1, 2, 5}, {2, 3, 5}, {3, 4, 5}, {4, 1, 5}});
    chart.PrepareLevels();
    EXPECT_EQ(chart.Vertices[5].Value, 8 + 8 / 100000.0 + 1e-20);
    EXPECT_EQ(chart.Vertices[4].Value, 2 + 2 / 100000.0 + 1e-20);
    EXPECT_EQ(chart.Vertices[3].Value, 3.5);
    EXPECT_EQ(chart.Vertices[1].Value, 0.0);

    TPseudoSection2d zero;
    FillSquare(zero, -25, 27);
    zero.LevelCount = 3;
    zero.Vertices[5].Value = 0;
    zero.PrepareLevels();
    EXPECT_EQ(zero.Vertices[5].Value, 1e-20);
}

TEST(PseudoSectionTables, CountsBeyondTheTablesRaiseInsteadOfReading)
{
    TPseudoSection2d chart;
    FillSquare(chart, 0, 16);
    chart.VertexCount = 9;
    EXPECT_THROW(chart.PrepareLevels(), ERangeError);
    FillSquare(chart, 0, 16);
    chart.Triangles[2].V[1] = 6;
    chart.PrepareLevels();
    TRecordingDC dc;
    TCanvas canvas(&dc);
    chart.PictureWidth = chart.PictureHeight = 100;
    chart.ComputePictureScale();
    EXPECT_THROW(chart.RenderOnto(canvas), ERangeError);
    chart.Triangles[2].V[1] = 3;
    chart.Triangles[2].NeighbourEdge[0] = 3;
    EXPECT_THROW(chart.RenderOnto(canvas), ERangeError);
    EXPECT_EQ(chart.PictureCanvas, nullptr);
}

// --- Settings text ----------------------------------------------------------------------

TEST(PseudoSectionSettings, ReadsEighteenNumbersWithCommasAsDecimalPoints)
{
    TPseudoSection2d chart;
    FillSquare(chart, 0, 16);
    TPointSeries grid;
    chart.GridPointSeries = &grid;
    ASSERT_TRUE(chart.ApplySettings(
        QStringLiteral("255 16711680\t65280 128 65535 32768 7,4 30 60 5 15 1 0 1 0 0 12,5 0,25 99")));
    EXPECT_EQ(std::make_tuple(chart.BandFirstColor, chart.BandLastColor, chart.LineFirstColor, chart.LineLastColor,
                              chart.BandMidColors[0], chart.BandMidColors[1], chart.LevelCount),
              std::make_tuple(255, 16711680, 65280, 128, 65535, 32768, 7));
    EXPECT_EQ(std::make_tuple(chart.MarginLeft(), chart.MarginRight(), chart.MarginTop(), chart.MarginBottom()),
              std::make_tuple(30, 60, 5, 15));
    EXPECT_TRUE(chart.SpareFlag);
    EXPECT_FALSE(chart.ShowContourLines);
    EXPECT_TRUE(chart.LogDataScale);
    EXPECT_FALSE(chart.ShowColorBar);
    EXPECT_FALSE(grid.Active());
    EXPECT_EQ(chart.PresetValue1, 12.5);
    EXPECT_EQ(chart.PresetValue2, 0.25);
    EXPECT_EQ(chart.Levels.Length(), 7);  // the levels were prepared

    chart.SetDefaultSettings();
    EXPECT_EQ(std::make_tuple(chart.LevelCount, chart.BandFirstColor, chart.BandMidColors[1], chart.LineFirstColor,
                              chart.ShowColorBar, chart.LogDataScale),
              std::make_tuple(15, 0x0000FF, 0x008000, 0xFF0000, true, false));
    EXPECT_EQ(std::make_tuple(chart.MarginLeft(), chart.MarginRight(), chart.MarginTop(), chart.MarginBottom()),
              std::make_tuple(25, 70, 1, 20));
}

TEST(PseudoSectionSettings, ATextThatDoesNotFitIsRefusedWhole)
{
    const QString refused[] = {
        QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 1 1 1 1 1 0"),             // 17 numbers
        QStringLiteral("1 2 3 4 5 6 -1 8 9 10 11 1 1 1 1 1 0 0"),          // LevelCount below 0
        QStringLiteral("1 2 3 4 5 6 1001 8 9 10 11 1 1 1 1 1 0 0"),        // above 1000
        QStringLiteral("1e12 2 3 4 5 6 7 8 9 10 11 1 1 1 1 1 0 0"),        // no colour
        QStringLiteral(""),
    };
    for (const QString& text : refused) {
        TPseudoSection2d chart;
        FillSquare(chart, 0, 16);
        EXPECT_FALSE(chart.ApplySettings(text)) << text.toStdString();
        EXPECT_EQ(chart.LevelCount, 15);
        EXPECT_EQ(chart.BandFirstColor, 0x0000FF);
        EXPECT_EQ(chart.MarginLeft(), 25);
        EXPECT_TRUE(chart.ShowContourLines);
        EXPECT_EQ(chart.PresetValue1, TPseudoSection2d::MissingValue);
        EXPECT_EQ(chart.Levels.Length(), 0);
    }
}

// --- Construction, font and pop-up menu ---------------------------------------------------

TEST(PseudoSectionChart, StartsEmptyWithItsFontAndTheSixCommands)
{
    TPseudoSection2d chart;
    EXPECT_EQ(chart.VertexCount, 0);
    EXPECT_EQ(chart.TriangleCount, 0);
    EXPECT_EQ(chart.Title()->Text()->Count(), 0);
    ASSERT_NE(chart.PseudoFont, nullptr);
    EXPECT_EQ(chart.PseudoFont->Name(), QStringLiteral("Small fonts"));
    EXPECT_EQ(chart.PseudoFont->Size(), 7);
    const TCustomChart& asChart = chart;
    EXPECT_EQ(asChart.PaperScaleExtraFont(), chart.PseudoFont.get());
    const QStringList captions{QStringLiteral("Log data scale"), QStringLiteral("Display grid point"),
                               QStringLiteral("Display ColorBar"), QStringLiteral("Setup"),
                               QStringLiteral("Print preview"), QStringLiteral("Default")};
    ASSERT_EQ(chart.ChartPopup.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(chart.ChartPopup.Item(i).Caption, captions[i]);
    EXPECT_EQ(chart.Legend()->Left(), chart.ChartRectangle().Right + 15);
}

struct TPopupFixture {
    TPopupFixture()
    {
        FillSquare(Chart, 0, 16);
        Chart.GridPointSeries = &Grid;
        Chart.OnPopupCommand = [this](QObject* Sender) {
            ++Commands;
            EXPECT_EQ(Sender, &Chart);
        };
        Chart.PrepareLevels();
    }
    TPseudoSection2d Chart;
    TPointSeries Grid;
    int Commands = 0;
};

TEST(PseudoSectionPopup, LogScaleStaysOffWithoutPositiveData)
{
    TPopupFixture f;
    const std::vector<double> before = LevelsOf(f.Chart);
    f.Chart.PopupMenuClick(TPseudoSection2d::piLogScale);
    EXPECT_FALSE(f.Chart.LogDataScale);
    EXPECT_EQ(LevelsOf(f.Chart), before);
    EXPECT_EQ(f.Commands, 1);

    FillSquare(f.Chart, 1, 1000);
    f.Chart.PopupMenuClick(TPseudoSection2d::piLogScale);
    EXPECT_TRUE(f.Chart.LogDataScale);
    EXPECT_EQ(f.Chart.Levels[0], 1.5);  // 1000^(1/16) = 1.54 to a tenth
    f.Chart.PopupMenuClick(TPseudoSection2d::piLogScale);
    EXPECT_FALSE(f.Chart.LogDataScale);
}

TEST(PseudoSectionPopup, SetupOnlyFiresTheEventAndTheOthersDoTheirCommand)
{
    TPopupFixture f;
    f.Chart.PopupMenuClick(TPseudoSection2d::piSetup);
    EXPECT_EQ(f.Commands, 1);
    EXPECT_TRUE(f.Chart.ShowColorBar);
    EXPECT_TRUE(f.Grid.Active());
    EXPECT_FALSE(f.Chart.LogDataScale);

    f.Chart.PopupMenuClick(TPseudoSection2d::piGridPoints);
    EXPECT_FALSE(f.Grid.Active());
    f.Chart.PopupMenuClick(TPseudoSection2d::piColorBar);
    EXPECT_FALSE(f.Chart.ShowColorBar);
    EXPECT_EQ(f.Commands, 3);

    // "Default" applies DefaultSettings when there are any.
    f.Chart.PopupMenuClick(TPseudoSection2d::piDefault);
    EXPECT_EQ(f.Chart.LevelCount, 15);
    f.Chart.DefaultSettings = QStringLiteral("255 16711680 65280 128 65535 32768 4 25 70 1 20 0 1 0 1 1 0 0");
    f.Chart.PopupMenuClick(TPseudoSection2d::piDefault);
    EXPECT_EQ(f.Chart.Levels.Length(), 4);
    EXPECT_EQ(f.Commands, 5);

    // Not a menu item: nothing, not even the event.
    f.Chart.PopupMenuClick(6);
    f.Chart.PopupMenuClick(-1);
    EXPECT_EQ(f.Commands, 5);
}

TEST(PseudoSectionPopup, DoubleClickOpensTheMenuOnlyWhenEnabledAndPreviewsThatChart)
{
    TPopupFixture f;
    f.Chart.PseudoDblClick(&f.Chart);
    EXPECT_FALSE(f.Chart.ChartPopup.PoppedUp());
    EXPECT_EQ(f.Chart.PreviewChart, nullptr);

    f.Chart.PopupEnabled = true;
    f.Chart.ShowColorBar = false;
    f.Grid.SetActive(true);
    f.Chart.SetMouseCancelled(false);
    f.Chart.OnDblClick(&f.Chart);
    EXPECT_TRUE(f.Chart.ChartPopup.PoppedUp());
    EXPECT_TRUE(f.Chart.MouseCancelled());
    EXPECT_EQ(f.Chart.PreviewChart, &f.Chart);
    EXPECT_FALSE(f.Chart.ChartPopup.Item(TPseudoSection2d::piLogScale).Checked);
    EXPECT_TRUE(f.Chart.ChartPopup.Item(TPseudoSection2d::piGridPoints).Checked);
    EXPECT_FALSE(f.Chart.ChartPopup.Item(TPseudoSection2d::piColorBar).Checked);

    TCustomPlotPanel* previewed = nullptr;
    ChartPreviewShowService() = [&](TChartPreview& Form) {
        previewed = Form.PlotPreviewPanel1->Panel();
        return 0;
    };
    f.Chart.ChartPopup.Click(TPseudoSection2d::piPrintPreview);
    ResetChartPreviewShowService();
    EXPECT_EQ(previewed, &f.Chart);
    EXPECT_EQ(f.Commands, 1);
}

} // namespace
} // namespace lp
