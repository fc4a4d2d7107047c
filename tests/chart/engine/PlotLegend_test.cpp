// The chart legend: defaults, the resolved style and its series, item texts,
// the layout of side and top/bottom legends, paging, custom positions, the
// chart rectangle it takes, check boxes, the hit test and its drawing.

#include "chart/engine/PlotLegend.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

// An axis panel that owns a legend and drives it as the chart control
// does: non-custom legends before the series, custom ones after them; the
// three legend hooks forward to test handlers.
class TLegendChart : public TCustomAxisPanel {
public:
    TLegendChart() : Legend(std::make_unique<TChartLegend>(this))
    {
        SetWidth(400);
        SetHeight(250);
        SetAxisVisible(false);
        SetView3D(false);
    }

    bool IsFreeSeriesColor(TColor AColor, bool, const TChartSeries* Series) const override
    {
        for (TChartSeries* S : SeriesList())
            if (S != Series && S->GetSeriesColor() == AColor)
                return false;
        return true;
    }
    int CalcWallSize(const TChartAxis*) const override { return 0; }
    QString GetValueLegendText(TChartSeries* Series, int ValueIndex) override
    {
        return ValueLegendText(Series, ValueIndex, Legend->TextStyle());
    }
    void DoGetLegendText(int Style, int Index, QString& Text) override
    {
        if (OnText)
            OnText(Style, Index, Text);
    }
    void DoGetLegendRect(TRect& Rect) override
    {
        if (OnRect)
            OnRect(Rect);
    }
    void DoGetLegendPos(int Index, int& X, int& Y, int& XColor) override
    {
        if (OnPos)
            OnPos(Index, X, Y, XColor);
    }
    void DrawLegendShapeRect(const TRect& Rect) override
    {
        if (Legend->Symbol()->Gradient()->Visible())
            Legend->Symbol()->Draw(Canvas().Brush()->Color(), Rect);
        else
            TCustomAxisPanel::DrawLegendShapeRect(Rect);
    }

    // A series with Count points labelled Label (values 1, 2, 3, ...).
    TChartSeries* NewSeries(const QString& Title, TColor Color, int Count = 3, const QString& Label = {})
    {
        auto* S = new TChartSeries(this);
        AddSeries(S);
        S->SetTitle(Title);
        S->SetSeriesColor(Color);
        for (int I = 0; I < Count; ++I)
            S->AddXY(I, I + 1, Label);
        return S;
    }

    using TCustomAxisPanel::Paint;
    // One drawing pass into a bitmap of the chart's size.
    std::unique_ptr<TBitmap> Paint()
    {
        auto Target = std::make_unique<TBitmap>(Width(), Height());
        DrawToCanvas(&Target->Canvas(), GetRectangle());
        return Target;
    }
    // Binds the canvas (after one pass, so the panel bounds are known) and
    // puts the chart rectangle at Rect, as the paint does before the legend.
    void Prepare(const TRect& Rect)
    {
        if (!FBound) {
            const bool Visible = Legend->Visible();
            Legend->SetVisible(false);
            Paint();
            Legend->SetVisible(Visible);
            FTarget = test::BindCanvas(*this);
            FBound = true;
        }
        SetChartRectangle(Rect);
        RecalcWidthHeight();
        Canvas().ResetState();
    }
    int TextWidth(const QString& Text)
    {
        Canvas().AssignFont(*Legend->Font());
        return Canvas().TextWidth(Text);
    }
    int FontHeight()
    {
        Canvas().AssignFont(*Legend->Font());
        return Canvas().FontHeight();
    }

    std::unique_ptr<TChartLegend> Legend;
    std::function<void(int, int, QString&)> OnText;
    std::function<void(TRect&)> OnRect;
    std::function<void(int, int&, int&, int&)> OnPos;
    TRect RectBeforeLegend;

protected:
    void CalcWallsRect() override {}
    void DrawWalls() override {}
    void DrawTitlesAndLegend(bool BeforeSeries) override
    {
        if (BeforeSeries == Legend->CustomPosition() || !Legend->ShouldDraw())
            return;
        RectBeforeLegend = ChartRectangle();
        Legend->DrawLegend();
    }

private:
    bool FBound = false;
    std::unique_ptr<TBitmap> FTarget;
};

const TRect PlotArea{20, 20, 380, 230};

int Round(double Value)
{
    return static_cast<int>(std::nearbyint(Value));
}

// --- Defaults ----------------------------------------------------------------------------------

// Every published default matches the fresh object, so nothing is stored.
TEST(Legend, FreshObjectsStoreNothing)
{
    TLegendChart Chart;
    TChartLegend& L = *Chart.Legend;
    const std::vector<QObject*> Objects = {&L, L.Symbol(), L.Title(), L.Gradient(), L.Title()->Shadow(),
                                           L.Title()->Font()};
    for (QObject* Object : Objects)
        for (const QMetaProperty& P : PublishedProperties(Object)) {
            if (P.metaType().flags() & QMetaType::PointerToQObject)
                continue;
            EXPECT_FALSE(IsPropertyStored(Object, P.name())) << Object->metaObject()->className() << "." << P.name();
        }
}

TEST(Legend, DefaultsOfTheLegendItsSymbolTitleAndGradient)
{
    TLegendChart Chart;
    TChartLegend& L = *Chart.Legend;
    EXPECT_EQ(L.Alignment(), laRight);
    EXPECT_EQ(L.TopPos(), 10);
    EXPECT_EQ(L.MaxNumRows(), 10);
    EXPECT_EQ(L.TextStyle(), TChartSeries::ltsLeftValue);
    EXPECT_EQ(L.PositionUnits(), muPixels);
    EXPECT_EQ(L.ColorWidth(), 20);
    EXPECT_TRUE(L.ResizeChart());
    EXPECT_TRUE(L.CurrentPage());
    EXPECT_FALSE(L.DividingLines()->Visible());
    EXPECT_EQ(L.Color(), clWhite);
    EXPECT_EQ(L.Symbol()->WidthUnits(), lcsPercent);
    EXPECT_EQ(L.Symbol()->Position(), spLeft);
    EXPECT_TRUE(L.Symbol()->DefaultPen());
    EXPECT_TRUE(L.Title()->Transparent());
    EXPECT_TRUE(L.Title()->Font()->Style().testFlag(TFont::fsBold));
    EXPECT_EQ(L.Title()->Shadow()->Size(), 2);
    EXPECT_EQ(L.Title()->Shadow()->Color(), clSilver);
    EXPECT_EQ(L.Title()->TextAlignment(), TLegendTitle::taLeftJustify);
    auto* G = qobject_cast<TChartLegendGradient*>(L.Gradient());
    ASSERT_NE(G, nullptr);
    EXPECT_EQ(G->Direction(), gdRightLeft);
    EXPECT_EQ(G->StartColor(), clSilver);
    EXPECT_EQ(G->EndColor(), clWhite);
    L.SetColorWidth(35);
    EXPECT_EQ(L.Symbol()->Width(), 35);
}

TEST(Legend, NegativeFirstValueIsRefusedAndKept)
{
    TLegendChart Chart;
    Chart.Legend->SetFirstValue(2);
    try {
        Chart.Legend->SetFirstValue(-1);
        FAIL() << "no exception";
    } catch (const LegendException& E) {
        EXPECT_EQ(QString::fromStdString(E.Message()), PlotMsg_LegendFirstValue);
    }
    EXPECT_EQ(Chart.Legend->FirstValue(), 2);
}

TEST(Legend, SettingLeftOrTopMakesThePositionCustomAndStored)
{
    TLegendChart Chart;
    TChartLegend& L = *Chart.Legend;
    EXPECT_FALSE(IsPropertyStored(&L, "Left"));
    L.SetTop(33);
    EXPECT_TRUE(L.CustomPosition());
    EXPECT_EQ(L.Top(), 33);
    EXPECT_TRUE(IsPropertyStored(&L, "Left"));
    EXPECT_TRUE(IsPropertyStored(&L, "Top"));
}

TEST(Legend, AssignCopiesSettingsAndPosition)
{
    TLegendChart A;
    TLegendChart B;
    A.Legend->SetAlignment(laBottom);
    A.Legend->SetCheckBoxes(true);
    A.Legend->Symbol()->SetSquared(true);
    A.Legend->Title()->Text()->Add("Layers");
    A.Legend->SetLeft(12);
    A.Legend->SetColor(clYellow);
    B.Legend->Assign(A.Legend.get());
    EXPECT_EQ(B.Legend->Alignment(), laBottom);
    EXPECT_TRUE(B.Legend->CheckBoxes());
    EXPECT_TRUE(B.Legend->Symbol()->Squared());
    EXPECT_EQ(B.Legend->Title()->Text()->Count(), 1);
    EXPECT_TRUE(B.Legend->CustomPosition());
    EXPECT_EQ(B.Legend->Left(), 12);
    EXPECT_EQ(B.Legend->Color(), clYellow);
}

// --- Style and series ----------------------------------------------------------------------------

TEST(Legend, ResolvedStyleAndWhetherItDraws)
{
    struct TRow {
        TLegendStyle Style;
        bool CheckBoxes;
        int Active;
        TLegendStyle Expected;
        bool Draws;
    };
    const TRow Rows[] = {
        {lsAuto, false, 1, lsValues, true},       {lsAuto, false, 0, lsValues, false},
        {lsAuto, false, 2, lsSeries, true},       {lsAuto, true, 1, lsSeries, true},
        {lsAuto, true, 0, lsSeries, true},        {lsValues, true, 0, lsValues, false},
        {lsLastValues, false, 1, lsLastValues, true}, {lsSeries, false, 0, lsSeries, false},
    };
    for (const TRow& Row : Rows) {
        TLegendChart Chart;
        for (int I = 0; I < 3; ++I)
            Chart.NewSeries(QString::number(I), clRed + I)->SetActive(I < Row.Active);
        Chart.Legend->SetLegendStyle(Row.Style);
        Chart.Legend->SetCheckBoxes(Row.CheckBoxes);
        EXPECT_EQ(Chart.Legend->CalcLegendStyle(), Row.Expected) << Row.Style << Row.CheckBoxes << Row.Active;
        EXPECT_EQ(Chart.Legend->ShouldDraw(), Row.Draws) << Row.Style << Row.CheckBoxes << Row.Active;
    }
    TLegendChart Hidden;
    Hidden.NewSeries("A", clRed);
    Hidden.Legend->SetVisible(false);
    EXPECT_FALSE(Hidden.Legend->ShouldDraw());
}

TEST(Legend, TheSeriesWhoseValuesAreListed)
{
    TLegendChart Chart;
    TChartSeries* A = Chart.NewSeries("A", clRed);
    TChartSeries* B = Chart.NewSeries("B", clBlue);
    TChartSeries* C = Chart.NewSeries("C", clGreen);
    A->SetActive(false);
    B->SetShowInLegend(false);
    EXPECT_EQ(Chart.Legend->GetLegendSeries(), C); // first active shown in the legend
    C->SetActive(false);
    EXPECT_EQ(Chart.Legend->GetLegendSeries(), B); // else the first active
    B->SetActive(false);
    EXPECT_EQ(Chart.Legend->GetLegendSeries(), nullptr);
    Chart.Legend->SetSeries(A);
    EXPECT_EQ(Chart.Legend->GetLegendSeries(), A); // explicit, even inactive

    TLegendChart Other;
    TChartSeries* Foreign = Other.NewSeries("F", clRed);
    Chart.Legend->SetSeries(Foreign);
    EXPECT_EQ(Chart.Legend->GetLegendSeries(), nullptr); // not on this chart
    delete Foreign;
    EXPECT_EQ(Chart.Legend->Series(), nullptr); // forgotten when it goes
}

TEST(Legend, SeriesOfASeriesLegendByCheckMode)
{
    struct TRow {
        int Mode;
        bool CheckBoxes;
        std::vector<int> Expected;
    };
    const TRow Rows[] = {
        {0, false, {0, 2, 3}}, {1, false, {0, 1, 3}}, {2, false, {0, 1, 2}},
        {0, true, {0, 1, 2, 3}}, {2, true, {0, 1, 2, 3}}, {7, false, {}},
    };
    for (const TRow& Row : Rows) {
        TLegendChart Chart;
        std::vector<TChartSeries*> S;
        for (int I = 0; I < 5; ++I)
            S.push_back(Chart.NewSeries(QString(QChar('A' + I)), clRed + I));
        S[1]->SetActive(false);
        S[2]->SetHorizontalExcluded(true);
        S[3]->SetVerticalExcluded(true);
        S[4]->SetShowInLegend(false);
        Chart.SetLegendCheckMode(Row.Mode);
        Chart.Legend->SetCheckBoxes(Row.CheckBoxes);
        std::vector<int> Got;
        for (TChartSeries* Listed : Chart.Legend->LegendSeriesList())
            Got.push_back(static_cast<int>(std::find(S.begin(), S.end(), Listed) - S.begin()));
        EXPECT_EQ(Got, Row.Expected) << "mode " << Row.Mode << " boxes " << Row.CheckBoxes;
        EXPECT_EQ(Chart.Legend->CountItems(), static_cast<int>(Row.Expected.size()));
    }
}

TEST(Legend, ItemTextsInEachStyle)
{
    TLegendChart Chart;
    TChartSeries* A = Chart.NewSeries("Alpha", clRed, 2, "lbl");
    TChartSeries* B = Chart.NewSeries("Beta", clBlue, 4);
    B->SetYValue(3, 9);
    A->Labels().SetLabel(1, QString("two") + PlotLineSeparator + "lines");
    Chart.Legend->SetLegendStyle(lsSeries);
    EXPECT_EQ(Chart.Legend->GetItemText(0), "Alpha");
    EXPECT_EQ(Chart.Legend->GetItemText(1), "Beta");
    EXPECT_EQ(Chart.Legend->GetItemText(2), "");
    Chart.Legend->SetLegendStyle(lsLastValues);
    EXPECT_EQ(Chart.Legend->GetItemText(1), "9");
    Chart.Legend->SetLegendStyle(lsValues);
    EXPECT_EQ(Chart.Legend->GetItemText(0), QString("1") + PlotColumnSeparator + "lbl");
    EXPECT_EQ(Chart.Legend->GetItemText(1), QString("2") + PlotColumnSeparator + "two lines");
    Chart.Legend->SetTextStyle(TChartSeries::ltsPlain);
    EXPECT_EQ(Chart.Legend->GetItemText(0), "lbl");
    // The chart's hook sees the resolved style and may change the text.
    std::vector<int> Styles;
    Chart.OnText = [&](int Style, int Index, QString& Text) {
        Styles.push_back(Style);
        Text = QString("#%1 ").arg(Index) + Text;
    };
    EXPECT_EQ(Chart.Legend->GetItemText(1), "#1 two lines");
    EXPECT_EQ(Styles, std::vector<int>{lsValues});
    EXPECT_EQ(ValueLegendText(nullptr, 0, TChartSeries::ltsPlain), "");
    EXPECT_EQ(ValueLegendText(A, -1, TChartSeries::ltsPlain), "");
}

// --- Layout --------------------------------------------------------------------------------------

TEST(LegendLayout, RightLegendOfThreeSeries)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    Chart.NewSeries("Gamma", clGreen);
    // Code 6 splits a text into two columns (at most two).
    Chart.OnText = [](int, int Index, QString& Text) {
        if (Index == 1)
            Text = QString("Be") + PlotColumnSeparator + "ta" + PlotColumnSeparator + "x";
    };
    Chart.Prepare(PlotArea);
    TChartLegend& L = *Chart.Legend;
    ASSERT_TRUE(L.CalcLayout());

    const int Col0 = std::max({Chart.TextWidth("Alpha"), Chart.TextWidth("Be"), Chart.TextWidth("Gamma")});
    const int Col1 = Chart.TextWidth("ta x");
    const int Gap = Chart.TextWidth(" ");
    const int Text = Col0 + Gap + Col1;
    const int Symbol = Round(Text * 0.2) + 10;
    const int Ih = Chart.FontHeight();
    EXPECT_EQ(L.ResolvedStyle(), lsSeries);
    EXPECT_EQ(L.ColumnWidth(0), Col0);
    EXPECT_EQ(L.ColumnWidth(1), Col1);
    EXPECT_EQ(L.SymbolWidth(), Symbol);
    EXPECT_EQ(L.ItemHeight(), Ih);
    EXPECT_EQ(L.NumCols(), 1);
    EXPECT_EQ(L.NumRows(), 3);
    EXPECT_EQ(L.LastValue(), 2);
    EXPECT_EQ(L.Items()[1].Text[0], "Be");
    EXPECT_EQ(L.Items()[1].Text[1], "ta x");

    const TRect R = L.RectLegend();
    const int Top = Chart.PanelBounds().Top + Round(10 * Chart.PanelBounds().Height() * 0.01);
    EXPECT_EQ(R.Top, Top);
    EXPECT_EQ(R.Bottom - R.Top, Ih * 3 + 2 + 2 * Round(Ih * 0.1));
    EXPECT_EQ(R.Right - R.Left, Text + 10 + Symbol);
    EXPECT_EQ(R.Right, PlotArea.Right - (3 + 1 + 1)); // legend shadow 3, frame 1
    EXPECT_EQ(L.ItemsTop(), R.Top + 1 + 1);
}

// Symbols of short texts were a pixel or two wide: the 10 pixels that a
// percentage width adds were missing.
TEST(LegendLayout, PercentSymbolWidthAddsTenPixels)
{
    TLegendChart Chart;
    TLegendSymbol& Symbol = *Chart.Legend->Symbol();
    EXPECT_EQ(Symbol.CalcWidth(5, 17), 11);
    EXPECT_EQ(Symbol.CalcWidth(0, 17), 10);
    EXPECT_EQ(Symbol.CalcWidth(200, 17), 50);
    Symbol.SetWidth(50);
    EXPECT_EQ(Symbol.CalcWidth(7, 17), 14); // 3.5 rounds half to even
    Symbol.SetWidthUnits(lcsPixels);
    EXPECT_EQ(Symbol.CalcWidth(200, 17), 50);
    Symbol.SetVisible(false);
    EXPECT_EQ(Symbol.CalcWidth(200, 17), 0);
}

TEST(LegendLayout, SideLegendVariants)
{
    struct TRow {
        const char* Name;
        std::function<void(TLegendChart&)> Setup;
        std::function<void(TLegendChart&, const TChartLegend&)> Check;
    };
    const TRow Rows[] = {
        {"left edge", [](TLegendChart& C) { C.Legend->SetAlignment(laLeft); },
         [](TLegendChart&, const TChartLegend& L) { EXPECT_EQ(L.RectLegend().Left, PlotArea.Left + 1 + 1); }},
        {"check boxes widen and heighten",
         [](TLegendChart& C) { C.Legend->SetCheckBoxes(true); },
         [](TLegendChart& C, const TChartLegend& L) {
             EXPECT_EQ(L.ItemHeight(), std::max(17, C.FontHeight()));
             EXPECT_EQ(L.RectLegend().Right - L.RectLegend().Left,
                       L.ColumnWidth(0) + 10 + L.SymbolWidth() + 15);
         }},
        {"spacing and dividing lines",
         [](TLegendChart& C) {
             C.Legend->SetVertSpacing(4);
             C.Legend->DividingLines()->SetVisible(true);
             C.Legend->DividingLines()->SetWidth(2);
         },
         [](TLegendChart& C, const TChartLegend& L) { EXPECT_EQ(L.ItemHeight(), C.FontHeight() + 4 + 2); }},
        {"pixel symbol", [](TLegendChart& C) {
             C.Legend->Symbol()->SetWidthUnits(lcsPixels);
             C.Legend->Symbol()->SetWidth(31);
         },
         [](TLegendChart&, const TChartLegend& L) { EXPECT_EQ(L.SymbolWidth(), 31); }},
        {"squared symbol", [](TLegendChart& C) { C.Legend->Symbol()->SetSquared(true); },
         [](TLegendChart&, const TChartLegend& L) { EXPECT_EQ(L.SymbolWidth(), L.ItemHeight() - 5); }},
        {"hidden symbol", [](TLegendChart& C) { C.Legend->Symbol()->SetVisible(false); },
         [](TLegendChart&, const TChartLegend& L) { EXPECT_EQ(L.SymbolWidth(), 0); }},
        {"size hook widens", [](TLegendChart& C) {
             C.Legend->OnCalcSize = [](TCustomChartLegend*, int& Extra) { Extra += 7; };
         },
         [](TLegendChart&, const TChartLegend& L) {
             EXPECT_EQ(L.RectLegend().Right - L.RectLegend().Left, L.ColumnWidth(0) + 10 + L.SymbolWidth() + 7);
         }},
        {"title room", [](TLegendChart& C) { C.Legend->Title()->Text()->SetText("Layers\r\nof the model"); },
         [](TLegendChart& C, const TChartLegend& L) {
             C.Canvas().AssignFont(*C.Legend->Title()->Font());
             const int TitleH = 2 * C.Canvas().FontHeight();
             const int TitleW = C.Canvas().TextWidth("of the model") + C.Canvas().TextWidth("W");
             EXPECT_EQ(L.ItemsTop(), L.RectLegend().Top + TitleH + 2 + 1 + 1);
             EXPECT_GE(L.RectLegend().Right - L.RectLegend().Left, TitleW);
         }},
        {"rows that fit", [](TLegendChart& C) { C.Legend->SetTopPos(80); },
         [](TLegendChart& C, const TChartLegend& L) {
             const int Ih = L.ItemHeight();
             const int Top = Round(80 * C.PanelBounds().Height() * 0.01);
             EXPECT_EQ(L.RectLegend().Top, Top);
             EXPECT_EQ(L.NumRows(), std::min(3, (PlotArea.Bottom - Top - 2 - 2 * Round(Ih * 0.1)) / Ih));
             EXPECT_LT(L.NumRows(), 3);
         }},
        {"no room at all", [](TLegendChart& C) { C.Legend->SetTopPos(95); },
         [](TLegendChart&, const TChartLegend& L) {
             EXPECT_EQ(L.NumRows(), 0);
             EXPECT_EQ(L.LastValue(), -1);
         }},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TLegendChart Chart;
        Chart.NewSeries("Alpha", clRed);
        Chart.NewSeries("Beta", clBlue);
        Chart.NewSeries("Gamma", clGreen);
        Row.Setup(Chart);
        Chart.Prepare(PlotArea);
        Chart.Legend->CalcLayout();
        Row.Check(Chart, *Chart.Legend);
    }
}

// Items all as wide: a values legend of one series labelled "P".
struct TGridCase {
    int Points;
    int MaxNumRows;
    int Columns;
    int Rows;
    int LastValue;
};

TEST(LegendLayout, BottomLegendColumnsAndRows)
{
    const TGridCase Cases[] = {
        {35, 10, 4, 9, 34}, {50, 10, 4, 10, 39}, {3, 10, 3, 1, 2}, {12, 1, 12, 1, 11}, {50, 0, 4, 13, 49},
    };
    for (const TGridCase& Case : Cases) {
        SCOPED_TRACE(Case.Points);
        TLegendChart Chart;
        Chart.NewSeries("S", clRed, Case.Points, "P");
        TChartLegend& L = *Chart.Legend;
        L.SetAlignment(laBottom);
        L.SetTextStyle(TChartSeries::ltsPlain);
        L.SetMaxNumRows(Case.MaxNumRows);
        Chart.Prepare(PlotArea);
        L.CalcLayout();
        // A chart exactly wide enough for four columns (plus a little).
        const int Step = L.ColumnWidth(0) + L.SymbolWidth() + 6;
        Chart.Prepare(TRect{20, 20, 20 + 4 * Step + 10 + Step / 2, 230});
        ASSERT_TRUE(L.CalcLayout());
        EXPECT_EQ(L.ResolvedStyle(), lsValues);
        EXPECT_EQ(L.TotalLegendItems(), Case.Points);
        EXPECT_EQ(L.NumCols(), Case.Columns);
        EXPECT_EQ(L.NumRows(), Case.Rows);
        EXPECT_EQ(L.LastValue(), Case.LastValue);
        const TRect R = L.RectLegend();
        const int Ih = L.ItemHeight();
        EXPECT_EQ(R.Bottom - R.Top, Ih * Case.Rows + 2 + 2 * Round(Ih * 0.1));
        const int ItemWidth = L.ColumnWidth(0) + L.SymbolWidth();
        const int Width =
            std::min(ItemWidth * Case.Columns + 12 + (Case.Columns - 1) * 6 + 4, Chart.ChartRectWidth());
        EXPECT_EQ(R.Right - R.Left, Width);
        const int Shadow = Chart.Shadow() ? Chart.Shadow()->VertSize() : 0;
        EXPECT_EQ(R.Bottom, 230 - (Shadow + 1 + 1));
    }
}

TEST(LegendLayout, TopLegendPlacementCheckBoxesAndSizeHook)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    TChartLegend& L = *Chart.Legend;
    L.SetAlignment(laTop);
    L.SetCheckBoxes(true);
    L.OnCalcSize = [](TCustomChartLegend*, int& Extra) { Extra = 5; };
    Chart.Prepare(PlotArea);
    ASSERT_TRUE(L.CalcLayout());
    EXPECT_EQ(L.NumCols(), 2);
    const TRect R = L.RectLegend();
    const int Ih = L.ItemHeight();
    const int Width = (L.ColumnWidth(0) + L.SymbolWidth()) * 2 + 12 + 6 + 4 + 2 * 15 + 8;
    EXPECT_EQ(R.Right - R.Left, Width);
    EXPECT_EQ(R.Bottom - R.Top, Ih + 2 + 2 * Round(Ih * 0.1) + 5);
    EXPECT_EQ(R.Top, PlotArea.Top + 1 + 1);
    const int Half = Width / 2;
    EXPECT_EQ(R.Left, Chart.ChartCenterX() - Half + Round(10 * (Chart.PanelBounds().Width() - 2 * Half) * 0.01));
}

TEST(LegendLayout, PagingMovesTheFirstValue)
{
    TLegendChart Chart;
    TChartSeries* S = Chart.NewSeries("S", clRed, 60);
    Chart.SetMaxPointsPerPage(20);
    Chart.SetPage(3);
    TChartLegend& L = *Chart.Legend;
    Chart.Prepare(PlotArea);
    L.SetMaxNumRows(0);
    L.CalcLayout();
    EXPECT_EQ(L.FirstValue(), 40);
    EXPECT_EQ(L.TotalLegendItems(), 20);
    EXPECT_EQ(L.Items()[0].Text[0], "41");
    L.SetCurrentPage(false);
    L.SetFirstValue(5);
    L.CalcLayout();
    EXPECT_EQ(L.FirstValue(), 5);
    EXPECT_EQ(L.TotalLegendItems(), 55);
    // A series legend on a paged chart starts at its first series.
    L.SetCurrentPage(true);
    Chart.NewSeries("T", clBlue);
    L.CalcLayout();
    EXPECT_EQ(L.ResolvedStyle(), lsSeries);
    EXPECT_EQ(L.FirstValue(), 0);
    EXPECT_EQ(L.LastValue(), 1);
    (void)S;
}

TEST(LegendLayout, FirstValueBeyondTheItemsShowsNothing)
{
    TLegendChart Chart;
    Chart.NewSeries("S", clRed, 4);
    Chart.Legend->SetCurrentPage(false);
    Chart.Legend->SetFirstValue(9);
    Chart.Prepare(PlotArea);
    EXPECT_FALSE(Chart.Legend->CalcLayout());
    EXPECT_EQ(Chart.Legend->LastValue(), -1);
    EXPECT_EQ(Chart.Legend->Clicked(Chart.Legend->Left() + 2, Chart.Legend->Top() + 2), -1);
    Chart.Legend->DrawLegend();
    EXPECT_EQ(Chart.ChartRectangle(), PlotArea); // not reduced
}

TEST(LegendLayout, CustomPositionInPixelsAndPercent)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    TChartLegend& L = *Chart.Legend;
    L.SetLeft(50);
    L.SetTop(60);
    Chart.Prepare(PlotArea);
    L.DrawLegend();
    EXPECT_EQ(L.RectLegend().Left, 50);
    EXPECT_EQ(L.RectLegend().Top, 60);
    EXPECT_EQ(Chart.ChartRectangle(), PlotArea);

    L.SetPositionUnits(muPercent);
    L.SetLeftPercent(25);
    L.SetTopPercent(40);
    Chart.Prepare(PlotArea);
    L.DrawLegend();
    const TRect Panel = Chart.PanelBounds();
    EXPECT_EQ(L.RectLegend().Left, Panel.Left + Round(25 * Panel.Width() * 0.01));
    EXPECT_EQ(L.RectLegend().Top, Panel.Top + Round(40 * Panel.Height() * 0.01));
    EXPECT_EQ(Chart.ChartRectangle(), PlotArea);
}

TEST(LegendLayout, TheChartsRectangleHookMovesTheLegend)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    Chart.OnRect = [](TRect& R) {
        R.Left -= 30;
        R.Right -= 30;
    };
    Chart.Prepare(PlotArea);
    Chart.Legend->CalcLayout();
    EXPECT_EQ(Chart.Legend->RectLegend().Right, PlotArea.Right - 5 - 30);
}

TEST(LegendLayout, ResizeChartTakesTheLegendsRoom)
{
    struct TRow {
        TLegendAlignment Alignment;
        int Margin; // 0: the percentage
    };
    const TRow Rows[] = {{laLeft, 0}, {laRight, 0}, {laTop, 0}, {laBottom, 0}, {laLeft, 9}, {laBottom, 7}};
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(int(Row.Alignment));
        TLegendChart Chart;
        Chart.NewSeries("Alpha", clRed);
        Chart.NewSeries("Beta", clBlue);
        TChartLegend& L = *Chart.Legend;
        L.SetAlignment(Row.Alignment);
        L.SetHorizMargin(Row.Margin);
        L.SetVertMargin(Row.Margin);
        Chart.Prepare(PlotArea);
        const int W = Chart.ChartRectWidth();
        const int H = Chart.ChartRectHeight();
        L.DrawLegend();
        const TRect R = L.RectLegend();
        const TRect C = Chart.ChartRectangle();
        const int HM = Row.Margin ? Row.Margin : Round(W * 3 * 0.01);
        const int VM = Row.Margin ? Row.Margin : Round(H * 4 * 0.01);
        const int PanelShadow = Chart.Shadow() ? Chart.Shadow()->VertSize() : 0;
        switch (Row.Alignment) {
        case laLeft:
            EXPECT_EQ(C, (TRect{R.Right + HM, PlotArea.Top, PlotArea.Right, PlotArea.Bottom}));
            break;
        case laRight:
            EXPECT_EQ(C, (TRect{PlotArea.Left, PlotArea.Top, R.Left - HM, PlotArea.Bottom}));
            break;
        case laTop:
            EXPECT_EQ(C, (TRect{PlotArea.Left, R.Bottom + PanelShadow + VM, PlotArea.Right, PlotArea.Bottom}));
            break;
        case laBottom:
            EXPECT_EQ(C, (TRect{PlotArea.Left, PlotArea.Top, PlotArea.Right, R.Top - VM}));
            break;
        }
        EXPECT_EQ(Chart.ChartRectWidth(), C.Right - C.Left);
    }
    // Switched off, or with a fixed rectangle, the chart keeps its room.
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.Legend->SetResizeChart(false);
    Chart.Prepare(PlotArea);
    Chart.Legend->DrawLegend();
    EXPECT_EQ(Chart.ChartRectangle(), PlotArea);
    Chart.Legend->SetResizeChart(true);
    Chart.SetFixedChartRectangle(true);
    Chart.Prepare(PlotArea);
    Chart.Legend->DrawLegend();
    EXPECT_EQ(Chart.ChartRectangle(), PlotArea);
}

// --- Hit test and check boxes ------------------------------------------------------------------

TEST(LegendMouse, ItemUnderThePoint)
{
    TLegendChart Chart;
    for (int I = 0; I < 4; ++I)
        Chart.NewSeries(QString("Series %1").arg(I), clRed + I);
    TChartLegend& L = *Chart.Legend;
    Chart.Prepare(PlotArea);
    L.CalcLayout();
    const TRect R = L.RectLegend();
    const int Ih = L.ItemHeight();
    const int X = (R.Left + R.Right) / 2;
    const auto RowY = [&](int Row) { return L.ItemsTop() + Row * Ih + Ih / 2; };
    struct TRow {
        int X;
        int Y;
        int Expected;
    };
    const TRow Rows[] = {
        {X, RowY(0), 0}, {X, RowY(3), 3}, {R.Left - 1, RowY(1), -1}, {X, R.Top, -1}, {X, R.Bottom, -1},
        {R.Right - 1, RowY(2), 2},
    };
    for (const TRow& Row : Rows)
        EXPECT_EQ(L.Clicked(Row.X, Row.Y), Row.Expected) << Row.X << "," << Row.Y;
    L.SetInverted(true);
    EXPECT_EQ(L.Clicked(X, RowY(0)), 3);
    EXPECT_EQ(L.Clicked(X, RowY(3)), 0);
    // A hidden legend has nothing under the mouse, whatever it showed last.
    L.SetVisible(false);
    EXPECT_EQ(L.Clicked(X, RowY(0)), -1);
    L.SetVisible(true);

    // A bottom legend: row and column; beyond the last item nothing.
    L.SetInverted(false);
    L.SetAlignment(laBottom);
    L.CalcLayout();
    const int Step = L.ColumnWidth(0) + L.ColumnGap() + L.ColumnWidth(1) + L.SymbolWidth() + 6;
    Chart.Prepare(TRect{20, 20, 20 + 3 * Step + 12, 230});
    ASSERT_TRUE(L.CalcLayout());
    ASSERT_EQ(L.NumCols(), 3);
    ASSERT_EQ(L.NumRows(), 2);
    const TRect B = L.RectLegend();
    const int ColumnWidth = (B.Right - B.Left) / 3;
    const auto At = [&](int Row, int Column) {
        return L.Clicked(B.Left + Column * ColumnWidth + ColumnWidth / 2, L.ItemsTop() + Row * L.ItemHeight() + 1);
    };
    EXPECT_EQ(At(0, 0), 0);
    EXPECT_EQ(At(0, 2), 2);
    EXPECT_EQ(At(1, 0), 3);
    EXPECT_EQ(At(1, 1), -1);
    L.SetFirstValue(1); // items counted from the first shown
    L.CalcLayout();
    EXPECT_EQ(At(0, 0), 1);
}

TEST(LegendMouse, CheckBoxClicksByModeAndStyle)
{
    struct TRow {
        int Mode;
        bool (TChartSeries::*Flag)() const;
        bool After;
    };
    const TRow Rows[] = {
        {0, &TChartSeries::Active, false},
        {1, &TChartSeries::HorizontalExcluded, true},
        {2, &TChartSeries::VerticalExcluded, true},
    };
    for (const TRow& Row : Rows) {
        TLegendChart Chart;
        TChartSeries* A = Chart.NewSeries("A", clRed);
        TChartSeries* B = Chart.NewSeries("B", clBlue);
        Chart.SetLegendCheckMode(Row.Mode);
        EXPECT_FALSE(Chart.Legend->CheckBoxClick(1)); // no check boxes
        Chart.Legend->SetCheckBoxes(true);
        EXPECT_TRUE(Chart.Legend->SeriesChecked(B));
        EXPECT_FALSE(Chart.Legend->CheckBoxClick(-1));
        EXPECT_FALSE(Chart.Legend->CheckBoxClick(2));
        EXPECT_TRUE(Chart.Legend->CheckBoxClick(1));
        EXPECT_EQ((B->*Row.Flag)(), Row.After) << Row.Mode;
        EXPECT_FALSE(Chart.Legend->SeriesChecked(B));
        EXPECT_TRUE(Chart.Legend->SeriesChecked(A));
        EXPECT_TRUE(Chart.Legend->CheckBoxClick(1));
        EXPECT_TRUE(Chart.Legend->SeriesChecked(B));
    }
    TLegendChart Values;
    Values.NewSeries("A", clRed);
    Values.Legend->SetCheckBoxes(true);
    Values.Legend->SetLegendStyle(lsValues);
    EXPECT_FALSE(Values.Legend->CheckBoxClick(0));
}

TEST(LegendMouse, RadioButtonsKeepOneSeriesActive)
{
    TLegendChart Chart;
    std::vector<TChartSeries*> S;
    for (int I = 0; I < 4; ++I)
        S.push_back(Chart.NewSeries(QString::number(I), clRed + I));
    S[0]->SetActive(false);
    Chart.Legend->SetCheckBoxes(true);
    Chart.Legend->SetCheckBoxesStyle(cbsRadio);
    // Switching keeps the first active series only.
    EXPECT_EQ((std::vector<bool>{S[0]->Active(), S[1]->Active(), S[2]->Active(), S[3]->Active()}),
              (std::vector<bool>{false, true, false, false}));
    EXPECT_TRUE(Chart.Legend->CheckBoxClick(2));
    EXPECT_EQ((std::vector<bool>{S[0]->Active(), S[1]->Active(), S[2]->Active(), S[3]->Active()}),
              (std::vector<bool>{false, false, true, false}));
}

// --- Drawing -------------------------------------------------------------------------------------

TEST(LegendDraw, SymbolsFramesAndCheckBoxesByPixels)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue)->SetActive(false);
    TChartLegend& L = *Chart.Legend;
    L.SetCheckBoxes(true);
    L.Shadow()->SetSize(0);
    L.Pen()->SetColor(clGreen);
    const auto Image = Chart.Paint();
    ASSERT_EQ(L.LastValue(), 1);
    const TRect R = L.RectLegend();
    TCanvas& C = Image->Canvas();
    EXPECT_EQ(C.Pixel(R.Left, (R.Top + R.Bottom) / 2), clGreen); // frame
    const TRect S0 = L.Items()[0].SymbolRect;
    const TRect S1 = L.Items()[1].SymbolRect;
    EXPECT_EQ(C.Pixel((S0.Left + S0.Right) / 2, (S0.Top + S0.Bottom) / 2), clRed);
    EXPECT_EQ(C.Pixel((S1.Left + S1.Right) / 2, (S1.Top + S1.Bottom) / 2), clBlue);
    // Check boxes: the first checked (a tick in the font colour), the second empty.
    const auto Tick = [&](int Item) {
        const TLegendItem& I = L.Items()[Item];
        const int BoxLeft = I.Left + 4;
        const int BoxTop = I.Top + (L.ItemHeight() - 11) / 2;
        int Dark = 0;
        for (int Y = BoxTop + 2; Y < BoxTop + 9; ++Y)
            for (int X = BoxLeft + 2; X < BoxLeft + 9; ++X)
                Dark += C.Pixel(X, Y) == clBlack ? 1 : 0;
        return Dark;
    };
    EXPECT_GT(Tick(0), 4);
    EXPECT_EQ(Tick(1), 0);
    // The chart rectangle ends left of the legend.
    EXPECT_LT(Chart.ChartRectangle().Right, R.Left);
    EXPECT_EQ(Chart.LegendPen(), nullptr);
}

TEST(LegendDraw, SymbolPenGradientAndContinuousSymbols)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    Chart.NewSeries("Gamma", clGreen);
    TChartLegend& L = *Chart.Legend;
    L.Shadow()->SetSize(0);
    L.Symbol()->SetDefaultPen(false);
    L.Symbol()->Pen()->SetColor(clFuchsia);
    L.Symbol()->SetContinuous(true);
    std::vector<int> Drawn;
    L.Symbol()->OnDraw = [&](TLegendSymbol*, TChartSeries*, int ValueIndex, const TRect&) {
        Drawn.push_back(ValueIndex);
    };
    auto Image = Chart.Paint();
    const TRect S0 = L.Items()[0].SymbolRect;
    const TRect S1 = L.Items()[1].SymbolRect;
    const TRect S2 = L.Items()[2].SymbolRect;
    EXPECT_EQ(S0.Bottom, S1.Top + 1); // touching
    EXPECT_EQ(S2.Bottom - S2.Top, L.ItemHeight() + 1 - 3); // the last keeps its gap
    EXPECT_EQ(Image->Canvas().Pixel(S0.Left, (S0.Top + S0.Bottom) / 2), clFuchsia);
    EXPECT_EQ(Drawn, (std::vector<int>{-1, -1, -1}));

    // A visible gradient runs from its start colour to the series colour.
    L.Symbol()->Gradient()->SetVisible(true);
    L.Symbol()->Gradient()->SetDirection(gdLeftRight);
    L.Symbol()->Gradient()->SetStartColor(clWhite);
    Image = Chart.Paint();
    const TRect G = L.Items()[1].SymbolRect;
    const TColor Near = Image->Canvas().Pixel(G.Right - 2, (G.Top + G.Bottom) / 2);
    const TColor Far = Image->Canvas().Pixel(G.Left + 1, (G.Top + G.Bottom) / 2);
    EXPECT_NE(Near, Far);
    EXPECT_EQ(L.Symbol()->Gradient()->EndColor(), clYellow); // the stored gradient is untouched
}

TEST(LegendDraw, DividingLinesAndSymbolOnTheRight)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    TChartLegend& L = *Chart.Legend;
    L.Shadow()->SetSize(0);
    L.DividingLines()->SetVisible(true);
    L.DividingLines()->SetColor(clGreen);
    L.Symbol()->SetPosition(spRight);
    const auto Image = Chart.Paint();
    const TLegendItem& First = L.Items()[0];
    const TLegendItem& Second = L.Items()[1];
    EXPECT_GE(First.SymbolLeft, First.TextLeft + L.ColumnWidth(0));
    const int Y = Second.Top - L.VertSpacing() / 2;
    EXPECT_EQ(Image->Canvas().Pixel((First.TextLeft + First.SymbolLeft) / 2, Y), clGreen);
    EXPECT_NE(Image->Canvas().Pixel((First.TextLeft + First.SymbolLeft) / 2, Y - 2), clGreen);
}

// A legend that outlives its chart forgets it and does nothing.
TEST(LegendDraw, ALegendWithoutItsChart)
{
    auto Chart = std::make_unique<TLegendChart>();
    Chart->NewSeries("Alpha", clRed);
    TChartLegend Orphan(Chart.get());
    Chart.reset();
    EXPECT_EQ(Orphan.Chart(), nullptr);
    EXPECT_FALSE(Orphan.ShouldDraw());
    EXPECT_FALSE(Orphan.CalcLayout());
    Orphan.DrawLegend();
    EXPECT_EQ(Orphan.Clicked(0, 0), -1);
    EXPECT_FALSE(Orphan.CheckBoxClick(0));
    Orphan.SetColor(clRed);
}

// One unbuffered drawing pass onto the recording device.
void Record(TLegendChart& Chart, TRecordingDC& DC)
{
    Chart.SetBufferedDisplay(false);
    TCanvas Target{&DC};
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
}

// The recording device lists the texts in drawing order and at their places.
QStringList TextOuts(const TRecordingDC& DC)
{
    QStringList Result;
    for (const QString& Call : DC.CallsStartingWith("TextOut("))
        Result << Call.section('"', 1, 1);
    return Result;
}

TEST(LegendDraw, TextsInOrderInvertedAndRightAligned)
{
    TLegendChart Chart;
    TChartSeries* S = Chart.NewSeries("S", clRed, 3, "pt");
    S->SetYValue(2, 100);
    TChartLegend& L = *Chart.Legend;
    L.SetCurrentPage(false);
    Chart.Prepare(PlotArea);
    const int Shift = Chart.TextWidth("100") - Chart.TextWidth("1");
    {
        TRecordingDC DC{400, 250};
        Record(Chart, DC);
        EXPECT_EQ(TextOuts(DC), (QStringList{"1", "pt", "2", "pt", "100", "pt"}));
        // Values are right-aligned in their column: "1" ends where "100" does.
        const QStringList Calls = DC.CallsStartingWith("TextOut(");
        const int X1 = Calls[0].section('(', 1).section(',', 0, 0).toInt();
        const int X100 = Calls[4].section('(', 1).section(',', 0, 0).toInt();
        EXPECT_EQ(X1 - X100, Shift);
        EXPECT_EQ(X100, L.Items()[2].TextLeft);
    }
    L.SetInverted(true);
    Chart.OnPos = [](int Index, int&, int& Y, int& TextLeft) {
        TextLeft = 7 + Index;
        (void)Y;
    };
    L.SetTextStyle(TChartSeries::ltsPlain);
    {
        TRecordingDC DC{400, 250};
        Record(Chart, DC);
        EXPECT_EQ(TextOuts(DC), (QStringList{"pt", "pt", "pt"}));
        const QStringList Calls = DC.CallsStartingWith("TextOut(");
        ASSERT_EQ(Calls.size(), 3);
        EXPECT_TRUE(Calls[0].startsWith("TextOut(9,")) << Calls[0].toStdString(); // item 2 first
        EXPECT_TRUE(Calls[2].startsWith("TextOut(7,")) << Calls[2].toStdString();
    }
}

TEST(LegendDraw, FontSeriesColorAndTitle)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    TChartLegend& L = *Chart.Legend;
    L.SetFontSeriesColor(true);
    L.Title()->Text()->Add("Units");
    TRecordingDC DC{400, 250};
    Record(Chart, DC);
    EXPECT_EQ(TextOuts(DC).mid(0, 3), (QStringList{"Units", "Alpha", "Beta"}));
    const QStringList Calls = DC.Calls();
    const auto ColourBefore = [&](const QString& Text) {
        QString Colour;
        for (const QString& Call : Calls) {
            if (Call.startsWith("SetTextColor("))
                Colour = Call;
            if (Call.startsWith("TextOut(") && Call.contains('"' + Text + '"'))
                return Colour;
        }
        return QString();
    };
    EXPECT_EQ(ColourBefore("Alpha"), "SetTextColor(0x0000FF)");
    EXPECT_EQ(ColourBefore("Beta"), "SetTextColor(0xFF0000)");
}

TEST(LegendDraw, CustomPositionedLegendDrawsAfterTheSeries)
{
    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.Legend->SetLeft(30);
    Chart.Legend->SetTop(40);
    Chart.Paint();
    EXPECT_EQ(Chart.Legend->RectLegend().Left, 30);
    EXPECT_GE(Chart.Legend->LastValue(), 0);
    EXPECT_EQ(Chart.Legend->Clicked(31, Chart.Legend->ItemsTop()), 0);
}

TEST(LegendItems, IndexErrorsAndCustomTexts)
{
    TLegendItems Items;
    EXPECT_THROW(Items.Item(0), ERangeError);
    EXPECT_THROW(Items.SetCount(-1), ERangeError);
    Items.SetCount(2);
    Items[1].Bounds = TRect{0, 10, 50, 20};
    EXPECT_EQ(Items.IndexAt(5, 15), 1);
    EXPECT_EQ(Items.IndexAt(50, 15), -1);

    TLegendChart Chart;
    Chart.NewSeries("Alpha", clRed);
    Chart.NewSeries("Beta", clBlue);
    TChartLegend& L = *Chart.Legend;
    L.Items().SetCustom(true);
    L.Items().SetCount(1);
    L.Items()[0].Text = {"Mine", "too"};
    Chart.Prepare(PlotArea);
    L.CalcLayout();
    EXPECT_EQ(L.Items()[0].Text[0], "Mine");
    EXPECT_EQ(L.Items()[1].Text[0], "Beta");
    EXPECT_EQ(L.ColumnWidth(1), Chart.TextWidth("too"));
    EXPECT_THROW(L.ColumnWidth(2), ERangeError);
}

} // namespace
} // namespace lp
