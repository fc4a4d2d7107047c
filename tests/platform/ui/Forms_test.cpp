#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

namespace lp {
namespace {

TEST(Forms, ShowHideAndTheirEventsInOrder)
{
    TForm Form;
    Form.SetBounds(10, 10, 50, 40);
    std::vector<std::string> Events;
    Form.OnShow = [&](TForm* F) { Events.push_back(F->Widget()->isVisible() ? "show:visible" : "show:hidden"); };
    Form.OnActivate = [&](TForm*) { Events.push_back("activate"); };
    Form.OnHide = [&](TForm* F) { Events.push_back(F->Widget()->isVisible() ? "hide:visible" : "hide:hidden"); };
    EXPECT_FALSE(Form.Visible());
    Form.Show();
    EXPECT_TRUE(Form.Showing());
    EXPECT_TRUE(Form.Widget()->isVisible());
    EXPECT_TRUE(Form.Widget()->isWindow());
    Form.Hide();
    EXPECT_FALSE(Form.Widget()->isVisible());
    EXPECT_EQ(Events, (std::vector<std::string>{"show:hidden", "activate", "hide:visible"}));
}

TEST(Forms, BorderAndStyleBecomeWindowFlags)
{
    TForm Form;
    Form.SetBorderStyle(TForm::bsNone);
    Form.SetFormStyle(TForm::fsStayOnTop);
    const Qt::WindowFlags Flags = Form.Widget()->windowFlags();
    EXPECT_TRUE(Flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(Flags.testFlag(Qt::WindowStaysOnTopHint));
    Form.SetFormStyle(TForm::fsNormal);
    EXPECT_FALSE(Form.Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(Forms, CloseHidesOrReleases)
{
    TComponent Owner;
    auto* Form = new TForm(&Owner);
    Form->Show();
    Form->Close();
    EXPECT_FALSE(Form->Showing());
    EXPECT_EQ(Owner.ComponentCount(), 1);
    Form->OnClose = [](TForm*, TCloseAction& Action) { Action = TForm::caNone; };
    Form->Show();
    Form->Close();
    EXPECT_TRUE(Form->Showing());
    Form->OnClose = [](TForm*, TCloseAction& Action) { Action = TForm::caFree; };
    Form->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Owner.ComponentCount(), 0);
}

TEST(Forms, RegionBecomesTheWindowMask)
{
    TForm Form;
    Form.SetBounds(0, 0, 40, 40);
    Form.SetWindowRgn(QRegion(0, 0, 10, 10));
    EXPECT_EQ(Form.Widget()->mask(), QRegion(0, 0, 10, 10));
    Form.SetWindowRgn(std::nullopt);
    EXPECT_TRUE(Form.Widget()->mask().isEmpty());
}

TEST(Forms, ChainedHitTest_CaptionPointsDragTheWindow)
{
    TForm Form;
    Form.SetBounds(100, 100, 40, 40);
    EXPECT_EQ(Form.HitTest(5, 5), HTCLIENT);
    const TForm::THitTestProc Own = Form.WindowHitTest();
    Form.SetWindowHitTest([Own](int X, int Y) { return Y < 10 ? HTCAPTION : Own(X, Y); });
    EXPECT_EQ(Form.HitTest(5, 5), HTCAPTION);
    EXPECT_EQ(Form.HitTest(5, 20), HTCLIENT);
    Form.MouseDown(mbLeft, {}, 5, 5);
    Form.MouseMove(TShiftState(TControl::ssLeft), 15, 8);
    Form.MouseUp(mbLeft, {}, 15, 8);
    EXPECT_EQ(Form.Left(), 110);
    EXPECT_EQ(Form.Top(), 103);
    Form.SetWindowHitTest(nullptr);
    EXPECT_EQ(Form.HitTest(5, 5), HTCLIENT);
}

TEST(Forms, ShowModal_EndsWithTheModalResult)
{
    TForm Form;
    Form.SetBounds(0, 0, 30, 30);
    QTimer::singleShot(10, Form.Widget(), [&] { Form.SetModalResult(6); });
    EXPECT_EQ(Form.ShowModal(), 6);
    EXPECT_FALSE(Form.Showing());
    EXPECT_FALSE(Form.Modal());
}

} // namespace
} // namespace lp
