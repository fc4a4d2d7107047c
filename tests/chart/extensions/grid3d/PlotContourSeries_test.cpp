// The contour series: automatic and user levels (what turns automatic off,
// what is stored), tracing straight lines and closed rings, joining and
// merging pieces, unsorted levels, drawing flat and in 3-D, legend, ranges,
// hit tests, copies, a right-button scroll on a logarithmic axis and
// reference pictures.

#include "chart/extensions/grid3d/PlotContourSeries.h"

#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>
#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A grid of NumX by NumZ nodes with Y = Value(X, Z), its index current.
void FillGrid(TContourSeries& S, int NumX, int NumZ, const std::function<double(int, int)>& Value)
{
    S.OnGetYValue = [Value](TChartSeries*, int X, int Z) { return Value(X, Z); };
    S.CreateValues(NumX, NumZ);
    S.FillGridIndex(0);
}

void AddLevel(TContourSeries& S, double Value, TColor Color = clRed)
{
    TContourLevel* Level = S.Levels()->Add();
    Level->SetUpToValue(Value);
    Level->SetColor(Color);
}

TEST(ContourLevels, AutomaticLevelsStepUpFromTheSmallestValue)
{
    TContourSeries S;
    FillGrid(S, 11, 2, [](int X, int) { return (X - 1) * 10.0; });
    S.DoBeforeDrawChart();
    ASSERT_EQ(S.Levels()->Count(), 10);
    for (int I = 0; I < 10; ++I)
        EXPECT_DOUBLE_EQ(S.Levels()->Items(I)->UpToValue(), I * 10.0);
    EXPECT_TRUE(S.AutomaticLevels());
    EXPECT_FALSE(S.IsLevelsStored());
    // OnGetLevel may change value and colour.
    S.OnGetLevel = [](TContourSeries*, int Index, double& Value, TColor& Color) {
        Value += 1;
        if (Index == 2)
            Color = clGreen;
    };
    S.DoBeforeDrawChart();
    EXPECT_DOUBLE_EQ(S.Levels()->Items(0)->UpToValue(), 1);
    EXPECT_EQ(S.Levels()->Items(2)->Color(), clGreen);
    EXPECT_TRUE(S.AutomaticLevels());

    // All values equal: every level at that value.
    TContourSeries Flat;
    FillGrid(Flat, 3, 3, [](int, int) { return 7.0; });
    Flat.SetNumLevels(3);
    Flat.DoBeforeDrawChart();
    ASSERT_EQ(Flat.Levels()->Count(), 3);
    EXPECT_EQ(Flat.Levels()->Items(2)->UpToValue(), 7);
}

TEST(ContourLevels, ChangesFromOutsideTurnAutomaticOffAndAreStored)
{
    TContourSeries S;
    FillGrid(S, 4, 4, [](int X, int Z) { return X * Z * 1.0; });
    S.DoBeforeDrawChart();
    S.Levels()->Items(3)->SetColor(clBlue);
    EXPECT_FALSE(S.AutomaticLevels());
    EXPECT_TRUE(S.IsLevelsStored());
    EXPECT_EQ(S.NumLevels(), 10);
    S.DoBeforeDrawChart(); // no longer rebuilt
    EXPECT_EQ(S.Levels()->Items(3)->Color(), clBlue);

    S.SetAutomaticLevels(true);
    EXPECT_EQ(S.Levels()->Count(), 0);
    S.DoBeforeDrawChart();
    S.Levels()->Items(0)->SetUpToValue(-5);
    EXPECT_FALSE(S.AutomaticLevels());
    S.SetAutomaticLevels(true);
    S.Levels()->Add();
    EXPECT_FALSE(S.AutomaticLevels());
    S.SetAutomaticLevels(true);
    S.DoBeforeDrawChart();
    delete S.Levels()->Items(0);
    EXPECT_FALSE(S.AutomaticLevels());
    EXPECT_EQ(S.NumLevels(), 9);

    // A level's pen is stored only once it exists and follows its colour.
    TContourLevel* Level = S.Levels()->Items(0);
    EXPECT_FALSE(Level->HasPen());
    Level->Pen()->SetWidth(3);
    EXPECT_TRUE(Level->HasPen());
    Level->SetColor(clFuchsia);
    EXPECT_EQ(Level->Pen()->Color(), clFuchsia);
    Level->SetPen(nullptr);
    EXPECT_FALSE(Level->HasPen());

    TContourSeries Copy;
    Copy.Assign(&S);
    EXPECT_FALSE(Copy.AutomaticLevels());
    ASSERT_EQ(Copy.Levels()->Count(), 9);
    EXPECT_EQ(Copy.Levels()->Items(0)->Color(), clFuchsia);
    EXPECT_EQ(Copy.Levels()->Items(0)->UpToValue(), S.Levels()->Items(0)->UpToValue());
}

TEST(ContourTracing, StraightValuesGiveOneStraightLine)
{
    TContourSeries S;
    FillGrid(S, 3, 3, [](int X, int) { return X; });
    AddLevel(S, 1.5);
    S.CreateLines();
    const auto& Lines = S.Levels()->Items(0)->Lines();
    ASSERT_EQ(Lines.size(), 1u);
    double MinZ = 10, MaxZ = -10;
    for (const TContourPoint& P : Lines[0]) {
        EXPECT_DOUBLE_EQ(P.X, 1.5);
        MinZ = std::min(MinZ, P.Z);
        MaxZ = std::max(MaxZ, P.Z);
    }
    EXPECT_EQ(MinZ, 1);
    EXPECT_EQ(MaxZ, 3);
    EXPECT_TRUE(std::is_sorted(Lines[0].begin(), Lines[0].end(),
                               [](const TContourPoint& A, const TContourPoint& B) { return A.Z < B.Z; })
                || std::is_sorted(Lines[0].begin(), Lines[0].end(),
                                  [](const TContourPoint& A, const TContourPoint& B) { return A.Z > B.Z; }));
}

TEST(ContourTracing, PeakGivesAClosedRingAcrossManyCells)
{
    TContourSeries S;
    FillGrid(S, 9, 9, [](int X, int Z) { return 100 - (X - 5) * (X - 5) - (Z - 5) * (Z - 5); });
    AddLevel(S, 90.5);
    S.CreateLines();
    const auto& Lines = S.Levels()->Items(0)->Lines();
    ASSERT_EQ(Lines.size(), 1u);
    EXPECT_GT(Lines[0].size(), 8u);
    EXPECT_LE(std::fabs(Lines[0].front().X - Lines[0].back().X) + std::fabs(Lines[0].front().Z - Lines[0].back().Z),
              TContourSeries::JoinTolerance);
    for (const TContourPoint& P : Lines[0])
        EXPECT_NEAR(std::hypot(P.X - 5, P.Z - 5), 3.1, 0.35);
}

TEST(ContourTracing, PiecesJoinAtEitherEndAndMerge)
{
    using Lines = std::vector<TContourLine>;
    // Two pieces whose starts meet the new segment: one comes out reversed.
    Lines Starts = {{{1, 0}, {0, 0}}, {{2, 0}, {3, 0}}};
    TContourSeries::AddSegment(Starts, {1, 0}, {2, 0});
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0], (TContourLine{{3, 0}, {2, 0}, {1, 0}, {0, 0}}));
    // Ends meeting: the other piece is appended reversed.
    Lines Ends = {{{0, 0}, {1, 0}}, {{3, 0}, {2, 0}}};
    TContourSeries::AddSegment(Ends, {1, 0}, {2, 0});
    ASSERT_EQ(Ends.size(), 1u);
    EXPECT_EQ(Ends[0], (TContourLine{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    // Equally near both ends: the last point takes it.
    Lines Tie = {{{0, 0}, {0.0004, 0}}};
    TContourSeries::AddSegment(Tie, {0.0002, 0}, {5, 5});
    EXPECT_EQ(Tie[0].back(), (TContourPoint{5, 5}));
    // Beyond the tolerance: a new line.
    TContourSeries::AddSegment(Tie, {0.0052, 5}, {9, 9});
    EXPECT_EQ(Tie.size(), 2u);
}

TEST(ContourTracing, UnsortedLevelsTraceEveryLevelInside)
{
    TContourSeries S;
    FillGrid(S, 4, 2, [](int X, int) { return X * 5.0; }); // 5 .. 20
    AddLevel(S, 50);
    AddLevel(S, 90);
    AddLevel(S, 12); // between the cells' values, outside the first .. last span
    S.CreateLines();
    EXPECT_TRUE(S.Levels()->Items(0)->Lines().empty());
    ASSERT_EQ(S.Levels()->Items(2)->Lines().size(), 1u);
    EXPECT_DOUBLE_EQ(S.Levels()->Items(2)->Lines()[0].front().X, 2.4);
}

// --- Drawing --------------------------------------------------------------------------------------

struct TContourChart : test::TFixedAxesChart {
    explicit TContourChart(bool Is3D = false) : TFixedAxesChart(Is3D, 4, 4)
    {
        Contour = new TContourSeries(&Chart);
        Chart.AddSeries(Contour);
        FillGrid(*Contour, 4, 4, [](int X, int) { return X; });
        AddLevel(*Contour, 1.5, clRed);
        AddLevel(*Contour, 2.5, clBlue);
    }
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Contour->DrawAllValues();
        return DC.Calls();
    }
    TContourSeries* Contour = nullptr;
};

TEST(ContourDrawing, FlatLinesRunUpTheVerticalAxisInTheirLevelColours)
{
    TContourChart C;
    const QStringList Calls = C.Paint();
    const QStringList Lines = Calls.filter(QRegularExpression("^Polyline\\("));
    ASSERT_EQ(Lines.size(), 2);
    // X 1.5 at pixel 150, Z 1 .. 4 at pixels 150 .. 0.
    EXPECT_TRUE(Lines[0].contains("150 150")) << Lines[0].toStdString();
    EXPECT_TRUE(Lines[0].contains("150 0")) << Lines[0].toStdString();
    EXPECT_TRUE(Lines[1].contains("250 0")) << Lines[1].toStdString();
    const int First = static_cast<int>(Calls.indexOf(Lines[0]));
    const int Second = static_cast<int>(Calls.indexOf(Lines[1]));
    const auto PenBefore = [&](int Index) {
        for (int I = Index - 1; I >= 0; --I)
            if (Calls[I].startsWith(QLatin1String("SelectPen(")))
                return Calls[I];
        return QString();
    };
    EXPECT_TRUE(PenBefore(First).contains(LogColor(clRed)));
    EXPECT_TRUE(PenBefore(Second).contains(LogColor(clBlue)));

    EXPECT_EQ(C.Contour->MaxYValue(), 4); // Z, not Y
    EXPECT_EQ(C.Contour->MinYValue(), 1);
    EXPECT_EQ(C.Contour->Clicked(150, 75), 0);
    EXPECT_EQ(C.Contour->Clicked(250, 75), 1);
    EXPECT_EQ(C.Contour->Clicked(200, 75), -1);

    C.Contour->Smoothing()->SetActive(true);
    const QStringList Smooth = C.Paint().filter(QRegularExpression("^Polyline\\("));
    ASSERT_EQ(Smooth.size(), 2);
    EXPECT_GT(Smooth[0].count(';'), Lines[0].count(';'));
}

TEST(ContourDrawing, ThreeDimensionalLinesLieAtTheirHeight)
{
    TContourChart C(true);
    C.Contour->SetYPosition(2);
    const QStringList Lines = C.Paint().filter(QRegularExpression("^(MoveTo|LineTo)\\("));
    EXPECT_FALSE(Lines.isEmpty());
    EXPECT_EQ(C.Contour->MaxYValue(), 4); // Y in 3-D
    C.Contour->SetYPositionLevel(true);
    EXPECT_NE(C.Paint().filter(QRegularExpression("^(MoveTo|LineTo)\\(")), Lines);
}

TEST(ContourDrawing, LegendShowsTheHighestLevelFirst)
{
    TContourChart C;
    ASSERT_EQ(C.Contour->CountLegendItems(), 2);
    QString Text;
    C.Contour->GetLegendText(0, TChartSeries::TLegendTextStyle{}, Text);
    EXPECT_EQ(Text, QStringLiteral("2.5"));
    EXPECT_EQ(C.Contour->LegendItemColor(0), clBlue);
    EXPECT_EQ(C.Contour->LegendItemColor(1), clRed);
    QStringList Captions;
    C.Contour->CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    EXPECT_EQ(Captions.mid(Captions.size() - 2), (QStringList{"Colors", "Positions"}));
    C.Contour->SetSubGallery(3);
    EXPECT_TRUE(C.Contour->YPositionLevel());
    TContourSeries Samples;
    Samples.AddSampleValues(10);
    EXPECT_NEAR(Samples.YPosition(), (Samples.YValues()->MaxValue() + Samples.YValues()->MinValue()) / 2, 1e-12);
}

// --- Marks --------------------------------------------------------------------------------------

// Guards: legend-style contour marks made every paint raise "Index -1 out of range (0..9)".
// The marks asked the level list for the point's index counted from the
// top; every point past the number of levels raised.
TEST(ContourMarks, LegendStyleMarksPaintAfterTheDataIsRefilled)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetBufferedDisplay(false);
    auto* S = new TContourSeries(&Chart);
    Chart.AddSeries(S);
    S->FillSampleValues(10);
    S->Marks()->SetVisible(true);
    S->Marks()->SetStyle(TSeriesMarks::smsLegend);
    EXPECT_NO_THROW(Chart.CreateBitmap(clWhite, Chart.GetRectangle()));
    // Refilled with points below the (now fixed) lowest level.
    S->SetAutomaticLevels(false);
    S->Clear();
    for (int X = 1; X <= 4; ++X)
        for (int Z = 1; Z <= 4; ++Z)
            S->AddXYZ(X, X - 3.0, Z);
    ASSERT_GT(S->Count(), S->Levels()->Count());
    EXPECT_NO_THROW(Chart.CreateBitmap(clWhite, Chart.GetRectangle()));
    EXPECT_NO_THROW(Chart.CreateBitmap(clWhite, Chart.GetRectangle()));
}

// Guards: a point below every level (or past the levels' count) raised instead of having no mark.
// A point's legend-style mark names the level its value lies in: the
// highest level at or below it.
TEST(ContourMarks, LegendStyleMarkNamesTheLevelOfThePoint)
{
    TChart Chart;
    auto* S = new TContourSeries(&Chart);
    Chart.AddSeries(S);
    FillGrid(*S, 4, 4, [](int X, int) { return X; });
    AddLevel(*S, 1.5, clRed);
    AddLevel(*S, 2.5, clBlue);
    S->Marks()->SetStyle(TSeriesMarks::smsLegend);
    for (int I = 0; I < S->Count(); ++I) {
        const double Value = S->YValues()->Value(I);
        const QString Expected = Value >= 2.5 ? "2.5" : (Value >= 1.5 ? "1.5" : "");
        EXPECT_EQ(S->GetMarkText(I), Expected) << "point " << I << " of value " << Value;
    }
    // Legend rows outside the levels have no text.
    for (int Row : {-1, 2, 3, 1000}) {
        QString Text = "x";
        EXPECT_NO_THROW(S->GetLegendText(Row, TChartSeries::TLegendTextStyle{}, Text));
        EXPECT_TRUE(Text.isEmpty()) << Row;
        EXPECT_NO_THROW(S->LegendItemColor(Row));
    }
}

// --- On a logarithmic axis ---------------------------------------------------------------------

// A right-button drag from the top of the chart rectangle to its bottom
// (or back), in ten moves.
void ContourPanAcross(TChart& Chart, bool Down)
{
    QWidget* Window = Chart.Widget();
    const TRect R = Chart.ChartRectangle();
    const int X = (R.Left + R.Right) / 2;
    const QPoint From(X, Down ? R.Top + 1 : R.Bottom - 2);
    const QPoint To(X - 20, Down ? R.Bottom - 2 : R.Top + 1);
    QTest::mousePress(Window, Qt::RightButton, {}, From);
    for (int Step = 1; Step <= 10; ++Step)
        QTest::mouseMove(Window, From + (To - From) * Step / 10);
    QTest::mouseRelease(Window, Qt::RightButton, {}, To);
}

TEST(ContourOnALogAxis, ARightButtonScrollKeepsTheLeftAxisFinite)
{
    // Regression: the scroll carried the left axis' limits past the largest
    // double to inf and then NaN, and nothing was drawn against it.
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.LeftAxis()->SetLogarithmic(true);
    auto* Contour = new TContourSeries(&Chart);
    Chart.AddSeries(Contour);
    const double Values[] = {5e-324, -3, 1e300, -1e300, 7, 42};
    for (int X = 0; X < 3; ++X)
        for (int Z = 0; Z < 3; ++Z)
            Contour->AddXYZ(X, Values[(X * 3 + Z) % 6], Z);
    auto* Funnel = new TFunnelSeries(&Chart);
    Chart.AddSeries(Funnel);
    Funnel->FillSampleValues(5);
    QWidget* Window = Chart.Widget();
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
    Window->repaint();
    const TChartAxis& Left = *Chart.LeftAxis();
    ASSERT_TRUE(Left.LinLogActive());
    ASSERT_GT(Chart.ChartRectangle().Bottom - Chart.ChartRectangle().Top, 100);
    const auto ExpectFiniteAfter = [&](bool Down) {
        ContourPanAcross(Chart, Down);
        EXPECT_TRUE(std::isfinite(Left.Minimum()) && std::isfinite(Left.Maximum()))
            << Left.Minimum() << " " << Left.Maximum();
        EXPECT_LT(Left.Minimum(), Left.Maximum());
        Window->repaint();
        EXPECT_TRUE(std::isfinite(Left.CalcRange()));
    };
    // Down: the range moves up to near the largest double ...
    ExpectFiniteAfter(true);
    EXPECT_GT(Left.Maximum(), 1e307);
    // ... and stops there.
    const double Highest = Left.Maximum();
    ExpectFiniteAfter(true);
    EXPECT_GE(Left.Maximum(), Highest);
    // Up, past zero towards the lowest double.
    for (int I = 0; I < 3; ++I)
        ExpectFiniteAfter(false);
    EXPECT_LT(Left.Minimum(), -1e307);
    // Undone, the contour's range is shown again.
    Chart.UndoZoom();
    Window->repaint();
    EXPECT_EQ(Left.CalcMinimum(), -1e300);
    EXPECT_EQ(Left.CalcMaximum(), 1e300);
}

// --- Pictures -----------------------------------------------------------------------------------

void PaintContourPicture(const char* Name, bool Is3D)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(Is3D);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    if (Is3D) {
        Chart.View3DOptions()->SetOrthogonal(false);
        Chart.View3DOptions()->SetElevation(340);
        Chart.View3DOptions()->SetRotation(345);
        Chart.View3DOptions()->SetPerspective(0);
        Chart.SetChart3DPercent(100);
    }
    auto* S = new TContourSeries(&Chart);
    Chart.AddSeries(S);
    S->SetColorEachPoint(false);
    S->SetUseColorRange(false);
    S->SetUsePalette(true);
    S->SetPaletteStyle(psRainbow);
    S->Pen()->SetWidth(2);
    S->SetNumLevels(12);
    S->OnGetYValue = [](TChartSeries*, int X, int Z) {
        return std::sin(X * 0.35) * std::cos(Z * 0.3) * 10 + X * 0.4;
    };
    S->CreateValues(24, 24);
    S->SetYPositionLevel(Is3D);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", Name));
}

TEST(ContourPicture, FlatAndThreeDimensional)
{
    PaintContourPicture("contour-2d", false);
    PaintContourPicture("contour-3d", true);
}

} // namespace
} // namespace lp
