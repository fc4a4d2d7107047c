// Palette series: the Z values, depth positions, colouring by range (two
// and three colours) and by a generated or hand-made palette, the palette
// styles, legend rows, the colour event, assign and the gallery choices.

#include "chart/engine/PlotPaletteSeries.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "platform/graphics/RecordingDC.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/canvas/PlotRoutines.h"
#include "platform/base/Exception.h"

#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

// A palette series with the values Y = 0 .. Count - 1 at X = I, Z = 2 I,
// its range prepared as a paint would.
std::unique_ptr<TCustom3DPaletteSeries> MakeSeries(int Count = 32)
{
    auto S = std::make_unique<TCustom3DPaletteSeries>();
    for (int I = 0; I < Count; ++I)
        S->AddXYZ(I, I, 2 * I);
    S->DoBeforeDrawChart();
    return S;
}

TEST(Custom3DSeries, DefaultsAndZValues)
{
    TCustom3DSeries S;
    EXPECT_TRUE(S.HasZValues());
    EXPECT_EQ(S.TimesZOrder(), 3);
    ASSERT_NE(S.ZValues(), nullptr);
    EXPECT_EQ(S.ZValues()->Name(), "Z");
    EXPECT_EQ(S.XValues()->Order(), loNone);
    EXPECT_TRUE(S.ExcludeFromInterleave());
    EXPECT_FALSE(S.VisibleRangeSearch());
    EXPECT_EQ(S.AddXYZ(5, 1, 7), 0);
    EXPECT_EQ(S.AddXYZLabel(2, 3, -4, "b", clRed), 1);
    EXPECT_EQ(S.AddXYZ(9, 2, 1), 2);
    // Unordered X: points stay in the order added.
    const struct { double X, Y, Z; } Rows[] = {{5, 1, 7}, {2, 3, -4}, {9, 2, 1}};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(S.XValues()->Value(I), Rows[I].X) << I;
        EXPECT_EQ(S.YValues()->Value(I), Rows[I].Y) << I;
        EXPECT_EQ(S.ZValues()->Value(I), Rows[I].Z) << I;
    }
    EXPECT_EQ(S.Labels().GetLabel(1), "b");
    EXPECT_EQ(S.GetStoredValueColor(1), clRed);
    EXPECT_EQ(S.GetStoredValueColor(0), clPlotColor);
    EXPECT_EQ(S.MinZValue(), -4);
    EXPECT_EQ(S.MaxZValue(), 7);
}

TEST(Custom3DSeries, CalcZPosFollowsDepthAxis)
{
    TTestChart Chart;
    Chart.SetView3D(true);
    auto* S = new TCustom3DSeries(&Chart);
    Chart.AddSeries(S);
    S->AddXYZ(0, 0, 0);
    S->AddXYZ(1, 1, 5);
    S->AddXYZ(2, 2, 10);
    TChartAxis* Depth = Chart.DepthAxis();
    ASSERT_NE(Depth, nullptr);
    EXPECT_TRUE(S->AssociatedToAxis(Depth));
    EXPECT_EQ(S->GetAxisValueList(Depth), S->ZValues());
    EXPECT_EQ(S->GetAxisValueList(Chart.LeftAxis()), S->YValues());
    Depth->SetMinMax(0, 10);
    Depth->SetPixelSpan(0, 100);
    Depth->AdjustMaxMin();
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(S->CalcZPos(I), Depth->CalcPosValue(S->ZValues()->Value(I))) << I;
    EXPECT_NE(S->CalcZPos(0), S->CalcZPos(2));
    EXPECT_THROW(S->CalcZPos(3), ERangeError);
    EXPECT_THROW(S->CalcZPos(-1), ERangeError);
    // Depth reversal: inverted axis, view turned round.
    const struct { bool Inverted; int Rotation; bool Reversed; } Rows[] = {
        {false, 0, false}, {true, 0, true}, {false, 180, true}, {true, 180, false}, {false, 90, false},
        {false, 270, false}};
    for (const auto& R : Rows) {
        Depth->SetInverted(R.Inverted);
        Chart.View3DOptions()->SetRotation(R.Rotation);
        EXPECT_EQ(S->IsDepthReversed(), R.Reversed) << R.Inverted << " " << R.Rotation;
    }
    Depth->SetInverted(false);
    S->CalcZOrder();
    EXPECT_EQ(Chart.MaxZOrder(), 3);
}

TEST(Custom3DSeries, SourceMustHaveZValues)
{
    TCustom3DSeries S;
    TCustom3DSeries Other;
    TChartSeries Plain;
    EXPECT_TRUE(S.IsValidSourceOf(&Other));
    EXPECT_FALSE(S.IsValidSourceOf(&Plain));
    EXPECT_FALSE(S.IsValidSourceOf(&S));
}

TEST(PaletteSeries, Defaults)
{
    TCustom3DPaletteSeries S;
    EXPECT_TRUE(S.UseColorRange());
    EXPECT_FALSE(S.UsePalette());
    EXPECT_FALSE(S.UsePaletteMin());
    EXPECT_EQ(S.PaletteSteps(), 32);
    EXPECT_EQ(S.LegendEvery(), 1);
    EXPECT_EQ(S.StartColor(), 0x800000);
    EXPECT_EQ(S.EndColor(), 0xFFFFFF);
    EXPECT_EQ(S.MidColor(), clNone);
    EXPECT_EQ(S.PaletteStyle(), psPale);
    EXPECT_EQ(S.PaletteCount(), 0);
    EXPECT_EQ(S.GetEditorClassName(), "TGrid3DSeriesEditor");
}

// Editors offer the series colour only where it is what the points show.
TEST(PaletteSeries, SeriesColorIsEditableOnlyWithoutRangeAndPalette)
{
    TCustom3DPaletteSeries S;
    EXPECT_FALSE(S.SeriesColorEditable()); // the range is on by default
    S.SetUseColorRange(false);
    EXPECT_TRUE(S.SeriesColorEditable());
    S.SetUsePalette(true);
    EXPECT_FALSE(S.SeriesColorEditable());
    TChartSeries Plain;
    EXPECT_TRUE(Plain.SeriesColorEditable());
}

TEST(PaletteSeries, ColorForValueTwoColourRange)
{
    auto S = MakeSeries(3); // values 0, 1, 2
    const struct { double Value; TColor Expected; } Rows[] = {
        {0, clWhite},                  // minimum: EndColor
        {2, 0x800000},                 // maximum: StartColor
        {1, RGB(127, 127, 191)},       // halfway, ties to even
        {-1, clWhite},                 // below the minimum
        {3, 0x800000},                 // above the maximum
    };
    for (const auto& R : Rows)
        EXPECT_EQ(S->ColorForValue(R.Value), R.Expected) << R.Value;
    EXPECT_EQ(S->GetValueColor(1), RGB(127, 127, 191));
    EXPECT_EQ(S->RangeColorAt(0), clWhite);
    EXPECT_EQ(S->RangeColorAt(1), 0x800000);
}

TEST(PaletteSeries, ColorForValueThreeColourRange)
{
    auto S = MakeSeries(5); // values 0 .. 4
    S->SetMidColor(clRed);
    S->SetStartColor(clBlue);
    S->SetEndColor(clBlack);
    const struct { double Value; TColor Expected; } Rows[] = {
        {0, clBlack}, {2, clRed}, {4, clBlue}, {1, RGB(128, 0, 0)}, {3, RGB(127, 0, 128)}};
    for (const auto& R : Rows)
        EXPECT_EQ(S->ColorForValue(R.Value), R.Expected) << R.Value;
    // Back to two colours.
    S->SetMidColor(clNone);
    EXPECT_EQ(S->ColorForValue(2), RGB(0, 0, 128));
}

TEST(PaletteSeries, EqualValuesTakeEndColor)
{
    TCustom3DPaletteSeries S;
    S.AddXYZ(0, 5, 0);
    S.AddXYZ(1, 5, 0);
    S.DoBeforeDrawChart();
    EXPECT_EQ(S.ColorForValue(5), clWhite);
    EXPECT_EQ(S.GetValueColor(0), clWhite);
    EXPECT_EQ(S.GetValueColor(1), clWhite);
}

TEST(PaletteSeries, PaletteLookupAndInsertion)
{
    TCustom3DPaletteSeries S;
    S.SetSeriesColor(clGray);
    S.SetUseColorRange(false);
    EXPECT_EQ(S.ColorForValue(5), clGray); // neither range nor palette
    S.SetUsePalette(true);                 // no points: no palette generated
    EXPECT_EQ(S.PaletteCount(), 0);
    EXPECT_EQ(S.ColorForValue(5), clGray); // empty palette: series colour
    EXPECT_EQ(S.AddPalette(20, clBlue), 0);
    EXPECT_EQ(S.AddPalette(10, clRed), 0);
    const struct { double Value; TColor Expected; } Rows[] = {{5, clRed}, {10, clBlue}, {15, clBlue}, {25, clBlue}};
    for (const auto& R : Rows)
        EXPECT_EQ(S.ColorForValue(R.Value), R.Expected) << R.Value;
    // An equal UpToValue goes after the existing step.
    EXPECT_EQ(S.AddPalette(10, clGreen), 1);
    EXPECT_EQ(S.PaletteAt(0).Color, clRed);
    EXPECT_EQ(S.PaletteAt(1).Color, clGreen);
    EXPECT_EQ(S.AddPalette(30, clYellow), 3);
    EXPECT_THROW(S.PaletteAt(4), ERangeError);
    EXPECT_THROW(S.PaletteAt(-1), ERangeError);
}

TEST(PaletteSeries, GeneratedPaletteStyles)
{
    auto S = MakeSeries(32); // values 0 .. 31
    EXPECT_EQ(S->PaletteCount(), 32); // built by the paint preparation
    EXPECT_EQ(S->PaletteAt(0).UpToValue, 0);
    EXPECT_EQ(S->PaletteAt(31).UpToValue, 31);
    // psPale step 0: sin 0, sin 0, cos 0.
    EXPECT_EQ(S->PaletteAt(0).Color, RGB(127, 127, 254));

    const struct { TPlotPaletteStyle Style; int Step; TColor Expected; } Rows[] = {
        {psGrayScale, 31, RGB(247, 247, 247)},
        {psGrayScale, 0, RGB(0, 0, 0)},
        {psInvGray, 31, RGB(8, 8, 8)},
        {psInvGray, 0, RGB(255, 255, 255)},
        {psRainbow, 0, 0x000099},
        {psRainbow, 24, 0xFF00CC},
        {psRainbow, 25, 0x000099},
        // psStrong step 8: x = π/2 → sin(π/4), sin(π/2), cos(π/2).
        {psStrong, 8, RGB(216, 254, 127)},
    };
    for (const auto& R : Rows) {
        const bool Changed = S->PaletteStyle() != R.Style;
        S->SetPaletteStyle(R.Style);
        // A new style empties the palette; the next paint rebuilds it.
        EXPECT_EQ(S->PaletteCount(), Changed ? 0 : 32) << R.Style;
        S->DoBeforeDrawChart();
        ASSERT_EQ(S->PaletteCount(), 32);
        EXPECT_EQ(S->PaletteAt(R.Step).Color, R.Expected) << R.Style << " " << R.Step;
    }
}

TEST(PaletteSeries, RainbowLeavesChartPaletteAlone)
{
    const TColor Before = GetPaletteColor(0);
    const int Length = static_cast<int>(ColorPalette().Length());
    auto S = MakeSeries(4); // no chart at all
    S->SetPaletteStyle(psRainbow);
    S->CreateDefaultPalette(4);
    ASSERT_EQ(S->PaletteCount(), 4);
    EXPECT_EQ(S->PaletteAt(3).Color, 0x001AFF);
    EXPECT_EQ(GetPaletteColor(0), Before);
    EXPECT_EQ(static_cast<int>(ColorPalette().Length()), Length);
}

TEST(PaletteSeries, PaletteStepMinAndCount)
{
    auto S = MakeSeries(11); // values 0 .. 10
    const struct { int Steps; double Step; bool UseMin; double Min; int Count; double Second; } Rows[] = {
        {11, 0, false, 0, 11, 1},   // automatic: range / (steps - 1)
        {6, 0, false, 0, 6, 2},
        {6, 3, false, 0, 6, 3},     // explicit width
        {6, 3, true, -5, 6, -2},    // from PaletteMin
        {1, 0, false, 0, 1, 0},
        {0, 0, false, 0, 0, 0},     // empty palette
        {-3, 0, false, 0, 0, 0},
    };
    for (const auto& R : Rows) {
        S->SetPaletteStep(R.Step);
        S->SetPaletteMin(R.Min);
        S->SetUsePaletteMin(R.UseMin);
        S->SetPaletteSteps(R.Steps);
        ASSERT_EQ(S->PaletteCount(), R.Count) << R.Steps;
        if (R.Count >= 2) {
            EXPECT_DOUBLE_EQ(S->PaletteAt(1).UpToValue, R.Second) << R.Steps;
        }
    }
    // Empty palette with UsePalette: the series colour.
    S->SetUseColorRange(false);
    S->SetSeriesColor(clGray);
    S->SetPaletteSteps(0);
    EXPECT_EQ(S->ColorForValue(3), clGray);
}

TEST(PaletteSeries, LegendRows)
{
    auto S = MakeSeries(32);
    S->SetUseColorRange(false);
    S->SetUsePalette(true);
    S->SetPaletteStyle(psGrayScale);
    S->DoBeforeDrawChart();
    ASSERT_EQ(S->PaletteCount(), 32);
    // (steps, every, rows): N div E + 1 would read step -1 when E divides N.
    const struct { int Steps; int Every; int Rows; } Rows[] = {
        {32, 1, 32}, {32, 3, 11}, {32, 2, 16}, {32, 4, 8}, {32, 32, 1}, {32, 40, 1}, {5, 5, 1}, {6, 2, 3}, {1, 2, 1}};
    for (const auto& R : Rows) {
        S->SetPaletteSteps(R.Steps);
        S->SetLegendEvery(R.Every);
        const int N = S->CountLegendItems();
        EXPECT_EQ(N, R.Rows) << R.Steps << "/" << R.Every;
        for (int I = 0; I < N; ++I) {
            const int P = S->LegendToPaletteIndex(I);
            ASSERT_GE(P, 0) << R.Steps << "/" << R.Every << " row " << I;
            EXPECT_EQ(P, R.Steps - R.Every * I - 1);
            EXPECT_EQ(S->LegendItemColor(I), S->PaletteAt(P).Color);
            QString Text;
            S->GetLegendText(I, TChartSeries::ltsPlain, Text);
            EXPECT_EQ(Text, S->FormattedValue(S->PaletteAt(P).UpToValue));
        }
        QString Beyond = "x";
        S->GetLegendText(N, TChartSeries::ltsPlain, Beyond);
        EXPECT_TRUE(Beyond.isEmpty());
    }
    // Every 3rd of 32: first row the highest step, last row step 1.
    S->SetPaletteSteps(32);
    S->SetLegendEvery(3);
    QString First, Last;
    S->GetLegendText(0, TChartSeries::ltsPlain, First);
    S->GetLegendText(10, TChartSeries::ltsPlain, Last);
    EXPECT_EQ(First, S->FormattedValue(31));
    EXPECT_EQ(Last, S->FormattedValue(1));
    // With the range on, the colour follows the step's value.
    S->SetUseColorRange(true);
    EXPECT_EQ(S->LegendItemColor(0), S->ColorForValue(31));
    // Neither range nor palette: one row per point.
    S->SetUseColorRange(false);
    S->SetUsePalette(false);
    EXPECT_EQ(S->CountLegendItems(), 32);
}

TEST(PaletteSeries, OnGetColorHasLastWord)
{
    auto S = MakeSeries(3);
    S->SetValueColor(2, clGreen);
    std::vector<int> Seen;
    S->OnGetColor = [&Seen](TChartSeries*, int Index, TColor& Color) {
        Seen.push_back(Index);
        if (Index == 0)
            Color = clYellow;
    };
    EXPECT_EQ(S->GetValueColor(0), clYellow);
    EXPECT_EQ(S->GetValueColor(1), RGB(127, 127, 191));
    EXPECT_EQ(S->GetValueColor(2), clGreen); // own colour kept
    EXPECT_EQ(Seen, (std::vector<int>{0, 1, 2}));
    // ColorEachPoint: the base's colour for points without their own.
    S->OnGetColor = nullptr;
    S->SetColorEachPoint(true);
    EXPECT_NE(S->GetValueColor(1), RGB(127, 127, 191));
    S->SetUseColorRange(true);
    EXPECT_FALSE(S->ColorEachPoint());
}

TEST(PaletteSeries, AssignGivesSameColours)
{
    auto A = MakeSeries(10);
    A->SetMidColor(clRed);
    A->SetLegendEvery(2);
    A->SetPaletteStyle(psInvGray);
    A->AddPalette(100, clGreen);
    TCustom3DPaletteSeries B;
    B.Assign(A.get());
    ASSERT_EQ(B.Count(), 10);
    EXPECT_EQ(B.MidColor(), clRed);
    EXPECT_EQ(B.LegendEvery(), 2);
    EXPECT_EQ(B.PaletteStyle(), psInvGray);
    EXPECT_EQ(B.PaletteCount(), A->PaletteCount());
    for (int I = 0; I < 10; ++I) {
        EXPECT_EQ(B.GetValueColor(I), A->GetValueColor(I)) << I;
        EXPECT_EQ(B.ZValues()->Value(I), 2 * I);
    }
}

TEST(PaletteSeries, AssignKeepsHandMadePalette)
{
    auto A = MakeSeries(10);
    A->SetUseColorRange(false);
    A->SetUsePalette(true);
    A->ClearPalette();
    A->AddPalette(3, clRed);
    A->AddPalette(6, clGreen);
    TCustom3DPaletteSeries B;
    B.SetUsePalette(true);
    B.AddXYZ(0, 0, 0);
    B.Assign(A.get());
    ASSERT_EQ(B.PaletteCount(), 2);
    for (int I = 0; I < 10; ++I)
        EXPECT_EQ(B.GetValueColor(I), A->GetValueColor(I)) << I;
    EXPECT_EQ(B.GetValueColor(0), clRed);
    EXPECT_EQ(B.GetValueColor(9), clGreen);
}

TEST(PaletteSeries, ClearEmptiesPaletteOnlyWithUsePalette)
{
    auto S = MakeSeries(4);
    ASSERT_EQ(S->PaletteCount(), 32);
    S->Clear();
    EXPECT_EQ(S->PaletteCount(), 32);
    S->AddXYZ(0, 0, 0);
    S->SetUsePalette(true);
    S->Clear();
    EXPECT_EQ(S->PaletteCount(), 0);
}

TEST(PaletteSeries, Gallery)
{
    TTestChart Chart;
    auto* S = new TCustom3DPaletteSeries(&Chart);
    Chart.AddSeries(S);
    QStringList Captions;
    S->CreateSubGallery([&Captions](const QString& C) { Captions << C; });
    ASSERT_FALSE(Captions.isEmpty());
    EXPECT_EQ(Captions.last(), PlotMsg_GalleryColorRange);
    S->PrepareForGallery(true);
    EXPECT_FALSE(S->UseColorRange());
    EXPECT_TRUE(S->UsePalette());
    EXPECT_EQ(S->PaletteStyle(), psRainbow);
    EXPECT_EQ(S->Pen()->Color(), clBlack);
    S->SetSubGallery(1);
    EXPECT_TRUE(S->UseColorRange());
    EXPECT_FALSE(S->UsePalette());
    S->PrepareForGallery(false);
    EXPECT_EQ(S->Pen()->Color(), clGray);
    const struct { bool Is3D; int Rotation, Elevation, Perspective; } Rows[] = {{false, 0, 270, 0}, {true, 335, 340, 160}};
    for (const auto& R : Rows) {
        S->GalleryChanged3D(R.Is3D);
        EXPECT_TRUE(Chart.View3D());
        EXPECT_EQ(Chart.View3DOptions()->Zoom(), 60);
        EXPECT_EQ(Chart.View3DOptions()->VertOffset(), -2);
        EXPECT_EQ(Chart.View3DOptions()->Rotation(), R.Rotation);
        EXPECT_EQ(Chart.View3DOptions()->Elevation(), R.Elevation);
        EXPECT_EQ(Chart.View3DOptions()->Perspective(), R.Perspective);
    }
}

TEST(PaletteSeries, LegendShapeIsRangeGradient)
{
    TRecordingDC DC{100, 100};
    TCanvas Target{&DC};
    TTestChart Chart;
    Chart.SetBufferedDisplay(false);
    auto* S = new TCustom3DPaletteSeries(&Chart);
    Chart.AddSeries(S);
    Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, false, TRect{0, 0, 100, 100});
    Chart.Canvas().ResetState();
    Chart.Canvas().SetProjection(0, TRect{0, 0, 100, 100});
    DC.ClearCalls();
    S->DrawLegendShape(-1, TRect{10, 10, 40, 70});
    const QStringList& Calls = DC.Calls();
    ASSERT_GE(Calls.size(), 4);
    // A clear-brushed frame over the rectangle first.
    EXPECT_TRUE(Calls[0].startsWith("SelectBrush(null")) << qPrintable(Calls[0]);
    EXPECT_EQ(Calls[1], "Rectangle(10,10,40,70)");
    // Then the range fills the rectangle inset by one pixel: from EndColor
    // (white) at one side to StartColor (navy) at the other.
    QStringList Colors;
    int Fills = 0;
    for (const QString& C : Calls) {
        if (C.startsWith("SetDCBrushColor("))
            Colors << C;
        if (C.startsWith("PatBlt(")) {
            ++Fills;
            const QStringList Args = C.mid(7).split(',');
            ASSERT_GE(Args.size(), 4);
            const int X = Args[0].toInt(), Y = Args[1].toInt(), W = Args[2].toInt(), H = Args[3].toInt();
            EXPECT_GE(X, 11);
            EXPECT_GE(Y, 11);
            EXPECT_LE(X + W, 39);
            EXPECT_LE(Y + H, 69);
        }
    }
    EXPECT_GE(Fills, 58);
    ASSERT_FALSE(Colors.isEmpty());
    EXPECT_EQ(Colors.first(), "SetDCBrushColor(0xFFFFFF)");
    EXPECT_EQ(Colors.last(), "SetDCBrushColor(0x800000)");

    // A single point's row draws the base's shape: no gradient.
    DC.ClearCalls();
    S->DrawLegendShape(0, TRect{10, 10, 40, 70});
    EXPECT_FALSE(DC.Calls().join(' ').contains("SetDCBrushColor(0x800000)"));
}

TEST(Custom3DSeries, ContinuousLegendSymbolClearsPen)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 100, 100);
    auto* S = new TCustom3DPaletteSeries(&Chart);
    Chart.AddSeries(S);
    const auto Bitmap = test::BindCanvas(Chart);
    for (const bool Continuous : {false, true}) {
        Chart.Legend()->Symbol()->SetContinuous(Continuous);
        Chart.Canvas().Pen()->SetStyle(TPen::psSolid);
        TColor Back = clWhite;
        TBrush::TBrushStyle Style = TBrush::bsSolid;
        S->PrepareLegendCanvas(0, Back, Style);
        EXPECT_EQ(Chart.Canvas().Pen()->Style(), Continuous ? TPen::psClear : TPen::psSolid) << Continuous;
    }
}

} // namespace
} // namespace lp
