// The scroll box: which bars its ranges call for, automatic ranges that
// follow the child windows, the bars' places and pixels, and scrolling
// through the bars as a user does it.

#include "components/ScrollBox.h"

#include "components/Splitter.h"

#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A shown box of Width x Height with one child window of ChildW x ChildH.
struct TShownBox {
    TShownBox(int Width, int Height, int ChildW, int ChildH)
    {
        Box.SetBounds(0, 0, Width, Height);
        Box.Widget()->show();
        Child = new QWidget(Box.Widget());
        Child->setGeometry(0, 0, ChildW, ChildH);
        Child->show();
        QApplication::processEvents();
    }
    TuiCustomScrollBox Box;
    QWidget* Child = nullptr;
};

TEST(ScrollBox, RangesBeyondThePageCallForBars)
{
    TuiCustomScrollBox Box;  // 185 x 41, single border of 2 pixels
    const int Bar = TuiCustomScrollBox::ScrollBarSize();
    EXPECT_FALSE(Box.HorzScrollBarVisible());
    EXPECT_FALSE(Box.VertScrollBarVisible());
    EXPECT_EQ(Box.HorzPage(), 181);
    EXPECT_EQ(Box.VertPage(), 37);

    Box.SetVertRange(200);
    EXPECT_TRUE(Box.VertScrollBarVisible());
    EXPECT_FALSE(Box.HorzScrollBarVisible());
    EXPECT_EQ(Box.HorzPage(), 181 - Bar);
    // Wider than the page the vertical bar leaves, not than the box: both.
    Box.SetHorzRange(181 - Bar + 1);
    EXPECT_TRUE(Box.HorzScrollBarVisible());
    EXPECT_EQ(Box.VertPage(), 37 - Bar);
    // Scrolling stops where the last page shows the end of the range.
    Box.Scroll(false, SB_BOTTOM, 0);
    EXPECT_EQ(Box.VertPosition(), 200 - (37 - Bar));
    Box.SetVertRange(0);
    EXPECT_EQ(Box.VertPosition(), 0) << "a range that shrank pulls the content back";
    EXPECT_FALSE(Box.VertScrollBarVisible());
}

TEST(ScrollBox, AutoScrollFollowsTheChildWindows)
{
    TShownBox S(185, 100, 400, 300);
    const int Bar = TuiCustomScrollBox::ScrollBarSize();
    EXPECT_EQ(S.Box.HorzScrollRange(), 400);
    EXPECT_EQ(S.Box.VertScrollRange(), 300);
    QScrollBar* Horz = S.Box.HorzScrollBar();
    QScrollBar* Vert = S.Box.VertScrollBar();
    ASSERT_TRUE(Horz && Vert);
    EXPECT_TRUE(Horz->isVisible());
    EXPECT_TRUE(Vert->isVisible());
    // Along the bottom and the right edge, inside the border.
    EXPECT_EQ(Horz->geometry(), QRect(2, 100 - 2 - Bar, 185 - 4 - Bar, Bar));
    EXPECT_EQ(Vert->geometry(), QRect(185 - 2 - Bar, 2, Bar, 100 - 4 - Bar));
    EXPECT_EQ(Horz->maximum(), 400 - S.Box.HorzPage());
    EXPECT_EQ(Horz->pageStep(), S.Box.HorzPage());

    // A page click on the bar scrolls the content under the bars.
    Horz->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(S.Box.HorzPosition(), S.Box.HorzPage());
    EXPECT_EQ(S.Child->x(), -S.Box.HorzPage());
    EXPECT_EQ(Horz->value(), S.Box.HorzPosition());
    EXPECT_EQ(Horz->geometry().top(), 100 - 2 - Bar) << "the bars stay where they are";
    Vert->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(S.Box.VertPosition(), 300 - S.Box.VertPage());
    EXPECT_EQ(S.Child->y() + 300, S.Box.VertPage()) << "the content's end shows at the page's end";

    // A child that shrinks into the box takes the bars away and comes home.
    S.Child->resize(100, 50);
    EXPECT_FALSE(Horz->isVisible());
    EXPECT_FALSE(Vert->isVisible());
    EXPECT_EQ(S.Box.HorzPosition(), 0);
    EXPECT_EQ(S.Child->pos(), QPoint(0, 0));
    // A child added later beyond the right edge brings the horizontal bar.
    auto* Late = new QWidget(S.Box.Widget());
    Late->setGeometry(150, 0, 200, 20);
    Late->show();
    EXPECT_TRUE(Horz->isVisible());
    EXPECT_EQ(S.Box.HorzScrollRange(), 350);
}

TEST(ScrollBox, WithoutAutoScrollOnlyTheSetRangesCount)
{
    TShownBox S(185, 100, 400, 300);
    S.Box.SetAutoScroll(false);
    EXPECT_EQ(S.Box.HorzScrollRange(), 0);
    EXPECT_FALSE(S.Box.HorzScrollBar()->isVisible());
    EXPECT_FALSE(S.Box.VertScrollBar()->isVisible());
    S.Box.Scroll(true, SB_PAGEDOWN, 0);
    EXPECT_EQ(S.Box.HorzPosition(), 0);
    S.Box.SetHorzRange(250);
    EXPECT_TRUE(S.Box.HorzScrollBar()->isVisible());
    EXPECT_FALSE(S.Box.VertScrollBar()->isVisible());
    S.Box.SetAutoScroll(true);
    EXPECT_TRUE(S.Box.VertScrollBar()->isVisible());
    EXPECT_EQ(S.Box.HorzScrollRange(), 400);
}

TEST(ScrollBox, BarsAreDrawnInTheWindow)
{
    TShownBox S(185, 100, 400, 300);
    S.Child->setAutoFillBackground(true);
    QPalette White;
    White.setColor(QPalette::Window, Qt::white);
    S.Child->setPalette(White);
    S.Box.SetColor(clWhite);
    const QImage Shot = S.Box.Widget()->grab().toImage();
    const int Bar = TuiCustomScrollBox::ScrollBarSize();
    // The bottom bar's strip holds pixels other than the white content.
    int Drawn = 0;
    for (int X = 2; X < 185 - 2 - Bar; ++X)
        Drawn += (Shot.pixel(X, 100 - 2 - Bar / 2) & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    EXPECT_GT(Drawn, 0);
    int Content = 0;
    for (int X = 2; X < 185 - 2 - Bar; ++X)
        Content += (Shot.pixel(X, 20) & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
    EXPECT_EQ(Content, 185 - 4 - Bar) << "above the bar the content shows";
}

TEST(ScrollBox, PaneBarsSendTheScrollMessagesToTheSplitter)
{
    TComponent Form;
    auto* Split = new TuiSMultiSplit(&Form);
    Split->SetLayout(TuiCustomMultiSplit::mslVert);
    Split->SetSyncVScroll(true);
    Split->SetBounds(0, 0, 300, 120);
    Split->Widget()->show();
    std::array<TuiScrollingSplitPane*, 2> Panes{};
    for (auto*& Pane : Panes) {
        Pane = new TuiScrollingSplitPane(&Form);
        Pane->SetParent(Split);
        auto* Tall = new QWidget(Pane->Widget());
        Tall->setGeometry(0, 0, 50, 600);
        Tall->show();
    }
    QApplication::processEvents();
    int Asked = 0;
    Panes[0]->OnScrollV = [&](TControl*, int, int&) { ++Asked; };
    ASSERT_TRUE(Panes[0]->VertScrollBar() && Panes[0]->VertScrollBar()->isVisible());
    Panes[0]->VertScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Panes[0]->VertPosition(), 8);
    EXPECT_EQ(Panes[1]->VertPosition(), 8) << "the other pane follows";
    EXPECT_EQ(Panes[1]->VertScrollBar()->value(), 8);
}

} // namespace
} // namespace lp
