// The grid band page: each tab shows its band's colour, background,
// transparency and gradient; the preview edits the band's colour.

#include "chart/editors/tools/GridBandToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/tools/PlotGridBandTool.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(GridBandToolPage, EachTabReloadsItsBand)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TGridBandTool>(chart);
    tool->SetAxis(chart.LeftAxis());
    tool->Band1()->SetTransparency(10);
    tool->Band2()->SetTransparency(70);
    tool->Band2()->SetBackColor(clYellow);
    auto page = test::ShowToolPage<TGridBandToolEdit>(tool);
    EXPECT_FALSE(page->BPen->isVisible());
    EXPECT_EQ(page->UpDown1->value(), 10);
    EXPECT_EQ(page->ButtonGradient1->Gradient(), tool->Band1()->Gradient());
    const QStringList before = test::DumpProperties(tool);
    page->TabControl1->setCurrentIndex(1);
    EXPECT_EQ(test::DumpProperties(tool), before) << "switching bands wrote";
    EXPECT_EQ(page->UpDown1->value(), 70);
    EXPECT_EQ(page->ButtonColor1->Color(), clYellow);
    EXPECT_EQ(page->ButtonGradient1->Gradient(), tool->Band2()->Gradient());
    page->UpDown1->setFocus();
    QTest::keyClick(page->UpDown1, Qt::Key_Up);
    EXPECT_EQ(tool->Band2()->Transparency(), 71);
    EXPECT_EQ(tool->Band1()->Transparency(), 10);
}

TEST(GridBandToolPage, ThePreviewOpensTheColourDialogByClickOrKey)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TGridBandTool>(chart);
    tool->SetAxis(chart.LeftAxis());
    auto page = test::ShowToolPage<TGridBandToolEdit>(tool);
    test::TColorDialogAnswer answer;
    answer.Answer = 0x123456;
    QTest::mouseClick(page->Draw3D1, Qt::LeftButton);
    EXPECT_EQ(tool->Band1()->Color(), 0x123456);
    answer.Answer = 0x654321;
    page->Draw3D1->setFocus();
    QTest::keyClick(page->Draw3D1, Qt::Key_Space);
    EXPECT_EQ(tool->Band1()->Color(), 0x654321);
    EXPECT_EQ(answer.Requests.size(), 2u);
}

TEST(GridBandToolPage, ThePreviewIsNamedAndShowsTheBandAsDrawnOverTheBackWall)
{
    // Guards against a bare block beside "Pattern..." that showed the
    // band's colour as if it were opaque.
    const struct {
        int Transparency;
        QColor Shown;
    } Rows[] = {{0, QColor(255, 0, 0)}, {50, QColor(255, 128, 128)}, {80, QColor(255, 204, 204)}};
    for (const auto& row : Rows) {
        TEditorChart chart;
        chart.BackWall()->SetColor(clWhite);
        auto* tool = test::AddChartTool<TGridBandTool>(chart);
        tool->SetAxis(chart.LeftAxis());
        tool->Band1()->SetStyle(bsSolid);
        tool->Band1()->SetColor(clRed);
        tool->Band1()->SetTransparency(row.Transparency);
        auto page = test::ShowToolPage<TGridBandToolEdit>(tool);
        auto* label = page->findChild<QLabel*>(QStringLiteral("LBandColor"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), page->Draw3D1);
        EXPECT_TRUE(label->isVisible());
        const QImage preview = page->Draw3D1->grab().toImage();
        const QColor centre = preview.pixelColor(preview.width() / 2, preview.height() / 2);
        EXPECT_NEAR(centre.red(), row.Shown.red(), 2) << row.Transparency;
        EXPECT_NEAR(centre.green(), row.Shown.green(), 2) << row.Transparency;
        EXPECT_NEAR(centre.blue(), row.Shown.blue(), 2) << row.Transparency;
    }
}

} // namespace
} // namespace lp
