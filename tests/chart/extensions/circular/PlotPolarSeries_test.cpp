// Polar, radar and polar bar series: positions by angle and radius (the
// centre for what lies outside the range), the increments on the axes, the
// labels, the frame drawn once per class, the radar's polygon, clicks on
// points, sectors and segments, and the stored radius list.

#include "chart/extensions/circular/PlotPolarSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"
#include "tests/chart/engine/TextBoxRecorder.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CallsNamed;
using test::TCircularChart;

TEST(PolarSeries, IncrementsLiveOnTheAxes)
{
    TPolarSeries Loose;
    EXPECT_EQ(Loose.AngleIncrement(), 10);
    EXPECT_EQ(Loose.RadiusIncrement(), 0);
    Loose.SetAngleIncrement(45);
    Loose.SetRadiusIncrement(5);
    EXPECT_EQ(Loose.AngleIncrement(), 10);
    EXPECT_EQ(Loose.RadiusIncrement(), 0);

    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    EXPECT_EQ(S->AngleIncrement(), 10);
    S->SetAngleIncrement(45);
    S->SetRadiusIncrement(5);
    EXPECT_EQ(C.Chart.BottomAxis()->Increment(), 45);
    EXPECT_EQ(C.Chart.LeftAxis()->Increment(), 5);
    EXPECT_EQ(S->AngleIncrement(), 45);
    EXPECT_EQ(S->RadiusIncrement(), 5);
}

TEST(PolarSeries, PointsLieAtTheirAngleAndRadius)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    S->AddXY(0, 0);
    S->AddXY(90, 100);
    S->AddXY(180, 50);
    C.Paint();
    const int CX = S->CircleXCenter();
    const int CY = S->CircleYCenter();
    // The smallest radius is the axis minimum: the centre.
    EXPECT_EQ(S->PointPosition(0), (TPoint{CX, CY}));
    EXPECT_EQ(S->PointPosition(1), (TPoint{CX, CY - S->YRadius()}));
    EXPECT_EQ(S->PointPosition(2), (TPoint{CX - RoundToInt32(S->XRadius() / 2.0), CY}));
    S->SetRotationAngle(90);
    EXPECT_EQ(S->PointPosition(1), (TPoint{CX - S->XRadius(), CY}));

    // A radius below a fixed minimum goes to the centre too.
    C.Chart.LeftAxis()->SetMinMax(60, 100);
    C.Paint();
    EXPECT_EQ(S->PointPosition(2), (TPoint{S->CircleXCenter(), S->CircleYCenter()}));
}

TEST(PolarSeries, EmptyRangesPutPointsAtTheCentre)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    S->AddXY(30, 7);
    S->AddXY(60, 7);
    C.Paint();
    const TPoint Centre{S->CircleXCenter(), S->CircleYCenter()};
    EXPECT_EQ(S->PointPosition(1), Centre);

    // A logarithmic radius axis from 0 to 1 has no logarithmic span: the
    // point goes to the centre instead of dividing by zero.
    S->YValues()->SetValue(0, 0);
    S->YValues()->SetValue(1, 1);
    C.Chart.LeftAxis()->SetLogarithmic(true);
    C.Paint();
    EXPECT_EQ(S->PointPosition(1), Centre);
    // With a positive minimum the radius takes its place on the scale.
    S->YValues()->SetValue(0, 1);
    S->YValues()->SetValue(1, 100);
    S->AddXY(90, 10);
    C.Paint();
    int X = 0;
    int Y = 0;
    S->AngleToPos(60 * std::numbers::pi / 180, S->XRadius(), S->YRadius(), X, Y);
    EXPECT_EQ(S->PointPosition(1), (TPoint{X, Y}));
    EXPECT_EQ(S->PointPosition(2).Y, S->CircleYCenter() - RoundToInt32(S->YRadius() / 2.0));
}

TEST(PolarSeries, AngleLabelsCarryTheDegreeSign)
{
    TPolarSeries S;
    EXPECT_EQ(S.GetCircleLabel(0, 90), QStringLiteral("90\u00B0"));
    EXPECT_EQ(S.GetCircleLabel(0, 22.5), QStringLiteral("22.5\u00B0"));
    EXPECT_EQ(S.GetCircleLabel(0, 360), QStringLiteral("0\u00B0"));
    S.SetClockWiseLabels(true);
    EXPECT_EQ(S.GetCircleLabel(0, 0), QStringLiteral("0\u00B0"));
    EXPECT_EQ(S.GetCircleLabel(3, 90), QStringLiteral("270\u00B0"));

    TRadarSeries R;
    R.Add(5, QStringLiteral("Cars"));
    R.Add(6);
    R.Add(7);
    EXPECT_EQ(R.GetCircleLabel(0, 0), QStringLiteral("Cars"));
    EXPECT_EQ(R.GetCircleLabel(1, 0), QStringLiteral("1"));
    R.SetClockWiseLabels(true);
    EXPECT_EQ(R.GetCircleLabel(2, 0), QStringLiteral("Cars"));
}

TEST(PolarSeries, LabelsAroundTheCircleFollowThePlacementRules)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    S->AddXY(0, 1);
    S->AddXY(90, 2);
    S->SetAngleIncrement(90);
    C.Paint();
    const int PlainHeight = S->CircleRect().Height();
    S->SetCircleLabels(true);
    const QStringList Calls = C.Paint();
    const QStringList Texts = CallsNamed(Calls, QStringLiteral("TextOut")).filter(QStringLiteral("\u00B0"));
    ASSERT_EQ(Texts.size(), 4) << Calls.join('\n').toStdString();
    // Room for the labels was taken off the chart before the circle.
    EXPECT_LT(S->CircleRect().Height(), PlainHeight);
    const int CX = S->CircleXCenter();
    // 90 degrees: centred above the circle; 270: centred below it.
    EXPECT_TRUE(Texts[1].startsWith(QStringLiteral("TextOut(%1,").arg(CX))) << Texts[1].toStdString();
    EXPECT_TRUE(Texts[1].endsWith(QStringLiteral("\"90\u00B0\")")));
    EXPECT_TRUE(Texts[3].endsWith(QStringLiteral("\"270\u00B0\")")));
    EXPECT_GT(Calls.indexOf(QRegularExpression("^SetTextAlign\\(6\\)")), 0) << "centred labels";
}

TEST(PolarSeries, TwoSeriesOfOneClassDrawOneFrame)
{
    const auto FrameCalls = [](int Series) {
        TCircularChart C;
        C.Chart.SetAxisVisible(false);
        C.Chart.LeftAxis()->SetMinMax(0, 100);
        for (int I = 0; I < Series; ++I) {
            auto* S = C.Add<TPolarSeries>();
            S->Pointer()->SetVisible(false);
            S->AddXY(45, 10 + I);
            S->AddXY(135, 20 + I);
        }
        const QStringList Calls = C.Paint();
        auto* First = static_cast<TPolarSeries*>(C.Chart.Series(0));
        const TRect R = First->CircleRect();
        const int Spokes = test::LinesFrom(Calls, First->CircleXCenter(), First->CircleYCenter());
        const int Circles = CallsNamed(Calls, QStringLiteral("Ellipse"))
                                .filter(QStringLiteral("Ellipse(%1,%2,").arg(R.Left).arg(R.Top))
                                .size();
        return std::pair{Spokes, Circles};
    };
    const auto One = FrameCalls(1);
    EXPECT_EQ(One.first, 36);
    EXPECT_EQ(One.second, 2) << "the background and the outer ring";
    EXPECT_EQ(FrameCalls(2), One);
}

TEST(RadarSeries, RingsTakeTheSidesOfTheFullestSeries)
{
    TCircularChart C;
    auto* Six = C.Add<TRadarSeries>();
    auto* Four = C.Add<TRadarSeries>();
    C.Chart.SetAxisVisible(false);
    C.Chart.LeftAxis()->SetMinMax(0, 20);
    for (int I = 0; I < 6; ++I)
        Six->Add(20 - I);
    for (int I = 0; I < 4; ++I)
        Four->Add(12 + I);
    const QStringList Calls = C.Paint();
    EXPECT_EQ(Six->PolygonSides(), 6);
    EXPECT_EQ(Four->PolygonSides(), 6);
    EXPECT_EQ(Six->AngleIncrement(), 60);
    EXPECT_EQ(Four->GetXValue(1), 60);
    EXPECT_EQ(Six->RotationAngle(), 90);
    EXPECT_EQ(test::LinesFrom(Calls, Six->CircleXCenter(), Six->CircleYCenter()), 6);
    // Every ring is a closed hexagon (seven points), the outer one first.
    const QRegularExpression Hexagon("^Polyline\\(\\[([^;]*;){6}[^;]*\\]\\)$");
    const QStringList Rings = CallsNamed(Calls, QStringLiteral("Polyline")).filter(Hexagon);
    ASSERT_GE(Rings.size(), 2) << Calls.join('\n').toStdString();
    const TPoint Top{Six->CircleXCenter(), Six->CircleYCenter() - Six->YRadius()};
    EXPECT_TRUE(Rings[0].startsWith(QStringLiteral("Polyline([%1 %2;").arg(Top.X).arg(Top.Y)))
        << Rings[0].toStdString();
    // The first spoke points up.
    EXPECT_EQ(Six->PointPosition(0), Top);
}

TEST(PolarSeries, ClicksFindPointsSectorsAndSegments)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    S->AddXY(0, 0);
    S->AddXY(0, 100);
    S->AddXY(90, 100);
    S->AddXY(180, 100);
    C.Paint();
    const int CX = S->CircleXCenter();
    const int CY = S->CircleYCenter();
    const int R = S->XRadius();
    EXPECT_EQ(S->Clicked(CX + R + 2, CY + 1), 1) << "within the pointer";
    // On the segment from point 2 to point 3 (pen visible, brush clear).
    EXPECT_EQ(S->Clicked(CX - R / 2, CY - R / 2), 2);
    // Inside the sector of points 1 and 2, but the brush is clear.
    EXPECT_EQ(S->Clicked(CX + R / 4, CY - R / 4), -1);
    S->Brush()->SetStyle(TBrush::bsSolid);
    EXPECT_EQ(S->Clicked(CX + R / 4, CY - R / 4), 1);
    // The closing segment from the last point back to the first.
    S->Pen()->SetVisible(false);
    S->Brush()->SetStyle(TBrush::bsClear);
    EXPECT_EQ(S->Clicked(CX - R / 2, CY), -1);
    S->Pen()->SetVisible(true);
    EXPECT_EQ(S->Clicked(CX - R / 2, CY), 3);
    S->SetCloseCircle(false);
    EXPECT_EQ(S->Clicked(CX - R / 2, CY), -1);
}

TEST(PolarSeries, FilledSectorsAndTheClosingLine)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    S->Pointer()->SetVisible(false);
    S->Brush()->SetStyle(TBrush::bsSolid);
    S->AddXY(0, 0);
    S->AddXY(0, 10);
    S->AddXY(120, 10);
    S->AddXY(240, 10);
    C.Chart.BottomAxis()->Grid()->SetVisible(false);
    C.Chart.LeftAxis()->Grid()->SetVisible(false);
    const QStringList Calls = C.Paint();
    // Sectors 1-2, 2-3 and the closing 3-1 (point 0 lies at the centre and
    // joins without a sector of its own: it is the first point).
    EXPECT_EQ(CallsNamed(Calls, QStringLiteral("Polygon")).size(), 4) << Calls.join('\n').toStdString();
    S->SetCloseCircle(false);
    EXPECT_EQ(CallsNamed(C.Paint(), QStringLiteral("Polygon")).size(), 3);
}

TEST(PolarBarSeries, EachPointIsALineFromTheCentre)
{
    TCircularChart C;
    auto* S = C.Add<TPolarBarSeries>();
    C.Chart.SetAxisVisible(false);
    S->Pointer()->SetVisible(false);
    S->AddXY(0, 0);
    S->AddXY(90, 50);
    S->AddXY(180, 100, {}, clNone);
    S->AddXY(270, 100);
    C.Chart.BottomAxis()->Grid()->SetVisible(false);
    C.Chart.LeftAxis()->Grid()->SetVisible(false);
    const QStringList Calls = C.Paint();
    // Points 0, 1 and 3; the null point draws nothing.
    EXPECT_EQ(test::LinesFrom(Calls, S->CircleXCenter(), S->CircleYCenter()), 3) << Calls.join('\n').toStdString();
}

TEST(PolarSeries, StoredRadiusListAndPenColour)
{
    TPolarSeries A;
    A.SetTransparency(150);
    EXPECT_EQ(A.Transparency(), 100);
    // The radius list is stored only when it differs from the one made.
    EXPECT_FALSE(IsPropertyStored(&A, "RadiusValues"));
    A.RadiusValues()->SetDateTime(true);
    EXPECT_TRUE(IsPropertyStored(&A, "RadiusValues"));
    // The pen follows the series colour while the brush is clear.
    A.SetSeriesColor(clRed);
    EXPECT_EQ(A.Pen()->Color(), clRed);
    A.Brush()->SetStyle(TBrush::bsSolid);
    A.SetSeriesColor(clBlue);
    EXPECT_EQ(A.Pen()->Color(), clRed);
}

TEST(PolarSeries, SubGalleryStyles)
{
    TPolarSeries S;
    QStringList Captions;
    S.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_GE(Captions.size(), 6);
    EXPECT_EQ(Captions.mid(Captions.size() - 6), (QStringList{"No Point", "No Line", "Filled", "Labels",
                                                              "No Border", "No Circle"}));
    S.SetSubGallery(3);
    EXPECT_EQ(S.Brush()->Style(), TBrush::bsSolid);
    S.SetSubGallery(6);
    EXPECT_FALSE(S.CirclePen()->Visible());

    TRadarSeries R;
    TChartSeries::RandomSeed(3);
    R.FillSampleValues();
    ASSERT_EQ(R.Count(), 5);
    EXPECT_EQ(R.Labels()[3], QStringLiteral("Monitors"));
}

TEST(PolarSeries, TransparentSectorsShowWhatLiesBeneath)
{
    const auto SectorPixel = [](int Transparency) {
        TCircularChart C;
        auto* S = C.Add<TPolarSeries>();
        C.Chart.SetAxisVisible(false);
        C.Chart.LeftAxis()->SetMinMax(0, 10);
        S->Pointer()->SetVisible(false);
        S->Brush()->SetStyle(TBrush::bsSolid);
        S->SetSeriesColor(clBlue);
        S->SetCircleBackColor(clWhite);
        S->SetTransparency(Transparency);
        S->AddXY(0, 10);
        S->AddXY(90, 10);
        S->AddXY(180, 10);
        const QImage Picture = C.Picture();
        return QColor(Picture.pixel(S->CircleXCenter() - 20, S->CircleYCenter() - 60));
    };
    EXPECT_EQ(SectorPixel(0), QColor(Qt::blue));
    EXPECT_EQ(SectorPixel(100), QColor(Qt::white));
    const QColor Half = SectorPixel(50);
    EXPECT_NEAR(Half.red(), 127, 3);
    EXPECT_EQ(Half.blue(), 255);
}

TEST(PolarSeries, TheChartsInsidePictureShowsWithinTheCircle)
{
    TCircularChart C;
    auto* S = C.Add<TPolarSeries>();
    C.Chart.SetAxisVisible(false);
    S->SetCircleBackColor(clWhite);
    C.Chart.LeftAxis()->Grid()->SetVisible(false);
    C.Chart.BottomAxis()->Grid()->SetVisible(false);
    S->AddXY(0, 1);
    S->AddXY(90, 2);
    TBitmap Image(4, 4);
    Image.Canvas().Brush().SetColor(clBlue);
    Image.Canvas().FillRect(TRect{0, 0, 4, 4});
    C.Chart.BackImage()->SetGraphic(&Image);
    C.Paint();
    const QPoint Inside(S->CircleXCenter() - 40, S->CircleYCenter() + 50);
    EXPECT_EQ(QColor(C.Picture().pixel(Inside)), QColor(Qt::white));
    C.Chart.SetBackImageInside(true);
    EXPECT_EQ(QColor(C.Picture().pixel(Inside)), QColor(Qt::blue));
}

// Guards against unreadable radial labels: along each radial axis the
// labels ran together ("950900850800"), and near the centre the labels of
// the four radial axes lay on top of each other. Every label box drawn is
// measured; none may overlap another.
template <class TSeries> void ExpectRadialLabelsApart(bool View3D, int FontSize = 0)
{
    test::TSampleChart<TSeries> Sample(View3D);
    TChart& Chart = Sample.Chart;
    if (FontSize > 0)
        for (TChartAxis* Axis : {Chart.LeftAxis(), Chart.RightAxis(), Chart.TopAxis(), Chart.BottomAxis()})
            Axis->LabelsFont()->SetSize(FontSize);
    const std::vector<test::TTextBox> Boxes = test::NumberLabelBoxes(Chart);
    EXPECT_GE(Boxes.size(), 8u) << "the radial axes keep labels";
    // Labels that touch run together as badly as overlapping ones.
    EXPECT_EQ(test::FirstOverlap(Boxes, 1).toStdString(), "");
}

TEST(PolarSeries, RadialAxisLabelsNeverOverlap)
{
    ExpectRadialLabelsApart<TPolarSeries>(false);
    ExpectRadialLabelsApart<TPolarSeries>(true);
    ExpectRadialLabelsApart<TPolarBarSeries>(false);
    ExpectRadialLabelsApart<TPolarBarSeries>(true);
    ExpectRadialLabelsApart<TWindRoseSeries>(false);
    // Large labels: the first ones of the four axes meet at the centre.
    ExpectRadialLabelsApart<TPolarSeries>(false, 16);
    ExpectRadialLabelsApart<TPolarBarSeries>(true, 16);
    ExpectRadialLabelsApart<TWindRoseSeries>(false, 16);
}

} // namespace
} // namespace lp
