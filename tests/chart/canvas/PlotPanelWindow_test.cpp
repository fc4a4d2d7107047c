#include "chart/canvas/PlotPanelExtended.h"

#include "chart/canvas/PlotEffects.h"

#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// A panel that paints its background with a gradient and a frame, and a
// block where its chart rectangle is.
class TWindowPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
public:
    using TCustomPlotPanelExtended::TCustomPlotPanelExtended;

protected:
    void InternalDraw(const TRect& UserRectangle) override
    {
        TCustomPlotPanelExtended::InternalDraw(UserRectangle);
        TPlotCanvas3D& canvas = Canvas();
        canvas.Brush()->SetColor(clRed);
        canvas.Brush()->SetStyle(bsSolid);
        canvas.FillRect(ChartRectangle());
    }
};

// Records the mouse events a panel broadcasts; can fail on demand.
struct TRecordingListener : IPlotEventListener {
    std::vector<int> kinds;
    bool fail = false;
    void PlotEvent(TPlotEvent& Event) override
    {
        if (auto* mouse = dynamic_cast<TPlotMouseEvent*>(&Event)) {
            kinds.push_back(mouse->Event);
            if (fail)
                throw EInvalidOperation("The tool cannot work here");
        }
    }
};

struct PanelWindow : ::testing::Test {
    TWindowPanel panel;
    TRecordingListener listener;
    QWidget* window = nullptr;

    void SetUp() override
    {
        panel.Gradient()->SetVisible(true);
        panel.Gradient()->SetStartColor(clWhite);
        panel.Gradient()->SetEndColor(clBlue);
        panel.Border()->SetVisible(true);
        panel.SetBounds(0, 0, 200, 120);
        panel.Listeners().Add(&listener);
        window = panel.Widget();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override
    {
        panel.RemoveListener(&listener);
        Application().ShowMessageHook = nullptr;
    }
};

TEST_F(PanelWindow, PaintsWhatItDrawsIntoABitmap)
{
    window->repaint();
    const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::unique_ptr<TBitmap> bitmap = panel.CreateBitmap(clWhite, panel.ClientRect());
    ASSERT_EQ(shown.size(), bitmap->ToImage().size());
    EXPECT_EQ(shown, bitmap->ToImage());
    EXPECT_EQ(QColor(shown.pixel(100, 60)), QColor(Qt::red)); // the chart rectangle
}

TEST_F(PanelWindow, AClickReachesTheListeners)
{
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 40));
    ASSERT_GE(listener.kinds.size(), 2u);
    EXPECT_EQ(listener.kinds.front(), TPlotMouseEvent::meDown);
    EXPECT_EQ(listener.kinds.back(), TPlotMouseEvent::meUp);
}

TEST_F(PanelWindow, AnErrorInAHandlerIsShownAndStaysInside)
{
    QStringList shown;
    Application().ShowMessageHook = [&](const QString& message) { shown << message; };
    listener.fail = true;
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(20, 20));
    listener.fail = false;
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.front(), "The tool cannot work here");
    listener.kinds.clear();
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(listener.kinds.empty()); // the window goes on working
}

} // namespace
} // namespace lp

#include "PlotPanelWindow_test.moc"
