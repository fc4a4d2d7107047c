// The 3-D vector series: head geometry, the spiral samples, extents over
// the ends, the drawn shaft and heads, copies, sources and the stored end
// lists.

#include "chart/extensions/grid3d/PlotVector3DSeries.h"

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotValueList.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <numbers>

namespace lp {
namespace {

TEST(Vector3DSeries, HeadSidesLieBackAndAside)
{
    const auto [A, B] = TVector3DSeries::HeadSides({0, 0}, 0, 4, 4);
    EXPECT_EQ(A, (TPoint{-4, -4}));
    EXPECT_EQ(B, (TPoint{-4, 4}));
    // Pointing straight up the screen (angle 90 degrees): the sides lie
    // below the tip.
    const auto [C, D] = TVector3DSeries::HeadSides({10, 10}, std::numbers::pi / 2, 6, 3);
    EXPECT_EQ(C, (TPoint{7, 16}));
    EXPECT_EQ(D, (TPoint{13, 16}));
}

TEST(Vector3DSeries, SamplesAndExtentsIncludeTheEnds)
{
    TVector3DSeries S;
    S.AddSampleValues(16);
    ASSERT_EQ(S.Count(), 16);
    EXPECT_DOUBLE_EQ(S.XValues()->Value(1), 2);
    EXPECT_DOUBLE_EQ(S.YValues()->Value(1), 1);
    EXPECT_NEAR(S.ZValues()->Value(1), 0, 1e-12);
    EXPECT_DOUBLE_EQ(S.EndXValues()->Value(1), 3);
    EXPECT_NEAR(S.EndYValues()->Value(1), 1, 1e-12);
    EXPECT_NEAR(S.EndZValues()->Value(1), 0, 1e-12);
    EXPECT_EQ(S.NumSampleValues(), 250);

    TVector3DSeries V;
    V.AddVector(1, 1, 1, 2, 2, 2);
    V.AddVector(0, 3, 0, 10, -5, 20);
    EXPECT_EQ(V.MaxXValue(), 10);
    EXPECT_EQ(V.MinXValue(), 0);
    EXPECT_EQ(V.MinYValue(), -5);
    EXPECT_EQ(V.MaxYValue(), 3);
    EXPECT_EQ(V.MaxZValue(), 20);
    EXPECT_EQ(V.MinZValue(), 0);
    // Points keep the order they came in.
    EXPECT_EQ(V.XValues()->Value(0), 1);
}

TEST(Vector3DSeries, DrawsTheShaftAndTheVisibleHeads)
{
    test::TFixedAxesChart C(false, 4, 100);
    auto* V = new TVector3DSeries(&C.Chart);
    C.Chart.AddSeries(V);
    V->AddVector(1, 50, 0, 3, 50, 0);
    C.Layout();
    C.DC.ClearCalls();
    V->DrawValue(0);
    const QStringList Lines = C.DC.Calls().filter(QRegularExpression("^(MoveTo|LineTo)\\("));
    // X 100 px a unit, Y 50 at pixel 100; the end head only.
    EXPECT_EQ(Lines, (QStringList{"MoveTo(100,100)", "LineTo(300,100)", "MoveTo(296,96)", "LineTo(300,100)",
                                  "LineTo(296,104)"}));
    V->StartArrow()->SetVisible(true);
    V->EndArrow()->SetVisible(false);
    V->SetArrowWidth(10);
    C.DC.ClearCalls();
    V->DrawValue(0);
    EXPECT_EQ(C.DC.Calls().filter(QRegularExpression("^(MoveTo|LineTo)\\(")).mid(2),
              (QStringList{"MoveTo(90,96)", "LineTo(100,100)", "LineTo(90,104)"}));
}

TEST(Vector3DSeries, CopiesSourcesAndStoredEnds)
{
    TVector3DSeries A;
    A.SetArrowHeight(7);
    A.SetArrowWidth(9);
    A.StartArrow()->SetVisible(true);
    A.EndArrow()->SetColor(clRed);
    TVector3DSeries B;
    B.Assign(&A);
    EXPECT_EQ(B.ArrowHeight(), 7);
    EXPECT_EQ(B.ArrowWidth(), 9);
    EXPECT_TRUE(B.StartArrow()->Visible());
    EXPECT_EQ(B.EndArrow()->Color(), clRed);
    EXPECT_EQ(B.GetEditorClassName(), QStringLiteral("TVectorSeriesEditor"));
    EXPECT_TRUE(B.IsValidSourceOf(&A));
    TCustom3DPaletteSeries Other;
    EXPECT_FALSE(B.IsValidSourceOf(&Other));

    TChart Original;
    auto* S = new TVector3DSeries(&Original);
    Original.AddSeries(S);
    S->AddVector(1, 2, 3, 4.5, 5.5, 6.5);
    S->AddVector(-1, -2, -3, 0.25, 0.5, 0.75);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 1);
    auto* R = qobject_cast<TVector3DSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->EndXValues()->Value(0), 4.5);
    EXPECT_EQ(R->EndYValues()->Value(1), 0.5);
    EXPECT_EQ(R->EndZValues()->Value(1), 0.75);
    EXPECT_EQ(R->ZValues()->Value(1), -3);
}

TEST(Vector3DPicture, Spiral)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    auto* V = new TVector3DSeries(&Chart);
    Chart.AddSeries(V);
    V->AddSampleValues(40);
    V->SetUseColorRange(false);
    V->SetUsePalette(true);
    V->SetPaletteStyle(psRainbow);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", "vectors"));
}

} // namespace
} // namespace lp
