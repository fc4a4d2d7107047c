// The shape-format editor and the legend symbol editor on a real chart:
// tabs handed to a host, the bevel width's enabling, cancelled dialogs, the
// symbol's width and border enabling, and silence before the first show.

#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/effects/SymbolEditor.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotTitles.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// Closes the next modal dialog with Cancel (Escape) once it is up.
void CancelNextModal()
{
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            QTest::keyClick(modal, Qt::Key_Escape);
    });
}

void SelectIndex(QComboBox* Combo, int Index)
{
    Combo->setFocus();
    while (Combo->currentIndex() < Index)
        QTest::keyClick(Combo, Qt::Key_Down);
    while (Combo->currentIndex() > Index)
        QTest::keyClick(Combo, Qt::Key_Up);
}

TEST(ShapeEditor, TabsHandedToAHostKeepTheirOrderAndStayBound)
{
    TEditorChart chart;
    QTabWidget host;
    host.addTab(new QWidget(&host), QStringLiteral("Style"));
    TFormPlotShape* editor = InsertShapeEditorTabs(&host, chart.Title());
    QStringList captions;
    for (int i = 0; i < host.count(); ++i)
        captions.append(host.tabText(i));
    EXPECT_EQ(captions, (QStringList{"Style", "Format", "Text", "Gradient", "Shadow"}));
    EXPECT_EQ(host.currentIndex(), 0);
    EXPECT_EQ(editor->PC1->count(), 0);

    host.show();
    host.setCurrentIndex(1);
    ASSERT_FALSE(chart.Title()->ShapeStyle() == fosRoundRectangle);
    QTest::mouseClick(editor->CBRound, Qt::LeftButton, {}, QPoint(6, editor->CBRound->height() / 2));
    EXPECT_EQ(chart.Title()->ShapeStyle(), fosRoundRectangle);
    QTest::mouseClick(editor->CBRound, Qt::LeftButton, {}, QPoint(6, editor->CBRound->height() / 2));
    EXPECT_EQ(chart.Title()->ShapeStyle(), fosRectangle);
}

TEST(ShapeEditor, BevelNoneDisablesTheWidthAndRaisedEnablesIt)
{
    TEditorChart chart;
    TFormPlotShape editor;
    editor.SetTarget(chart.Title());
    editor.show();
    EXPECT_FALSE(editor.UDBevW->isEnabled());
    SelectIndex(editor.CBBevel, 2);
    EXPECT_EQ(chart.Title()->Bevel(), TCustomPanelNoCaption::bvRaised);
    EXPECT_TRUE(editor.UDBevW->isEnabled());
    SelectIndex(editor.CBBevel, 0);
    EXPECT_EQ(chart.Title()->Bevel(), bvNone);
    EXPECT_FALSE(editor.UDBevW->isEnabled());
    EXPECT_EQ(editor.UDBevW->minimum(), 1);
}

TEST(ShapeEditor, CancelledPenBrushAndColourDialogsLeaveTheShapeAlone)
{
    TEditorChart chart;
    TFormPlotShape editor;
    editor.SetTarget(chart.Title());
    editor.show();
    const QStringList before = test::DumpProperties(chart.Title());
    CancelNextModal();
    QTest::mouseClick(editor.Button4, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(chart.Title()), before) << "pen";
    CancelNextModal();
    QTest::mouseClick(editor.Button6, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(chart.Title()), before) << "brush";
    {
        test::TColorDialogAnswer cancel;
        QTest::mouseClick(editor.BBackColor, Qt::LeftButton);
        EXPECT_EQ(cancel.Requests.size(), 1u);
    }
    EXPECT_EQ(test::DumpProperties(chart.Title()), before) << "colour";
}

TEST(ShapeEditor, ColourHandlerMakesTheShapeOpaqueAndVisibilityHandlerFollowsItsBox)
{
    TEditorChart chart;
    chart.Title()->SetTransparent(true);
    TFormPlotShape editor;
    editor.SetTarget(chart.Title());
    editor.show();
    editor.BColorClick();
    EXPECT_FALSE(chart.Title()->Transparent());
    QCheckBox visible;
    visible.setChecked(false);
    editor.CBVisibleChecked(&visible);
    EXPECT_FALSE(chart.Title()->Visible());
}

TEST(SymbolEditor, SquaredDisablesTheWidthAndDefaultBorderTheBorderButton)
{
    TEditorChart chart;
    TLegendSymbol* symbol = chart.Legend()->Symbol();
    TSymbolEditor editor;
    RefreshSymbolEditor(&editor, symbol);
    editor.show();
    EXPECT_TRUE(editor.UDColWi->isEnabled());
    EXPECT_EQ(editor.UDColWi->singleStep(), 5);
    EXPECT_FALSE(editor.BSymPen->isEnabled()); // the default border is on
    QTest::mouseClick(editor.CBSquared, Qt::LeftButton, {}, QPoint(6, editor.CBSquared->height() / 2));
    EXPECT_TRUE(symbol->Squared());
    EXPECT_FALSE(editor.UDColWi->isEnabled());
    QTest::mouseClick(editor.CBSquared, Qt::LeftButton, {}, QPoint(6, editor.CBSquared->height() / 2));
    EXPECT_TRUE(editor.UDColWi->isEnabled());
    QTest::mouseClick(editor.CBSymPen, Qt::LeftButton, {}, QPoint(6, editor.CBSymPen->height() / 2));
    EXPECT_FALSE(symbol->DefaultPen());
    EXPECT_TRUE(editor.BSymPen->isEnabled());
    EXPECT_TRUE(editor.BSymGradient->NoEndColor);
}

TEST(SymbolEditor, PixelsAndRightAreTheSecondRowsAndNothingIsWrittenBeforeTheFirstShow)
{
    TEditorChart chart;
    TLegendSymbol* symbol = chart.Legend()->Symbol();
    symbol->SetWidthUnits(lcsPixels);
    symbol->SetPosition(spRight);
    TSymbolEditor editor;
    RefreshSymbolEditor(&editor, symbol);
    EXPECT_EQ(editor.CBColWUnits->currentIndex(), 1);
    EXPECT_EQ(editor.CBSymbolPos->currentIndex(), 1);
    editor.UDColWi->setValue(55);
    editor.CBSymbolPos->setCurrentIndex(0);
    EXPECT_EQ(symbol->Width(), 20);
    EXPECT_EQ(symbol->Position(), spRight);
    editor.show();
    editor.CBSymbolPos->setCurrentIndex(0);
    EXPECT_EQ(symbol->Position(), spLeft);
}

} // namespace
} // namespace lp
