// The gradient editor driven as a user drives it: presets, directions,
// the colour controls' enabling, typed offsets, and Cancel.

#include "chart/editors/effects/GradientEditor.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/engine/PlotTitles.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

struct GradientEditorTest : ::testing::Test {
    TEditorChart Chart;
    TPlotGradient* Gradient = Chart.Title()->Gradient();
    std::unique_ptr<TPlotGradientEditor> Editor = std::make_unique<TPlotGradientEditor>();

    void Open(bool Visible = true)
    {
        Gradient->SetVisible(Visible);
        Editor->BindGradient(Gradient);
        Editor->show();
    }
    void ChoosePreset(const QString& Name)
    {
        Editor->PageControl1->setCurrentIndex(0);
        const auto items = Editor->Gallery->findItems(Name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        const QRect rect = Editor->Gallery->visualItemRect(items.front());
        QTest::mouseClick(Editor->Gallery->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ChooseDirection(int Index)
    {
        Editor->CBDirection->setFocus();
        Editor->CBDirection->setCurrentIndex(Index);
    }
};

TEST_F(GradientEditorTest, PresetsAreSortedAndHotTurnsTheMiddleColourOff)
{
    Open();
    QStringList names;
    for (int i = 0; i < Editor->Gallery->count(); ++i)
        names.append(Editor->Gallery->item(i)->text());
    ASSERT_EQ(names.size(), 17);
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);

    ChoosePreset(QStringLiteral("Business"));
    EXPECT_FALSE(Editor->CBMid->isChecked());
    ChoosePreset(QStringLiteral("Hot"));
    EXPECT_TRUE(Editor->CBMid->isChecked());
    EXPECT_EQ(Gradient->MidColor(), clNone);
    EXPECT_EQ(Gradient->StartColor(), 0x0000FF);
    EXPECT_EQ(Gradient->EndColor(), 0x00FFFF);
    ChoosePreset(QStringLiteral("Farm"));
    EXPECT_EQ(Gradient->Direction(), gdBottomTop);
    EXPECT_EQ(Gradient->Balance(), 4);
    EXPECT_EQ(Editor->LabelBalance->text(), QStringLiteral("4 %"));
}

TEST_F(GradientEditorTest, RadialEnablesTheOffsetsAndDisablesTheMiddle)
{
    Open();
    EXPECT_FALSE(Editor->TrackBar1->isEnabled());
    EXPECT_TRUE(Editor->BMid->isEnabled());
    ChooseDirection(gdRadial);
    EXPECT_EQ(Gradient->Direction(), gdRadial);
    EXPECT_TRUE(Editor->TrackBar1->isEnabled());
    EXPECT_TRUE(Editor->LRadialY->isEnabled());
    EXPECT_FALSE(Editor->BMid->isEnabled());
    EXPECT_FALSE(Editor->CBMid->isEnabled());
    // The direction gallery follows.
    EXPECT_EQ(Editor->Directions->IndexOf(Editor->Directions->SelectedChart()), int(gdRadial));
}

TEST_F(GradientEditorTest, AnInvisibleGradientDisablesTheColourControlsUnlessNoEndColor)
{
    Open(false);
    for (QWidget* control : std::initializer_list<QWidget*>{Editor->CBDirection, Editor->BStart, Editor->BMid,
                                                             Editor->CBMid, Editor->BEnd, Editor->BSwap,
                                                             Editor->Gallery})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    QTest::mouseClick(Editor->CBVisible, Qt::LeftButton, {}, QPoint(6, Editor->CBVisible->height() / 2));
    EXPECT_TRUE(Gradient->Visible());
    EXPECT_TRUE(Editor->BStart->isEnabled());

    TPlotGradientEditor noEnd;
    Gradient->SetVisible(false);
    noEnd.BindGradient(Gradient);
    noEnd.SetNoEndColor(true);
    noEnd.show();
    EXPECT_TRUE(noEnd.BStart->isEnabled());
    EXPECT_TRUE(noEnd.BMid->isEnabled());
    EXPECT_FALSE(noEnd.BEnd->isVisible());
    EXPECT_FALSE(noEnd.BSwap->isVisible());
}

TEST_F(GradientEditorTest, TypedOffsetsPastTheRangeEmptyOrAMinusStoreNothing)
{
    Gradient->SetDirection(gdRadial);
    Open();
    Editor->PageControl1->setCurrentIndex(2);
    QSpinBox* spin = Editor->LRadialX;
    QLineEdit* edit = spin->findChild<QLineEdit*>();
    spin->setFocus();
    edit->selectAll();
    QTest::keyClicks(spin, QStringLiteral("120"));
    EXPECT_EQ(Gradient->RadialX(), 120);
    EXPECT_EQ(Editor->TrackBar1->value(), 120);
    edit->selectAll();
    QTest::keyClicks(spin, QStringLiteral("400"));
    EXPECT_LE(Gradient->RadialX(), 300);
    EXPECT_NE(Gradient->RadialX(), 400);
    const int kept = Gradient->RadialX();
    edit->selectAll();
    QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(Gradient->RadialX(), kept);
    QTest::keyClicks(spin, QStringLiteral("-"));
    EXPECT_EQ(Gradient->RadialX(), kept);
}

TEST_F(GradientEditorTest, CancelAfterPresetsADirectionAndABalancePutsTheGradientBack)
{
    Gradient->SetStartColor(0x123456);
    Gradient->SetBalance(30);
    Open();
    const QStringList before = test::DumpProperties(Gradient);
    ChoosePreset(QStringLiteral("Sunset"));
    Editor->PageControl1->setCurrentIndex(3);
    QTest::mouseClick(Editor->Directions->Chart(4)->Widget(), Qt::LeftButton);
    EXPECT_EQ(Gradient->Direction(), gdFromCenter);
    Editor->PageControl1->setCurrentIndex(2);
    Editor->SBBalance->setFocus();
    QTest::keyClick(Editor->SBBalance, Qt::Key_Right);
    ASSERT_NE(test::DumpProperties(Gradient), before);
    const int paints = Chart.Invalidations;
    QTest::mouseClick(Editor->BCancel, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(Gradient), before);
    EXPECT_GT(Chart.Invalidations, paints) << "the owner was told of the restore";
    EXPECT_FALSE(Editor->Modified());
}

TEST_F(GradientEditorTest, ADirectionChosenInTheGalleryAloneIsUndoneByCancel)
{
    Open();
    Editor->PageControl1->setCurrentIndex(3);
    QTest::mouseClick(Editor->Directions->Chart(2)->Widget(), Qt::LeftButton);
    EXPECT_EQ(Gradient->Direction(), gdLeftRight);
    EXPECT_TRUE(Editor->Modified());
    QTest::mouseClick(Editor->BCancel, Qt::LeftButton);
    EXPECT_EQ(Gradient->Direction(), gdTopBottom);
    test::SaveScreenshot(*Editor, QStringLiteral("gradient-editor-directions"));
}

// A direction chart clicked has the focus: Escape cancels the editor (the
// gradient goes back), Return presses OK (the direction stays).
TEST_F(GradientEditorTest, EscapeAndReturnOnAFocusedDirectionChartReachTheDialog)
{
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        SCOPED_TRACE(key == Qt::Key_Escape ? "Escape" : "Return");
        Gradient->SetDirection(gdTopBottom);
        Editor = std::make_unique<TPlotGradientEditor>();
        Open();
        Editor->PageControl1->setCurrentIndex(3);
        QWidget* chart = Editor->Directions->Chart(2)->Widget();
        QTest::mouseClick(chart, Qt::LeftButton);
        EXPECT_EQ(Editor->focusWidget(), chart);
        EXPECT_EQ(Gradient->Direction(), gdLeftRight);
        QTest::keyPress(chart, key);
        QTest::keyRelease(chart, key);
        EXPECT_FALSE(Editor->isVisible());
        if (key == Qt::Key_Escape) {
            EXPECT_EQ(Editor->result(), QDialog::Rejected);
            EXPECT_EQ(Gradient->Direction(), gdTopBottom);
        } else {
            EXPECT_EQ(Editor->result(), QDialog::Accepted);
            EXPECT_EQ(Gradient->Direction(), gdLeftRight);
        }
    }
}

TEST_F(GradientEditorTest, ScreenshotsOfTheTabs)
{
    Gradient->SetMidColor(0x00A0FF);
    Open();
    const char* names[] = {"gradient-editor-presets", "gradient-editor-colors", "gradient-editor-options",
                           "gradient-editor-directions"};
    for (int i = 0; i < 4; ++i) {
        Editor->PageControl1->setCurrentIndex(i);
        const QImage shot = test::SaveScreenshot(*Editor, QString::fromLatin1(names[i]));
        EXPECT_FALSE(shot.isNull());
    }
}

TEST(ButtonGradient, DrawsTheGradientFramedBlackOrGreyAndOpensTheEditor)
{
    TPlotGradient gradient;
    gradient.SetVisible(true);
    gradient.SetStartColor(clRed);
    gradient.SetEndColor(clRed);
    TButtonGradient button(QStringLiteral("&Gradient..."));
    button.resize(120, 25);
    button.LinkGradient(&gradient);
    const TRect symbol = button.GetSymbolRect();
    QImage shot = button.Snapshot();
    EXPECT_EQ(shot.pixelColor((symbol.Left + symbol.Right) / 2, (symbol.Top + symbol.Bottom) / 2), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(symbol.Left, (symbol.Top + symbol.Bottom) / 2), QColor(Qt::black));
    gradient.SetVisible(false);
    shot = button.Snapshot();
    EXPECT_EQ(shot.pixelColor(symbol.Left, (symbol.Top + symbol.Bottom) / 2), QColor(0x80, 0x80, 0x80));

    int clicks = 0;
    button.OnClick = [&clicks](TButtonGradient*) { ++clicks; };
    QTimer::singleShot(0, [&button] {
        ASSERT_NE(button.Editor(), nullptr);
        button.Editor()->BOk->click();
    });
    button.click();
    EXPECT_EQ(clicks, 1);
    QTimer::singleShot(0, [&button] { button.Editor()->BCancel->click(); });
    button.click();
    EXPECT_EQ(clicks, 1) << "Cancel runs no click behaviour";
}

} // namespace
} // namespace lp
