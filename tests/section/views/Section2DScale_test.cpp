#include "section/views/Section2D.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRichText.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(MeshColourScale, LinearValuesMapFromBlueAtTheTopToRedAtTheBottom)
{
    TTModelSection2d chart;
    const std::pair<double, int> cases[] = {{10, 0}, {0, 250}, {5, 125}, {12, 0}, {-3, 250}};
    for (auto [value, index] : cases)
        EXPECT_EQ(chart.ValueToPaletteIndex(value), index) << value;
    EXPECT_EQ(chart.ValueToColor(10), clBlue);
    EXPECT_EQ(chart.ValueToColor(0), clRed);
    // 0.02 of the scale is 0.5 steps: halves go to the even index.
    EXPECT_EQ(chart.ValueToPaletteIndex(10 - 0.02), 0);
    EXPECT_EQ(chart.ValueToPaletteIndex(10 - 0.06), 2);
}

TEST(MeshColourScale, LogarithmicAndSymmetricModes)
{
    TTModelSection2d chart;
    chart.ScaleMode = 1;
    chart.ScaleMin = 1;
    chart.ScaleMax = 1000;
    EXPECT_EQ(chart.ValueToPaletteIndex(10), 167);
    EXPECT_EQ(chart.ValueToPaletteIndex(1), 250);

    chart.ScaleMode = 2;
    chart.ScaleMin = -500;
    chart.ScaleMax = 2000;
    chart.ComputeSymLogConstant();
    EXPECT_DOUBLE_EQ(chart.SymLogConstant, 10);
    EXPECT_EQ(chart.ValueToPaletteIndex(0), 144);

    chart.ScaleMin = chart.ScaleMax = 0;
    chart.ComputeSymLogConstant();
    EXPECT_DOUBLE_EQ(chart.SymLogConstant, 1e-103);
}

TEST(MeshColourScale, ALogarithmicScaleWithoutPositiveMinimumBecomesSymmetric)
{
    TTModelSection2d chart;
    chart.ScaleMode = 1;  // limits 0..10, constant never computed
    const int index = chart.ValueToPaletteIndex(0.5);
    EXPECT_EQ(chart.ScaleMode, 2);
    EXPECT_GT(chart.SymLogConstant, 0);
    EXPECT_GE(index, 0);
    EXPECT_LE(index, 250);
    EXPECT_EQ(chart.ValueToPaletteIndex(0), 250);
    EXPECT_EQ(chart.ValueToPaletteIndex(10), 0);
    chart.ScaleMode = 1;
    EXPECT_TRUE(std::isfinite(chart.ColorScalePercent(0, 10)));
    EXPECT_EQ(chart.ScaleMode, 2);
}

// Equal limits an owner set widen around their value before a colour is
// taken, so no colour divides by an empty span or leaves the palette.
TEST(MeshColourScale, EqualLimitsNeitherDivideByZeroNorLeaveThePalette)
{
    TTModelSection2d chart;
    for (int mode : {0, 1, 2}) {
        chart.ScaleMode = static_cast<uint8_t>(mode);
        chart.ScaleMin = chart.ScaleMax = 4;
        chart.ComputeSymLogConstant();
        const int index = chart.ValueToPaletteIndex(4);
        EXPECT_DOUBLE_EQ(chart.ScaleMin, 0.4) << mode;
        EXPECT_DOUBLE_EQ(chart.ScaleMax, 40) << mode;
        EXPECT_GT(index, 0) << mode;
        EXPECT_LT(index, chart.ColorCount) << mode;
        EXPECT_EQ(chart.ValueToPaletteIndex(-1), chart.ColorCount) << mode;
        EXPECT_GT(chart.ColorScalePercent(1, 9), 0) << mode;
        EXPECT_LT(chart.ColorScalePercent(1, 9), 100) << mode;
    }
}

TEST(MeshColourScale, PercentOfTheScaleBetweenTwoValues)
{
    TTModelSection2d chart;
    EXPECT_DOUBLE_EQ(chart.ColorScalePercent(2, 7), 50);
    EXPECT_DOUBLE_EQ(chart.ColorScalePercent(-5, 20), 100);
    chart.ScaleMode = 1;
    chart.ScaleMin = 1;
    chart.ScaleMax = 100;
    EXPECT_DOUBLE_EQ(chart.ColorScalePercent(10, 100), 50);
}

TEST(MeshCursorMarker, PlaceAndColourOnTheBar)
{
    TTModelSection2d chart;
    chart.SetChartRectangle({25, 1, 713, 304});
    const auto place = chart.CursorMarkerPlace(5);
    EXPECT_EQ(place.Y, 304 - 152);  // round(0.5 * 303) = 152 (151.5 to even)
    EXPECT_FALSE(place.AtEnd);
    EXPECT_TRUE(chart.CursorMarkerPlace(12).AtEnd);
    EXPECT_EQ(chart.CursorMarkerPlace(12).Y1, 1);
    EXPECT_TRUE(chart.CursorMarkerPlace(0).AtEnd);
    EXPECT_EQ(chart.CursorMarkerPlace(0).Y, 304);
    EXPECT_FALSE(chart.CursorMarkerPlace(0.1).AtEnd);
}

TEST(MeshCursorMarker, ReadoutTexts)
{
    EXPECT_EQ(TTModelSection2d::CursorReadout(3.5), QStringLiteral("3.5"));
    EXPECT_EQ(TTModelSection2d::CursorReadout(0.05), QStringLiteral("0.05"));
    EXPECT_EQ(TTModelSection2d::CursorReadout(12.3), QStringLiteral("12"));
    EXPECT_EQ(TTModelSection2d::CursorReadout(0), QStringLiteral("0.0"));
}

TEST(MeshCursorMarker, BarPixelsGiveValuesAndAFlatBarLeavesTheCursor)
{
    TTModelSection2d chart;
    int changes = 0;
    chart.OnAfterChangeCB = [&](QObject*) { ++changes; };
    chart.SetChartRectangle({25, 0, 713, 100});
    chart.CursorFromBarPixel(25);
    EXPECT_DOUBLE_EQ(chart.CursorValue, 7.5);
    EXPECT_EQ(changes, 1);
    chart.ScaleMode = 1;
    chart.ScaleMin = 1;
    chart.ScaleMax = 100;
    chart.CursorFromBarPixel(50);
    EXPECT_NEAR(chart.CursorValue, 10, 1e-9);
    chart.SetChartRectangle({25, 40, 713, 40});
    chart.CursorFromBarPixel(40);
    EXPECT_NEAR(chart.CursorValue, 10, 1e-9);
    EXPECT_EQ(changes, 2);
}

// A 2-D pass of the chart canvas onto a recording device.
struct TRecordedPass {
    TRecordedPass()
    {
        ClearHtmlStacks();
        Plot.SetBufferedDisplay(false);
        Plot.InitWindow(&Canvas, nullptr, clWhite, false, {0, 0, 800, 400});
        Plot.ResetState();
        Plot.SetProjection(100, {0, 0, 800, 400});
        DC.ClearCalls();
    }
    TRecordingDC DC{800, 400};
    TCanvas Canvas{&DC};
    TPlotCanvas3D Plot;
};

// The label texts and their y positions, in drawing order.
std::vector<std::pair<QString, int>> Labels(const TRecordingDC& DC)
{
    std::vector<std::pair<QString, int>> labels;
    for (const QString& call : DC.CallsStartingWith(QStringLiteral("TextOut"))) {
        const QStringList parts = call.mid(8).chopped(1).split(QLatin1Char(','));
        labels.push_back({parts.mid(2).join(QLatin1Char(',')).remove(QLatin1Char('"')), parts[1].toInt()});
    }
    return labels;
}

TEST(ValueScaleDrawing, VerticalScalesKeepBothEndLabelsAndPutTheMaximumOnTop)
{
    TRecordedPass pass;
    pass.Plot.Font()->SetSize(7);
    DrawValueScale(pass.Plot, 1, false, 0, 0, 10, 100, 20, 250, 1.0, QString(), QString(), true);
    const auto labels = Labels(pass.DC);
    ASSERT_GE(labels.size(), 3u);
    EXPECT_EQ(labels.front().first.toDouble(), 10);
    EXPECT_EQ(labels.back().first.toDouble(), 0);
    EXPECT_LT(labels.front().second, labels.back().second);
    // A scale no taller than three labels shows one, the middle value.
    pass.DC.ClearCalls();
    DrawValueScale(pass.Plot, 1, false, 0, 0, 10, 100, 20, 12, 1.0, QString(), QString(), true);
    ASSERT_EQ(Labels(pass.DC).size(), 1u);
    EXPECT_EQ(Labels(pass.DC)[0].first, QStringLiteral("5"));
    // Other orientations draw nothing.
    pass.DC.ClearCalls();
    DrawValueScale(pass.Plot, 2, false, 0, 0, 10, 100, 20, 250, 1.0, QString(), QString(), true);
    EXPECT_TRUE(pass.DC.Calls().isEmpty());
}

TEST(ValueScaleDrawing, HorizontalScalesLeaveOutLabelsThatDoNotFitEndsIncluded)
{
    TRecordedPass pass;
    DrawValueScale(pass.Plot, 0, true, 0, 0, 10, 50, 100, 400, 1.0, QString(), QString(), false);
    const auto labels = Labels(pass.DC);
    ASSERT_FALSE(labels.empty());
    // The first tick sits on the scale's start: its label would reach
    // past it.
    EXPECT_NE(labels.front().first.toDouble(), 0);
    EXPECT_NE(labels.back().first.toDouble(), 10);
}

TEST(MeshColourBar, DrawsGradientScaleMarkerAndGreekUnitsLabel)
{
    TTModelSection2d chart;
    chart.SetChartRectangle({25, 20, 713, 270});
    int changes = 0;
    chart.OnAfterChangeCB = [&](QObject*) { ++changes; };
    TRecordedPass pass;
    chart.DrawColorBar(723, 20, 15, 250, pass.Plot);
    const QStringList texts = pass.DC.CallsStartingWith(QStringLiteral("TextOut"));
    const QString all = texts.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QString::fromUtf8("ρ"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("10"))) << all.toStdString();
    // The readout of the default cursor value 1.0.
    EXPECT_TRUE(all.contains(QStringLiteral("1.0"))) << all.toStdString();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pass.DC.CallsStartingWith(QStringLiteral("Polygon")).size(), 1);

    chart.ScaleMode = 1;
    chart.DrawColorBar(723, 20, 15, 250, pass.Plot);
    EXPECT_EQ(chart.ScaleMode, 2);
    chart.ShowColorBar = false;
    pass.DC.ClearCalls();
    chart.DrawColorBar(723, 20, 15, 250, pass.Plot);
    EXPECT_TRUE(pass.DC.Calls().isEmpty());
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace lp
