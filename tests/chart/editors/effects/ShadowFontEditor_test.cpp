#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotTitles.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::SaveScreenshot;
using test::TColorDialogAnswer;
using test::TEditorChart;

// Types Text into a spin box's field as a user does, replacing what it
// shows, and leaves the field.
void TypeInto(QSpinBox* Spin, const QString& Text)
{
    Spin->setFocus();
    Spin->selectAll();
    QLineEdit* field = Spin->findChild<QLineEdit*>();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, Text);
}

struct TTitleChart {
    TEditorChart Chart;
    TChartTitle* Title() { return Chart.Title(); }
    int Paints() const { return Chart.Invalidations; }
};

TEST(ShadowEditor, EachControlWritesTheShadowAndTheChartRepaints)
{
    TTitleChart c;
    TPlotShadow* shadow = c.Title()->Shadow();
    TPlotShadowEditor editor;
    editor.SetTarget(shadow);
    editor.show();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Shadow editor"));
    EXPECT_FALSE(editor.BOK->isVisible()); // not a dialog here

    int paints = c.Paints();
    TypeInto(editor.UDShadowSize, QStringLiteral("7"));
    EXPECT_EQ(shadow->HorizSize(), 7);
    EXPECT_GT(c.Paints(), paints);
    paints = c.Paints();
    TypeInto(editor.UDShaVert, QStringLiteral("-12"));
    EXPECT_EQ(shadow->VertSize(), -12);
    EXPECT_GT(c.Paints(), paints);
    paints = c.Paints();
    TypeInto(editor.UDShadowTransp, QStringLiteral("40"));
    EXPECT_EQ(shadow->Transparency(), 40);
    EXPECT_GT(c.Paints(), paints);
    paints = c.Paints();
    const bool smooth = shadow->Smooth();
    QTest::mouseClick(editor.CBSmooth, Qt::LeftButton);
    EXPECT_NE(shadow->Smooth(), smooth);
    EXPECT_GT(c.Paints(), paints);
    paints = c.Paints();
    {
        TColorDialogAnswer answer;
        answer.Answer = 0x123456;
        QTest::mouseClick(editor.BShadowColor, Qt::LeftButton);
    }
    EXPECT_EQ(shadow->Color(), 0x123456);
    EXPECT_GT(c.Paints(), paints);
}

TEST(ShadowEditor, SizesTypedPastTheRangeEmptiedOrHalfTypedStoreNothing)
{
    TTitleChart c;
    TPlotShadow* shadow = c.Title()->Shadow();
    shadow->SetHorizSize(5);
    TPlotShadowEditor editor;
    editor.SetTarget(shadow);
    editor.show();
    TypeInto(editor.UDShadowSize, QStringLiteral("1001"));
    EXPECT_LE(shadow->HorizSize(), 1000);
    TypeInto(editor.UDShadowSize, QStringLiteral("-2000"));
    EXPECT_GE(shadow->HorizSize(), -1000);
    shadow->SetHorizSize(5);
    editor.Refresh();
    TypeInto(editor.UDShadowSize, QString());
    EXPECT_EQ(shadow->HorizSize(), 5);
    TypeInto(editor.UDShadowSize, QStringLiteral("-"));
    EXPECT_EQ(shadow->HorizSize(), 5);
    // Leaving the field puts the last value back without writing.
    editor.UDShaVert->setFocus();
    EXPECT_EQ(editor.UDShadowSize->value(), 5);
    EXPECT_EQ(shadow->HorizSize(), 5);
}

TEST(ShadowAndFontEditors, NothingIsWrittenBeforeTheFirstShowOrWithoutATarget)
{
    TTitleChart c;
    const QStringList before = test::DumpProperties(c.Title());
    TPlotShadowEditor editor;
    editor.SetTarget(c.Title()->Shadow());
    editor.UDShadowSize->setValue(33);
    editor.CBSmooth->setChecked(!editor.CBSmooth->isChecked());
    TPlotFontEditor font;
    font.SetTarget(c.Title()->Font());
    font.UDInter->setValue(50);
    font.CBOutGrad->setChecked(true);
    EXPECT_EQ(test::DumpProperties(c.Title()), before);

    TPlotShadowEditor empty;
    empty.show();
    empty.UDShadowSize->setValue(33); // no shadow bound: nothing to write, no crash
    EXPECT_EQ(empty.UDShadowSize->value(), 33);
}

TEST(ShadowEditor, ShowingWritesNothingAndLargeSizesShowClamped)
{
    TTitleChart c;
    TPlotShadow* shadow = c.Title()->Shadow();
    shadow->SetHorizSize(5000);
    const QStringList before = test::DumpProperties(c.Title());
    const int paints = c.Paints();
    TPlotShadowEditor editor;
    editor.SetTarget(shadow);
    editor.show();
    EXPECT_EQ(editor.UDShadowSize->value(), 1000);
    EXPECT_EQ(shadow->HorizSize(), 5000);
    EXPECT_EQ(test::DumpProperties(c.Title()), before);
    EXPECT_EQ(c.Paints(), paints);
}

TEST(ShadowEditor, DialogHasOkThatClosesAndTheEmbeddedVariantHasNone)
{
    TTitleChart c;
    QWidget tab;
    tab.resize(300, 200);
    TPlotShadowEditor* embedded = InsertShadowEditor(&tab);
    RefreshShadowEditor(embedded, c.Title()->Shadow());
    tab.show();
    EXPECT_TRUE(embedded->isVisible());
    EXPECT_FALSE(embedded->BOK->isVisible());
    EXPECT_EQ(embedded->parentWidget(), &tab);

    bool sawOk = false;
    QTimer::singleShot(0, [&sawOk] {
        auto* dialog = qobject_cast<TPlotShadowEditor*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        sawOk = dialog->BOK->isVisible();
        SaveScreenshot(*dialog, QStringLiteral("shadow-editor"));
        QTest::mouseClick(dialog->BOK, Qt::LeftButton);
    });
    EditShadow(nullptr, c.Title()->Shadow());
    EXPECT_TRUE(sawOk);
}

TEST(FontEditor, EachControlWritesTheFontAndTheChartRepaints)
{
    TTitleChart c;
    TPlotFont* font = c.Title()->Font();
    QWidget tab;
    tab.resize(360, 220);
    TPlotFontEditor* editor = InsertFontEditor(&tab);
    RefreshFontEditor(editor, font);
    tab.show();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("PlotFont Editor"));

    int paints = c.Paints();
    {
        TColorDialogAnswer answer;
        answer.Answer = 0x0000FF;
        QTest::mouseClick(editor->SHText, Qt::LeftButton);
        EXPECT_EQ(font->Color(), 0x0000FF);
        EXPECT_EQ(editor->SHText->Color(), 0x0000FF);
        EXPECT_GT(c.Paints(), paints);
        // Space on the focused swatch opens the dialog too.
        answer.Answer = 0x00FF00;
        editor->SHText->setFocus();
        QTest::keyClick(editor->SHText, Qt::Key_Space);
        EXPECT_EQ(font->Color(), 0x00FF00);
        // A cancelled dialog keeps the colour.
        answer.Answer.reset();
        QTest::mouseClick(editor->SHText, Qt::LeftButton);
        EXPECT_EQ(font->Color(), 0x00FF00);
        EXPECT_EQ(answer.Requests.size(), 3u);
    }
    paints = c.Paints();
    TypeInto(editor->UDInter, QStringLiteral("-9"));
    EXPECT_EQ(font->InterCharSize(), -9);
    EXPECT_GT(c.Paints(), paints);
    TypeInto(editor->UDInter, QStringLiteral("250"));
    EXPECT_GE(font->InterCharSize(), -100);
    EXPECT_LE(font->InterCharSize(), 100);

    paints = c.Paints();
    QTest::mouseClick(editor->CBOutGrad, Qt::LeftButton);
    EXPECT_TRUE(font->Gradient()->Outline());
    EXPECT_GT(c.Paints(), paints);

    {
        TFontDialogRequest seen;
        CommonDialogService().ExecuteFont = [&seen](TFontDialogRequest& Request) {
            seen = Request;
            Request.Font.setBold(true);
            return true;
        };
        QTest::mouseClick(editor->Button3, Qt::LeftButton);
        ResetCommonDialogService();
    }
    EXPECT_TRUE(font->Style() & TFont::fsBold);

    // The shadow button opens the shadow dialog on the font's shadow.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TPlotShadowEditor*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        TypeInto(dialog->UDShadowSize, QStringLiteral("4"));
        dialog->close();
    });
    QTest::mouseClick(editor->BShadow, Qt::LeftButton);
    EXPECT_EQ(font->Shadow()->HorizSize(), 4);
}

TEST(FontEditor, TheColourSwatchIsNamedAndNoColourShowsCrossedOut)
{
    // Guards against a bare block beside "Font..." reading as a blot, and
    // an outline-only font's clNone shown as an empty box.
    TTitleChart c;
    TPlotFont* font = c.Title()->Font();
    font->SetColor(clNone);
    QWidget tab;
    tab.resize(360, 220);
    TPlotFontEditor* editor = InsertFontEditor(&tab);
    RefreshFontEditor(editor, font);
    tab.show();
    auto* label = editor->findChild<QLabel*>(QStringLiteral("LText"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), editor->SHText);
    EXPECT_EQ(test::WithoutMnemonic(label->text()), QStringLiteral("Color:"));
    const QImage swatch = editor->SHText->grab().toImage();
    const QColor ink = editor->SHText->palette().color(QPalette::WindowText);
    // Inside the frame: a line across, on the base colour.
    int line = 0;
    int base = 0;
    for (int y = 2; y < swatch.height() - 2; ++y)
        for (int x = 2; x < swatch.width() - 2; ++x) {
            line += swatch.pixelColor(x, y) == ink;
            base += swatch.pixelColor(x, y) == editor->SHText->palette().color(QPalette::Base);
        }
    EXPECT_GE(line, swatch.height() - 4);
    EXPECT_GT(base, (swatch.width() - 4) * (swatch.height() - 4) / 2);
}

TEST(FontEditor, GradientButtonFollowsItsEntryPointAndReadingCreatesNothing)
{
    TTitleChart c;
    TPlotFont* font = c.Title()->Font();
    const TEditGradientEntry saved = EditGradientEntryPoint();
    EditGradientEntryPoint() = nullptr;
    {
        TPlotFontEditor editor;
        editor.SetTarget(font);
        editor.show();
        EXPECT_FALSE(editor.BGradient->isEnabled());
        EXPECT_FALSE(font->HasGradient());
        EXPECT_FALSE(font->HasOutLine());
    }
    EditGradientEntryPoint() = &EditGradientDialog;
    {
        TPlotFontEditor editor;
        editor.SetTarget(font);
        editor.show();
        ASSERT_TRUE(editor.BGradient->isEnabled());
        // The gradient button opens the gradient editor on the font's
        // gradient; OK keeps what was changed there.
        QTimer::singleShot(0, [&editor] {
            TPlotGradientEditor* opened = editor.BGradient->Editor();
            ASSERT_NE(opened, nullptr);
            opened->CBVisible->click();
            opened->BOk->click();
        });
        QTest::mouseClick(editor.BGradient, Qt::LeftButton);
        EXPECT_TRUE(font->Gradient()->Visible());
    }
    EditGradientEntryPoint() = saved;
}

TEST(EditorScreens, ShadowAndFontEditors)
{
    TTitleChart c;
    TPlotFontEditor font;
    font.SetTarget(c.Title()->Font());
    font.show();
    const QImage image = SaveScreenshot(font, QStringLiteral("font-editor"));
    EXPECT_GT(image.width(), 200);
    for (QWidget* control : font.findChildren<QWidget*>())
        if (control->isVisible() && control->parentWidget() == &font) {
            EXPECT_TRUE(font.rect().contains(control->geometry())) << control->objectName().toStdString();
        }
}

} // namespace
} // namespace lp
