// The 3-D drawing panel: the paint event gets the drawing rectangle and a
// canvas projected over the panel's chart rectangle (3, 4, 3, 4 per cent
// margins) at depth 100, and the after-draw event follows it.

#include "chart/extensions/panels/PlotDraw3D.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(Draw3D, PaintsUserContentOverTheBackgroundThenCallsAfterDraw)
{
    TDraw3D Panel;
    Panel.SetBounds(0, 0, 200, 100);
    Panel.SetColor(clWhite);
    Panel.SetView3D(false);
    QStringList Calls;
    TRect Painted;
    Panel.OnPaint = [&](QObject* Sender, const TRect& R) {
        EXPECT_EQ(Sender, &Panel);
        Calls << QStringLiteral("paint");
        Painted = R;
        TPlotCanvas3D& C = Panel.Canvas();
        C.Brush()->SetColor(clRed);
        C.Brush()->SetStyle(TBrush::bsSolid);
        C.Pen()->SetStyle(TPen::psClear);
        // The rectangle at depth 0 covers the chart rectangle.
        C.RectangleWithZ(Panel.ChartRectangle(), 0);
    };
    Panel.OnAfterDraw = [&](TCustomPlotPanelExtended*) { Calls << QStringLiteral("after"); };
    TBitmap Target(200, 100);
    Panel.DrawToCanvas(&Target.Canvas(), Panel.GetRectangle());
    EXPECT_EQ(Calls, (QStringList{"paint", "after"}));
    EXPECT_EQ(Painted, (TRect{0, 0, 200, 100}));
    EXPECT_EQ(Panel.Depth3D(), 100);
    // Margins 3, 4, 3, 4 per cent (and the frame): about (6, 4) to (194, 96).
    EXPECT_NEAR(Panel.ChartRectangle().Left, 6, 1);
    EXPECT_NEAR(Panel.ChartRectangle().Top, 4, 1);
    EXPECT_NEAR(Panel.ChartRectangle().Right, 194, 1);
    EXPECT_NEAR(Panel.ChartRectangle().Bottom, 96, 1);
    const QImage Image = Target.ToImage();
    EXPECT_EQ(QColor(Image.pixel(100, 50)), QColor(Qt::red));
    EXPECT_EQ(QColor(Image.pixel(2, 1)), QColor(Qt::white));
}

} // namespace
} // namespace lp
