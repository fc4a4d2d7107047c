// Grid series written and read back: a contour series with user levels (one
// with its own pen) and a surface series with its settings and points come
// back the same; automatic levels and untouched pens are not written.

#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "platform/core/ComponentStream.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(GridStreaming, UserLevelsAndSurfaceSettingsRoundTrip)
{
    TChart Original;
    auto* Contour = new TContourSeries(&Original);
    Contour->SetName(QStringLiteral("Contour1"));
    Original.AddSeries(Contour);
    Contour->AddSampleValues(5);
    Contour->SetSaveData(true);
    Contour->SetManualData(true);
    Contour->DoBeforeDrawChart();
    const QByteArray Automatic = test::ComponentText(Original);
    EXPECT_FALSE(Automatic.contains("Levels")) << Automatic.toStdString();
    Contour->Levels()->Items(2)->SetUpToValue(0.25);
    Contour->Levels()->Items(4)->Pen()->SetWidth(3);
    Contour->Levels()->Items(4)->SetColor(clRed);

    auto* Surface = new TSurfaceSeries(&Original);
    Surface->SetName(QStringLiteral("Surface1"));
    Original.AddSeries(Surface);
    Surface->AddSampleValues(4);
    Surface->SetSaveData(true);
    Surface->SetManualData(true);
    Surface->SetWireFrame(true);
    Surface->SetTransparency(30);
    Surface->SideBrush()->SetStyle(TBrush::bsSolid);

    const QByteArray Text = test::ComponentText(Original);
    EXPECT_TRUE(Text.contains("Levels")) << Text.toStdString();
    EXPECT_EQ(Text.count("Pen.Width = 3"), 1) << Text.toStdString();

    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 2);
    auto* C = qobject_cast<TContourSeries*>(Copy.Series(0));
    auto* S = qobject_cast<TSurfaceSeries*>(Copy.Series(1));
    ASSERT_TRUE(C && S);
    EXPECT_FALSE(C->AutomaticLevels());
    ASSERT_EQ(C->Levels()->Count(), 10);
    EXPECT_EQ(C->Levels()->Items(2)->UpToValue(), 0.25);
    EXPECT_EQ(C->Levels()->Items(4)->Color(), clRed);
    ASSERT_TRUE(C->Levels()->Items(4)->HasPen());
    EXPECT_EQ(C->Levels()->Items(4)->Pen()->Width(), 3);
    EXPECT_FALSE(C->Levels()->Items(3)->HasPen());
    EXPECT_EQ(C->Count(), 25);
    EXPECT_TRUE(S->WireFrame());
    EXPECT_EQ(S->Transparency(), 30);
    EXPECT_EQ(S->SideBrush()->Style(), TBrush::bsSolid);
    ASSERT_EQ(S->Count(), 16);
    for (int I = 0; I < 16; ++I) {
        EXPECT_EQ(S->ZValues()->Value(I), Surface->ZValues()->Value(I));
        EXPECT_EQ(S->YValues()->Value(I), Surface->YValues()->Value(I));
    }
    C->SetSaveData(true);
    C->SetManualData(true);
    S->SetSaveData(true);
    S->SetManualData(true);
    EXPECT_EQ(test::ComponentText(Copy).toStdString(), Text.toStdString());
}

} // namespace
} // namespace lp
