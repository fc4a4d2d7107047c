// Rich text: measured and drawn on a chart canvas over a bitmap.

#include "fuzz/FuzzSupport.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRichText.h"
#include "platform/graphics/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    const QString Text = lp::fuzz::Text(Data, Size);
    lp::TBitmap Picture(200, 100);
    lp::TPlotCanvas3D Canvas;
    const lp::TRect Bounds{0, 0, 200, 100};
    lp::ClearHtmlStacks();
    Canvas.SetBufferedDisplay(false);
    Canvas.InitWindow(&Picture.Canvas(), nullptr, lp::clWhite, false, Bounds);
    Canvas.ResetState();
    Canvas.SetProjection(100, Bounds);
    lp::fuzz::Refusable([&] { lp::HtmlTextExtent(Canvas, Text); });
    lp::fuzz::Refusable([&] { lp::HtmlTextOut(Canvas, 5, 5, Text); });
    lp::ClearHtmlStacks();
    return 0;
}
