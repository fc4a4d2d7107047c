// The section chart's line modes driven through EditStep with fixed scales:
// drawing, deleting, moving and inserting line points, deleting lines, and
// bodies from the band between two lines.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "chart/engine/PlotValueList.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lp {
namespace {

void ExpectSound(TPolygonChart& Chart)
{
    EXPECT_TRUE(CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea).empty());
}

// Chooses the mode the way the main window does, then fixes the scales so
// pick tolerances in pixels are Scale model units apart.
void StartMode(TPolygonChart& Chart, TPolygonEditMode Mode, double Scale = 1.0)
{
    Chart.EditMode = Mode;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = Scale;
    ExpectSound(Chart);
}

// The press and move helpers check the model after every step.

// A right press; a finished edit is recorded as the mouse handler does.
bool RightPress(TPolygonChart& Chart, double X, double Y)
{
    const bool finished = Chart.EditStep(Chart.EditMode, 0, X, Y, true);
    if (finished) {
        Chart.TakeBackup();
        Chart.PushUndo();
        Chart.ClearEditState();
    }
    ExpectSound(Chart);
    return finished;
}

void LeftPress(TPolygonChart& Chart, double X, double Y)
{
    EXPECT_FALSE(Chart.EditStep(Chart.EditMode, 0, X, Y, false));
    ExpectSound(Chart);
}

void Move(TPolygonChart& Chart, double X, double Y)
{
    EXPECT_FALSE(Chart.EditStep(Chart.EditMode, 1, X, Y, false));
    ExpectSound(Chart);
}

// Appends a line with its series.
void AddLine(TPolygonChart& Chart, const arofcomplexM& Points, const arofdoubleM& Values = {})
{
    line record;
    record.points = Points;
    record.values = Values;
    Chart.Lines.Add(record);
    Chart.BuildLineSeries();
}

arofcomplexM SeriesPoints(const TChartSeries& Series)
{
    arofcomplexM points;
    for (int i = 0; i < Series.Count(); ++i)
        points.Add(complexM{Series.XValues()->Value(i), Series.YValues()->Value(i)});
    return points;
}

// The line's series shows exactly its points, in drawing order.
void ExpectSeriesShowsLine(const line& Record)
{
    ASSERT_NE(Record.series, nullptr);
    EXPECT_EQ(SeriesPoints(*Record.series), Record.points);
}

// Bodies' rings and the node table; slot-0 ids are left out, since they
// follow the map polygons.
struct TGeometry {
    std::vector<std::vector<std::vector<int32_t>>> Rings;
    Tnodes Nodes;
    friend bool operator==(const TGeometry&, const TGeometry&) = default;
};

TGeometry Geometry(const TPolygonChart& Chart)
{
    TGeometry geometry;
    for (const SPolygon& body : Chart.Model) {
        geometry.Rings.emplace_back();
        for (const Polygon& ring : body)
            geometry.Rings.back().push_back(ring.ring.Items());
    }
    geometry.Nodes = Chart.Nodes;
    return geometry;
}

std::vector<std::pair<double, double>> SortedRingPoints(const TPolygonChart& Chart, int Body)
{
    std::vector<std::pair<double, double>> points;
    for (int32_t node : Chart.Model[Body][0].ring)
        points.emplace_back(Chart.Nodes[node].x, Chart.Nodes[node].y);
    std::sort(points.begin(), points.end());
    return points;
}

std::vector<std::pair<double, double>> SortedPairs(const arofcomplexM& Points)
{
    std::vector<std::pair<double, double>> pairs;
    for (const complexM& p : Points)
        pairs.emplace_back(p.re, p.im);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

// Keeps the process-wide default line settings for the test's duration.
struct TDefaultLineSettingsGuard {
    QString Saved = DefaultLineSettings();
    ~TDefaultLineSettingsGuard() { DefaultLineSettings() = Saved; }
};

// --- pmAddLine ---------------------------------------------------------------------

// A right click ends the line with the points the left clicks drew: it adds
// no point where the cursor is, and with none drawn it makes no line.
TEST(LineModesAddLine, ARightClickEndsTheLineWithoutAddingAPoint)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    const int seriesBefore = chart.SeriesCount();
    StartMode(chart, pmAddLine);
    EXPECT_FALSE(RightPress(chart, 650, 75));
    EXPECT_TRUE(chart.Lines.Empty());
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    LeftPress(chart, 600, 70);
    ASSERT_TRUE(RightPress(chart, 700, 90));
    ASSERT_EQ(chart.Lines.Length(), 1);
    const line& record = chart.Lines[0];
    EXPECT_EQ(record.points, (arofcomplexM{{600, 70}}));
    EXPECT_TRUE(record.values.Empty());
    ExpectSeriesShowsLine(record);
    EXPECT_EQ(record.series->SeriesColor(), 0x0000FF);
    EXPECT_TRUE(record.series->Pointer()->Visible());
    EXPECT_EQ(record.series->Pointer()->HorizSize(), 2);
    EXPECT_EQ(record.series->Pointer()->VertSize(), 2);
    EXPECT_EQ(record.appearance, SeriesSettingsToText(record.series).toStdString());
    EXPECT_EQ(chart.SeriesCount(), seriesBefore + 1);
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    EXPECT_EQ(chart.EditPathSeries->Count(), 0);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
    ExpectSound(chart);
}

TEST(LineModesAddLine, PointsKeepDrawingOrderAndRubberBandFollows)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    StartMode(chart, pmAddLine);
    LeftPress(chart, 800, 70);
    EXPECT_TRUE(chart.Editing);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0); // the band starts with the second point
    LeftPress(chart, 500, 80);
    ASSERT_EQ(chart.RubberBandSeries->Count(), 2);
    Move(chart, 650, 90);
    EXPECT_EQ(chart.RubberBandSeries->XValues()->Value(1), 650);
    EXPECT_EQ(chart.RubberBandSeries->YValues()->Value(1), 90);
    EXPECT_EQ(chart.EditPathSeries->Count(), 2);
    ASSERT_TRUE(RightPress(chart, 600, 60));
    ASSERT_EQ(chart.Lines.Length(), 1);
    const arofcomplexM drawn{{800, 70}, {500, 80}};
    EXPECT_EQ(chart.Lines[0].points, drawn);
    ExpectSeriesShowsLine(chart.Lines[0]);
    ExpectSound(chart);
}

// Regression: the rubber band's cursor end was moved without invalidating
// the chart's buffered picture, so the band stood still on the screen.
TEST(LineModesAddLine, RubberBandMoveRepaintsTheChart)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    chart.SetBounds(0, 0, 600, 400);
    StartMode(chart, pmAddLine);
    LeftPress(chart, 300, 70);
    LeftPress(chart, 400, 80);
    TBitmap picture(600, 400);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    ASSERT_FALSE(chart.Canvas().Changed());
    Move(chart, 450, 90);
    EXPECT_EQ(chart.RubberBandSeries->XValues()->Value(1), 450);
    EXPECT_TRUE(chart.Canvas().Changed());
}

TEST(LineModesAddLine, PressesOnOrOutsideTheAreaAddNothing)
{
    struct Row {
        double X, Y;
    };
    for (const Row& row : {Row{0, 50}, Row{1000, 50}, Row{500, 0}, Row{500, 100}, Row{-5, 50}, Row{500, 140}}) {
        SCOPED_TRACE(testing::Message() << row.X << ", " << row.Y);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        StartMode(chart, pmAddLine);
        LeftPress(chart, row.X, row.Y);
        EXPECT_FALSE(RightPress(chart, row.X, row.Y));
        EXPECT_TRUE(chart.DrawnPoints.Empty());
        EXPECT_FALSE(chart.Editing);
        EXPECT_TRUE(chart.Lines.Empty());
        ExpectSound(chart);
    }
}

TEST(LineModesAddLine, ModeChangeWhileDrawingCreatesNothing)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    const TGeometry before = Geometry(chart);
    StartMode(chart, pmAddLine);
    LeftPress(chart, 300, 70);
    LeftPress(chart, 400, 75);
    StartMode(chart, pmDeleteLine);
    EXPECT_TRUE(chart.Lines.Empty());
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    EXPECT_EQ(chart.EditPathSeries->Count(), 0);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
    EXPECT_TRUE(Geometry(chart) == before);
    ExpectSound(chart);
}

TEST(LineModesAddLine, NewLineTakesTheDefaultLineSettings)
{
    TDefaultLineSettingsGuard guard;
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    TLineSeries model(nullptr);
    model.SetSeriesColor(0x00FF00);
    model.Pointer()->SetVisible(true);
    model.Pointer()->SetHorizSize(5);
    model.Pointer()->SetVertSize(6);
    DefaultLineSettings() = SeriesSettingsToText(&model);

    StartMode(chart, pmAddLine);
    LeftPress(chart, 300, 70);
    ASSERT_TRUE(RightPress(chart, 400, 80));
    ASSERT_EQ(chart.Lines.Length(), 1);
    const line& record = chart.Lines[0];
    EXPECT_EQ(record.series->SeriesColor(), 0x00FF00);
    EXPECT_EQ(record.series->Pointer()->HorizSize(), 5);
    EXPECT_EQ(record.series->Pointer()->VertSize(), 6);
    EXPECT_EQ(QString::fromStdString(record.appearance), DefaultLineSettings());
    // The settings do not carry an order: the points stay as drawn.
    EXPECT_EQ(record.series->XValues()->Order(), loNone);
    ExpectSeriesShowsLine(record);
    ExpectSound(chart);
}

TEST(LineModesAddLine, UnreadableDefaultLineSettingsKeepTheStandardLook)
{
    TDefaultLineSettingsGuard guard;
    TLineSeries model(nullptr);
    QStringList fields = SeriesSettingsToText(&model).split(SeriesSettingsSeparator);
    fields[0] = QStringLiteral("not a colour");
    struct Row {
        const char* Name;
        QString Text;
    };
    for (const Row& row : {Row{"malformed", fields.join(SeriesSettingsSeparator)}, Row{"too short", "1~2~3"}}) {
        SCOPED_TRACE(row.Name);
        DefaultLineSettings() = row.Text;
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        StartMode(chart, pmAddLine);
        LeftPress(chart, 300, 70);
        ASSERT_TRUE(RightPress(chart, 400, 80));
        ASSERT_EQ(chart.Lines.Length(), 1);
        EXPECT_EQ(chart.Lines[0].series->SeriesColor(), 0x0000FF);
        EXPECT_EQ(chart.Lines[0].series->Pointer()->HorizSize(), 2);
        ExpectSeriesShowsLine(chart.Lines[0]);
        ExpectSound(chart);
    }
}

// --- pmDeleteLineNode -------------------------------------------------------------

TEST(LineModesPick, LinePointPickableUpToSevenPixels)
{
    struct Row {
        double Scale;
        double Offset; // model units to the right of the point
        bool Picked;
    };
    const Row rows[] = {{1.0, 7.0, true}, {1.0, 7.01, false}, {1.0, 0.0, true},
                        {2.0, 3.5, true}, {2.0, 3.6, false},  {0.5, 14.0, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "scale " << row.Scale << " offset " << row.Offset);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, {{300, 70}, {400, 75}, {500, 70}});
        StartMode(chart, pmDeleteLineNode, row.Scale);
        Move(chart, 400 + row.Offset, 75);
        EXPECT_EQ(chart.Editing, row.Picked);
        EXPECT_EQ(chart.PickLine, row.Picked ? 0 : -1);
        EXPECT_EQ(chart.EditPathSeries->Count(), row.Picked ? 2 : 0);
        if (row.Picked) {
            EXPECT_EQ(chart.PickLinePoint, 1);
        }
        EXPECT_EQ(RightPress(chart, 400 + row.Offset, 75), row.Picked);
        EXPECT_EQ(chart.Lines[0].points.Length(), row.Picked ? 2 : 3);
        ExpectSound(chart);
    }
}

TEST(LineModesDeleteLineNode, DeletionStopsAtTwoPoints)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 70}, {400, 75}, {500, 70}, {600, 80}});
    StartMode(chart, pmDeleteLineNode);
    Move(chart, 400, 75);
    ASSERT_TRUE(RightPress(chart, 400, 75));
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 70}, {500, 70}, {600, 80}}));
    ExpectSeriesShowsLine(chart.Lines[0]);
    Move(chart, 300, 70);
    ASSERT_TRUE(RightPress(chart, 300, 70));
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{500, 70}, {600, 80}}));
    for (const complexM& p : {complexM{500, 70}, complexM{600, 80}}) {
        Move(chart, p.re, p.im);
        EXPECT_TRUE(chart.Editing);
        EXPECT_FALSE(RightPress(chart, p.re, p.im));
        EXPECT_EQ(chart.Lines[0].points.Length(), 2);
    }
    ExpectSeriesShowsLine(chart.Lines[0]);
    ExpectSound(chart);
}

TEST(LineModesDeleteLineNode, ValuesStayWithTheirPoints)
{
    struct Row {
        const char* Name;
        arofdoubleM Values;
        arofdoubleM Expected; // after deleting point 1
    };
    const Row rows[] = {
        {"one per point", {1, 2, 3, 4}, {1, 3, 4}},
        {"none", {}, {}},
        {"shorter than the points", {1, 2}, {1}},
        {"ending before the point", {1}, {1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, {{300, 70}, {400, 75}, {500, 70}, {600, 80}}, row.Values);
        StartMode(chart, pmDeleteLineNode);
        Move(chart, 401, 75);
        ASSERT_TRUE(RightPress(chart, 401, 75));
        EXPECT_EQ(chart.Lines[0].values, row.Expected);
        ExpectSound(chart);
    }
}

TEST(LineModesDeleteLineNode, StalePickAfterTheLineWentDoesNothing)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 70}, {400, 75}, {500, 70}});
    StartMode(chart, pmDeleteLineNode);
    Move(chart, 500, 70);
    ASSERT_EQ(chart.PickLine, 0);
    // The lines change behind the pick (as an undo would).
    chart.Lines[0].points.SetLength(2);
    chart.BuildLineSeries();
    EXPECT_FALSE(RightPress(chart, 500, 70));
    EXPECT_EQ(chart.Lines[0].points.Length(), 2);
    ExpectSound(chart);
}

// --- pmMoveLineNode and pmMoveLine ------------------------------------------------

TEST(LineModesMoveLineNode, PickUpMoveAndDrop)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 70}, {400, 75}, {500, 70}}, {1, 2, 3});
    StartMode(chart, pmMoveLineNode);
    // Nothing picked: a press does nothing.
    LeftPress(chart, 700, 20);
    EXPECT_FALSE(chart.Editing);
    Move(chart, 403, 77);
    EXPECT_EQ(chart.PickLine, 0);
    EXPECT_FALSE(chart.Editing);
    EXPECT_EQ(chart.EditPathSeries->Count(), 2);
    LeftPress(chart, 403, 77);
    EXPECT_TRUE(chart.Editing);
    Move(chart, 450, 90);
    EXPECT_EQ(chart.EditPathSeries->Count(), 0);
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 70}, {450, 90}, {500, 70}}));
    ExpectSeriesShowsLine(chart.Lines[0]);
    ASSERT_TRUE(RightPress(chart, 450, 90));
    EXPECT_FALSE(chart.Editing);
    EXPECT_EQ(chart.PickLine, -1);
    EXPECT_EQ(chart.Lines[0].values, (arofdoubleM{1, 2, 3}));
    // The next right press has nothing picked up.
    EXPECT_FALSE(RightPress(chart, 450, 90));
    ExpectSound(chart);
}

TEST(LineModesMoveLine, WholeLineShiftsVerticallyOnly)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 70}, {400, 75}, {500, 65}});
    AddLine(chart, {{300, 90}, {500, 90}});
    StartMode(chart, pmMoveLine);
    Move(chart, 402, 74);
    ASSERT_EQ(chart.PickLine, 0);
    ASSERT_EQ(chart.PickLinePoint, 1);
    LeftPress(chart, 402, 74);
    EXPECT_TRUE(chart.Editing);
    Move(chart, 900, 85); // x is ignored
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 80}, {400, 85}, {500, 75}}));
    Move(chart, 100, 60);
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 55}, {400, 60}, {500, 50}}));
    ExpectSeriesShowsLine(chart.Lines[0]);
    EXPECT_EQ(chart.Lines[1].points, (arofcomplexM{{300, 90}, {500, 90}}));
    ASSERT_TRUE(RightPress(chart, 100, 60));
    EXPECT_FALSE(chart.Editing);
    ExpectSound(chart);
}

// Guards a save writing a line point the user still held (picked up, never
// dropped): a file command and a mode change put it back.
TEST(LineModesMoveLineNode, CancellingTheEditPutsAHeldPointOrLineBack)
{
    for (const TPolygonEditMode mode : {pmMoveLineNode, pmMoveLine}) {
        SCOPED_TRACE(mode);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        const arofcomplexM points{{300, 70}, {400, 75}, {500, 70}};
        AddLine(chart, points, {1, 2, 3});
        StartMode(chart, mode);
        Move(chart, 402, 74);
        LeftPress(chart, 402, 74);
        Move(chart, 450, 90);
        ASSERT_NE(chart.Lines[0].points, points);
        chart.ResetEditMode();
        EXPECT_FALSE(chart.Editing);
        EXPECT_EQ(chart.Lines[0].points, points);
        EXPECT_EQ(chart.Lines[0].values, (arofdoubleM{1, 2, 3}));
        ExpectSeriesShowsLine(chart.Lines[0]);
        // The next move hovers: nothing follows the cursor.
        Move(chart, 420, 95);
        EXPECT_EQ(chart.Lines[0].points, points);

        // A dropped point stays where it was dropped.
        Move(chart, 402, 74);
        LeftPress(chart, 402, 74);
        Move(chart, 450, 90);
        ASSERT_TRUE(RightPress(chart, 450, 90));
        const arofcomplexM dropped = chart.Lines[0].points;
        chart.ResetEditMode();
        EXPECT_EQ(chart.Lines[0].points, dropped);

        // A change to any mode puts a held point back where it was picked
        // up, and leaves nothing in hand.
        for (const TPolygonEditMode next : {mode, TPolygonEditMode(pmMoveNode), TPolygonEditMode(pmAddLine)}) {
            StartMode(chart, mode);
            Move(chart, dropped[1].re, dropped[1].im);
            LeftPress(chart, dropped[1].re, dropped[1].im);
            ASSERT_TRUE(chart.Editing);
            Move(chart, 460, 40);
            ASSERT_NE(chart.Lines[0].points, dropped);
            StartMode(chart, next);
            EXPECT_FALSE(chart.Editing);
            EXPECT_EQ(chart.Lines[0].points, dropped);
            ExpectSeriesShowsLine(chart.Lines[0]);
        }
    }
}

// --- pmAddLineNode -----------------------------------------------------------------

TEST(LineModesAddLineNode, SegmentMustBeCloserThanFourPixels)
{
    struct Row {
        double Below; // model units below the segment
        bool Picked;
    };
    for (const Row& row : {Row{3.9, true}, Row{4.0, false}, Row{0.0, true}}) {
        SCOPED_TRACE(row.Below);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, {{300, 70}, {500, 70}});
        StartMode(chart, pmAddLineNode);
        Move(chart, 400, 70 + row.Below);
        EXPECT_TRUE(chart.Editing);
        EXPECT_EQ(chart.PickLine, row.Picked ? 0 : -1);
        EXPECT_EQ(chart.EditPathSeries->Count(), row.Picked ? 2 : 0);
        EXPECT_EQ(RightPress(chart, 400, 70 + row.Below), row.Picked);
        EXPECT_EQ(chart.Lines[0].points.Length(), row.Picked ? 3 : 2);
        ExpectSound(chart);
    }
}

TEST(LineModesAddLineNode, SnappedPointWithItsValue)
{
    struct Row {
        const char* Name;
        arofdoubleM Values;
        arofdoubleM Expected;
    };
    const Row rows[] = {
        {"interpolated halfway", {1, 3, 9}, {1, 2, 3, 9}},
        {"first neighbour missing", {MissingValue, 3, 9}, {MissingValue, MissingValue, 3, 9}},
        {"second neighbour missing", {1, MissingValue, 9}, {1, MissingValue, MissingValue, 9}},
        {"no values", {}, {}},
        {"values end at the segment's first point", {1}, {1, MissingValue}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, {{100, 60}, {300, 80}, {500, 80}}, row.Values);
        StartMode(chart, pmAddLineNode);
        Move(chart, 200, 72);
        ASSERT_EQ(chart.PickLinePoint, 0);
        ASSERT_TRUE(RightPress(chart, 200, 72));
        // The flat segment snaps the point along y onto it.
        EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{100, 60}, {200, 70}, {300, 80}, {500, 80}}));
        EXPECT_EQ(chart.Lines[0].values, row.Expected);
        ExpectSeriesShowsLine(chart.Lines[0]);
        ExpectSound(chart);
    }
}

TEST(LineModesAddLineNode, SteepSegmentSnapsAlongX)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{400, 55}, {402, 95}});
    StartMode(chart, pmAddLineNode);
    Move(chart, 403, 75);
    ASSERT_TRUE(RightPress(chart, 403, 75));
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{400, 55}, {401, 75}, {402, 95}}));
    ExpectSound(chart);
}

// --- pmDeleteLine -------------------------------------------------------------------

TEST(LineModesDeleteLine, PickedLineAndItsSeriesGo)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 60}, {500, 60}});
    AddLine(chart, {{300, 80}, {500, 80}});
    AddLine(chart, {{300, 90}, {500, 90}});
    const int seriesBefore = chart.SeriesCount();
    TLineSeries* kept = chart.Lines[2].series;
    StartMode(chart, pmDeleteLine);
    EXPECT_FALSE(RightPress(chart, 400, 20)); // away from every line
    Move(chart, 400, 81);
    ASSERT_TRUE(RightPress(chart, 400, 81));
    ASSERT_EQ(chart.Lines.Length(), 2);
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 60}, {500, 60}}));
    EXPECT_EQ(chart.Lines[1].points, (arofcomplexM{{300, 90}, {500, 90}}));
    EXPECT_EQ(chart.Lines[1].series, kept);
    EXPECT_EQ(chart.SeriesCount(), seriesBefore - 1);
    // A second right press without a new pick deletes nothing.
    EXPECT_FALSE(RightPress(chart, 400, 81));
    EXPECT_EQ(chart.Lines.Length(), 2);
    ExpectSound(chart);
}

// --- Polygons from two lines -------------------------------------------------------

// Chooses the first line with a left press and the second with a right one.
bool BandFromLines(TPolygonChart& Chart, const complexM& OnFirst, const complexM& OnSecond)
{
    Move(Chart, OnFirst.re, OnFirst.im);
    LeftPress(Chart, OnFirst.re, OnFirst.im);
    Move(Chart, OnSecond.re, OnSecond.im);
    return RightPress(Chart, OnSecond.re, OnSecond.im);
}

TEST(LineModesPolygonFromLines, ModeAJoinsBothWholeLinesSortedByX)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    // The upper line is drawn from right to left.
    AddLine(chart, {{700, 60}, {500, 62}, {300, 60}});
    AddLine(chart, {{300, 80}, {500, 82}, {800, 80}});
    const lines linesBefore = CopyLines(chart.Lines);
    const int bodies = chart.Model.Length();
    const int mapPolygons = chart.MapSeries()->Shapes()->Count();
    StartMode(chart, pmPolygonFromLinesA);
    Move(chart, 400, 61);
    LeftPress(chart, 400, 61);
    EXPECT_EQ(chart.FirstLine, 0);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 2);
    Move(chart, 600, 81);
    ASSERT_TRUE(RightPress(chart, 600, 81));
    ASSERT_EQ(chart.Model.Length(), bodies + 1);
    const int body = chart.Model.High();
    ASSERT_EQ(chart.Model[body].Length(), 1);
    const arofcomplexM band{{300, 60}, {500, 62}, {700, 60}, {800, 80}, {500, 82}, {300, 80}};
    EXPECT_EQ(SortedRingPoints(chart, body), SortedPairs(band));
    // The ring runs along the band: neighbours in the list are neighbours in
    // the ring (in either direction).
    const arofintM& ring = chart.Model[body][0].ring;
    int start = -1;
    for (int i = 0; i < ring.Length(); ++i)
        if (chart.Nodes[ring[i]].x == 300 && chart.Nodes[ring[i]].y == 60)
            start = i;
    ASSERT_GE(start, 0);
    const int n = ring.Length();
    const int step = chart.Nodes[ring[(start + 1) % n]].x == 500 ? 1 : n - 1;
    for (int k = 0; k < n; ++k) {
        const Tnode& node = chart.Nodes[ring[(start + k * step) % n]];
        EXPECT_EQ((complexM{node.x, node.y}), band[k]) << k;
    }
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), mapPolygons + 1);
    EXPECT_GE(chart.FindMapPolygon(body, 0), 0);
    for (int l = 0; l < 2; ++l)
        EXPECT_EQ(chart.Lines[l].points, linesBefore[l].points);
    EXPECT_EQ(chart.FirstLine, -1);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
    ExpectSound(chart);
}

TEST(LineModesPolygonFromLines, ModeBCutsToTheCommonXRange)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{700, 60}, {400, 60}, {200, 60}, {600, 58}});
    AddLine(chart, {{300, 80}, {500, 80}, {650, 82}, {800, 80}});
    StartMode(chart, pmPolygonFromLinesB);
    ASSERT_TRUE(BandFromLines(chart, {450, 60}, {400, 80}));
    const int body = chart.Model.High();
    const arofcomplexM band{{400, 60}, {600, 58}, {700, 60}, {650, 82}, {500, 80}, {300, 80}};
    EXPECT_EQ(SortedRingPoints(chart, body), SortedPairs(band));
    EXPECT_GE(chart.FindMapPolygon(body, 0), 0);
    EXPECT_EQ(chart.Lines[0].points.Length(), 4);
    EXPECT_EQ(chart.Lines[1].points.Length(), 4);
    ExpectSound(chart);
}

TEST(LineModesPolygonFromLines, RefusedBandLeavesTheModelExactly)
{
    struct Row {
        const char* Name;
        TPolygonEditMode Mode;
        arofcomplexM First, Second;
        complexM OnFirst, OnSecond;
    };
    const Row rows[] = {
        // Body 1 spans x 100..200, y 10..50: the band crosses it without a
        // point inside it and without enclosing any of its nodes.
        {"band across a body", pmPolygonFromLinesA, {{50, 20}, {250, 20}}, {{50, 30}, {250, 30}}, {60, 20}, {60, 30}},
        {"band inside a body", pmPolygonFromLinesA, {{120, 20}, {180, 20}}, {{120, 30}, {180, 30}}, {150, 20},
         {150, 30}},
        {"band around a body", pmPolygonFromLinesA, {{50, 5}, {250, 5}}, {{50, 60}, {250, 60}}, {150, 5}, {150, 60}},
        {"crossing lines", pmPolygonFromLinesA, {{300, 60}, {500, 80}}, {{300, 80}, {500, 60}}, {320, 62},
         {320, 78}},
        {"line moved above the area", pmPolygonFromLinesA, {{300, -10}, {500, -10}}, {{300, 70}, {500, 70}},
         {400, -10}, {400, 70}},
        {"ranges barely overlap", pmPolygonFromLinesB, {{300, 60}, {400, 60}}, {{400, 80}, {900, 80}}, {350, 60},
         {600, 80}},
        {"ranges apart", pmPolygonFromLinesB, {{300, 60}, {400, 60}}, {{500, 80}, {900, 80}}, {350, 60},
         {600, 80}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, row.First);
        AddLine(chart, row.Second);
        const TGeometry before = Geometry(chart);
        const int mapPolygons = chart.MapSeries()->Shapes()->Count();
        StartMode(chart, row.Mode);
        EXPECT_FALSE(BandFromLines(chart, row.OnFirst, row.OnSecond));
        EXPECT_TRUE(Geometry(chart) == before);
        EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), mapPolygons);
        EXPECT_GE(chart.FindMapPolygon(1, 0), 0);
        EXPECT_EQ(chart.FirstLine, -1);
        EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
        EXPECT_EQ(chart.Lines[0].points, row.First);
        EXPECT_EQ(chart.Lines[1].points, row.Second);
        ExpectSound(chart);
    }
}

// Regression: a refused band put Model and Nodes back from the backup, which
// after an area change from the axis menu still held the old frame, so the
// frame no longer matched the model area.
TEST(LineModesPolygonFromLines, RefusedBandKeepsTheModelNotTheBackup)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{50, 20}, {250, 20}});
    AddLine(chart, {{50, 30}, {250, 30}});
    StartMode(chart, pmPolygonFromLinesA);
    // The area grows after the last backup, as the axis menu does it.
    chart.SetModelArea(false, 0, 1200, 0, 100);
    ExpectSound(chart);
    const TGeometry before = Geometry(chart);
    const int mapPolygons = chart.MapSeries()->Shapes()->Count();
    // The band crosses body 1.
    EXPECT_FALSE(BandFromLines(chart, {60, 20}, {60, 30}));
    EXPECT_TRUE(Geometry(chart) == before);
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), mapPolygons);
    EXPECT_GE(chart.FindMapPolygon(1, 0), 0);
    ExpectSound(chart);
}

TEST(LineModesPolygonFromLines, SecondPressOnTheFirstLineOrAwayDoesNothing)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{300, 60}, {500, 60}});
    AddLine(chart, {{300, 80}, {500, 80}});
    const int bodies = chart.Model.Length();
    StartMode(chart, pmPolygonFromLinesA);
    // A right press before a first line is chosen.
    Move(chart, 400, 80);
    EXPECT_FALSE(RightPress(chart, 400, 80));
    Move(chart, 400, 60);
    LeftPress(chart, 400, 60);
    ASSERT_EQ(chart.FirstLine, 0);
    EXPECT_FALSE(RightPress(chart, 450, 60)); // the first line again
    EXPECT_FALSE(RightPress(chart, 400, 70)); // away from every line
    EXPECT_EQ(chart.FirstLine, 0);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 2);
    EXPECT_EQ(chart.Model.Length(), bodies);
    // Choosing another first line marks only that one.
    Move(chart, 400, 80);
    LeftPress(chart, 400, 80);
    EXPECT_EQ(chart.FirstLine, 1);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 2);
    EXPECT_EQ(chart.RubberBandSeries->YValues()->Value(0), 80);
    ASSERT_TRUE(RightPress(chart, 400, 60));
    EXPECT_EQ(chart.Model.Length(), bodies + 1);
    ExpectSound(chart);
}

// --- Phases ------------------------------------------------------------------------

// Regression: every phase other than a press was taken for a move, and every
// phase other than a move for a press, so a stray phase moved, inserted or
// deleted line points.
TEST(LineModesPhases, OnlyPressesAndMovesDoAnything)
{
    for (TPolygonEditMode mode : {pmAddLine, pmDeleteLineNode, pmMoveLineNode, pmAddLineNode, pmDeleteLine,
                                  pmPolygonFromLinesA, pmPolygonFromLinesB, pmMoveLine}) {
        SCOPED_TRACE(mode);
        TPolygonChart chart;
        TSectionFixture::AddBodies(chart, 1);
        AddLine(chart, {{300, 60}, {400, 62}, {500, 60}});
        AddLine(chart, {{300, 80}, {500, 80}});
        StartMode(chart, mode);
        if (mode == pmAddLine) {
            LeftPress(chart, 600, 70);
            LeftPress(chart, 700, 70);
        }
        Move(chart, 400, 62);
        if (mode == pmMoveLineNode || mode == pmMoveLine || mode == pmPolygonFromLinesA ||
            mode == pmPolygonFromLinesB)
            LeftPress(chart, 400, 62);
        if (mode == pmPolygonFromLinesA || mode == pmPolygonFromLinesB)
            Move(chart, 400, 80);
        const lines before = CopyLines(chart.Lines);
        const TGeometry geometry = Geometry(chart);
        const arofcomplexM path = SeriesPoints(*chart.EditPathSeries);
        const arofcomplexM band = SeriesPoints(*chart.RubberBandSeries);
        const arofcomplexM drawn = chart.DrawnPoints;
        const bool editing = chart.Editing;
        const int pickLine = chart.PickLine;
        const int firstLine = chart.FirstLine;
        for (int phase : {2, -1}) {
            for (bool right : {false, true}) {
                EXPECT_FALSE(chart.EditStep(mode, phase, 420, 80, right));
                ExpectSound(chart);
            }
        }
        ASSERT_EQ(chart.Lines.Length(), before.Length());
        for (int l = 0; l < before.Length(); ++l) {
            EXPECT_EQ(chart.Lines[l].points, before[l].points);
            ExpectSeriesShowsLine(chart.Lines[l]);
        }
        EXPECT_TRUE(Geometry(chart) == geometry);
        EXPECT_EQ(SeriesPoints(*chart.EditPathSeries), path);
        EXPECT_EQ(SeriesPoints(*chart.RubberBandSeries), band);
        EXPECT_EQ(chart.DrawnPoints, drawn);
        EXPECT_EQ(chart.Editing, editing);
        EXPECT_EQ(chart.PickLine, pickLine);
        EXPECT_EQ(chart.FirstLine, firstLine);
    }
}

// --- Through the mouse handler ------------------------------------------------------

TEST(LineModesMouse, RightPressThroughTheHandlerRecordsTheLine)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    int changes = 0;
    chart.onchangemodel = [&](TPolygonChart*) { ++changes; };
    StartMode(chart, pmAddLine);
    chart.CursorX = 300;
    chart.CursorY = 70;
    chart.ChartMouseDown(nullptr, mbLeft, TShiftState(), 0, 0);
    chart.CursorX = 400;
    chart.CursorY = 80;
    chart.ChartMouseDown(nullptr, mbLeft, TShiftState(), 0, 0);
    chart.CursorX = 450;
    chart.CursorY = 85;
    chart.ChartMouseDown(nullptr, mbRight, TShiftState(), 0, 0);
    ASSERT_EQ(chart.Lines.Length(), 1);
    EXPECT_EQ(chart.Lines[0].points, (arofcomplexM{{300, 70}, {400, 80}}));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(chart.Editing);
    ASSERT_FALSE(chart.UndoLines.Empty());
    EXPECT_EQ(chart.UndoLines[chart.UndoLines.High()].Length(), 1);
    ExpectSound(chart);
}

// Guards against line series that sort their points by x: a line drawn from
// right to left came back reordered after an undo or a load.
TEST(LineModesSeries, RebuiltSeriesKeepsDrawingOrder)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    AddLine(chart, {{700, 60}, {300, 70}, {500, 80}});
    ExpectSeriesShowsLine(chart.Lines[0]);
}

} // namespace
} // namespace lp
