// The series band tool: the band's outline from two series of different
// lengths, drawn once per paint behind or in front of both series, no band
// without visible points, the series' draw events given back, and a
// picture.

#include "chart/extensions/tools/PlotSeriesBandTool.h"

#include "ToolsTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A line series that notes in a shared log when it draws its values.
class TLoggingLine : public TLineSeries {
public:
    TLoggingLine(TComponent* AOwner, QStringList& Log, const QString& Name) : TLineSeries(AOwner), FLog(Log), FName(Name) {}
    void DrawAllValues() override
    {
        FLog << FName;
        TLineSeries::DrawAllValues();
    }

private:
    QStringList& FLog;
    QString FName;
};

class TLoggingBand : public TSeriesBandTool {
public:
    TLoggingBand(TComponent* AOwner, QStringList& Log) : TSeriesBandTool(AOwner), FLog(Log) {}
    void DrawBand() override
    {
        FLog << QStringLiteral("band");
        TSeriesBandTool::DrawBand();
    }

private:
    QStringList& FLog;
};

struct TBandChart : test::TToolChart {
    TBandChart()
    {
        Upper = new TLoggingLine(&Chart, Log, QStringLiteral("upper"));
        Lower = new TLoggingLine(&Chart, Log, QStringLiteral("lower"));
        Chart.AddSeries(Upper);
        Chart.AddSeries(Lower);
        for (const auto& [X, Y] : {std::pair{10.0, 60.0}, {40.0, 80.0}, {70.0, 70.0}, {90.0, 90.0}})
            Upper->AddXY(X, Y);
        for (const auto& [X, Y] : {std::pair{20.0, 20.0}, {50.0, 40.0}, {80.0, 30.0}})
            Lower->AddXY(X, Y);
        Band = new TLoggingBand(&Chart, Log);
        Chart.Tools().Add(Band);
        Band->Brush()->SetColor(clYellow);
        Band->SetSeries(Upper);
        Band->SetSeries2(Lower);
    }
    QStringList PaintLog()
    {
        Log.clear();
        Picture();
        return Log;
    }
    QStringList Log;
    TLineSeries* Upper = nullptr;
    TLineSeries* Lower = nullptr;
    TSeriesBandTool* Band = nullptr;
};

TEST(SeriesBandTool, OutlineRunsAlongTheFirstSeriesAndBackAlongTheSecond)
{
    TBandChart F;
    F.Picture();
    const TPointArray Points = F.Band->BandPoints();
    const std::vector<TPoint> Expected = {F.Pixel(10, 60), F.Pixel(40, 80), F.Pixel(70, 70), F.Pixel(90, 90),
                                          F.Pixel(80, 30), F.Pixel(50, 40), F.Pixel(20, 20)};
    ASSERT_EQ(Points.Length(), static_cast<int>(Expected.size()));
    for (int I = 0; I < Points.Length(); ++I)
        EXPECT_EQ(Points[I], Expected[static_cast<size_t>(I)]) << I;
}

TEST(SeriesBandTool, DrawsOncePerPaintBehindOrInFront)
{
    TBandChart F;
    EXPECT_EQ(F.PaintLog(), (QStringList{"band", "upper", "lower"}));
    EXPECT_EQ(F.PaintLog(), (QStringList{"band", "upper", "lower"}));
    F.Band->SetDrawBehindSeries(false);
    EXPECT_EQ(F.PaintLog(), (QStringList{"upper", "lower", "band"}));
    // The band's fill shows between the series, over or under their lines.
    const QImage Picture = F.Picture();
    const TPoint Inside = F.Pixel(50, 55);
    EXPECT_EQ(QColor(Picture.pixel(Inside.X, Inside.Y)), QColor(255, 255, 0));
    const TPoint Outside = F.Pixel(50, 95);
    EXPECT_NE(QColor(Picture.pixel(Outside.X, Outside.Y)), QColor(255, 255, 0));
}

TEST(SeriesBandTool, NoBandWithoutVisiblePoints)
{
    TBandChart F;
    const QImage WithBand = F.Picture();
    F.Lower->Clear();
    F.Picture();
    EXPECT_EQ(F.Band->BandPoints().Length(), 0);
    F.Band->SetActive(false);
    const QImage Plain = F.Picture();
    F.Band->SetActive(true);
    EXPECT_EQ(F.Picture(), Plain);
    EXPECT_NE(WithBand, Plain);
}

TEST(SeriesBandTool, HandsTheDrawEventsBackAndForgetsFreedSeries)
{
    TBandChart F;
    EXPECT_TRUE(F.Upper->BeforeDrawValues && F.Lower->AfterDrawValues);
    // Both edges on the same series, then one moved away: the other keeps
    // its hooks.
    F.Band->SetSeries2(F.Upper);
    EXPECT_FALSE(F.Lower->BeforeDrawValues);
    F.Band->SetSeries(F.Lower);
    EXPECT_TRUE(F.Upper->BeforeDrawValues && F.Lower->BeforeDrawValues);
    delete F.Upper;
    EXPECT_EQ(F.Band->Series2(), nullptr);
    EXPECT_EQ(F.Band->Series(), F.Lower);
    F.Picture();
    delete F.Band;
    EXPECT_FALSE(F.Lower->BeforeDrawValues || F.Lower->AfterDrawValues);
    F.Picture();
}

TEST(SeriesBandTool, Picture)
{
    TBandChart F;
    F.Band->Pen()->SetVisible(true);
    F.Band->Pen()->SetColor(clNavy);
    F.Band->Gradient()->SetVisible(true);
    F.Band->Gradient()->SetStartColor(clAqua);
    F.Band->Gradient()->SetEndColor(clBlue);
    F.Band->SetTransparency(30);
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "series-band"));
}

} // namespace
} // namespace lp
