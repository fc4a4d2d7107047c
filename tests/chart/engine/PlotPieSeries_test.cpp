// Circled and pie series: the circle, angles and rotation, explode, the
// "other" slice kept apart from the user's points, click polygons, legend,
// slice lists and a 3-D reference picture.

#include "chart/engine/PlotPieSeries.h"

#include "EngineTestUtil.h"
#include "FillInside.h"
#include "ReferenceImage.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/PropertyInfo.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

constexpr double Deg = std::numbers::pi / 180.0;

// A 2-D chart of 400 x 200 drawing onto a bitmap; the pie's marks hidden so
// the circle is the whole chart rectangle: centre (200, 100), radii 200
// and 100.
struct TPieChart {
    TTestChart Chart;
    std::unique_ptr<TBitmap> Bitmap;
    TPieSeries* Pie = nullptr;

    explicit TPieChart(std::initializer_list<double> Values)
    {
        Chart.SetBounds(0, 0, 400, 200);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Bitmap = test::BindCanvas(Chart);
        Chart.Canvas().SetProjection(0, TRect{0, 0, 400, 200});
        test::PlaceAxes(Chart, TRect{0, 0, 400, 200});
        Pie = new TPieSeries(&Chart);
        Chart.AddSeries(Pie);
        Pie->Marks()->SetVisible(false);
        const TColor Colors[] = {clRed, clLime, clBlue, clYellow, clFuchsia};
        int I = 0;
        for (double V : Values) {
            Pie->Add(V, QString(), Colors[I % 5]);
            ++I;
        }
    }
    void Draw()
    {
        Pie->CalcFirstLastVisibleIndex();
        Pie->DoBeforeDrawValues();
        Pie->DrawAllValues();
        Pie->DoAfterDrawValues();
    }
    TColor Pixel(int X, int Y) const { return Bitmap->Canvas().Pixel(X, Y); }
};

TEST(PieDefaults, Settings)
{
    TPieSeries Pie;
    EXPECT_EQ(Pie.AngleSize(), 360);
    EXPECT_TRUE(Pie.AutoMarkPosition());
    EXPECT_TRUE(Pie.Dark3D());
    EXPECT_TRUE(Pie.ColorEachPoint());
    EXPECT_TRUE(Pie.Marks()->Visible());
    EXPECT_EQ(Pie.Marks()->ArrowLength(), 8);
    EXPECT_EQ(Pie.Shadow()->Color(), TColor(0xA0A0A0));
    EXPECT_EQ(Pie.YValues()->Name(), QStringLiteral("Pie"));
    EXPECT_EQ(Pie.PieValues(), Pie.YValues());
    EXPECT_FALSE(Pie.UseAxis());
    EXPECT_EQ(Pie.OtherSlice()->Text(), PlotMsg_Other);
    EXPECT_FALSE(Pie.OtherSlice()->IsTextStored());
    EXPECT_EQ(Pie.NumSampleValues(), 8);
    EXPECT_EQ(Pie.GetEditorClassName(), QStringLiteral("TPieSeriesEditor"));
}

TEST(PieRotation, StoredModulo360)
{
    const struct {
        int Set;
        int Stored;
    } Rows[] = {{0, 0}, {90, 90}, {450, 90}, {360, 0}, {-90, 270}, {-720, 0}};
    for (const auto& R : Rows) {
        TPieSeries Pie;
        Pie.SetRotationAngle(R.Set);
        EXPECT_EQ(Pie.RotationAngle(), R.Stored) << R.Set;
        EXPECT_DOUBLE_EQ(Pie.RotationRadians(), R.Stored * Deg) << R.Set;
    }
}

TEST(PieCircle, AngleToPosAndBack)
{
    TPieSeries Pie;
    Pie.SetCircleRect(TRect{0, 0, 400, 201}); // odd height loses a pixel
    EXPECT_EQ(Pie.CircleYCenter(), 100);
    EXPECT_EQ(Pie.XRadius(), 200);
    EXPECT_EQ(Pie.YRadius(), 100);
    const struct {
        int Rotation;
        double Angle;
        int X;
        int Y;
    } Rows[] = {{0, 0, 400, 100}, {0, 90, 200, 0}, {0, 180, 0, 100}, {0, 270, 200, 200}, {90, 0, 200, 0}};
    for (const auto& R : Rows) {
        Pie.SetRotationAngle(R.Rotation);
        int X = 0;
        int Y = 0;
        Pie.AngleToPos(R.Angle * Deg, Pie.XRadius(), Pie.YRadius(), X, Y);
        EXPECT_EQ(X, R.X) << R.Angle;
        EXPECT_EQ(Y, R.Y) << R.Angle;
        EXPECT_NEAR(Pie.PointToAngle(X, Y), std::fmod(R.Angle * Deg, 2 * std::numbers::pi), 0.02) << R.Angle;
    }
    // Straight below the centre, no rotation: three quarters of a turn.
    Pie.SetRotationAngle(0);
    EXPECT_NEAR(Pie.PointToAngle(200, 150), 1.5 * std::numbers::pi, 1e-9);
    // A tiny rectangle is widened to 4 x 4.
    Pie.SetCircleRect(TRect{10, 10, 11, 11});
    EXPECT_EQ(Pie.CircleWidth(), 4);
    EXPECT_EQ(Pie.CircleHeight(), 4);
}

TEST(PieCircle, CircledIsRoundAndCustomRadiiWin)
{
    TPieChart C({1, 2});
    C.Pie->SetCircled(true);
    C.Pie->CalcCircleRect(TRect{0, 0, 400, 200});
    EXPECT_EQ(C.Pie->XRadius(), C.Pie->YRadius());
    EXPECT_EQ(C.Pie->CircleXCenter(), 200);
    C.Pie->SetCircled(false);
    C.Pie->SetCustomXRadius(50);
    C.Pie->CalcCircleRect(TRect{0, 0, 400, 200});
    EXPECT_EQ(C.Pie->XRadius(), 50);
    EXPECT_EQ(C.Pie->CircleRect(), (TRect{150, 0, 250, 200}));
}

TEST(PieAngles, ProportionalToAbsoluteValues)
{
    const struct {
        std::vector<double> Values;
        int AngleSize;
        std::vector<double> Ends; // degrees
    } Rows[] = {
        {{1, 1, 2}, 360, {90, 180, 360}},
        {{1, -1, 2}, 360, {90, 180, 360}},
        {{1, 1, 2}, 180, {45, 90, 180}},
        {{0, 0, 0}, 360, {360, 360, 360}},
        {{5}, 360, {360}},
    };
    for (const auto& R : Rows) {
        TPieSeries Pie;
        for (double V : R.Values)
            Pie.Add(V);
        Pie.SetAngleSize(R.AngleSize);
        Pie.CalcFirstLastVisibleIndex();
        Pie.CalcAngles();
        double Start = 0;
        for (size_t I = 0; I < R.Ends.size(); ++I) {
            const auto& A = Pie.Angle(static_cast<int>(I));
            EXPECT_NEAR(A.StartAngle, Start, 1e-9) << I;
            EXPECT_NEAR(A.EndAngle, R.Ends[I] * Deg, 1e-9) << I;
            EXPECT_NEAR(A.MidAngle, (A.StartAngle + A.EndAngle) / 2, 1e-9) << I;
            Start = A.EndAngle;
        }
    }
    TPieSeries Pie;
    EXPECT_THROW(Pie.Angle(0), ERangeError);
}

TEST(PieDraw, SlicesCounterClockwiseFromTheRotation)
{
    const struct {
        int Rotation;
        int X;
        int Y;
        TColor Color;
    } Rows[] = {
        {0, 260, 60, clRed},    // first quarter: upper right
        {0, 140, 60, clLime},   // second: upper left
        {0, 200, 160, clBlue},  // the half below
        {90, 140, 60, clRed},   // rotated a quarter: the first is upper left
        {90, 140, 140, clLime}, // and the second lower left
        {90, 260, 100, clBlue},
    };
    for (const auto& R : Rows) {
        TPieChart C({1, 1, 2});
        C.Pie->SetRotationAngle(R.Rotation);
        C.Draw();
        EXPECT_EQ(C.Pixel(R.X, R.Y), R.Color) << R.Rotation << " " << R.X << "," << R.Y;
        // The chart rectangle is given back unchanged.
        EXPECT_EQ(C.Chart.ChartRectangle(), (TRect{0, 0, 400, 200}));
    }
}

TEST(PieExplode, OffsetShrinkAndBiggest)
{
    TPieChart C({1, 1, 2});
    C.Pie->ExplodedSlice().SetValue(0, 20);
    EXPECT_EQ(C.Pie->ExplodedSlice().Count(), 1);
    EXPECT_EQ(C.Pie->ExplodedSlice().Value(5), 0);
    C.Draw();
    // The circle shrinks so the exploded slice stays inside: the offset at
    // 45 degrees (28, -14) halves to an inset of 14 and 7.
    EXPECT_EQ(C.Pie->CircleRect(), (TRect{14, 7, 386, 193}));
    EXPECT_EQ(C.Pie->ExplodeOffset(0), (TPoint{26, -13}));
    EXPECT_EQ(C.Pie->ExplodeOffset(1), (TPoint{0, 0}));
    // The moved slice left a white wedge next to the centre.
    EXPECT_EQ(C.Pixel(205, 97), clWhite);
    EXPECT_EQ(C.Pixel(250, 70), clRed);
    EXPECT_EQ(C.Pixel(150, 70), clLime);

    const struct {
        std::vector<double> Values;
        int Biggest;
    } Rows[] = {{{1, 5, 2}, 1}, {{9, 5, 2}, 0}, {{1, 5, 20}, 2}};
    for (const auto& R : Rows) {
        TPieSeries Pie;
        for (double V : R.Values)
            Pie.Add(V);
        Pie.SetExplodeBiggest(30);
        EXPECT_EQ(Pie.ExplodeBiggest(), 30);
        EXPECT_EQ(Pie.ExplodedSlice().Value(R.Biggest), 30);
    }
}

TEST(PieSliceLists, OrderedValuesSortWithTheirSlices)
{
    TPieChart C({1, 3, 2});
    C.Pie->ExplodedSlice().SetValue(1, 25);
    C.Pie->YValues()->SetOrder(loDescending);
    C.Draw();
    EXPECT_EQ(C.Pie->YValues()->Value(0), 3);
    EXPECT_EQ(C.Pie->YValues()->Value(2), 1);
    EXPECT_EQ(C.Pie->ExplodedSlice().Value(0), 25);
    EXPECT_EQ(C.Pie->ExplodedSlice().Value(1), 0);
}

TEST(PieSliceLists, FollowDeleteAndSwap)
{
    TPieSeries Pie;
    for (double V : {1.0, 2.0, 3.0})
        Pie.Add(V);
    Pie.ExplodedSlice().SetValue(0, 10);
    Pie.ExplodedSlice().SetValue(2, 30);
    Pie.SliceHeight().SetValue(1, 50);
    Pie.SwapValueIndex(0, 2);
    EXPECT_EQ(Pie.ExplodedSlice().Values(), (std::vector<int>{30, 0, 10}));
    Pie.Delete(1);
    EXPECT_EQ(Pie.ExplodedSlice().Values(), (std::vector<int>{30, 10}));
    EXPECT_EQ(Pie.SliceHeight().Values(), (std::vector<int>{0, 0}));
    EXPECT_THROW(Pie.ExplodedSlice().SetValue(-1, 3), ERangeError);
    TPieSeries Copy;
    Copy.Assign(&Pie);
    EXPECT_EQ(Copy.ExplodedSlice().Values(), Pie.ExplodedSlice().Values());
}

// Grouping small values into the "other" slice keeps the user's points:
// their count and X values (even X 2147483647) stay as they were.
TEST(PieOtherSlice, GroupsWithoutTouchingTheUsersPoints)
{
    const struct {
        TPieOtherStyle Style;
        double Value;
        std::vector<bool> Grouped;
        double Other;
    } Rows[] = {
        {poBelowPercent, 10, {true, true, false}, 10},
        {poBelowValue, 6, {true, true, false}, 10},
        {poBelowValue, 5, {false, false, false}, 0},
        {poNone, 50, {false, false, false}, 0},
    };
    for (const auto& R : Rows) {
        TPieSeries Pie;
        Pie.XValues()->SetOrder(loNone);
        Pie.AddXY(2147483647.0, 5, QStringLiteral("a"));
        Pie.AddXY(-1, 5, QStringLiteral("b"));
        Pie.AddXY(7, 90, QStringLiteral("c"));
        std::vector<double> Xs;
        for (int I = 0; I < Pie.Count(); ++I)
            Xs.push_back(Pie.XValues()->Value(I));
        Pie.OtherSlice()->SetStyle(R.Style);
        Pie.OtherSlice()->SetValue(R.Value);
        Pie.GroupOtherSlice();
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(Pie.IsGrouped(I), R.Grouped[static_cast<size_t>(I)]) << I;
        EXPECT_DOUBLE_EQ(Pie.OtherSliceValue(), R.Other);
        EXPECT_EQ(Pie.GroupedPoints().size(), R.Other > 0 ? 2u : 0u);
        Pie.CalcFirstLastVisibleIndex();
        Pie.CalcAngles();
        const auto& Other = Pie.Angle(Pie.OtherSliceIndex());
        EXPECT_NEAR(Other.EndAngle - Other.StartAngle, R.Other / 100 * 2 * std::numbers::pi, 1e-9);
        // Ungroup again: nothing of the user's data changed on the way.
        Pie.OtherSlice()->SetStyle(poNone);
        Pie.GroupOtherSlice();
        ASSERT_EQ(Pie.Count(), 3);
        for (int I = 0; I < 3; ++I) {
            EXPECT_EQ(Pie.XValues()->Value(I), Xs[static_cast<size_t>(I)]) << I;
            EXPECT_FALSE(Pie.IsGrouped(I));
        }
        EXPECT_FALSE(Pie.HasOtherSlice());
    }
}

TEST(PieOtherSlice, DrawnLegendAndClicks)
{
    TPieChart C({5, 5, 90});
    C.Pie->OtherSlice()->SetStyle(poBelowPercent);
    C.Pie->OtherSlice()->SetValue(10);
    C.Pie->OtherSlice()->SetColor(clFuchsia);
    C.Pie->OtherSlice()->SetText(QStringLiteral("Rest"));
    EXPECT_EQ(C.Pie->OtherSlice()->Text(), QStringLiteral("Rest"));
    C.Draw();
    ASSERT_EQ(C.Pie->Count(), 3);
    // 90 of 100 first (0 .. 324 degrees), then the other slice 324 .. 360.
    EXPECT_EQ(C.Pixel(200, 160), clBlue);
    EXPECT_EQ(C.Pixel(380, 105), clFuchsia);
    EXPECT_EQ(C.Pie->ClickedSlice(380, 105), C.Pie->OtherSliceIndex());
    EXPECT_EQ(C.Pie->Clicked(380, 105), -1);
    EXPECT_EQ(C.Pie->Clicked(200, 160), 2);
    EXPECT_EQ(C.Pie->CountLegendItems(), 1);
    EXPECT_EQ(C.Pie->LegendToValueIndex(0), 2);
    EXPECT_EQ(C.Pie->LegendItemColor(0), clBlue);
}

TEST(PieOtherSlice, LegendCreatedOnFirstReadAndCopied)
{
    TTestChart Chart;
    TTestChart Other;
    auto* Pie = new TPieSeries(&Chart);
    Pie->SetParentChart(&Chart);
    EXPECT_FALSE(Pie->OtherSlice()->HasLegend());
    EXPECT_FALSE(IsPropertyStored(Pie->OtherSlice(), "Legend"));
    TChartLegend* Legend = Pie->OtherSlice()->Legend();
    ASSERT_NE(Legend, nullptr);
    EXPECT_TRUE(Legend->Visible()) << "the legend's stored default";
    EXPECT_EQ(Legend->Chart(), &Chart);
    EXPECT_TRUE(IsPropertyStored(Pie->OtherSlice(), "Legend"));
    Pie->SetParentChart(&Other);
    EXPECT_EQ(Legend->Chart(), &Other);
    TPieSeries Copy;
    Copy.OtherSlice()->Assign(Pie->OtherSlice());
    EXPECT_TRUE(Copy.OtherSlice()->HasLegend());
    Pie->OtherSlice()->SetLegend(nullptr);
    Copy.OtherSlice()->Assign(Pie->OtherSlice());
    EXPECT_FALSE(Copy.OtherSlice()->HasLegend());
    Pie->SetParentChart(nullptr);
    delete Pie;
    // A chart that owns a pie with an other-slice legend goes away cleanly.
    auto Owner = std::make_unique<TChart>();
    auto* Owned = new TPieSeries(Owner.get());
    Owner->AddSeries(Owned);
    EXPECT_EQ(Owned->OtherSlice()->Legend()->Chart(), Owner.get());
    Owner.reset();
}

TEST(PieClick, SlicePolygons)
{
    const struct {
        int X;
        int Y;
        int Slice;
    } Rows[] = {{260, 60, 0}, {140, 60, 1}, {200, 160, 2}, {5, 5, -1}, {395, 5, -1}, {200, 205, -1}};
    TPieChart C({1, 1, 2});
    EXPECT_EQ(C.Pie->Clicked(260, 60), -1); // never drawn: no angles
    C.Draw();
    for (const auto& R : Rows)
        EXPECT_EQ(C.Pie->Clicked(R.X, R.Y), R.Slice) << R.X << "," << R.Y;
    // An exploded slice is hit where it was moved to.
    TPieChart E({1, 1, 2});
    E.Pie->ExplodedSlice().SetValue(0, 20);
    E.Draw();
    EXPECT_EQ(E.Pie->Clicked(205, 97), -1);
    EXPECT_EQ(E.Pie->Clicked(250, 70), 0);
}

TEST(PieDraw, TinyCircleDrawsNothingAndExtremesFollowTheAxes)
{
    TPieChart C({1, 2});
    C.Chart.SetChartRectangle(TRect{0, 0, 3, 3});
    C.Pie->CalcFirstLastVisibleIndex();
    C.Pie->DoBeforeDrawValues();
    C.Pie->DrawAllValues();
    C.Pie->DoAfterDrawValues();
    EXPECT_EQ(C.Pixel(1, 1), clWhite);
    C.Pie->GetHorizAxis()->SetMinMax(3, 9);
    EXPECT_EQ(C.Pie->MinXValue(), 3);
    EXPECT_EQ(C.Pie->MaxXValue(), 9);
}

TEST(PieView3D, SavedAndGivenBack)
{
    TTestChart Chart;
    Chart.View3DOptions()->SetElevation(345);
    Chart.View3DOptions()->SetOrthogonal(true);
    auto* Pie = new TPieSeries(&Chart);
    Pie->SetParentChart(&Chart);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 315);
    EXPECT_FALSE(Chart.View3DOptions()->Orthogonal());
    ASSERT_NE(Pie->SavedView3D(), nullptr);
    Pie->SetActive(false);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345);
    Pie->SetActive(true);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 315);
    delete Pie;
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 345);
    EXPECT_TRUE(Chart.View3DOptions()->Orthogonal());
}

TEST(PieGallery, SubStyles)
{
    QStringList Captions;
    TPieSeries Pie;
    Pie.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_GE(Captions.size(), 7);
    EXPECT_EQ(Captions.mid(Captions.size() - 7),
              (QStringList{PlotMsg_StylePatterns, PlotMsg_StyleExploded, PlotMsg_StyleShadow, PlotMsg_StyleMarks,
                           PlotMsg_StyleSemiPie, PlotMsg_StyleNoBorder, PlotMsg_StyleDarkBorder}));
    Pie.SetSubGallery(1);
    EXPECT_TRUE(Pie.UsePatterns());
    Pie.SetSubGallery(5);
    EXPECT_EQ(Pie.AngleSize(), 180);
    Pie.SetSubGallery(7);
    EXPECT_EQ(Pie.DarkPen(), 32);
    Pie.SetSubGallery(4);
    ASSERT_EQ(Pie.Count(), 2);
    EXPECT_EQ(Pie.Labels().GetLabel(1), QStringLiteral("B"));
    Pie.FillSampleValues(9);
    EXPECT_EQ(Pie.Count(), 9);
    EXPECT_EQ(Pie.Labels().GetLabel(8), PlotMsg_SampleCars);
}

TEST(PiePublished, StoredOnlyWhenChanged)
{
    TPieSeries Pie;
    const char* Names[] = {"AngleSize", "AutoMarkPosition", "ColorEachPoint", "Dark3D", "DarkPen",
                           "ExplodeBiggest", "MultiPie", "RotationAngle", "UsePatterns", "Circled"};
    for (const char* Name : Names)
        EXPECT_FALSE(IsPropertyStored(&Pie, Name)) << Name;
    Pie.SetAngleSize(180);
    Pie.SetRotationAngle(30);
    Pie.SetMultiPie(mpDisabled);
    EXPECT_TRUE(IsPropertyStored(&Pie, "AngleSize"));
    EXPECT_TRUE(IsPropertyStored(&Pie, "RotationAngle"));
    EXPECT_TRUE(IsPropertyStored(&Pie, "MultiPie"));
    EXPECT_FALSE(IsPropertyStored(Pie.OtherSlice(), "Text"));
    Pie.OtherSlice()->SetText(QStringLiteral("Rest"));
    EXPECT_TRUE(IsPropertyStored(Pie.OtherSlice(), "Text"));
    EXPECT_EQ(Pie.property("PieValues").value<TChartValueList*>(), Pie.YValues());
}

TEST(PieSlicePen, DarkPenAndPatterns)
{
    const struct {
        int DarkPen;
        bool UsePatterns;
        bool Monochrome;
        TColor PenColor;
        TBrush::TBrushStyle Pattern2;
    } Rows[] = {
        {0, false, false, clBlack, TBrush::bsSolid},
        {32, false, false, DarkenColor(clRed, 223), TBrush::bsSolid},
        {0, true, false, clBlack, BrushPatternOfIndex(2)},
        {0, false, true, clBlack, BrushPatternOfIndex(2)},
    };
    for (const auto& R : Rows) {
        TPieChart C({1, 2, 3});
        C.Pie->SetDarkPen(R.DarkPen);
        C.Pie->SetUsePatterns(R.UsePatterns);
        C.Chart.SetMonochrome(R.Monochrome);
        C.Pie->PrepareSlicePen(0, clRed);
        EXPECT_EQ(C.Chart.Canvas().Pen()->Color(), R.PenColor) << R.DarkPen;
        EXPECT_EQ(C.Pie->SlicePattern(2), R.Pattern2);
        C.Chart.SetMonochrome(false);
    }
}

TEST(PieDraw, DonutLeavesTheHoleEmpty)
{
    TPieChart C({1, 1, 2});
    C.Pie->SetDonutPercent(50);
    C.Draw();
    EXPECT_EQ(C.Pixel(200, 100), clWhite);
    EXPECT_EQ(C.Pixel(200, 180), clBlue);
    EXPECT_EQ(C.Pixel(330, 40), clRed);
}

TEST(PieDraw3D, GradientDonutAndSliceHeights)
{
    const struct {
        int Donut;
        bool Gradient;
        int Height;
    } Rows[] = {{0, false, 0}, {0, true, 50}, {40, true, 0}, {40, false, 100}};
    for (const auto& R : Rows) {
        TPieChart C({1, 1, 2});
        C.Chart.SetView3D(true);
        C.Chart.Canvas().InitWindow(&C.Bitmap->Canvas(), C.Chart.View3DOptions(), clWhite, true,
                                    C.Chart.GetRectangle());
        C.Chart.Canvas().SetProjection(20, TRect{0, 0, 400, 200});
        C.Pie->SetDepthPositions(0, 10, 20);
        C.Pie->SetDonutPercent(R.Donut);
        C.Pie->Gradient()->SetVisible(R.Gradient);
        if (R.Height > 0)
            C.Pie->SliceHeight().SetValue(1, R.Height);
        C.Draw();
        int Coloured = 0;
        for (int Y = 0; Y < 200; Y += 4)
            for (int X = 0; X < 400; X += 4)
                if (C.Pixel(X, Y) != clWhite)
                    ++Coloured;
        EXPECT_GT(Coloured, 500) << R.Donut << " " << R.Gradient;
        if (R.Gradient) {
            EXPECT_NE(C.Pie->Gradient()->EndColor(), clBlack);
        }
        EXPECT_EQ(C.Chart.ChartRectangle(), (TRect{0, 0, 400, 200}));
    }
}

TEST(PieDraw3D, GradientStaysInsideTheSlices)
{
    // Guards against a slice's gradient filling the rectangle around the
    // slice: a quadrant of colour spilled outside the pie.
    const struct {
        const char* Name;
        bool Orthogonal;
        int Donut;
    } Rows[] = {{"rotated", false, 0}, {"orthogonal", true, 0}, {"donut", false, 40}};
    for (const auto& R : Rows) {
        TChart Chart;
        Chart.SetBounds(0, 0, 300, 220);
        Chart.SetView3D(true);
        auto* Pie = new TPieSeries(&Chart);
        Chart.AddSeries(Pie);
        Pie->Marks()->SetVisible(false);
        Pie->SetDonutPercent(R.Donut);
        Chart.View3DOptions()->SetOrthogonal(R.Orthogonal);
        Chart.View3DOptions()->SetElevation(305);
        Pie->Gradient()->SetDirection(gdRadial);
        const std::initializer_list<double> Values = {3, 2, 4, 1};
        for (double V : Values)
            Pie->Add(V);
        const auto Picture = [&](bool Colours, bool Gradient, test::TChartPictureKind Kind) {
            const TColor Slices[] = {clRed, clBlue, clLime, clFuchsia};
            for (int I = 0; I < Pie->Count(); ++I)
                Pie->SetValueColor(I, Colours ? Slices[I] : clNone);
            Pie->Gradient()->SetVisible(Gradient);
            return test::ChartPicture(Chart, Kind);
        };
        test::ExpectGradientInsideOnEveryKind(Picture, QStringLiteral("pie-%1").arg(QLatin1String(R.Name)));
    }
}

TEST(PieDraw, ShadowBelowTheEllipse)
{
    const struct {
        int Size;
        bool Shaded;
    } Rows[] = {{0, false}, {10, true}};
    for (const auto& R : Rows) {
        TPieChart C({1, 1, 2});
        C.Pie->SetCustomXRadius(50);
        C.Pie->SetCustomYRadius(50);
        C.Pie->Shadow()->SetSize(R.Size);
        C.Draw();
        EXPECT_EQ(C.Pie->CircleRect(), (TRect{150, 50, 250, 150}));
        // Inside the ellipse moved by (10, 10), outside the pie itself.
        EXPECT_EQ(C.Pixel(250, 125) != clWhite, R.Shaded) << R.Size;
        EXPECT_EQ(C.Pixel(200, 140), clBlue);
    }
}

TEST(PieMultiPie, CellsOfTheChartRectangle)
{
    const struct {
        TMultiPie Mode;
        int SecondCentreY;
    } Rows[] = {{mpAutomatic, 150}, {mpDisabled, 100}};
    for (const auto& R : Rows) {
        TPieChart C({1, 2});
        auto* Second = new TPieSeries(&C.Chart);
        C.Chart.AddSeries(Second);
        Second->Marks()->SetVisible(false);
        Second->Add(3);
        Second->SetMultiPie(R.Mode);
        Second->CalcFirstLastVisibleIndex();
        Second->DoBeforeDrawValues();
        EXPECT_EQ(Second->CircleYCenter(), R.SecondCentreY);
        Second->DoAfterDrawValues();
        EXPECT_EQ(C.Chart.ChartRectangle(), (TRect{0, 0, 400, 200}));
    }
}

TEST(PiePicture, ThreeDimensionalPie)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(true);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    auto* Pie = new TPieSeries(&Chart);
    Chart.AddSeries(Pie);
    const double Values[] = {40, 25, 15, 12, 8};
    const TColor Colors[] = {clRed, clGreen, clBlue, clYellow, clTeal};
    for (int I = 0; I < 5; ++I)
        Pie->Add(Values[I], QStringLiteral("S%1").arg(I + 1), Colors[I]);
    Pie->ExplodedSlice().SetValue(1, 15);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "pie", "pie-3d"));
}

} // namespace
} // namespace lp
