#include "chart/editors/data/PlotSelectList.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>

namespace lp {
namespace {

template <class T>
T* SelectListControl(const TSelectListForm& Form, const char* Name)
{
    auto* Control = Form.findChild<T*>(QString::fromLatin1(Name));
    EXPECT_NE(Control, nullptr) << Name;
    return Control;
}

QStringList ListTexts(const QListWidget& List)
{
    QStringList Texts;
    for (int i = 0; i < List.count(); ++i)
        Texts.append(List.item(i)->text());
    return Texts;
}

void AddChoice(QListWidget* List, const QString& Text, int Data)
{
    auto* Item = new QListWidgetItem(Text, List);
    Item->setData(Qt::UserRole, Data);
}

TEST(PlotSelectList, EmptyListsDisableTheirButtons)
{
    TSelectListForm Form;
    Form.show();
    for (const char* Name : {"BRightOne", "BRightAll", "BLeftOne", "BLeftAll"})
        EXPECT_FALSE(SelectListControl<QPushButton>(Form, Name)->isEnabled()) << Name;
    EXPECT_FALSE(SelectListControl<QToolButton>(Form, "BMoveUP")->isEnabled());
    EXPECT_FALSE(SelectListControl<QToolButton>(Form, "BMoveDown")->isEnabled());
    // Nothing to pick from: the chosen list starts with the focus.
    Form.activateWindow();
    EXPECT_EQ(Form.focusWidget(), Form.ToList());
    EXPECT_EQ(SelectListControl<QLabel>(Form, "L22")->text(), QStringLiteral("A&vailable:"));
    EXPECT_EQ(SelectListControl<QLabel>(Form, "L22")->buddy(), Form.FromList());
    EXPECT_EQ(SelectListControl<QLabel>(Form, "L24")->buddy(), Form.ToList());
}

TEST(PlotSelectList, SelectedItemsMoveTogetherInOrder)
{
    TSelectListForm Form;
    for (int i = 0; i < 4; ++i)
        AddChoice(Form.FromList(), QStringLiteral("Series%1").arg(i), i);
    AddChoice(Form.ToList(), QStringLiteral("Chosen"), 9);
    int Changes = 0;
    Form.OnChange = [&] { ++Changes; };
    Form.show();
    EXPECT_EQ(Form.focusWidget(), Form.FromList());
    // Ctrl-click Series3 then Series1: they arrive in list order.
    QListWidget* From = Form.FromList();
    QTest::mouseClick(From->viewport(), Qt::LeftButton, {}, From->visualItemRect(From->item(3)).center());
    QTest::mouseClick(From->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      From->visualItemRect(From->item(1)).center());
    QTest::mouseClick(SelectListControl<QPushButton>(Form, "BRightOne"), Qt::LeftButton);
    EXPECT_EQ(ListTexts(*Form.ToList()), (QStringList{"Chosen", "Series1", "Series3"}));
    EXPECT_EQ(ListTexts(*From), (QStringList{"Series0", "Series2"}));
    EXPECT_EQ(Form.ToList()->item(2)->data(Qt::UserRole).toInt(), 3); // data travels along
    EXPECT_EQ(Changes, 1);

    QTest::mouseClick(SelectListControl<QPushButton>(Form, "BRightAll"), Qt::LeftButton);
    EXPECT_EQ(From->count(), 0);
    EXPECT_FALSE(SelectListControl<QPushButton>(Form, "BRightOne")->isEnabled());
    EXPECT_EQ(Changes, 2);
    QTest::mouseClick(SelectListControl<QPushButton>(Form, "BLeftAll"), Qt::LeftButton);
    EXPECT_EQ(Form.ToList()->count(), 0);
    EXPECT_EQ(From->count(), 5);
    EXPECT_EQ(Changes, 3);
}

TEST(PlotSelectList, OrderButtonsStopAtTheEnds)
{
    TSelectListForm Form;
    for (int i = 0; i < 3; ++i)
        AddChoice(Form.ToList(), QStringLiteral("S%1").arg(i), i);
    int Changes = 0;
    Form.OnChange = [&] { ++Changes; };
    Form.show();
    auto* Up = SelectListControl<QToolButton>(Form, "BMoveUP");
    auto* Down = SelectListControl<QToolButton>(Form, "BMoveDown");
    Form.ToList()->setCurrentRow(0);
    EXPECT_FALSE(Up->isEnabled());
    EXPECT_TRUE(Down->isEnabled());
    QTest::mouseClick(Down, Qt::LeftButton);
    EXPECT_EQ(ListTexts(*Form.ToList()), (QStringList{"S1", "S0", "S2"}));
    EXPECT_EQ(Form.ToList()->currentRow(), 1);
    QTest::mouseClick(Down, Qt::LeftButton);
    EXPECT_EQ(Form.ToList()->currentRow(), 2);
    EXPECT_FALSE(Down->isEnabled()); // the last cannot move down
    EXPECT_TRUE(Up->isEnabled());
    QTest::mouseClick(Up, Qt::LeftButton);
    EXPECT_EQ(ListTexts(*Form.ToList()), (QStringList{"S1", "S0", "S2"}));
    EXPECT_EQ(Changes, 3);
}

TEST(PlotSelectList, DoubleClickMovesAcross)
{
    TSelectListForm Form;
    AddChoice(Form.FromList(), QStringLiteral("A"), 1);
    AddChoice(Form.FromList(), QStringLiteral("B"), 2);
    Form.show();
    QListWidget* From = Form.FromList();
    const QPoint B = From->visualItemRect(From->item(1)).center();
    QTest::mouseClick(From->viewport(), Qt::LeftButton, {}, B);
    QTest::mouseDClick(From->viewport(), Qt::LeftButton, {}, B);
    EXPECT_EQ(ListTexts(*Form.ToList()), QStringList{"B"});
    EXPECT_EQ(Form.ToList()->currentRow(), 0);
    QListWidget* To = Form.ToList();
    const QPoint Back = To->visualItemRect(To->item(0)).center();
    QTest::mouseClick(To->viewport(), Qt::LeftButton, {}, Back);
    QTest::mouseDClick(To->viewport(), Qt::LeftButton, {}, Back);
    EXPECT_EQ(ListTexts(*From), (QStringList{"A", "B"}));
}

} // namespace
} // namespace lp
