#pragma once
// Answers for the pen and brush dialogs an editor page opens, given as a
// user gives them: the pen's colour button (answered by the colour dialog
// answer the test holds) and a width typed into its box, then OK; a brush
// style clicked in the style list, then OK.

#include "axis/AxisDialogTestSupport.h"
#include "chart/editors/PlotPenBrushDialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace lp::test {

inline void AnswerPenDialog(int Width)
{
    OnModal<TPenDialog>([Width](TPenDialog& Pen) {
        QTest::mouseClick(Pen.BColor, Qt::LeftButton);
        QLineEdit* width = Pen.UDWidth->findChild<QLineEdit*>();
        Pen.UDWidth->setFocus();
        width->selectAll();
        QTest::keyClicks(width, QString::number(Width));
        QTest::mouseClick(Pen.BOk, Qt::LeftButton);
    });
}

inline void AnswerBrushDialog(TBrush::TBrushStyle Style)
{
    OnModal<TBrushDialog>([Style](TBrushDialog& Brush) {
        QListWidgetItem* item = Brush.LStyle->item(Style);
        QTest::mouseClick(Brush.LStyle->viewport(), Qt::LeftButton, {}, Brush.LStyle->visualItemRect(item).center());
        QTest::mouseClick(Brush.Button2, Qt::LeftButton);
    });
}

} // namespace lp::test
