// Every circular series type: its registration (description, gallery page,
// preview count, editor) and a reference picture of each.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotPolarSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/circular/PlotSmithSeries.h"
#include "platform/core/DateTimeFormat.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <memory>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TRegistration {
    const QMetaObject* Class;
    const char* Description;
    const char* Page;
    int GallerySeries;
    const char* Editor;
};

TEST(CircularSeries, EachTypeIsRegisteredWithItsPageAndEditor)
{
    const TRegistration Table[] = {
        {&TPolarSeries::staticMetaObject, "Polar", "Extended", 2, "TPolarSeriesEditor"},
        {&TRadarSeries::staticMetaObject, "Radar", "Extended", 2, "TPolarSeriesEditor"},
        {&TPolarBarSeries::staticMetaObject, "Polar Bar", "Extended", 2, "TPolarSeriesEditor"},
        {&TWindRoseSeries::staticMetaObject, "Wind Rose", "Other", 1, "TWindRoseEditor"},
        {&TClockSeries::staticMetaObject, "Clock", "Other", 1, "TClockEditor"},
        {&TSmithSeries::staticMetaObject, "Smith", "Extended", 2, "TSmithSeriesEdit"},
        {&TGaugeSeries::staticMetaObject, "Gauge", "Extended", 1, "TGaugeSeriesEditor"},
        {&TBar3DSeries::staticMetaObject, "Bar 3D", "Other", 1, "TBarSeriesEditor"},
        {&TDonutSeries::staticMetaObject, "Donut", "Extended", 1, "TDonutSeriesEditor"},
    };
    for (const TRegistration& R : Table) {
        const TPlotSeriesType* Type = PlotSeriesTypes()->Find(R.Class);
        ASSERT_NE(Type, nullptr) << R.Class->className();
        EXPECT_EQ(Type->DescriptionText(), R.Description);
        EXPECT_EQ(Type->GalleryPageText(), R.Page) << R.Description;
        EXPECT_EQ(Type->NumGallerySeries, R.GallerySeries) << R.Description;
        TChart Chart;
        std::unique_ptr<TChartSeries> Series(CreateNewSeries(nullptr, &Chart, R.Class, nullptr));
        EXPECT_EQ(Series->GetEditorClassName(), R.Editor) << R.Description;
        // The gallery's own preparation runs on a chart with sample points.
        Series->FillSampleValues();
        Series->PrepareForGallery(true);
        EXPECT_GT(Series->Count(), 0) << R.Description;
    }
}

// --- Reference pictures -------------------------------------------------------------------------

struct TPictureChart : test::TCircularChart {
    TPictureChart() : TCircularChart(300) {}
    ::testing::AssertionResult Matches(const char* Name)
    {
        return test::MatchesReference(Picture(), QStringLiteral("circular"), QString::fromLatin1(Name));
    }
};

TEST(CircularPicture, PolarFilledWithLabels)
{
    TPictureChart C;
    auto* S = C.Add<TPolarSeries>();
    S->SetSeriesColor(clBlue);
    S->Brush()->SetStyle(TBrush::bsSolid);
    S->SetTransparency(40);
    S->SetCircleLabels(true);
    S->SetAngleIncrement(45);
    const double Radii[] = {40, 80, 55, 95, 30, 70, 60, 85};
    for (int I = 0; I < 8; ++I)
        S->AddXY(I * 45, Radii[I]);
    C.Chart.LeftAxis()->SetMinMax(0, 100);
    EXPECT_TRUE(C.Matches("polar-filled-labels"));
}

TEST(CircularPicture, RadarOfTwoSeries)
{
    TPictureChart C;
    const char* Names[] = {"Cars", "Phones", "Tables", "Monitors", "Lamps", "Chairs"};
    auto* A = C.Add<TRadarSeries>();
    auto* B = C.Add<TRadarSeries>();
    A->SetSeriesColor(clRed);
    B->SetSeriesColor(clGreen);
    A->SetCircleLabels(true);
    for (int I = 0; I < 6; ++I)
        A->Add(30 + (I * 37) % 60, QString::fromLatin1(Names[I]));
    for (int I = 0; I < 4; ++I)
        B->Add(20 + I * 15);
    EXPECT_TRUE(C.Matches("radar"));
}

TEST(CircularPicture, PolarBars)
{
    TPictureChart C;
    auto* S = C.Add<TPolarBarSeries>();
    S->SetColorEachPoint(true);
    S->Pointer()->SetVisible(false);
    S->Pen()->SetWidth(3);
    for (int I = 0; I < 12; ++I)
        S->AddXY(I * 30, 20 + (I * 53) % 80);
    EXPECT_TRUE(C.Matches("polar-bar"));
}

TEST(CircularPicture, WindRose)
{
    TPictureChart C;
    auto* S = C.Add<TWindRoseSeries>();
    S->SetSeriesColor(clNavy);
    S->SetAngleIncrement(45);
    for (int I = 0; I < 8; ++I)
        S->AddXY(I * 45, 10 + (I * 29) % 40);
    EXPECT_TRUE(C.Matches("wind-rose"));
}

TEST(CircularPicture, ClockAtAFixedTime)
{
    TPictureChart C;
    auto* S = C.Add<TClockSeries>();
    S->OnGetTime = [](TClockSeries*, double& Time) { Time = EncodeDateTime(2024, 5, 6, 10, 8, 30, 0); };
    S->SetSeriesColor(clYellow);
    S->PenSeconds()->SetColor(clRed);
    EXPECT_TRUE(C.Matches("clock"));
}

TEST(CircularPicture, SmithChart)
{
    TPictureChart C;
    auto* S = C.Add<TSmithSeries>();
    S->SetSeriesColor(clRed);
    const double Points[][2] = {{0.2, 0.5}, {0.5, 1}, {1, 0.8}, {2, 0.3}, {3, -0.5}, {1, -1.5}};
    for (const auto& P : Points)
        S->AddXY(P[0], P[1]);
    EXPECT_TRUE(C.Matches("smith"));
}

TEST(CircularPicture, GaugeWithLineAndTriangleHands)
{
    for (const THandStyle Style : {hsLine, hsTriangle}) {
        TPictureChart C;
        auto* S = C.Add<TGaugeSeries>();
        S->SetTotalAngle(270);
        S->SetRotationAngle(315);
        S->SetHandStyle(Style);
        S->SetHandDistance(20);
        S->Pen()->SetColor(clRed);
        S->Pen()->SetWidth(2);
        S->SetValue(62);
        S->EndPoint()->SetVisible(true);
        // The triangle drawn plainly; the line keeps the inverting pen.
        S->SetFullRepaint(Style == hsTriangle);
        C.Chart.LeftAxis()->SetIncrement(10);
        EXPECT_TRUE(C.Matches(Style == hsLine ? "gauge-line" : "gauge-triangle"));
    }
}

TEST(CircularPicture, Donut)
{
    TPictureChart C;
    auto* S = C.Add<TDonutSeries>();
    const double Values[] = {30, 20, 15, 25, 10};
    for (const double V : Values)
        S->Add(V);
    EXPECT_TRUE(C.Matches("donut"));
}

TEST(CircularPicture, OffsetBarsIn3D)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    auto* S = new TBar3DSeries(&Chart);
    Chart.AddSeries(S);
    S->SetColorEachPoint(true);
    const double Bars[][2] = {{40, 10}, {25, 5}, {60, 30}, {35, 20}, {50, 0}};
    for (int I = 0; I < 5; ++I)
        S->AddBar(I, Bars[I][0], Bars[I][1]);
    const QImage Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
    EXPECT_TRUE(test::MatchesReference(Picture, QStringLiteral("circular"), QStringLiteral("bars3d")));
}

} // namespace
} // namespace lp
