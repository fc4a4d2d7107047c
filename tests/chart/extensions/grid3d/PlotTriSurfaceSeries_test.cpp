// The triangulated surface series: too few points, one triangle, the depth
// order and the table order, a moved point triangulated again, 1-based hit
// numbers, the border, the exception for similar points, copies, the
// gallery and a reference picture.

#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A flat chart: X 0 .. 4 at 100 px a unit, Y 0 .. 100 at pixel 200 - 2 Y.
struct TTriChart : test::TFixedAxesChart {
    TTriChart() : TFixedAxesChart(false, 4, 100)
    {
        Surface = new TTriSurfaceSeries(&Chart);
        Chart.AddSeries(Surface);
    }
    QStringList Paint()
    {
        Layout();
        Surface->DoBeforeDrawValues();
        DC.ClearCalls();
        Surface->DrawAllValues();
        return DC.Calls();
    }
    static QStringList Polygons(const QStringList& Calls) { return Calls.filter(QRegularExpression("^Polygon\\(")); }
    TTriSurfaceSeries* Surface = nullptr;
};

TEST(TriSurfaceSeries, TooFewPointsDrawNothing)
{
    TTriChart C;
    C.Surface->AddXYZ(1, 10, 1);
    C.Surface->AddXYZ(2, 20, 1);
    EXPECT_TRUE(TTriChart::Polygons(C.Paint()).isEmpty());
    EXPECT_EQ(C.Surface->TriangleCount(), 0);
    EXPECT_EQ(C.Surface->Clicked(150, 180), -1);
    EXPECT_NO_THROW(C.Surface->CalculateTriangles());

    // Clear, then three points: one triangle.
    C.Surface->Clear();
    C.Surface->AddXYZ(1, 10, 0);
    C.Surface->AddXYZ(3, 50, 0);
    C.Surface->AddXYZ(2, 90, 1);
    EXPECT_EQ(TTriChart::Polygons(C.Paint()).size(), 1);
    EXPECT_EQ(C.Surface->TriangleCount(), 1);
    EXPECT_EQ(C.Surface->BorderEdges().size(), 3u);
}

TEST(TriSurfaceSeries, SimilarPointsGiveNoTrianglesAndAnExceptionWhenAsked)
{
    TTriChart C;
    for (int I = 0; I < 4; ++I)
        C.Surface->AddXYZ(I % 2, I * 10, 2); // two distinct X-Z positions
    EXPECT_TRUE(TTriChart::Polygons(C.Paint()).isEmpty());
    try {
        C.Surface->CalculateTriangles();
        FAIL() << "no exception";
    } catch (const ETriSurfaceException& E) {
        EXPECT_STREQ(E.what(), "Similar XYZ points. Cannot calculate triangles.");
    }
    EXPECT_EQ(C.Surface->Count(), 4); // the points stay as they were
}

// A unit square of corners (1, 1) .. (2, 2) in X-Z and a fifth point far
// off, heights rising with Z.
void FillSquare(TTriSurfaceSeries& S)
{
    S.AddXYZ(1, 10, 1);
    S.AddXYZ(2, 20, 1);
    S.AddXYZ(2, 60, 2);
    S.AddXYZ(1, 50, 2);
    S.AddXYZ(3, 90, 4);
}

TEST(TriSurfaceSeries, DepthOrderAndTableOrder)
{
    TTriChart C;
    FillSquare(*C.Surface);
    const QStringList Sorted = TTriChart::Polygons(C.Paint());
    ASSERT_EQ(Sorted.size(), C.Surface->TriangleCount());
    // Deepest first: the keys (largest Z of a triangle) never rise.
    const std::vector<TCustomTriSurfaceSeries::TDrawnTriangle>& Drawn = C.Surface->DrawnTriangles();
    ASSERT_EQ(static_cast<int>(Drawn.size()), C.Surface->TriangleCount());
    for (size_t I = 1; I < Drawn.size(); ++I)
        EXPECT_GE(Drawn[I - 1].Key, Drawn[I].Key);
    EXPECT_EQ(Drawn.front().Key, 4);
    // The depth axis inverted: nearest first.
    C.Chart.DepthAxis()->SetInverted(true);
    C.Paint();
    EXPECT_EQ(C.Surface->DrawnTriangles().front().Key, 2);
    C.Chart.DepthAxis()->SetInverted(false);

    // Without HideTriangles: triangulation order, no sorted list.
    C.Surface->SetHideTriangles(false);
    const QStringList Table = TTriChart::Polygons(C.Paint());
    EXPECT_TRUE(C.Surface->DrawnTriangles().empty());
    ASSERT_EQ(Table.size(), Sorted.size());
    for (int Number = 1; Number <= C.Surface->TriangleCount(); ++Number) {
        QStringList Corners;
        for (int Point : C.Surface->Triangle(Number))
            Corners << QStringLiteral("%1 %2").arg(C.Surface->CalcXPos(Point)).arg(C.Surface->CalcYPos(Point));
        EXPECT_EQ(Table[Number - 1], QStringLiteral("Polygon([%1])").arg(Corners.join(';')));
    }
    EXPECT_THROW(C.Surface->Triangle(0), ERangeError);
}

TEST(TriSurfaceSeries, MovedPointsAreTriangulatedAgain)
{
    TTriChart C;
    FillSquare(*C.Surface);
    C.Paint();
    const int Before = C.Surface->TriangleCount();
    // A new height alone keeps the triangles.
    C.Surface->YValues()->SetValue(0, 70);
    C.Paint();
    EXPECT_EQ(C.Surface->TriangleCount(), Before);
    // The far point moved onto the square's corner: one point fewer takes
    // part.
    C.Surface->XValues()->SetValue(4, 2);
    C.Surface->ZValues()->SetValue(4, 2);
    C.Paint();
    EXPECT_EQ(C.Surface->TriangleCount(), 2);
}

TEST(TriSurfaceSeries, ClickAnswersTheTriangleNumber)
{
    TTriChart C;
    // Z follows Y, so the flat picture has the triangles' own shape.
    C.Surface->AddXYZ(1, 10, 1);
    C.Surface->AddXYZ(3, 10, 1);
    C.Surface->AddXYZ(3, 90, 9);
    C.Surface->AddXYZ(1, 90, 9);
    for (bool Hide : {true, false}) {
        C.Surface->SetHideTriangles(Hide);
        C.Paint();
        ASSERT_EQ(C.Surface->TriangleCount(), 2);
        // Pixels: X 100 .. 300, Y 180 (value 10) .. 20 (value 90).
        for (const TPoint P : {TPoint{120, 40}, TPoint{280, 160}}) {
            const int Number = C.Surface->Clicked(P.X, P.Y);
            ASSERT_GE(Number, 1) << Hide;
            std::vector<TPoint> Corners;
            for (int Point : C.Surface->Triangle(Number))
                Corners.push_back({C.Surface->CalcXPos(Point), C.Surface->CalcYPos(Point)});
            EXPECT_TRUE(PointInPolygon(P, Corners)) << Hide << " " << Number;
        }
        EXPECT_EQ(C.Surface->Clicked(50, 100), -1);
    }
}

TEST(TriSurfaceSeries, BorderCopiesAndGallery)
{
    TTriChart C;
    FillSquare(*C.Surface);
    const int Plain = static_cast<int>(C.Paint().filter(QRegularExpression("^LineTo\\(")).size());
    C.Surface->SetSubGallery(4);
    EXPECT_TRUE(C.Surface->Border()->Visible());
    const int Bordered = static_cast<int>(C.Paint().filter(QRegularExpression("^LineTo\\(")).size());
    EXPECT_EQ(Bordered - Plain, static_cast<int>(C.Surface->BorderEdges().size()));
    // See-through triangles are still one polygon each, in either order.
    C.Surface->SetTransparency(50);
    for (bool Hide : {true, false}) {
        C.Surface->SetHideTriangles(Hide);
        EXPECT_EQ(TTriChart::Polygons(C.Paint()).size(), C.Surface->TriangleCount());
    }

    TTriSurfaceSeries A;
    A.Border()->SetVisible(true);
    A.SetHideTriangles(false);
    A.SetTransparency(30);
    EXPECT_EQ(A.Border()->Color(), clWhite);
    TTriSurfaceSeries B;
    B.Assign(&A);
    EXPECT_TRUE(B.Border()->Visible());
    EXPECT_FALSE(B.HideTriangles());
    EXPECT_EQ(B.Transparency(), 30);
    EXPECT_THROW(B.SetTransparency(-1), ERangeError);
    B.SetFastBrush(true);
    EXPECT_FALSE(B.FastBrush());
    EXPECT_EQ(B.GetEditorClassName(), QStringLiteral("TTriSurfaceSeriesEditor"));

    QStringList Captions;
    B.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    EXPECT_EQ(Captions.mid(Captions.size() - 3), (QStringList{"Wireframe", "No Line", "Border"}));
    B.SetSubGallery(2);
    EXPECT_EQ(B.Brush()->Style(), TBrush::bsClear);
    B.SetSubGallery(3);
    EXPECT_FALSE(B.Pen()->Visible());
    B.AddSampleValues(1);
    EXPECT_EQ(B.Count(), 3);
    EXPECT_EQ(B.NumSampleValues(), 15);
}

TEST(TriSurfacePicture, SampleHill)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    TChartSeries::RandomSeed(11);
    auto* S = new TTriSurfaceSeries(&Chart);
    Chart.AddSeries(S);
    S->AddSampleValues(60);
    S->SetUseColorRange(false);
    S->SetUsePalette(true);
    S->SetPaletteStyle(psRainbow);
    S->Border()->SetVisible(true);
    S->Border()->SetColor(clBlack);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", "trisurface"));
}

} // namespace
} // namespace lp
