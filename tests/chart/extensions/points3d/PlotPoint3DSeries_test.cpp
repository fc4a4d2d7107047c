// The 3-D point and bubble series: depth of the pointers, extremes widened
// by the radius, the recorded drawing (connecting line, base line, null
// points, bubble sizes), hit tests, registration, the stored radius and a
// reference picture.

#include "chart/extensions/points3d/PlotPoint3DSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// X and Z 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
template <class TSeries> struct TPointChart : test::TFixedAxesChart {
    explicit TPointChart(bool Is3D = false) : TFixedAxesChart(Is3D, 100, 100)
    {
        Series = new TSeries(&Chart);
        Chart.AddSeries(Series);
    }
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Series->DrawAllValues();
        return DC.Calls();
    }
    TSeries* Series = nullptr;
};

QStringList Lines(const QStringList& Calls)
{
    return Calls.filter(QRegularExpression("^(MoveTo|LineTo)\\("));
}

TEST(Point3DSeries, PointersAreAtLeastOnePixelDeepOnEachSide)
{
    TPointChart<TPoint3DSeries> C(true);
    C.Series->AddXYZ(10, 20, 30);
    C.Series->AddXYZ(50, 60, 70);
    C.Layout();
    const TPoint3DSeries::TZPositions Thin = C.Series->CalcZPositions(0);
    EXPECT_EQ(Thin.Middle, C.Series->CalcZPos(0));
    EXPECT_EQ(Thin.Start, Thin.Middle - 1);
    EXPECT_EQ(Thin.End, Thin.Middle + 1);

    C.Series->SetDepthSize(50);
    const int Half = C.Chart.DepthAxis()->CalcSizeValue(50) / 2;
    ASSERT_GT(Half, 1);
    const TPoint3DSeries::TZPositions Deep = C.Series->CalcZPositions(1);
    EXPECT_EQ(Deep.Start, Deep.Middle - Half);
    EXPECT_EQ(Deep.End, Deep.Middle + Half);
    EXPECT_EQ(C.Series->MaxZValue(), 120);
    EXPECT_EQ(C.Series->MinZValue(), 30);
}

TEST(Bubble3DSeries, ExtremesReachEveryRadius)
{
    TPointChart<TBubble3DSeries> C;
    C.Series->AddBubble(1, 10, 20, 5);
    C.Series->AddBubble(2, 50, 40, 30);
    EXPECT_EQ(C.Series->MaxYValue(), 80);
    EXPECT_EQ(C.Series->MinYValue(), 5);
    EXPECT_EQ(C.Series->MaxZValue(), 70);
    EXPECT_EQ(C.Series->MinZValue(), 10);
    // A radius of 0 leaves the values' own extremes.
    C.Series->RadiusValues()->SetValue(0, 0);
    C.Series->RadiusValues()->SetValue(1, 0);
    EXPECT_EQ(C.Series->MaxYValue(), 50);
    EXPECT_EQ(C.Series->MinZValue(), 20);
}

TEST(Point3DSeries, LineJoinsDrawnPointsAndSkipsNullOnes)
{
    TPointChart<TPoint3DSeries> C;
    C.Series->AddXYZ(10, 20, 0);
    C.Series->AddXYZLabel(30, 90, 0, {}, clNone);
    C.Series->AddXYZ(50, 60, 0);
    const QStringList Calls = C.Paint();
    // Two pointers; the first point draws no line, the null point nothing.
    EXPECT_EQ(Calls.filter(QRegularExpression("^(Polygon|Rectangle)\\(")).size(), 2) << Calls.join('\n').toStdString();
    EXPECT_EQ(Lines(Calls), (QStringList{"MoveTo(40,160)", "LineTo(200,80)"})) << Calls.join('\n').toStdString();

    C.Series->LinePen()->SetVisible(false);
    EXPECT_TRUE(Lines(C.Paint()).isEmpty());
}

TEST(Point3DSeries, BaseLineDropsFromBelowThePointerToTheAxisEnd)
{
    TPointChart<TPoint3DSeries> C;
    C.Series->LinePen()->SetVisible(false);
    C.Series->BaseLine()->SetVisible(true);
    C.Series->AddXYZ(10, 20, 0);
    // The pointer of a point on the axis reaches below its end: no line.
    C.Series->AddXYZ(50, 0, 0);
    const QStringList Calls = Lines(C.Paint());
    const int Bottom = C.Series->GetVertAxis()->EndPixel();
    EXPECT_EQ(Calls, (QStringList{"MoveTo(40,164)", QString("LineTo(40,%1)").arg(Bottom)}));
}

TEST(Bubble3DSeries, PointerTakesTheRadiusInVerticalPixels)
{
    TPointChart<TBubble3DSeries> C;
    C.Series->AddBubble(10, 50, 0, 10);
    C.Series->AddBubble(60, 50, 0, 0);
    const QStringList Calls = C.Paint();
    EXPECT_EQ(C.Series->PointerHalfSize(0), (TPoint{20, 20}));
    EXPECT_TRUE(Calls.join('\n').contains("Ellipse(20,80,60,120)")) << Calls.join('\n').toStdString();
    // A radius of 0 gives a pointer of size 0.
    EXPECT_EQ(C.Series->PointerHalfSize(1), (TPoint{0, 0}));
    // The stored pointer keeps its own sizes.
    EXPECT_EQ(C.Series->Pointer()->HorizSize(), 4);
    EXPECT_EQ(C.Series->Pointer()->VertSize(), 4);
    // The bubble is hit within its radius.
    EXPECT_EQ(C.Series->Clicked(55, 100), 0);
}

TEST(Point3DSeries, ClickedAnswersThePointerUnderTheMouse)
{
    TPointChart<TPoint3DSeries> C;
    C.Series->AddXYZ(10, 20, 0);
    C.Series->AddXYZ(50, 60, 0);
    C.Layout();
    int Reported = -1;
    C.Series->OnClickPointer = [&](TPoint3DSeries*, int Index, int, int) { Reported = Index; };
    EXPECT_EQ(C.Series->Clicked(202, 78), 1);
    EXPECT_EQ(Reported, 1);
    EXPECT_EQ(C.Series->Clicked(50, 160), -1);
    C.Series->Pointer()->SetVisible(false);
    EXPECT_EQ(C.Series->Clicked(202, 78), -1);
}

TEST(Point3DSeries, RegisteredOnThe3DPageAndSubGalleryFollowsPointerStyles)
{
    for (const QMetaObject* Meta : {&TPoint3DSeries::staticMetaObject, &TBubble3DSeries::staticMetaObject}) {
        const TPlotSeriesType* Type = PlotSeriesTypes()->Find(Meta);
        ASSERT_NE(Type, nullptr) << Meta->className();
        EXPECT_EQ(Type->GalleryPageText(), QStringLiteral("3D"));
        EXPECT_EQ(Type->NumGallerySeries, 1);
    }
    EXPECT_EQ(PlotSeriesTypes()->Find(&TPoint3DSeries::staticMetaObject)->DescriptionText(), "Point 3D");
    EXPECT_EQ(PlotSeriesTypes()->Find(&TBubble3DSeries::staticMetaObject)->DescriptionText(), "Bubble 3D");

    QStringList Point;
    TPoint3DSeries P;
    P.CreateSubGallery([&](const QString& Caption) { Point << Caption; });
    ASSERT_EQ(Point.size(), 15);
    EXPECT_EQ(Point[7], "No Border");
    EXPECT_EQ(Point[14], "Diamond");
    P.SetSubGallery(14);
    EXPECT_EQ(P.Pointer()->Style(), psDiamond);
    QStringList Bubble;
    TBubble3DSeries B;
    B.CreateSubGallery([&](const QString& Caption) { Bubble << Caption; });
    EXPECT_EQ(Bubble, Point.mid(0, 8));
    EXPECT_TRUE(B.ColorEachPoint());
    EXPECT_FALSE(B.LinePen()->Visible());
    EXPECT_EQ(B.Pointer()->Style(), psCircle);
    EXPECT_FALSE(B.IsValidSourceOf(&P));
    EXPECT_TRUE(B.IsValidSourceOf(&B));
}

TEST(Bubble3DSeries, DataBlockKeepsTheRadius)
{
    TChart Original;
    auto* S = new TBubble3DSeries(&Original);
    S->SetName(QStringLiteral("Bubbles"));
    Original.AddSeries(S);
    S->AddBubble(1, 2, 3, 4.5);
    S->AddBubble(6, 7, 8, 9.25);
    S->SetDepthSize(2);
    S->BaseLine()->SetVisible(true);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 1);
    auto* R = qobject_cast<TBubble3DSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->RadiusValues()->Value(0), 4.5);
    EXPECT_EQ(R->RadiusValues()->Value(1), 9.25);
    EXPECT_EQ(R->ZValues()->Value(1), 8);
    EXPECT_EQ(R->DepthSize(), 2);
    EXPECT_TRUE(R->BaseLine()->Visible());
}

TEST(Point3DPicture, PointsAndBubbles)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    TChartSeries::RandomSeed(7);
    auto* Points = new TPoint3DSeries(&Chart);
    Chart.AddSeries(Points);
    Points->AddSampleValues(8);
    Points->BaseLine()->SetVisible(true);
    auto* Bubbles = new TBubble3DSeries(&Chart);
    Chart.AddSeries(Bubbles);
    for (int I = 0; I < 5; ++I)
        Bubbles->AddBubble(10 + I * 20, 20 + I * 15, 20 * I, 4 + I);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "points3d", "points-and-bubbles"));
}

} // namespace
} // namespace lp
