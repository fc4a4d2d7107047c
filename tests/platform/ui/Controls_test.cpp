#include "platform/ui/Controls.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// A control that paints a frame and a block, and records what reaches it.
class TProbe : public TControl {
    Q_OBJECT
public:
    using TControl::TControl;
    std::vector<QString> events;
    bool throwOnMouseDown = false;
    int usedKey = 0; // a key the probe uses (clears)

    void Paint(TCanvas& canvas) override
    {
        canvas.Brush().SetColor(clWhite);
        canvas.FillRect(ClientRect());
        canvas.Brush().SetColor(clRed);
        canvas.FillRect({10, 5, 30, 25});
        canvas.Pen().SetColor(clBlue);
        canvas.MoveTo(0, Height() - 1);
        canvas.LineTo(Width(), Height() - 1);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int X, int Y) override
    {
        events.push_back(QStringLiteral("down %1 %2 %3,%4").arg(button).arg(int(shift)).arg(X).arg(Y));
        if (throwOnMouseDown)
            throw EConvertError("The value is not a number");
        TControl::MouseDown(button, shift, X, Y);
    }
    void MouseUp(TMouseButton button, TShiftState shift, int X, int Y) override
    {
        events.push_back(QStringLiteral("up %1 %2,%3").arg(button).arg(X).arg(Y));
        TControl::MouseUp(button, shift, X, Y);
    }
    void Click() override
    {
        events.push_back(QStringLiteral("click"));
        TControl::Click();
    }
    void DblClick() override
    {
        events.push_back(QStringLiteral("dblclick"));
        TControl::DblClick();
    }
    void KeyDown(int& key, TShiftState shift) override
    {
        events.push_back(QStringLiteral("key %1").arg(key));
        TControl::KeyDown(key, shift);
        if (key == usedKey)
            key = 0;
    }
    void Resize() override
    {
        events.push_back(QStringLiteral("resize %1x%2").arg(Width()).arg(Height()));
        TControl::Resize();
    }
};

struct ControlWindow : ::testing::Test {
    TProbe control;
    QWidget* window = nullptr;
    void SetUp() override
    {
        control.SetBounds(0, 0, 60, 40);
        window = control.Widget();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        control.events.clear();
    }
    void TearDown() override
    {
        Application().ShowMessageHook = nullptr;
        Application().OnException = nullptr;
    }
};

TEST_F(ControlWindow, PaintsTheSamePixelsAsIntoABitmap)
{
    TBitmap bitmap(60, 40);
    control.Paint(bitmap.Canvas());
    const QImage direct = bitmap.ToImage();
    const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), direct.size());
    EXPECT_EQ(shown, direct);
}

TEST_F(ControlWindow, MouseEventsReachTheControlInOrder)
{
    QTest::mouseClick(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 7));
    ASSERT_EQ(control.events.size(), 3u);
    EXPECT_EQ(control.events[0], QStringLiteral("down 0 %1 12,7").arg(int(TControl::ssShift | TControl::ssLeft)));
    EXPECT_EQ(control.events[1], "up 0 12,7");
    EXPECT_EQ(control.events[2], "click");
    control.events.clear();
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(3, 4));
    EXPECT_EQ(control.events, (std::vector<QString>{"down 1 16 3,4", "up 1 3,4"})); // no click for the right button
}

TEST_F(ControlWindow, ADoubleClickGivesDblClickThenAPressWithTheDoubleFlag)
{
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_GE(control.events.size(), 2u);
    const auto dbl = std::find(control.events.begin(), control.events.end(), QStringLiteral("dblclick"));
    ASSERT_NE(dbl, control.events.end());
    ASSERT_NE(dbl + 1, control.events.end());
    EXPECT_EQ(*(dbl + 1), QStringLiteral("down 0 %1 5,5").arg(int(TControl::ssLeft | TControl::ssDouble)));
}

TEST_F(ControlWindow, ExceptionsGoToTheApplicationObjectNotTheEventLoop)
{
    QStringList shown;
    Application().ShowMessageHook = [&](const QString& message) { shown << message; };
    control.throwOnMouseDown = true;
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(shown, QStringList{"The value is not a number"});
    control.throwOnMouseDown = false;
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(shown.size(), 1); // the window goes on working
}

// In a dialog: a key the control uses stays with it; the others go on to
// the dialog, whose Escape rejects and whose Return presses the default
// button.
TEST(ControlInADialog, KeysTheControlLeavesReachTheDialog)
{
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Escape, Qt::Key_Return}) {
        SCOPED_TRACE(key);
        QDialog dialog;
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        int okClicks = 0;
        QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
            ++okClicks;
            dialog.accept();
        });
        TProbe probe;
        probe.usedKey = VK_LEFT;
        probe.SetBounds(0, 40, 60, 40);
        QWidget* window = probe.Widget(&dialog);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(dialog.focusWidget(), window);
        QTest::keyPress(window, key);
        QTest::keyRelease(window, key);
        EXPECT_EQ(probe.events.back(), QStringLiteral("key %1").arg(VirtualKeyOf(key)));
        EXPECT_EQ(dialog.isVisible(), key == Qt::Key_Left);
        EXPECT_EQ(okClicks, key == Qt::Key_Return ? 1 : 0);
        if (key == Qt::Key_Escape) {
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        }
    }
}

TEST_F(ControlWindow, KeysAndResize)
{
    window->setFocus();
    QTest::keyClick(window, Qt::Key_Left);
    QTest::keyClick(window, Qt::Key_A);
    EXPECT_EQ(control.events, (std::vector<QString>{"key 37", "key 65"}));
    control.events.clear();
    control.SetBounds(0, 0, 80, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(control.events, (std::vector<QString>{"resize 80x50"}));
    EXPECT_EQ(window->size(), QSize(80, 50));
}

TEST(ControlAlign, FillsOrSidesTheParentAndFollowsItsResizes)
{
    QWidget parent;
    parent.resize(300, 200);
    TProbe control;
    control.SetBounds(10, 10, 50, 40);
    EXPECT_EQ(control.AlignedBounds(300, 200), (TRect{10, 10, 60, 50})); // alNone keeps the bounds
    control.Widget(&parent);
    control.SetAlign(TControl::TAlign::alClient);
    EXPECT_EQ(control.BoundsRect(), (TRect{0, 0, 300, 200}));
    parent.resize(400, 250);
    QCoreApplication::sendPostedEvents();
    parent.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(control.Width(), 400);
    EXPECT_EQ(control.Height(), 250);
    control.SetWidth(120);
    control.SetAlign(TControl::TAlign::alLeft);
    EXPECT_EQ(control.BoundsRect(), (TRect{0, 0, 120, 250}));
    control.SetAlign(TControl::TAlign::alRight);
    EXPECT_EQ(control.BoundsRect(), (TRect{280, 0, 400, 250}));
    control.SetAlign(TControl::TAlign::alBottom);
    EXPECT_EQ(control.AlignedBounds(400, 250), (TRect{0, 0, 400, 250}));
}

TEST_F(ControlWindow, TheWindowCanvasDrawsOutsidePainting)
{
    TCanvas* canvas = control.WindowCanvas();
    ASSERT_NE(canvas, nullptr);
    canvas->Brush().SetColor(clLime);
    canvas->FillRect({40, 20, 50, 30});
    control.UpdateWindow();
    QCoreApplication::processEvents();
    // The overlay shows until the next paint, which paints over it.
    control.Repaint();
    const QImage shown = window->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(45, 25)), QColor(Qt::white));
}

TEST(TControl, WorksWithoutAWindow)
{
    TProbe control;
    control.SetBounds(1, 2, 30, 20);
    EXPECT_FALSE(control.HandleAllocated());
    EXPECT_EQ(control.WindowCanvas(), nullptr);
    control.Invalidate(); // nothing to do, nothing breaks
    EXPECT_EQ(control.events, (std::vector<QString>{"resize 30x20"}));
    EXPECT_EQ(control.ClientRect(), (TRect{0, 0, 30, 20}));
    EXPECT_EQ(control.BoundsRect(), (TRect{1, 2, 31, 22}));
}

TEST(TApplication, CursorsByNumber)
{
    EXPECT_EQ(Application().CursorOf(crHandPoint).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Application().CursorOf(crDefault).shape(), Qt::ArrowCursor);
    Application().RegisterCursor(2020, QCursor(Qt::OpenHandCursor));
    EXPECT_EQ(Application().CursorOf(2020).shape(), Qt::OpenHandCursor);
    Application().UnregisterCursor(2020);
    EXPECT_FALSE(Application().HasCursor(2020));
}

TEST(TApplication, UnknownExceptionsShowTheirText)
{
    QString shown;
    Application().ShowMessageHook = [&](const QString& message) { shown = message; };
    Application().HandleException(std::runtime_error("plain"));
    EXPECT_EQ(shown, "plain");
    Application().OnException = [](const std::exception&) { throw 1; }; // a failing handler
    Application().HandleException(Exception("still shown"));
    EXPECT_EQ(shown, "still shown");
    Application().ShowMessageHook = nullptr;
    Application().OnException = nullptr;
}

TEST(ControlBounds, StoredExtremesAreKeptInTheDrawableRange)
{
    // Bounds read from a damaged file must not reach the drawing code.
    TProbe control;
    control.SetBounds(-2000000000, 2000000000, 2000000000, -7);
    EXPECT_EQ(control.BoundsRect(), (TRect{-MaxControlExtent, MaxControlExtent, 0, MaxControlExtent}));
    control.SetWidth(MaxControlExtent + 1);
    EXPECT_EQ(control.Width(), MaxControlExtent);
    control.SetHeight(480);
    EXPECT_EQ(control.Height(), 480);
}

} // namespace
} // namespace lp

#include "Controls_test.moc"
