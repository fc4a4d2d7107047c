// The titles, panel and walls pages on a real chart: what a title switch
// and a place without "Custom" write, the back picture chosen and cleared,
// the default colour, the walls' size, tabs and gradient; and bad input in
// every number field of this family of pages.

#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/chart/PanelPage.h"
#include "chart/editors/chart/TitlesPage.h"
#include "chart/editors/chart/WallsPage.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/effects/SymbolEditor.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPanelExtended.h"
#include "chart/editors/effects/GradientEditor.h"
#include "platform/core/StringList.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(TitlesPage, SwitchingToTheFootShowsItWithoutWritingEitherTitle)
{
    TEditorChart chart;
    chart.Title()->Text()->SetText(QStringLiteral("Section A"));
    chart.Foot()->Text()->SetText(QStringLiteral("Datum 0 m"));
    chart.Foot()->SetAlignment(TChartTitle::taRightJustify);
    chart.Foot()->SetLeft(40);
    TFormPlotTitle page;
    page.SetTarget(chart.Title());
    page.show();
    EXPECT_EQ(page.MText->toPlainText(), QStringLiteral("Section A"));
    const QStringList before = test::DumpProperties(&chart);
    const int paints = chart.Invalidations;
    page.CBTitles->setFocus();
    QTest::keyClick(page.CBTitles, Qt::Key_End);
    EXPECT_EQ(page.TheTitle(), chart.Foot());
    EXPECT_EQ(page.MText->toPlainText(), QStringLiteral("Datum 0 m"));
    EXPECT_EQ(page.CBAlign->currentIndex(), 2);
    EXPECT_EQ(page.UDLeft->value(), 40);
    EXPECT_EQ(test::DumpProperties(&chart), before);
    EXPECT_EQ(chart.Invalidations, paints);
}

TEST(TitlesPage, APlaceIsWrittenOnlyForACustomTitle)
{
    TEditorChart chart;
    TFormPlotTitle page;
    page.SetTarget(chart.Title());
    page.show();
    page.PageControlTitle->setCurrentIndex(1);
    EXPECT_FALSE(page.UDLeft->isEnabled());
    const int left = chart.Title()->Left();
    page.UDLeft->setValue(left + 50);
    EXPECT_EQ(chart.Title()->Left(), left);
    test::ClickNearLeftEdge(page.CBCustPos);
    ASSERT_TRUE(page.UDLeft->isEnabled());
    page.UDLeft->setFocus();
    QTest::keyClick(page.UDLeft, Qt::Key_Up);
    EXPECT_EQ(chart.Title()->Left(), page.UDLeft->value());
    EXPECT_EQ(page.UDLeft->singleStep(), 5);
}

struct PanelPageTest : ::testing::Test {
    test::TEditorSettingsFolder Folder;
    TEditorChart Chart;
    TFormPlotPanel Page;
    QTemporaryDir Dir;

    void Open()
    {
        Page.SetTarget(&Chart);
        Page.show();
    }
    void AnswerOpen(const QString& FileName)
    {
        CommonDialogService().ExecuteOpen = [FileName](TOpenDialogRequest& Request) {
            Request.FileName = FileName;
            return !FileName.isEmpty();
        };
    }
    void TearDown() override { ResetCommonDialogService(); }
};

TEST_F(PanelPageTest, APictureIsBrowsedAndClearedAndACancelledChoiceChangesNothing)
{
    Open();
    EXPECT_EQ(Page.BBrowseImage->text(), QStringLiteral("B&rowse..."));
    EXPECT_FALSE(Page.CBImageInside->isEnabled());
    EXPECT_FALSE(Page.CBTransp->isEnabled());
    EXPECT_FALSE(Page.RGBitmap->button(0)->isEnabled());

    const QStringList before = test::DumpProperties(&Chart);
    AnswerOpen(QString());
    QTest::mouseClick(Page.BBrowseImage, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&Chart), before);
    EXPECT_EQ(Chart.BackImage()->Graphic(), nullptr);

    const QString file = Dir.filePath(QStringLiteral("outcrop.png"));
    QImage picture(16, 10, QImage::Format_RGB32);
    picture.fill(QColor(200, 120, 40));
    ASSERT_TRUE(picture.save(file));
    AnswerOpen(file);
    const int paints = Chart.Invalidations;
    QTest::mouseClick(Page.BBrowseImage, Qt::LeftButton);
    ASSERT_NE(Chart.BackImage()->Graphic(), nullptr);
    EXPECT_EQ(Chart.BackImage()->Graphic()->Width(), 16);
    EXPECT_GT(Chart.Invalidations, paints);
    EXPECT_EQ(Page.BBrowseImage->text(), QStringLiteral("Clea&r"));
    EXPECT_TRUE(Page.CBImageInside->isEnabled());
    EXPECT_TRUE(Page.CBTransp->isEnabled());
    EXPECT_TRUE(Page.RGBitmap->button(0)->isEnabled());

    QTest::mouseClick(Page.BBrowseImage, Qt::LeftButton);
    EXPECT_EQ(Chart.BackImage()->Graphic(), nullptr);
    EXPECT_EQ(Page.BBrowseImage->text(), QStringLiteral("B&rowse..."));
}

TEST_F(PanelPageTest, AFileThatIsNoPictureIsReportedAndTheBackImageKept)
{
    Open();
    const QString file = Dir.filePath(QStringLiteral("notes.png"));
    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    QStringList messages;
    MessageService() = [&messages](const TMessageRequest& Request) {
        messages.append(Request.Text);
        return 0;
    };
    AnswerOpen(file);
    QTest::mouseClick(Page.BBrowseImage, Qt::LeftButton);
    ResetMessageService();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(Chart.BackImage()->Graphic(), nullptr);
}

TEST_F(PanelPageTest, OffsetsOnlyForTheCustomStyle)
{
    Chart.BackImage()->LoadFromFile([this] {
        const QString file = Dir.filePath(QStringLiteral("tile.png"));
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        picture.save(file);
        return file;
    }());
    Open();
    EXPECT_FALSE(Page.UDLeft->isEnabled());
    test::ClickNearLeftEdge(Page.RGBitmap->button(3));
    EXPECT_EQ(Chart.BackImageMode(), TBackImage::pbmCustom);
    EXPECT_TRUE(Page.UDLeft->isEnabled());
    EXPECT_TRUE(Page.UDTop->isEnabled());
    Page.UDLeft->setValue(30);
    EXPECT_EQ(Chart.BackImage()->Left(), 30);
    test::ClickNearLeftEdge(Page.RGBitmap->button(1));
    EXPECT_FALSE(Page.UDLeft->isEnabled());
}

// A fresh chart's panel colour could never be changed: "&Color..." was
// disabled while the colour was the default, and "&Default" set it again.
TEST_F(PanelPageTest, AFreshChartsColourIsChosenAndTheDefaultTakenBack)
{
    ASSERT_EQ(Chart.Color(), clBtnFace);
    Open();
    EXPECT_TRUE(Page.CBColorDef->isChecked());
    ASSERT_TRUE(Page.BPanelColor->isEnabled());
    int asked = 0;
    CommonDialogService().ExecuteColor = [&asked](TColorDialogRequest& Request) {
        ++asked;
        Request.Color = clWhite;
        return true;
    };
    QTest::mouseClick(Page.BPanelColor, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Chart.Color(), clWhite);
    EXPECT_FALSE(Page.CBColorDef->isChecked());
    EXPECT_TRUE(Page.BPanelColor->isEnabled());

    // Ticking "&Default" takes the default back; unticking it leaves it so.
    test::ClickNearLeftEdge(Page.CBColorDef);
    EXPECT_EQ(Chart.Color(), clBtnFace);
    EXPECT_TRUE(Page.CBColorDef->isChecked());
    EXPECT_TRUE(Page.BPanelColor->isEnabled());
    test::ClickNearLeftEdge(Page.CBColorDef);
    EXPECT_TRUE(Page.CBColorDef->isChecked());
    EXPECT_EQ(Chart.Color(), clBtnFace);
}

struct WallsPageTest : ::testing::Test {
    TEditorChart Chart;
    TFormPlotWall Page;

    void Open()
    {
        Page.SetTarget(Chart.LeftWall());
        Page.show();
    }
};

TEST_F(WallsPageTest, SizeZeroDisablesDarkAndOneEnablesIt)
{
    Chart.LeftWall()->SetSize(1);
    Open();
    EXPECT_TRUE(Page.CBDark3D->isEnabled());
    Page.UDWallSize->setFocus();
    QTest::keyClick(Page.UDWallSize, Qt::Key_Down);
    EXPECT_EQ(Chart.LeftWall()->Size(), 0);
    EXPECT_FALSE(Page.CBDark3D->isEnabled());
    QTest::keyClick(Page.UDWallSize, Qt::Key_Up);
    EXPECT_EQ(Chart.LeftWall()->Size(), 1);
    EXPECT_TRUE(Page.CBDark3D->isEnabled());
}

TEST_F(WallsPageTest, TheBottomTabHidesAutoHideAndTabSwitchesWriteNothing)
{
    Chart.BottomWall()->SetSize(7);
    Open();
    EXPECT_TRUE(Page.CBAutoHide->isVisible());
    const QStringList before = test::DumpProperties(&Chart);
    Page.TabSubWalls->setCurrentIndex(2);
    EXPECT_EQ(Page.TheWall(), Chart.BottomWall());
    EXPECT_FALSE(Page.CBAutoHide->isVisible());
    EXPECT_EQ(Page.UDWallSize->value(), 7);
    EXPECT_EQ(Page.UDAllSize->value(), 7);
    Page.TabSubWalls->setCurrentIndex(3);
    EXPECT_EQ(Page.TheWall(), Chart.BackWall());
    EXPECT_TRUE(Page.CBAutoHide->isVisible());
    EXPECT_EQ(test::DumpProperties(&Chart), before);
}

TEST_F(WallsPageTest, TheTopSizeResizesAllFourWalls)
{
    Open();
    Page.UDAllSize->setFocus();
    QTest::keyClick(Page.UDAllSize, Qt::Key_Up);
    const int size = Page.UDAllSize->value();
    EXPECT_GT(size, 0);
    for (TChartWall* wall : Page.Walls())
        EXPECT_EQ(wall->Size(), size);
}

TEST_F(WallsPageTest, AVisibleGradientUnticksTransparent)
{
    Chart.BackWall()->SetTransparent(true);
    Open();
    Page.TabSubWalls->setCurrentIndex(3);
    EXPECT_TRUE(Page.CBTransp->isChecked());
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<TPlotGradientEditor*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        editor->TargetAs<TPlotGradient>()->SetVisible(true);
        QTest::mouseClick(editor->BOk, Qt::LeftButton);
    });
    QTest::mouseClick(Page.BGradient, Qt::LeftButton);
    EXPECT_TRUE(Chart.BackWall()->Gradient()->Visible());
    EXPECT_FALSE(Chart.BackWall()->Transparent());
    EXPECT_FALSE(Page.CBTransp->isChecked());
}

// Every number field of the legend, titles, panel, walls, shape and symbol
// pages: digits typed past the range store nothing beyond it; an emptied
// or half-typed field stores nothing and shows no message.
TEST(ChartPagesInput, NumberFieldsRefuseWhatIsOutOfRangeOrUnfinished)
{
    QStringList messages;
    MessageService() = [&messages](const TMessageRequest& Request) {
        messages.append(Request.Text);
        return 0;
    };
    TEditorChart chart;
    chart.Legend()->SetCustomPosition(true);
    chart.Title()->SetCustomPosition(true);
    chart.Title()->SetBevel(TCustomPanelNoCaption::bvRaised);
    std::vector<std::pair<std::unique_ptr<TEditorPage>, QObject*>> pages;
    pages.emplace_back(std::make_unique<TFormPlotLegend>(), chart.Legend());
    pages.emplace_back(std::make_unique<TFormPlotTitle>(), chart.Title());
    pages.emplace_back(std::make_unique<TFormPlotPanel>(), &chart);
    pages.emplace_back(std::make_unique<TFormPlotWall>(), chart.LeftWall());
    pages.emplace_back(std::make_unique<TFormPlotShape>(), chart.Title());
    pages.emplace_back(std::make_unique<TSymbolEditor>(), chart.Legend()->Symbol());
    for (auto& [page, target] : pages) {
        page->SetTarget(target);
        page->show();
        for (QSpinBox* spin : page->findChildren<QSpinBox*>()) {
            if (!spin->isEnabled() || !page->Binder().TargetValue(spin).isValid())
                continue;
            const std::string name = (QString::fromLatin1(page->metaObject()->className()) + QLatin1Char('.') + spin->objectName()).toStdString();
            const QVariant was = page->Binder().TargetValue(spin);
            spin->setFocus();
            spin->selectAll();
            QTest::keyClick(spin, Qt::Key_Delete);
            EXPECT_EQ(page->Binder().TargetValue(spin), was) << name << " emptied";
            QTest::keyClicks(spin, QStringLiteral("-"));
            EXPECT_EQ(page->Binder().TargetValue(spin), was) << name << " half-typed";
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(spin->maximum()) + QStringLiteral("9"));
            const int stored = page->Binder().TargetValue(spin).toInt();
            EXPECT_LE(stored, spin->maximum()) << name;
            EXPECT_GE(stored, spin->minimum()) << name;
            QTest::keyClick(spin, Qt::Key_Tab);
            page->Binder().SetTargetValue(spin, was);
            page->Refresh();
        }
    }
    ResetMessageService();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace lp
