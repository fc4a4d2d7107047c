#include "components/Splitter.h"

#include "ReferenceImage.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <memory>

namespace lp {
namespace {

using S = TuiCustomMultiSplit;

// A splitter with four plain panes, all owned by one form component.
struct TSplitterForm {
    TComponent Form;
    TuiSMultiSplit* Split = new TuiSMultiSplit(&Form);
    std::array<TuiSplitPane*, 4> Panes{};

    explicit TSplitterForm(int PaneCount = 4)
    {
        for (int i = 0; i < PaneCount; ++i) {
            Panes[static_cast<size_t>(i)] = new TuiSplitPane(&Form);
            Panes[static_cast<size_t>(i)]->SetParent(Split);
        }
    }
    TRect PaneBounds(int i) const { return Panes[static_cast<size_t>(i)]->BoundsRect(); }
    bool PaneVisible(int i) const { return Panes[static_cast<size_t>(i)]->Visible(); }
};

TEST(MultiSplit, NewSplitter_DefaultsAndDerivedValues)
{
    TSplitterForm F;
    EXPECT_EQ(F.Split->Width(), 100);
    EXPECT_EQ(F.Split->Height(), 100);
    EXPECT_EQ(F.Split->Layout(), S::mslFourWay);
    EXPECT_EQ(F.Split->Thickness(), 2);
    EXPECT_EQ(F.Split->KeyIncrement(), 10);
    EXPECT_EQ(F.Split->Inset(), 1);
    F.Split->SetBevelInner(bvLowered);
    F.Split->SetBorderWidth(3);
    EXPECT_EQ(F.Split->Inset(), 5);
    F.Split->SetBevelOuter(bvNone);
    EXPECT_EQ(F.Split->Inset(), 4);
}

TEST(MultiSplit, Thickness2At50_SpansBar48To51)
{
    TSplitterForm F;
    EXPECT_EQ(F.Split->BarSpanH(), std::make_pair(48, 51));
    EXPECT_EQ(F.Split->BarSpanV(), std::make_pair(48, 51));
    // The left pane is 48 - Inset wide, the right one starts at 52.
    EXPECT_EQ(F.PaneBounds(0), (TRect{1, 1, 48, 48}));
    EXPECT_EQ(F.PaneBounds(1), (TRect{52, 1, 99, 48}));
    F.Split->SetThickness(5);
    F.Split->SetSplitHPos(50);
    EXPECT_EQ(F.Split->BarSpanH(), std::make_pair(47, 53));
}

struct TLayoutRow {
    S::TuiMultiSplitLayout Layout;
    std::array<std::optional<TRect>, 4> Panes;
};

TEST(MultiSplit, LayoutTable_PlacesEachPane)
{
    // 100 x 100, Inset 1, bars at 50 (spans 48 … 51): parts left [1, 48),
    // right [52, 99), top [1, 48), bottom [52, 99).
    const TRect Whole{1, 1, 99, 99}, Left{1, 1, 48, 99}, Right{52, 1, 99, 99}, Top{1, 1, 99, 48},
        Bottom{1, 52, 99, 99}, LT{1, 1, 48, 48}, RT{52, 1, 99, 48}, LB{1, 52, 48, 99}, RB{52, 52, 99, 99};
    const std::vector<TLayoutRow> Rows = {
        {S::mslSingle, {Whole, {}, {}, {}}},
        {S::mslVert, {Left, Right, {}, {}}},
        {S::mslHorz, {Top, Bottom, {}, {}}},
        {S::mslLeftTopBottom, {Left, RT, RB, {}}},
        {S::mslRightTopBottom, {LT, Right, LB, {}}},
        {S::mslLeftRightBottom, {LT, RT, Bottom, {}}},
        {S::mslTopLeftRight, {Top, RB, LB, {}}},
        {S::mslFourWay, {LT, RT, RB, LB}},
    };
    for (const TLayoutRow& Row : Rows) {
        TSplitterForm F;
        F.Split->SetLayout(Row.Layout);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "layout " << Row.Layout << " pane " << i);
            const auto& Expected = Row.Panes[static_cast<size_t>(i)];
            EXPECT_EQ(F.PaneVisible(i), Expected.has_value());
            if (Expected) {
                EXPECT_EQ(F.PaneBounds(i), *Expected);
            }
        }
    }
}

TEST(MultiSplit, FewerPanesThanTheLayout_SkipsTheMissing)
{
    TSplitterForm F(2);
    F.Split->SetSplitHPos(30);
    EXPECT_EQ(F.PaneBounds(0), (TRect{1, 1, 28, 48}));
    EXPECT_EQ(F.PaneBounds(1), (TRect{32, 1, 99, 48}));
}

TEST(MultiSplit, ClampRules)
{
    TSplitterForm F;
    S& Split = *F.Split;
    // At least Thickness div 2 + 1 + Inset; at most Width - that (- 1 when
    // the thickness is odd).
    Split.SetSplitHPos(0);
    EXPECT_EQ(Split.SplitHPos(), 3);
    Split.SetSplitHPos(1000);
    EXPECT_EQ(Split.SplitHPos(), 97);
    Split.SetThickness(3);
    Split.SetSplitHPos(1000);
    EXPECT_EQ(Split.SplitHPos(), 96);
    Split.SetThickness(2);
    // Max 0 means no upper limit; a set maximum wins over the width.
    Split.SetSplitHMax(60);
    Split.SetSplitHPos(90);
    EXPECT_EQ(Split.SplitHPos(), 60);
    // A minimum above the maximum is ignored.
    Split.SetSplitHMin(70);
    EXPECT_EQ(Split.SplitHMin(), 0);
    Split.SetSplitHMin(40);
    Split.SetSplitHPos(10);
    EXPECT_EQ(Split.SplitHPos(), 40);
    // Lowering the maximum lowers the position; a maximum below the minimum
    // is ignored; a maximum is capped at the width.
    Split.SetSplitHMax(45);
    Split.SetSplitHPos(45);
    Split.SetSplitHMax(42);
    EXPECT_EQ(Split.SplitHPos(), 42);
    Split.SetSplitHMax(30);
    EXPECT_EQ(Split.SplitHMax(), 42);
    Split.SetSplitHMax(500);
    EXPECT_EQ(Split.SplitHMax(), 100);
    // A single border keeps the bar two more pixels from the far edge.
    Split.SetSplitVPos(1000);
    EXPECT_EQ(Split.SplitVPos(), 97);
    Split.SetBorderStyle(TuiCustomEdgePanel::bsSingle);
    Split.SetSplitVPos(1000);
    EXPECT_EQ(Split.SplitVPos(), 95);
    // Percentages follow, halves to even.
    Split.SetSplitVPercent(25);
    EXPECT_EQ(Split.SplitVPos(), 25);
    EXPECT_EQ(Split.SplitVPercent(), 25);
}

// Regression: a window smaller than its bars, or a minimum above the
// window, gave negative pane sizes.
TEST(MultiSplit, TinyWindowOrMinimumAboveIt_NoNegativeSizes)
{
    TSplitterForm F;
    F.Split->SetSplitHMin(80);
    F.Split->SetSplitVMin(80);
    for (int Size : {60, 7, 3, 1}) {
        F.Split->SetBounds(0, 0, Size, Size);
        EXPECT_GE(F.Split->SplitHPos(), 0);
        for (int i = 0; i < 4; ++i) {
            const TRect R = F.PaneBounds(i);
            EXPECT_GE(R.Right - R.Left, 0) << Size;
            EXPECT_GE(R.Bottom - R.Top, 0) << Size;
            EXPECT_GE(F.Panes[static_cast<size_t>(i)]->Width(), 0);
        }
    }
}

TEST(MultiSplit, Events_RaisedWhenAPositionChanges)
{
    TSplitterForm F;
    int H = 0, V = 0;
    F.Split->OnSplitMoveH = [&](TControl*) { ++H; };
    F.Split->OnSplitMoveV = [&](TControl*) { ++V; };
    F.Split->SetSplitHPos(60);
    F.Split->SetSplitHPos(60);
    F.Split->SetSplitVPos(20);
    EXPECT_EQ(H, 1);
    EXPECT_EQ(V, 1);
}

TEST(MultiSplit, Keys_MoveByIncrementOrToTheEdge)
{
    TSplitterForm F;
    S& Split = *F.Split;
    int Key = VK_RIGHT;
    Split.KeyDown(Key, {});
    EXPECT_EQ(Split.SplitHPos(), 60);
    Key = VK_UP;
    Split.SetKeyIncrement(7);
    Split.KeyDown(Key, {});
    EXPECT_EQ(Split.SplitVPos(), 43);
    Key = VK_RIGHT;
    Split.KeyDown(Key, TShiftState(TControl::ssShift));
    EXPECT_EQ(Split.SplitHPos(), 97); // the right limit
    Key = VK_UP;
    Split.KeyDown(Key, TShiftState(TControl::ssShift));
    EXPECT_EQ(Split.SplitVPos(), 3);
    // Locks and layouts decide which keys the splitter takes.
    Split.SetSplitHLock(true);
    EXPECT_FALSE(Split.WantsKey(VK_LEFT));
    EXPECT_TRUE(Split.WantsKey(VK_DOWN));
    Split.SetSplitHLock(false);
    Split.SetLayout(S::mslVert);
    EXPECT_TRUE(Split.WantsKey(VK_LEFT));
    EXPECT_FALSE(Split.WantsKey(VK_UP));
    Split.SetLayout(S::mslSingle);
    Key = VK_LEFT;
    Split.KeyDown(Key, {});
    EXPECT_EQ(Split.SplitHPos(), 97);
    EXPECT_FALSE(Split.WantsKey(VK_DOWN));
}

TEST(MultiSplit, ScaledResize_KeepsThePercentage)
{
    TSplitterForm F;
    F.Split->SetBounds(0, 0, 200, 100);
    F.Split->SetSplitHPos(50);
    F.Split->SetSplitVPos(40);
    F.Split->SetSplitHScaled(true);
    F.Split->SetBounds(0, 0, 400, 200);
    EXPECT_EQ(F.Split->SplitHPos(), 100);
    EXPECT_EQ(F.Split->SplitVPos(), 40); // not scaled: kept
    EXPECT_EQ(F.PaneBounds(1).Left, 100 + 2);
}

TEST(MultiSplit, MoveImmediate_OnlyUndoesImmediate)
{
    TSplitterForm F;
    F.Split->SetSplitMoveStyle(S::amsLight);
    F.Split->SetMoveImmediate(false);
    EXPECT_EQ(F.Split->SplitMoveStyle(), S::amsLight);
    F.Split->SetMoveImmediate(true);
    EXPECT_EQ(F.Split->SplitMoveStyle(), S::amsImmediate);
    F.Split->SetMoveImmediate(false);
    EXPECT_EQ(F.Split->SplitMoveStyle(), S::amsMedium);
}

TEST(MultiSplit, PaneIndex_MovesOrRaisesTheListError)
{
    TSplitterForm F;
    EXPECT_EQ(F.Panes[2]->PaneIndex(), 2);
    F.Panes[3]->SetPaneIndex(0);
    EXPECT_EQ(F.Panes[3]->PaneIndex(), 0);
    EXPECT_EQ(F.Panes[0]->PaneIndex(), 1);
    EXPECT_EQ(F.PaneBounds(3), (TRect{1, 1, 48, 48}));
    try {
        F.Panes[1]->SetPaneIndex(4);
        FAIL() << "no error";
    } catch (const EListError& Error) {
        EXPECT_STREQ(Error.what(), "4 is an invalid PaneIndex value.  PaneIndex must be between 0 and 3");
    }
    EXPECT_EQ(F.Panes[1]->PaneIndex(), 2);
    EXPECT_THROW(F.Panes[1]->SetPaneIndex(-1), EListError);
    TuiSplitPane Loose;
    EXPECT_EQ(Loose.PaneIndex(), -1);
}

TEST(MultiSplit, Panes_AttachOnlyToASplitterAndDetachWhenEitherGoes)
{
    TSplitterForm F;
    TuiCustomEdgePanel Other;
    EXPECT_THROW(F.Panes[0]->SetParent(&Other), EAbort);
    EXPECT_EQ(F.Panes[0]->Splitter(), F.Split);
    delete F.Panes[1]; // a form frees a pane: it leaves the list
    EXPECT_EQ(F.Split->PaneCount(), 3);
    EXPECT_EQ(F.Panes[2]->PaneIndex(), 1);
    F.Panes[0]->SetParent(nullptr);
    EXPECT_EQ(F.Split->PaneCount(), 2);
    delete F.Split;
    EXPECT_EQ(F.Panes[2]->Splitter(), nullptr);
}

TEST(MultiSplit, Cursors_FollowBarsLayoutAndLocks)
{
    TSplitterForm F;
    S& Split = *F.Split;
    EXPECT_EQ(Split.CursorAt(49, 20), crHSplit);
    EXPECT_EQ(Split.CursorAt(20, 51), crVSplit);
    EXPECT_EQ(Split.CursorAt(50, 50), crSizeFourWay);
    EXPECT_EQ(Split.CursorAt(20, 20), crDefault);
    Split.SetSplitHLock(true);
    EXPECT_EQ(Split.CursorAt(50, 50), crVSplit);
    EXPECT_EQ(Split.CursorAt(49, 20), crDefault);
    Split.SetSplitVLock(true);
    EXPECT_EQ(Split.CursorAt(50, 50), crDefault);
    Split.SetSplitHLock(false);
    Split.SetSplitVLock(false);
    // A partial bar counts only on its own side of the full one.
    Split.SetLayout(S::mslLeftTopBottom);
    EXPECT_EQ(Split.CursorAt(70, 50), crVSplit);
    EXPECT_EQ(Split.CursorAt(20, 50), crDefault);
    EXPECT_EQ(Split.CursorAt(49, 50), crHSplit);
    Split.SetLayout(S::mslSingle);
    EXPECT_EQ(Split.CursorAt(49, 50), crDefault);
}

TEST(MultiSplit, Drag_ShowsBandsThenMovesOnRelease)
{
    TSplitterForm F;
    S& Split = *F.Split;
    Split.MouseDown(mbLeft, {}, 49, 20);
    ASSERT_TRUE(Split.Dragging());
    Split.MouseMove(TShiftState(TControl::ssLeft), 70, 30);
    // Only x moves on the vertical bar; a band of Thickness through x 70
    // over the bar's full height; the panes wait.
    ASSERT_EQ(Split.TrackingBands().size(), 1u);
    EXPECT_EQ(Split.TrackingBands()[0], (TRect{69, 1, 71, 99}));
    EXPECT_EQ(Split.SplitHPos(), 50);
    EXPECT_EQ(F.PaneBounds(0).Right, 48);
    Split.MouseUp(mbLeft, {}, 70, 30);
    EXPECT_FALSE(Split.Dragging());
    EXPECT_TRUE(Split.TrackingBands().empty());
    EXPECT_EQ(Split.SplitHPos(), 70);
    EXPECT_EQ(Split.SplitVPos(), 50);
    EXPECT_EQ(F.PaneBounds(0).Right, 68);

    // The crossing moves both bars, clamped; immediate style moves at once.
    Split.SetMoveImmediate(true);
    Split.MouseDown(mbLeft, {}, 70, 50);
    Split.MouseMove(TShiftState(TControl::ssLeft), 200, 10);
    EXPECT_TRUE(Split.TrackingBands().empty());
    EXPECT_EQ(Split.SplitHPos(), 97);
    EXPECT_EQ(Split.SplitVPos(), 10);
    Split.MouseUp(mbLeft, {}, 200, 10);
}

void Send(QWidget* Window, QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons)
{
    QMouseEvent Event(Type, At, Window->mapToGlobal(At), Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      Buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(Window, &Event);
}

QImage Grab(QWidget* Window)
{
    return Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(MultiSplit, WindowDrag_InvertsTheBandOverThePanes)
{
    TSplitterForm F;
    F.Split->SetBounds(0, 0, 240, 160);
    F.Split->SetSplitHPos(120);
    F.Split->SetSplitVPos(60);
    for (int i = 0; i < 4; ++i)
        F.Panes[static_cast<size_t>(i)]->SetCaption(QStringLiteral("Pane %1").arg(i));
    QWidget* Window = F.Split->Widget();
    Window->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(F.Split->Initialized());
    ASSERT_TRUE(F.Panes[0]->HandleAllocated());
    EXPECT_EQ(F.Panes[0]->Widget()->parentWidget(), Window);

    Send(Window, QEvent::MouseButtonPress, QPoint(119, 100), Qt::LeftButton);
    Send(Window, QEvent::MouseMove, QPoint(160, 100), Qt::LeftButton);
    const QImage During = Grab(Window);
    // Pane 0 is white (clWindow): inverted under the band, untouched beside.
    EXPECT_LT(qGray(During.pixel(160, 10)), 60);
    EXPECT_GT(qGray(During.pixel(150, 10)), 200);
    EXPECT_TRUE(test::MatchesReference(During, QStringLiteral("components"), QStringLiteral("splitter-dragging")));
    Send(Window, QEvent::MouseButtonRelease, QPoint(160, 100), Qt::LeftButton);
    EXPECT_EQ(F.Split->SplitHPos(), 160);
    EXPECT_EQ(F.PaneBounds(1).Left, 162);
    EXPECT_TRUE(test::MatchesReference(Grab(Window), QStringLiteral("components"), QStringLiteral("splitter")));
    // Keys typed into the window move the bars.
    QTest::keyClick(Window, Qt::Key_Left);
    EXPECT_EQ(F.Split->SplitHPos(), 150);
    QTest::keyClick(Window, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(F.Split->SplitVPos(), 157);
}

TEST(MultiSplit, PaintedBars_BevelAndSplitColour)
{
    TSplitterForm F(0);
    F.Split->SetColor(clSilver);
    F.Split->SetSplitColor(clRed);
    TBitmap Bitmap(100, 100);
    F.Split->Paint(Bitmap.Canvas());
    const QImage& Image = Bitmap.Image();
    EXPECT_EQ(FromQColor(Image.pixelColor(48, 20)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FromQColor(Image.pixelColor(51, 20)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(FromQColor(Image.pixelColor(49, 20)), clRed);
    EXPECT_EQ(FromQColor(Image.pixelColor(20, 48)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FromQColor(Image.pixelColor(20, 30)), clSilver);
    F.Split->SetSplitBevel(bvLowered);
    F.Split->Paint(Bitmap.Canvas());
    EXPECT_EQ(FromQColor(Bitmap.Image().pixelColor(48, 20)), ColorToRGB(clBtnShadow));
}

TEST(MultiSplit, LoadedSplitter_LaysOutAfterTheStartupMessage)
{
    TSplitterForm F;
    F.Split->Loading();
    F.Split->SetSplitHPos(30);
    F.Split->Loaded();
    EXPECT_FALSE(F.Split->Initialized());
    QCoreApplication::processEvents();
    EXPECT_TRUE(F.Split->Initialized());
    EXPECT_EQ(F.PaneBounds(0).Right, 28);
}

TEST(MultiSplit, ScrollingPanes_SyncWhenAsked)
{
    TComponent Form;
    auto* Split = new TuiSMultiSplit(&Form);
    std::array<TuiScrollingSplitPane*, 3> Panes{};
    for (auto*& Pane : Panes) {
        Pane = new TuiScrollingSplitPane(&Form);
        Pane->SetParent(Split);
        Pane->SetVertRange(500);
    }
    EXPECT_EQ(Panes[0]->BorderStyle(), TuiCustomEdgePanel::bsNone);
    int Asked = 0;
    Panes[0]->OnScrollV = [&](TControl*, int, int& Position) {
        ++Asked;
        Position = 100; // the handler may change the position
    };
    Panes[0]->Scroll(false, SB_THUMBPOSITION, 40);
    EXPECT_EQ(Panes[0]->VertPosition(), 100);
    EXPECT_EQ(Panes[1]->VertPosition(), 0);
    Split->SetSyncVScroll(true);
    Panes[0]->Scroll(false, SB_THUMBPOSITION, 40);
    EXPECT_EQ(Panes[1]->VertPosition(), 100);
    EXPECT_EQ(Panes[2]->VertPosition(), 100);
    Panes[2]->Scroll(false, SB_LINEDOWN, 0);
    EXPECT_EQ(Panes[1]->VertPosition(), 108);
    EXPECT_EQ(Asked, 3);
    // The wheel scrolls three lines, through the same messages.
    Panes[1]->DoMouseWheel({}, -120, {5, 5});
    EXPECT_EQ(Panes[1]->VertPosition(), 132);
    EXPECT_EQ(Panes[2]->VertPosition(), 132);
    EXPECT_EQ(Asked, 6);
}

TEST(MultiSplit, Cursor_GoesToEveryPane)
{
    TSplitterForm F(2);
    F.Split->SetCursor(crCross);
    EXPECT_EQ(F.Panes[0]->Cursor(), crCross);
    auto* Late = new TuiSplitPane(&F.Form);
    Late->SetParent(F.Split);
    EXPECT_EQ(Late->Cursor(), crCross);
    EXPECT_EQ(F.Split->CursorAt(20, 20), crCross);
}

TEST(MultiSplit, Startup_RegistersPanesAndTheFourWayCursor)
{
    InitializeMultiSplit();
    EXPECT_TRUE(Application().HasCursor(crSizeFourWay));
    const QPixmap Picture = Application().CursorOf(crSizeFourWay).pixmap();
    ASSERT_FALSE(Picture.isNull());
    EXPECT_EQ(Application().CursorOf(crSizeFourWay).hotSpot(), QPoint(16, 16));
    QImage OnGrey(32, 32, QImage::Format_RGB32);
    OnGrey.fill(qRgb(160, 160, 160));
    QPainter(&OnGrey).drawPixmap(0, 0, Picture);
    EXPECT_EQ(OnGrey.pixel(16, 16), qRgb(0, 0, 0));
    EXPECT_EQ(OnGrey.pixel(0, 0), qRgb(160, 160, 160));
    EXPECT_TRUE(test::MatchesReference(OnGrey, QStringLiteral("components"), QStringLiteral("splitter-cursor")));
    FinalizeMultiSplit();
    EXPECT_FALSE(Application().HasCursor(crSizeFourWay));
}

} // namespace
} // namespace lp
