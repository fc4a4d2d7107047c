// Pop-up menus: items, check marks, disabled items, reuse, errors.

#include "platform/ui/Menus.h"

#include "platform/ui/Application.h"

#include <QtGui/QKeySequence>
#include <QtWidgets/QMenu>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(PopupMenu, ItemsRunTheirHandlersUnlessDisabled)
{
    TPopupMenu Menu;
    std::vector<int> Clicked;
    Menu.SetItems({{"Options", false, false, [&](int I) { Clicked.push_back(I); }},
                   {"Visible && more", true, true, [&](int I) { Clicked.push_back(I); }}});
    Menu.Popup({10, 20});
    EXPECT_TRUE(Menu.PoppedUp());
    EXPECT_EQ(Menu.PopupPosition(), (TPoint{10, 20}));
    ASSERT_NE(Menu.NativeMenu(), nullptr);
    const auto Actions = Menu.NativeMenu()->actions();
    ASSERT_EQ(Actions.size(), 2);
    EXPECT_FALSE(Actions[0]->isEnabled());
    EXPECT_TRUE(Actions[1]->isChecked());
    // "&&" is the caption syntax for one shown ampersand, not a key letter.
    EXPECT_EQ(Actions[1]->text(), "Visible && more");
    EXPECT_EQ(QKeySequence::mnemonic(Actions[1]->text()), QKeySequence());
    Menu.Click(0);
    EXPECT_TRUE(Clicked.empty());
    Actions[1]->trigger();
    EXPECT_EQ(Clicked, (std::vector<int>{1}));
    EXPECT_THROW(Menu.Click(2), ERangeError);
}

TEST(PopupMenu, OneNativeMenuIsReused)
{
    TPopupMenu Menu;
    Menu.SetItems({{"A", false, true, {}}});
    Menu.Popup({0, 0});
    QMenu* First = Menu.NativeMenu();
    Menu.SetItems({{"B", false, true, {}}, {"C", false, true, {}}});
    Menu.Popup({0, 0});
    EXPECT_EQ(Menu.NativeMenu(), First);
    EXPECT_EQ(First->actions().size(), 2);
}

TEST(PopupMenu, SeparatorsKeepTheirIndexAndSubmenusClickTheirOwnItems)
{
    auto Sub = std::make_shared<TPopupMenu>();
    std::vector<int> SubClicked;
    Sub->SetItems({{"One", false, true, [&](int I) { SubClicked.push_back(I); }},
                   {"Two", false, true, [&](int I) { SubClicked.push_back(I); }}});
    TPopupMenu Menu;
    Menu.SetItems({{"First", false, true, {}}, {"-", false, true, {}}, {"More", false, true, {}, Sub}});
    Menu.SetChecked(0, true);
    Sub->SetChecked(1, true);
    EXPECT_THROW(Menu.SetChecked(3, true), ERangeError);
    Menu.Popup({0, 0});
    const auto Actions = Menu.NativeMenu()->actions();
    ASSERT_EQ(Actions.size(), 3);
    EXPECT_TRUE(Actions[0]->isChecked());
    EXPECT_TRUE(Actions[1]->isSeparator());
    ASSERT_EQ(Actions[2]->menu(), Sub->NativeMenu());
    EXPECT_EQ(Actions[2]->text(), "More");
    const auto SubActions = Sub->NativeMenu()->actions();
    ASSERT_EQ(SubActions.size(), 2);
    EXPECT_TRUE(SubActions[1]->isChecked());
    SubActions[1]->trigger();
    EXPECT_EQ(SubClicked, (std::vector<int>{1}));
    // Shown again, the submenu is rebuilt, not doubled.
    Menu.Popup({0, 0});
    EXPECT_EQ(Sub->NativeMenu()->actions().size(), 2);
    EXPECT_EQ(Menu.NativeMenu()->actions().size(), 3);
}

TEST(PopupMenu, HandlerErrorsGoToTheApplication)
{
    QString Shown;
    Application().ShowMessageHook = [&](const QString& Text) { Shown = Text; };
    TPopupMenu Menu;
    Menu.SetItems({{"Fail", false, true, [](int) { throw EInvalidOperation("cannot"); }}});
    Menu.Popup({0, 0});
    Menu.NativeMenu()->actions()[0]->trigger();
    EXPECT_EQ(Shown, "cannot");
    Application().ShowMessageHook = nullptr;
}

} // namespace
} // namespace lp
