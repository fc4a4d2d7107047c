// The appearance texts: the first byte picks the kind (brush, pen,
// gradient, font, shadow, axis), the rest is the text. An accepted text is
// applied to the chart's title or left axis, painted, written and read
// back.

#include "fuzz/FuzzSupport.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotTitles.h"

namespace {

// A text written from an accepted object must be accepted again.
template <class TRead>
void RequireReadBack(const QString& Written, TRead Read)
{
    try {
        Read(Written);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        lp::fuzz::Require(false, "a written appearance text reads back");
    }
}

// Applies Text of the kind to the chart; false when it was refused.
bool Apply(lp::TChart& Chart, int Kind, const QString& Text)
{
    lp::TChartTitle& Title = *Chart.Title();
    switch (Kind) {
    case 0: {
        const auto Brush = lp::BrushSettingsFromText(Text);
        Title.Brush()->Assign(Brush.get());
        RequireReadBack(lp::BrushSettingsToText(*Brush), lp::BrushSettingsFromText);
        break;
    }
    case 1:
        lp::ApplyPenSettingsText(*Title.Pen(), Text);
        RequireReadBack(lp::PenSettingsToText(*Title.Pen()), lp::PenSettingsFromText);
        break;
    case 2:
        lp::ApplyGradientSettingsText(*Title.Gradient(), Text);
        RequireReadBack(lp::GradientSettingsToText(*Title.Gradient()), lp::GradientSettingsFromText);
        break;
    case 3:
        lp::ApplyFontSettingsText(*Title.Font(), Text);
        RequireReadBack(lp::FontSettingsToText(*Title.Font()), lp::FontSettingsFromText);
        break;
    case 4: {
        const auto Shadow = lp::ShadowSettingsFromText(Text);
        Title.Shadow()->Assign(Shadow.get());
        RequireReadBack(lp::ShadowSettingsToText(*Shadow), lp::ShadowSettingsFromText);
        break;
    }
    default:
        lp::AxisSettingsFromText(*Chart.LeftAxis(), Text, true);
        RequireReadBack(lp::AxisSettingsToText(*Chart.LeftAxis()), [&](const QString& Written) {
            lp::AxisSettingsFromText(*Chart.BottomAxis(), Written, true);
        });
        break;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    lp::fuzz::StartApplication();
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    Chart.Title()->Text()->Add(QStringLiteral("Section"));
    Chart.Title()->SetVisible(true);
    bool Applied = false;
    lp::fuzz::Refusable([&] { Applied = Apply(Chart, Data[0] % 6, lp::fuzz::Text(Data + 1, Size - 1)); });
    if (Applied)
        lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    return 0;
}
