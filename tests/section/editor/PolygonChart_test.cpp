// The section chart: construction, the map series kept in step with the
// model, the model area and scales, node dots, selections and moves of map
// polygons, and the line series.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

TEST(PolygonChartCreate, SeriesAxesAndDefaults)
{
    TPolygonChart chart;
    ASSERT_NE(chart.MapSeries(), nullptr);
    EXPECT_EQ(chart.SeriesCount(), 4);
    EXPECT_EQ(chart.EditPathSeries->SeriesColor(), 0x0000FF);
    EXPECT_EQ(chart.RubberBandSeries->LinePen()->Style(), TPen::psDot);
    EXPECT_EQ(chart.SurfaceSeries->YOrigin(), -1e30);
    EXPECT_FALSE(chart.EditPathSeries->DefaultSettings().isEmpty());
    EXPECT_EQ(chart.MarginUnits(), TPlotUnits::muPixels);
    EXPECT_EQ(chart.MarginLeft(), 25);
    EXPECT_EQ(chart.MarginRight(), 30);
    EXPECT_TRUE(chart.LeftAxis()->Inverted());
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 1000.0);
    EXPECT_EQ(chart.Title()->Text()->Strings(0), "Cross-section");
    EXPECT_EQ(chart.EditMode, -1);
    EXPECT_FALSE(chart.ModelLoaded);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 1000.0);
    EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 100.0);

    // The params a new body copies.
    const TPolygonParams& params = DefaultParameters;
    EXPECT_EQ(params[psId].AsInteger(), -1);
    const auto brush = BrushSettingsFromText(QString::fromStdString(params[psBrush].AsText()));
    EXPECT_EQ(brush->Color(), 0xC0C0C1);
    EXPECT_EQ(brush->Style(), TBrush::bsCross);
    const auto pen = PenSettingsFromText(QString::fromStdString(params[psPen].AsText()));
    EXPECT_EQ(pen->Color(), 0x808080);
    const auto gradient = GradientSettingsFromText(QString::fromStdString(params[psGradient].AsText()));
    EXPECT_EQ(gradient->MidColor(), 0x00FFFF);
    EXPECT_FALSE(gradient->Visible());
    EXPECT_EQ(params[psLabelText].AsText(), " ");
    EXPECT_EQ(params[psLabelMode].AsInteger(), 3);
    EXPECT_DOUBLE_EQ(params[psResistivity].AsReal(), 10.0);
    EXPECT_EQ(params[19].AsText(), "*");
}

TEST(PolygonChartModel, FrameOnlyModelHasNoMapPolygon)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 500, 0, 50);
    EXPECT_TRUE(chart.ModelLoaded);
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 0);
    EXPECT_EQ(chart.Model[0][0].params[psId].AsInteger(), -1);
    // Without a profile the surface is y = 0 across the area.
    ASSERT_EQ(chart.SurfaceSeries->Count(), 2);
    EXPECT_DOUBLE_EQ(chart.SurfaceSeries->XValues()->Value(0), 0.0);
    EXPECT_DOUBLE_EQ(chart.SurfaceSeries->XValues()->Value(1), 500.0);
    EXPECT_DOUBLE_EQ(chart.SurfaceSeries->YValues()->Value(1), 0.0);
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 500.0);
    EXPECT_DOUBLE_EQ(chart.LeftAxis()->Maximum(), 50.0);
    EXPECT_EQ(chart.UndoSequence.Length(), 1);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartModel, ProfileBecomesDepthsAndSurfaceFollowsIt)
{
    TPolygonChart chart;
    chart.SetProfile({{0, 10}, {250, 15}, {500, 12}});
    EXPECT_DOUBLE_EQ(chart.Profile[0].im, 5.0);
    EXPECT_DOUBLE_EQ(chart.Profile[1].im, 0.0);
    EXPECT_DOUBLE_EQ(chart.Profile[2].im, 3.0);
    chart.SetProfile({{0, 10}});
    EXPECT_DOUBLE_EQ(chart.Profile[0].im, 10.0); // one point stays as it is

    chart.NewModel({{0, 10}, {250, 15}, {500, 12}}, true, 0, 500, 0, 50);
    EXPECT_TRUE(chart.HasProfile);
    ASSERT_GE(chart.SurfaceSeries->Count(), 2);
    // The surface runs along the profile's depths.
    bool sawTop = false;
    for (int i = 0; i < chart.SurfaceSeries->Count(); ++i)
        sawTop |= chart.SurfaceSeries->XValues()->Value(i) == 250.0 && chart.SurfaceSeries->YValues()->Value(i) == 0.0;
    EXPECT_TRUE(sawTop);
}

TEST(PolygonChartModel, ANewModelTakesItsAreaWhateverTheOldModelHeld)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    TSectionFixture::AddBodies(chart, 3); // bodies out to x 700, y 50
    chart.NewModel({}, false, 0, 500, 0, 40);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 500);
    EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 40);
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 500);
    EXPECT_DOUBLE_EQ(chart.LeftAxis()->Maximum(), 40);
    ASSERT_EQ(chart.Model.Length(), 1);
    double right = 0;
    double bottom = 0;
    for (const Tnode& node : chart.Nodes) {
        right = std::max(right, node.x);
        bottom = std::max(bottom, node.y);
    }
    EXPECT_DOUBLE_EQ(right, 500);
    EXPECT_DOUBLE_EQ(bottom, 40);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartModel, BodiesBecomeMapPolygonsWithTheirIds)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 3);
    ASSERT_EQ(chart.MapSeries()->Shapes()->Count(), 3);
    for (int body = 1; body <= 3; ++body) {
        const int id = chart.Model[body][0].params[psId].AsInteger();
        EXPECT_EQ(chart.MapSeries()->Shapes()->GetPolygon(body - 1)->ID(), id);
        EXPECT_EQ(chart.MapSeries()->Shapes()->GetPolygon(body - 1)->Points()->Count(),
                  chart.Model[body][0].ring.Length());
    }
    // The look comes from the params.
    chart.Model[2][0].params[psColor] = ParamValue(0x00FF00);
    chart.Model[2][0].params[psLabelText] = ParamValue("sand");
    chart.RebuildMapSeries();
    TPlotPolygon* polygon = chart.MapSeries()->Shapes()->GetPolygon(1);
    EXPECT_EQ(polygon->Text(), "sand");
    EXPECT_EQ(polygon->Brush()->Style(), TBrush::bsCross);
    EXPECT_FALSE(polygon->ParentPen());
    // Stored back: colour, texts, free params "*".
    chart.Model[2][0].params[5] = ParamValue(5);
    chart.StorePolygonAppearance(2, 0, 1);
    EXPECT_EQ(chart.Model[2][0].params[psLabelText].AsText(), "sand");
    EXPECT_EQ(chart.Model[2][0].params[5].AsText(), "*");
    EXPECT_EQ(BrushSettingsFromText(QString::fromStdString(chart.Model[2][0].params[psBrush].AsText()))->Style(),
              TBrush::bsCross);
}

TEST(PolygonChartModel, UnreadableAppearanceSlotsKeepTheLook)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    chart.Model[1][0].params[psBrush] = ParamValue("garbage");
    chart.Model[1][0].params[psPen] = ParamValue("*");
    chart.Model[1][0].params[psGradient].Clear();
    EXPECT_NO_THROW(chart.RebuildMapSeries());
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 1);
}

TEST(PolygonChartArea, NeverInsideTheInnerNodesAndTopStays)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1); // a body from x 100 .. 200, y 10 .. 50
    const TModelArea before = chart.ModelArea;
    // Only Top differs: reported, but the top stays.
    EXPECT_TRUE(chart.SetModelArea(true, before.left, before.right, 5.0, before.bottom));
    EXPECT_DOUBLE_EQ(chart.ModelArea.top, before.top);
    // Edges inside the inner nodes' extent are refused one by one.
    chart.SetModelArea(false, 150, 120, 0, 30);
    EXPECT_DOUBLE_EQ(chart.ModelArea.left, before.left);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, before.right);
    EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, before.bottom);
    // Edges outside are taken, and the axes follow.
    EXPECT_TRUE(chart.SetModelArea(false, -100, 1200, 0, 150));
    EXPECT_DOUBLE_EQ(chart.ModelArea.left, -100);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 1200);
    EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 150);
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Minimum(), -100);
    EXPECT_DOUBLE_EQ(chart.LeftAxis()->Maximum(), 150);
    EXPECT_FALSE(chart.SetModelArea(false, -100, 1200, 0, 150));
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartArea, EmptyOrTurnedOverAreasAreRefused)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const Tnodes nodes = CopyNodes(chart.Nodes);
    struct Row {
        const char* name;
        double left, right, top, bottom;
    };
    const Row rows[] = {
        {"left beyond right", 800, 200, 0, 100},
        {"no width", 500, 500, 0, 100},
        {"bottom above top", 0, 1000, 0, -50},
        {"not a number", 0, std::nan(""), 0, 100},
        {"infinite", -std::numeric_limits<double>::infinity(), 1000, 0, 100},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(chart.SetModelArea(false, row.left, row.right, row.top, row.bottom)) << row.name;
        EXPECT_DOUBLE_EQ(chart.ModelArea.left, 0) << row.name;
        EXPECT_DOUBLE_EQ(chart.ModelArea.right, 1000) << row.name;
        EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 100) << row.name;
        EXPECT_EQ(chart.Nodes, nodes) << row.name;
        EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 1000) << row.name;
    }
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartArea, ScalesFromTheAxes)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    EXPECT_GT(chart.BottomAxis()->AxisPixelSize(), 0);
    EXPECT_DOUBLE_EQ(chart.ScaleX, chart.BottomAxis()->AxisPixelSize() / 1000.0);
    EXPECT_DOUBLE_EQ(chart.ScaleY, chart.LeftAxis()->AxisPixelSize() / 100.0);
    // A span of 1e-10 or less gives 1.
    chart.BottomAxis()->SetMinMax(5, 5);
    chart.UpdateAxisScales();
    EXPECT_DOUBLE_EQ(chart.ScaleX, 1.0);
    // Without a size nothing is computable.
    TPolygonChart unsized;
    unsized.SetBounds(0, 0, 0, 0);
    unsized.NewModel({}, false, 0, 1000, 0, 100);
    EXPECT_DOUBLE_EQ(unsized.ScaleX, 1.0);
}

TEST(PolygonChartArea, AxisMenuChangesResizeTheModel)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    chart.BottomAxis()->SetMinMax(0, 2000);
    chart.OnAxisPopupAction(&chart);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 2000);
    for (const Tnode& node : chart.Nodes)
        if (node.border == bkRight || node.border == bkBottomRight) {
            EXPECT_DOUBLE_EQ(node.x, 2000.0);
        }
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartArea, ANarrowingThatWouldCutARingApartIsRefused)
{
    // A relief over 0..100 with surface nodes at x 75, 50 and 25, and a ring
    // of the host body hanging below the surface between 50 and 75.
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.NewModel({{-100, 5}, {25, 10}, {50, 0}, {75, 10}, {120, 4}, {200, 5}}, true, 0, 100, 0, 50);
    int at75 = -1;
    int at50 = -1;
    for (int i = 0; i < chart.Nodes.Length(); ++i) {
        if (chart.Nodes[i].x == 75)
            at75 = i;
        if (chart.Nodes[i].x == 50)
            at50 = i;
    }
    ASSERT_GE(at75, 0);
    ASSERT_GE(at50, 0);
    Tnode inner;
    inner.x = 62;
    inner.y = 20;
    chart.Nodes.Add(inner);
    Polygon hanging = chart.Model[0][0];
    hanging.ring = {at50, at75, chart.Nodes.High()};
    chart.Model[0].Add(hanging);
    UpdateBodySharing(0, chart.Model, chart.Nodes);
    ASSERT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    const Tnodes nodes = CopyNodes(chart.Nodes);
    const arofintM ring = chart.Model[0][1].ring;

    // Narrowing to the inner node's x drops the surface node at 75 the ring
    // runs through: the model and its area stay, and the axis goes back.
    chart.BottomAxis()->SetMinMax(0, 62);
    chart.OnAxisPopupAction(&chart);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 100);
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 100);
    EXPECT_EQ(chart.Nodes, nodes);
    EXPECT_EQ(chart.Model[0][1].ring, ring);
    EXPECT_FALSE(chart.SetModelArea(false, 0, 62, 0, 50));
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

TEST(PolygonChartArea, ARollBackAfterAnAxisChangeKeepsTheNewArea)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    TSectionFixture::AddBodies(chart, 1);
    chart.BottomAxis()->SetMinMax(0, 2000);
    chart.OnAxisPopupAction(&chart);
    ASSERT_DOUBLE_EQ(chart.ModelArea.right, 2000);
    const Tnodes nodes = CopyNodes(chart.Nodes);
    // An edit left unfinished is rolled back to the model on the new area.
    chart.Editing = true;
    chart.Nodes[5].x += 20;
    chart.ResetEditMode();
    EXPECT_EQ(chart.Nodes, nodes);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());

    // An axis change during an edit rolls the edit back first.
    chart.Editing = true;
    chart.Nodes[5].x += 20;
    chart.BottomAxis()->SetMinMax(0, 3000);
    chart.OnAxisPopupAction(&chart);
    EXPECT_FALSE(chart.Editing);
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 3000);
    EXPECT_DOUBLE_EQ(chart.Nodes[5].x, nodes[5].x);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    chart.Editing = true;
    chart.ResetEditMode();
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 3000);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
}

// Paints the chart and expects its top and right axes paired with the
// bottom and left ones.
void ExpectAxesPaired(TPolygonChart& Chart, const char* Step)
{
    TBitmap picture(Chart.Width(), Chart.Height());
    Chart.DrawToCanvas(&picture.Canvas(), Chart.GetRectangle());
    lp::ExpectAxesPaired(std::as_const(Chart), Step);
}

void ExpectAxesShowTheArea(TPolygonChart& Chart, const char* Step)
{
    ExpectAxesPaired(Chart, Step);
    EXPECT_EQ(Chart.BottomAxis()->Minimum(), Chart.ModelArea.left) << Step;
    EXPECT_EQ(Chart.BottomAxis()->Maximum(), Chart.ModelArea.right) << Step;
    EXPECT_EQ(Chart.LeftAxis()->Minimum(), Chart.ModelArea.top) << Step;
    EXPECT_EQ(Chart.LeftAxis()->Maximum(), Chart.ModelArea.bottom) << Step;
}

// Guards the top axis reading 0..1000 over an area of another width: its
// labels and grid lines stood at distances the section does not have.
TEST(PolygonChartArea, TheTopAxisShowsTheBottomAxisDistancesWhereverTheAreaChanges)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    TSectionFixture::AddBodies(chart, 1);
    ExpectAxesShowTheArea(chart, "new model");

    ASSERT_TRUE(chart.SetModelArea(false, 0, 1200, 0, 250));
    EXPECT_EQ(chart.TopAxis()->Maximum(), 1200.0);
    ExpectAxesShowTheArea(chart, "model setup");

    // The axis menu on the bottom, top and right axes.
    chart.BottomAxis()->SetMinMax(0, 1500);
    chart.OnAxisPopupAction(&chart);
    EXPECT_EQ(chart.ModelArea.right, 1500.0);
    ExpectAxesShowTheArea(chart, "bottom axis menu");
    chart.TopAxis()->SetMinMax(0, 1800);
    chart.OnAxisPopupAction(&chart);
    EXPECT_EQ(chart.ModelArea.right, 1800.0);
    ExpectAxesShowTheArea(chart, "top axis menu");
    chart.RightAxis()->SetMinMax(0, 300);
    chart.OnAxisPopupAction(&chart);
    EXPECT_EQ(chart.ModelArea.bottom, 300.0);
    ExpectAxesShowTheArea(chart, "right axis menu");

    // While an axis window is open its axis changes before the area does:
    // the picture already shows both axes of the pair alike.
    chart.BottomAxis()->SetMinMax(0, 1600);
    ExpectAxesPaired(chart, "bottom axis window");
    chart.OnAxisPopupAction(&chart);
    EXPECT_EQ(chart.ModelArea.right, 1600.0);
    ExpectAxesShowTheArea(chart, "bottom axis window closed");

    chart.Undo();
    EXPECT_EQ(chart.ModelArea.right, 1800.0);
    ExpectAxesShowTheArea(chart, "undo");

    // A left edge inside the body is not taken: both axes go back to the
    // area's left.
    chart.TopAxis()->SetMinMax(400, 1800);
    chart.OnAxisPopupAction(&chart);
    EXPECT_EQ(chart.ModelArea.left, 0.0);
    ExpectAxesShowTheArea(chart, "refused");

    chart.SetAutomaticScaling(false);
    ExpectAxesShowTheArea(chart, "automatic scaling off");
    chart.SetAutomaticScaling(true);
    ExpectAxesShowTheArea(chart, "automatic scaling on");
}

TEST(PolygonChartNodes, DotColoursByKind)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    TSectionFixture::AddBodies(chart, 2);
    // Node kinds: body 1's nodes are free; make one fixed, one shared, one
    // shared three times, one on the border.
    const arofintM& ring = chart.Model[1][0].ring;
    chart.Nodes[ring[0]].fixed = 1;
    chart.Nodes[ring[1]].sharing = 2;
    chart.Nodes[ring[2]].sharing = 3;
    chart.Nodes[ring[3]].border = bkBottom;
    chart.Nodes[ring[3]].fixed = 1;
    TBitmap picture(800, 600);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    const auto colourAt = [&](int node) {
        const int x = chart.BottomAxis()->CalcPosValue(chart.Nodes[node].x);
        const int y = chart.LeftAxis()->CalcPosValue(chart.Nodes[node].y);
        // The whole 3x3 square has the colour.
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                EXPECT_EQ(picture.Canvas().Pixel(x + dx, y + dy), picture.Canvas().Pixel(x, y));
        return picture.Canvas().Pixel(x, y);
    };
    EXPECT_EQ(colourAt(ring[0]), chart.FixedNodeColor);
    EXPECT_EQ(colourAt(ring[1]), chart.SharedNodeColor);
    EXPECT_EQ(colourAt(ring[2]), chart.SharedNodeColor);
    EXPECT_EQ(colourAt(ring[3]), chart.BorderNodeColor);
    EXPECT_EQ(colourAt(chart.Model[2][0].ring[0]), chart.FreeNodeColor);
    // Frame corners are never painted: the corner pixel is not a node colour.
    const int cornerX = chart.BottomAxis()->CalcPosValue(chart.Nodes[0].x) + 1;
    const int cornerY = chart.LeftAxis()->CalcPosValue(chart.Nodes[0].y) + 1;
    EXPECT_NE(picture.Canvas().Pixel(cornerX, cornerY), chart.BorderNodeColor);
}

TEST(PolygonChartNodes, OutlineNodesBlueInnerNodesGreen)
{
    // A square divided into four triangles around its centre: the corners
    // lie on the body's outline, each in two rings, and are blue; the centre,
    // whose every edge two rings share, is green.
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    arofcomplexM square{{250, 30}, {350, 30}, {350, 70}, {250, 70}};
    ASSERT_TRUE(AddPolygon(square, chart.Model, chart.Nodes));
    const auto nodeAt = [&](double X, double Y) {
        for (int i = 0; i < chart.Nodes.Length(); ++i)
            if (chart.Nodes[i].x == X && chart.Nodes[i].y == Y)
                return i;
        return -1;
    };
    const int a = nodeAt(250, 30), b = nodeAt(350, 30), c = nodeAt(350, 70), d = nodeAt(250, 70);
    int id = 0;
    ASSERT_TRUE(DividePolygon(a, c, 1, id, chart.Nodes, chart.Model));
    ASSERT_TRUE(AddNodeOnEdge(a, c, 1, 1, 1, chart.Nodes, chart.Model, complexM{300, 50}));
    const int centre = chart.Nodes.High();
    ASSERT_TRUE(DividePolygon(centre, b, 1, id, chart.Nodes, chart.Model));
    ASSERT_TRUE(DividePolygon(centre, d, 1, id, chart.Nodes, chart.Model));
    ASSERT_EQ(chart.Model[1].Length(), 4);
    ASSERT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    chart.RebuildMapSeries();

    TBitmap picture(800, 600);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    const auto colourAt = [&](int Node) {
        return picture.Canvas().Pixel(chart.BottomAxis()->CalcPosValue(chart.Nodes[Node].x),
                                      chart.LeftAxis()->CalcPosValue(chart.Nodes[Node].y));
    };
    constexpr TColor blue = 0xFF0000, green = 0x008000;
    EXPECT_EQ(chart.FreeNodeColor, blue);
    EXPECT_EQ(chart.SharedNodeColor, green);
    for (int corner : {a, b, c, d}) {
        EXPECT_EQ(chart.Nodes[corner].sharing, nsOutlineShared) << corner;
        EXPECT_EQ(colourAt(corner), blue) << corner;
    }
    EXPECT_EQ(chart.Nodes[centre].sharing, nsInner);
    EXPECT_EQ(colourAt(centre), green);
}

TEST(PolygonChartSelection, ResolveAndMoveFirst)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 4);
    arofintM ids{chart.Model[3][0].params[psId].AsInteger(), 999, -1, chart.Model[1][0].params[psId].AsInteger()};
    arofintM bodies{3, 7, 0, 1};
    arofintM subs{0, 0, 0, 0};
    arofintM mapIndexes;
    chart.ResolveSelection(ids, bodies, mapIndexes, subs);
    ASSERT_EQ(mapIndexes.Length(), 2);
    EXPECT_EQ(mapIndexes[0], 2);
    EXPECT_EQ(mapIndexes[1], 0);
    EXPECT_EQ(bodies, (arofintM{3, 1}));

    std::vector<int> idsBefore;
    for (int m = 0; m < 4; ++m)
        idsBefore.push_back(chart.MapSeries()->Shapes()->GetPolygon(m)->ID());
    chart.MoveMapPolygonsFirst(mapIndexes);
    EXPECT_EQ(mapIndexes, (arofintM{0, 1}));
    EXPECT_EQ(chart.MapSeries()->Shapes()->GetPolygon(0)->ID(), idsBefore[2]);
    EXPECT_EQ(chart.MapSeries()->Shapes()->GetPolygon(1)->ID(), idsBefore[0]);
    // Every polygon still has one value, and the ids are unchanged as a set.
    EXPECT_EQ(chart.MapSeries()->Count(), 4);
    std::vector<int> idsAfter;
    for (int m = 0; m < 4; ++m)
        idsAfter.push_back(chart.MapSeries()->Shapes()->GetPolygon(m)->ID());
    std::sort(idsBefore.begin(), idsBefore.end());
    std::sort(idsAfter.begin(), idsAfter.end());
    EXPECT_EQ(idsBefore, idsAfter);
}

TEST(PolygonChartLines, SeriesPerLineWithItsLook)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    line first;
    first.points = {{0, 0}, {100, 10}, {200, 5}};
    chart.Lines.Add(first);
    line second;
    second.points = {{10, 10}};
    chart.Lines.Add(second);
    chart.BuildLineSeries();
    ASSERT_NE(chart.Lines[0].series, nullptr);
    EXPECT_EQ(chart.Lines[0].series->Count(), 3);
    EXPECT_EQ(chart.Lines[0].series->SeriesColor(), 0x0000FF);
    EXPECT_EQ(chart.SeriesCount(), 6);
    // A second build reuses the series.
    TLineSeries* kept = chart.Lines[0].series;
    chart.BuildLineSeries();
    EXPECT_EQ(chart.Lines[0].series, kept);
    EXPECT_EQ(kept->Count(), 3);
    // A new model frees the line series.
    chart.NewModel({}, false, 0, 1000, 0, 100);
    EXPECT_EQ(chart.SeriesCount(), 4);
}

TEST(PolygonChartPicture, ASectionWithProfileBodiesAndALine)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    chart.NewModel({{0, 104}, {300, 110}, {600, 102}, {1000, 106}}, true, 0, 1000, 0, 100);
    TSectionFixture::AppendBodies(chart, 3, 20, 60);
    chart.Model[1][0].params[psColor] = ParamValue(0x3080E0);
    chart.Model[1][0].params[psBrush] = ParamValue("0#0");
    chart.Model[1][0].params[psLabelText] = ParamValue("clay");
    chart.Model[2][0].params[psColor] = ParamValue(0x40C060);
    chart.Model[2][0].params[psBrush] = ParamValue("0#0");
    chart.Model[2][0].params[psLabelText] = ParamValue("sand");
    chart.Nodes[chart.Model[3][0].ring[0]].fixed = 1;
    chart.RebuildMapSeries();
    line well;
    well.points = {{50, 5}, {300, 70}, {900, 80}};
    chart.Lines.Add(well);
    chart.BuildLineSeries();
    TBitmap picture(640, 360);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(picture.ToImage(), "section", "section-chart"));
}

TEST(PolygonChartPicture, RubberBandDottedEditPathSolid)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    chart.RubberBandSeries->AddXY(100, 10);
    chart.RubberBandSeries->AddXY(100, 90);
    chart.EditPathSeries->AddXY(600, 10);
    chart.EditPathSeries->AddXY(600, 90);
    TBitmap picture(640, 360);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    const auto redRows = [&](double X) {
        const int x = chart.BottomAxis()->CalcPosValue(X);
        int red = 0;
        const int top = chart.LeftAxis()->CalcPosValue(20);
        const int bottom = chart.LeftAxis()->CalcPosValue(80);
        for (int y = top; y < bottom; ++y)
            red += picture.Canvas().Pixel(x, y) == 0x0000FF ? 1 : 0;
        return std::make_pair(red, bottom - top);
    };
    const auto [dotted, dottedRows] = redRows(100);
    EXPECT_GT(dotted, dottedRows / 4);
    EXPECT_LT(dotted, dottedRows * 3 / 4); // gaps show the white behind
    const auto [solid, solidRows] = redRows(600);
    EXPECT_EQ(solid, solidRows);
}

} // namespace
} // namespace lp
