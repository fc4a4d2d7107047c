// Titles and walls: the layout of title and foot blocks and the room they
// take from the chart rectangle, their hit test and stored values; the
// walls in 2-D and 3-D, transparency, gradients, which walls stand in front
// of the series, and the wall sizes and rectangle the axes and the paint use.

#include "chart/engine/PlotTitles.h"

#include "EngineTestUtil.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lp {
namespace {

// The chart control's share of titles and walls, wired as the chart control
// wires it: titles before the series unless custom-positioned, the walls in
// front after them.
class TTitlesChart : public TCustomAxisPanel {
public:
    TTitlesChart() { SetBufferedDisplay(false); }

    TChartWalls Walls{this};
    TChartTitle Title{this};
    TChartTitle SubTitle{this};
    TChartFootTitle Foot{this};
    TChartFootTitle SubFoot{this};
    // What CalcWallsRect saw and left.
    TRect RectBeforeWalls;
    TRect RectAfterWalls;
    int Height3DAtWalls = 0;
    std::vector<TPersistent*> Changes;

    bool IsFreeSeriesColor(TColor, bool, const TChartSeries*) const override { return true; }
    int CalcWallSize(const TChartAxis* Axis) const override { return CalcChartWallSize(*this, Walls, Axis); }
    TColor GetBackColor() const override { return ChartBackColor(*this, Walls); }
    void PropertyChanged(TPersistent* Sender) override
    {
        Changes.push_back(Sender);
        TCustomAxisPanel::PropertyChanged(Sender);
    }
    void DrawTitlesAndLegend(bool BeforeSeries) override
    {
        TChartTitle* const Blocks[] = {&Title, &SubTitle, &Foot, &SubFoot};
        for (TChartTitle* T : Blocks)
            if (T->CustomPosition() != BeforeSeries)
                T->DrawTitle();
        if (!BeforeSeries)
            DrawWallsInFront(*this, Walls);
    }

protected:
    void CalcWallsRect() override
    {
        RectBeforeWalls = ChartRectangle();
        Height3DAtWalls = Height3D();
        CalcChartWallsRect(*this, Walls);
        RectAfterWalls = ChartRectangle();
    }
    void DrawWalls() override { DrawChartWalls(*this, Walls); }
};

const TRect PlotRect{40, 30, 360, 210};

// A chart bound, unbuffered, to a white 400 x 250 bitmap, its chart
// rectangle PlotRect and its projection set as a paint sets them.
struct TBitmapChart {
    TTitlesChart Chart;
    TBitmap Target{400, 250};

    explicit TBitmapChart(bool Is3D = false, int Depth = 0)
    {
        Target.Canvas().Brush().SetColor(clWhite);
        Target.Canvas().FillRect(TRect{0, 0, 400, 250});
        Chart.SetView3D(Is3D);
        Rebind(PlotRect, Depth);
    }
    void Rebind(const TRect& Rect, int Depth)
    {
        Chart.SetChartRectangle(Rect);
        Chart.RecalcWidthHeight();
        Chart.SetDepth3D(Depth);
        Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), clWhite, Chart.View3D(),
                                  Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(Depth, Rect);
    }
    // A series that uses axes, so that walls are drawn.
    TChartSeries* AddSeries()
    {
        auto* S = new TChartSeries(&Chart);
        Chart.AddSeries(S);
        return S;
    }
    TColor Pixel(int X, int Y) { return Target.Canvas().Pixel(X, Y); }
    TColor Pixel(const TPoint& P) { return Pixel(P.X, P.Y); }
    TPoint Project(int X, int Y, int Z) const { return Chart.Canvas().Calculate3DPosition(X, Y, Z); }
};

// The same on the recording device.
struct TRecordedChart {
    TRecordingDC DC{400, 250};
    TCanvas Target{&DC};
    TTitlesChart Chart;

    TRecordedChart()
    {
        Chart.SetView3D(false);
        Chart.SetChartRectangle(PlotRect);
        Chart.RecalcWidthHeight();
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, false, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(0, PlotRect);
        DC.ClearCalls();
    }
    QStringList TextOuts() const { return DC.CallsStartingWith(QStringLiteral("TextOut(")); }
};

// Text metrics of a title's font on the chart's canvas.
struct TMetrics {
    int LineHeight = 0;
    int W = 0;
};

TMetrics MetricsOf(TTitlesChart& Chart, TChartTitle& Title)
{
    TPlotCanvas3D& C = Chart.Canvas();
    C.AssignFont(*Title.Font());
    return {C.FontHeight(), C.TextWidth(QStringLiteral("W"))};
}

int TextWidthOf(TTitlesChart& Chart, TChartTitle& Title, const QString& Text)
{
    Chart.Canvas().AssignFont(*Title.Font());
    return Chart.Canvas().TextWidth(Text);
}

bool Near(TColor A, TColor B, int Tolerance = 3)
{
    return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance && std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
           std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

// --- Title defaults and stored values -------------------------------------------------------------

TEST(ChartTitle, DefaultsOfTitlesAndFoots)
{
    TTitlesChart Chart;
    EXPECT_TRUE(Chart.Title.IsTitle());
    EXPECT_FALSE(Chart.Foot.IsTitle());
    EXPECT_TRUE(Chart.Title.AdjustFrame() && Chart.Title.Transparent() && Chart.Title.Visible());
    EXPECT_EQ(Chart.Title.Alignment(), TChartTitle::taCenter);
    EXPECT_FALSE(Chart.Title.CustomPosition());
    EXPECT_EQ(Chart.Title.Text()->Count(), 0);
    EXPECT_EQ(Chart.Title.Font()->Color(), clBlue);
    EXPECT_EQ(Chart.Foot.Font()->Color(), clRed);
    EXPECT_TRUE(Chart.Foot.Font()->Style().testFlag(TFont::fsItalic));
    EXPECT_FALSE(Chart.Title.Font()->Style().testFlag(TFont::fsItalic));
    // The default colours and styles are the fonts' stored defaults.
    EXPECT_FALSE(Chart.Title.Font()->IsColorStored());
    EXPECT_FALSE(Chart.Foot.Font()->IsColorStored());
    EXPECT_FALSE(Chart.Foot.Font()->IsStyleStored());
    EXPECT_EQ(Chart.Title.Frame(), Chart.Title.Pen());
}

TEST(ChartTitle, StoredPropertiesFollowTheirRules)
{
    TTitlesChart Chart;
    TChartTitle& T = Chart.Title;
    for (const char* Name : {"AdjustFrame", "Alignment", "Transparent", "TextFormat", "Visible", "Color", "Bevel",
                             "BevelWidth", "ShapeStyle", "Transparency", "CustomPosition", "Left", "Top"})
        EXPECT_FALSE(IsPropertyStored(&T, Name)) << Name;
    T.SetAlignment(TChartTitle::taRightJustify);
    T.SetTransparent(false);
    T.SetAdjustFrame(false);
    EXPECT_TRUE(IsPropertyStored(&T, "Alignment"));
    EXPECT_TRUE(IsPropertyStored(&T, "Transparent"));
    EXPECT_TRUE(IsPropertyStored(&T, "AdjustFrame"));
    T.SetLeft(12);
    EXPECT_TRUE(T.CustomPosition());
    EXPECT_TRUE(IsPropertyStored(&T, "CustomPosition"));
    EXPECT_TRUE(IsPropertyStored(&T, "Left"));
    EXPECT_TRUE(IsPropertyStored(&T, "Top"));
}

TEST(ChartTitle, LeftAndTopMoveTheBlockAndMakeItCustom)
{
    TTitlesChart Chart;
    TChartTitle& T = Chart.Title;
    T.SetShapeBounds(TRect{10, 20, 110, 40});
    T.SetTop(50);
    EXPECT_TRUE(T.CustomPosition());
    EXPECT_EQ(T.ShapeBounds(), (TRect{10, 50, 110, 70}));
    T.SetLeft(-5);
    EXPECT_EQ(T.ShapeBounds(), (TRect{-5, 50, 95, 70}));
    EXPECT_EQ(T.Left(), -5);
    EXPECT_EQ(T.Top(), 50);
}

TEST(ChartTitle, AssignCopiesTextAlignmentFrameAndCustomPosition)
{
    TTitlesChart Chart;
    TChartTitle& Source = Chart.Title;
    Source.Text()->Add(QStringLiteral("One"));
    Source.Text()->Add(QStringLiteral("Two"));
    Source.SetAlignment(TChartTitle::taLeftJustify);
    Source.SetAdjustFrame(false);
    Source.SetColor(clRed);
    Source.SetLeft(30);
    Source.SetTop(40);
    TChartTitle& Dest = Chart.SubTitle;
    Dest.Assign(&Source);
    EXPECT_EQ(Dest.Text()->ToQStringList(), (QStringList{"One", "Two"}));
    EXPECT_EQ(Dest.Alignment(), TChartTitle::taLeftJustify);
    EXPECT_FALSE(Dest.AdjustFrame());
    EXPECT_EQ(Dest.Color(), clRed);
    EXPECT_TRUE(Dest.CustomPosition());
    EXPECT_EQ(Dest.Left(), 30);
    EXPECT_EQ(Dest.Top(), 40);
}

TEST(ChartTitle, TextChangesInvalidateTheChart)
{
    TTitlesChart Chart;
    Chart.Changes.clear();
    Chart.Title.Text()->Add(QStringLiteral("Line"));
    ASSERT_EQ(Chart.Changes.size(), 1u);
    EXPECT_EQ(Chart.Changes[0], Chart.Title.Text());
    Chart.Title.ClearText();
    EXPECT_EQ(Chart.Title.Text()->Count(), 0);
    EXPECT_EQ(Chart.Changes.size(), 2u);
}

TEST(ChartTitle, FrameWidthFromPenAndBevel)
{
    TTitlesChart Chart;
    TChartTitle& T = Chart.Title;
    struct TRow {
        bool PenVisible;
        TColor PenColor;
        int PenWidth;
        TBevelCut Bevel;
        int Expected;
    };
    const TRow Rows[] = {
        {true, clBlack, 1, bvNone, 1},       {true, clBlack, 3, bvNone, 3},   {false, clBlack, 3, bvNone, 0},
        {true, clPlotColor, 3, bvNone, 0}, {false, clBlack, 1, bvRaised, 2}, {true, clBlack, 4, bvLowered, 2},
    };
    for (const TRow& Row : Rows) {
        T.Frame()->SetVisible(Row.PenVisible);
        T.Frame()->SetColor(Row.PenColor);
        T.Frame()->SetWidth(Row.PenWidth);
        T.SetBevel(Row.Bevel);
        EXPECT_EQ(T.FrameWidth(), Row.Expected) << Row.PenWidth << " " << Row.Bevel;
    }
}

// --- Title layout ------------------------------------------------------------------------------

TEST(ChartTitleLayout, EachAlignmentPlacesBlockAndTextAndTakesItsRoom)
{
    struct TRow {
        TChartTitle::TAlignment Alignment;
        bool AdjustFrame;
        unsigned TextAlign;
    };
    const TRow Rows[] = {
        {TChartTitle::taLeftJustify, true, TA_LEFT},    {TChartTitle::taRightJustify, true, TA_RIGHT},
        {TChartTitle::taCenter, true, TA_CENTER},       {TChartTitle::taLeftJustify, false, TA_LEFT},
        {TChartTitle::taRightJustify, false, TA_RIGHT}, {TChartTitle::taCenter, false, TA_CENTER},
    };
    for (const TRow& Row : Rows) {
        TRecordedChart Rec;
        TChartTitle& T = Rec.Chart.Title;
        T.Text()->Add(QStringLiteral("Section A-A'"));
        T.SetAlignment(Row.Alignment);
        T.SetAdjustFrame(Row.AdjustFrame);
        const TMetrics M = MetricsOf(Rec.Chart, T);
        const int Width = TextWidthOf(Rec.Chart, T, QStringLiteral("Section A-A'")) + M.W + 1;
        Rec.DC.ClearCalls();
        T.DrawTitle();
        const TRect R = T.ShapeBounds();
        const std::string Name = std::to_string(Row.Alignment) + (Row.AdjustFrame ? " adjusted" : " full");
        // The frame (1 pixel) lies inside the chart rectangle's top.
        EXPECT_EQ(R.Top, PlotRect.Top) << Name;
        EXPECT_EQ(R.Bottom, PlotRect.Top + 2 + M.LineHeight) << Name;
        // Adjusted, the block is as wide as its text, a "W" and the frame;
        // else it spans the chart rectangle and the frame.
        TRect Expected{PlotRect.Left - 1, R.Top, PlotRect.Right + 1, R.Bottom};
        if (Row.AdjustFrame && Row.Alignment == TChartTitle::taLeftJustify)
            Expected.Right = Expected.Left + Width;
        else if (Row.AdjustFrame && Row.Alignment == TChartTitle::taRightJustify)
            Expected.Left = Expected.Right - Width;
        else if (Row.AdjustFrame)
            Expected = {(PlotRect.Left + PlotRect.Right) / 2 - Width / 2, R.Top,
                        (PlotRect.Left + PlotRect.Right) / 2 - Width / 2 + Width, R.Bottom};
        EXPECT_EQ(R, Expected) << Name;
        // The text half a "W" in from the aligned edge, over a clear background.
        const int X = Row.TextAlign == TA_LEFT    ? R.Left + M.W / 2
                      : Row.TextAlign == TA_RIGHT ? R.Right - M.W / 2
                                                  : (R.Left + R.Right) / 2;
        EXPECT_EQ(Rec.TextOuts(), QStringList{QStringLiteral("TextOut(%1,%2,\"Section A-A'\")").arg(X).arg(R.Top + 1)})
            << Name;
        EXPECT_FALSE(Rec.DC.CallsStartingWith(QStringLiteral("SetTextAlign(%1)").arg(Row.TextAlign)).isEmpty());
        EXPECT_FALSE(Rec.DC.CallsStartingWith(QStringLiteral("SetBkMode(1)")).isEmpty());
        // The gap: the title distance and the frame width.
        EXPECT_EQ(Rec.Chart.ChartRectangle().Top, R.Bottom + PlotTitleDistance + 1) << Name;
        EXPECT_EQ(Rec.Chart.ChartRectangle().Bottom, PlotRect.Bottom) << Name;
        EXPECT_EQ(Rec.Chart.ChartRectHeight(), PlotRect.Bottom - Rec.Chart.ChartRectangle().Top) << Name;
    }
}

TEST(ChartTitleLayout, MultiLineTextStacksLinesAndWidensToTheLongest)
{
    TRecordedChart Rec;
    TChartTitle& T = Rec.Chart.Title;
    T.Text()->SetText(QStringLiteral("Line one\r\nThe longest line here\r\nthree"));
    T.SetAlignment(TChartTitle::taLeftJustify);
    const TMetrics M = MetricsOf(Rec.Chart, T);
    const int Longest = TextWidthOf(Rec.Chart, T, QStringLiteral("The longest line here"));
    Rec.DC.ClearCalls();
    T.DrawTitle();
    const TRect R = T.ShapeBounds();
    EXPECT_EQ(R.Bottom - R.Top, 3 * M.LineHeight + 2);
    EXPECT_EQ(R.Right - R.Left, Longest + M.W + 1);
    const int X = R.Left + M.W / 2;
    const int Y = PlotRect.Top + 1;
    EXPECT_EQ(Rec.TextOuts(), (QStringList{
                                  QStringLiteral("TextOut(%1,%2,\"Line one\")").arg(X).arg(Y),
                                  QStringLiteral("TextOut(%1,%2,\"The longest line here\")")
                                      .arg(X)
                                      .arg(Y + M.LineHeight),
                                  QStringLiteral("TextOut(%1,%2,\"three\")").arg(X).arg(Y + 2 * M.LineHeight),
                              }));
}

TEST(ChartTitleLayout, FootStandsAtTheBottomAndPushesTheRectangleUp)
{
    TBitmapChart B;
    TChartFootTitle& F = B.Chart.Foot;
    F.Text()->Add(QStringLiteral("Scale 1:1000"));
    F.Text()->Add(QStringLiteral("Datum: sea level"));
    const TMetrics M = MetricsOf(B.Chart, F);
    F.DrawTitle();
    const TRect R = F.ShapeBounds();
    EXPECT_EQ(R.Bottom, PlotRect.Bottom);
    EXPECT_EQ(R.Top, PlotRect.Bottom - 2 - 2 * M.LineHeight);
    EXPECT_EQ(B.Chart.ChartRectangle().Bottom, R.Top - PlotTitleDistance - 1);
    EXPECT_EQ(B.Chart.ChartRectangle().Top, PlotRect.Top);
}

TEST(ChartTitleLayout, BlocksStackInDrawingOrder)
{
    TBitmapChart B;
    B.Chart.Title.Text()->Add(QStringLiteral("Title"));
    B.Chart.SubTitle.Text()->Add(QStringLiteral("Sub-title"));
    B.Chart.Foot.Text()->Add(QStringLiteral("Foot"));
    B.Chart.SubFoot.Text()->Add(QStringLiteral("Sub-foot"));
    B.Chart.DrawTitlesAndLegend(true);
    EXPECT_EQ(B.Chart.SubTitle.ShapeBounds().Top, B.Chart.Title.ShapeBounds().Bottom + PlotTitleDistance + 1);
    EXPECT_EQ(B.Chart.SubFoot.ShapeBounds().Bottom, B.Chart.Foot.ShapeBounds().Top - PlotTitleDistance - 1);
    EXPECT_EQ(B.Chart.ChartRectangle().Top, B.Chart.SubTitle.ShapeBounds().Bottom + PlotTitleDistance + 1);
    EXPECT_EQ(B.Chart.ChartRectangle().Bottom, B.Chart.SubFoot.ShapeBounds().Top - PlotTitleDistance - 1);
}

TEST(ChartTitleLayout, OpaqueTitleKeepsRoomForItsShadow)
{
    TBitmapChart B;
    TChartTitle& T = B.Chart.Title;
    T.Text()->Add(QStringLiteral("Shadowed"));
    T.SetTransparent(false);
    T.Shadow()->SetVertSize(7);
    T.DrawTitle();
    EXPECT_EQ(B.Chart.ChartRectangle().Top, T.ShapeBounds().Bottom + PlotTitleDistance + 1 + 7);
}

TEST(ChartTitleLayout, CustomPositionKeepsItsPlaceAndTheRectangle)
{
    for (bool IsFoot : {false, true}) {
        TBitmapChart B;
        TChartTitle& T = IsFoot ? static_cast<TChartTitle&>(B.Chart.Foot) : B.Chart.Title;
        T.Text()->Add(QStringLiteral("Here"));
        T.Text()->Add(QStringLiteral("and here"));
        T.SetAlignment(TChartTitle::taLeftJustify);
        T.SetLeft(100);
        T.SetTop(120);
        const TMetrics M = MetricsOf(B.Chart, T);
        const int Width = TextWidthOf(B.Chart, T, QStringLiteral("and here")) + M.W + 1;
        // Not drawn among the regular blocks.
        B.Chart.DrawTitlesAndLegend(true);
        EXPECT_EQ(B.Chart.ChartRectangle(), PlotRect);
        T.DrawTitle();
        EXPECT_EQ(T.ShapeBounds(), (TRect{100, 120, 100 + Width, 120 + 2 * M.LineHeight})) << IsFoot;
        EXPECT_EQ(B.Chart.ChartRectangle(), PlotRect) << IsFoot;
    }
}

TEST(ChartTitleLayout, CustomBlockWithoutAdjustFrameGetsTheWidthOfItsText)
{
    TBitmapChart B;
    TChartTitle& T = B.Chart.Title;
    T.Text()->Add(QStringLiteral("Placed"));
    T.SetAdjustFrame(false);
    T.SetLeft(50);
    T.SetTop(60);
    const TMetrics M = MetricsOf(B.Chart, T);
    T.DrawTitle();
    EXPECT_EQ(T.ShapeBounds().Right - T.ShapeBounds().Left,
              TextWidthOf(B.Chart, T, QStringLiteral("Placed")) + M.W + 1);
    // Once it has a width, it keeps it.
    T.SetShapeBounds(TRect{50, 60, 250, 70});
    T.DrawTitle();
    EXPECT_EQ(T.ShapeBounds().Right, 250);
}

TEST(ChartTitleLayout, EmptyHiddenOrFixedTitlesTakeNoRoom)
{
    struct TRow {
        const char* Name;
        bool HasText;
        bool Visible;
        bool Fixed;
        bool Draws;
    };
    const TRow Rows[] = {
        {"no lines", false, true, false, false},
        {"hidden", true, false, false, false},
        {"fixed rectangle", true, true, true, true},
    };
    for (const TRow& Row : Rows) {
        TRecordedChart Rec;
        TChartTitle& T = Rec.Chart.Title;
        if (Row.HasText)
            T.Text()->Add(QStringLiteral("Text"));
        T.SetVisible(Row.Visible);
        Rec.Chart.SetFixedChartRectangle(Row.Fixed);
        Rec.DC.ClearCalls();
        T.DrawTitle();
        EXPECT_EQ(Rec.Chart.ChartRectangle(), PlotRect) << Row.Name;
        EXPECT_EQ(Rec.TextOuts().size(), Row.Draws ? 1 : 0) << Row.Name;
    }
}

TEST(ChartTitleLayout, RichTextGoesOutAsOneBlock)
{
    TRecordedChart Rec;
    TChartTitle& T = Rec.Chart.Title;
    T.SetTextFormat(ttfHtml);
    T.SetAlignment(TChartTitle::taLeftJustify);
    T.Text()->Add(QStringLiteral("<B>Bold</B> part"));
    T.Text()->Add(QStringLiteral("second"));
    Rec.DC.ClearCalls();
    T.DrawTitle();
    const QStringList Texts = Rec.TextOuts();
    // The tags are interpreted, never drawn; the lines come in order.
    ASSERT_FALSE(Texts.isEmpty());
    EXPECT_FALSE(Texts.join(QString()).contains(QStringLiteral("<B>")));
    EXPECT_TRUE(Texts.first().contains(QStringLiteral("Bold")));
    EXPECT_TRUE(Texts.last().contains(QStringLiteral("second")));
}

TEST(ChartTitleHitTest, InsideTheDrawnBlockOnly)
{
    TBitmapChart B;
    TChartTitle& T = B.Chart.Title;
    T.Text()->Add(QStringLiteral("Click me"));
    T.DrawTitle();
    const TRect R = T.ShapeBounds();
    struct TRow {
        int X, Y;
        bool Hit;
    };
    const TRow Rows[] = {
        {R.Left, R.Top, true},          {R.Right, R.Bottom, true},   {(R.Left + R.Right) / 2, R.Top + 2, true},
        {R.Left - 1, R.Top, false},     {R.Right + 1, R.Top, false}, {R.Left, R.Bottom + 1, false},
        {R.Left + 1, R.Top - 1, false},
    };
    for (const TRow& Row : Rows)
        EXPECT_EQ(T.Clicked(Row.X, Row.Y), Row.Hit) << Row.X << "," << Row.Y;
    T.SetVisible(false);
    EXPECT_FALSE(T.Clicked(R.Left + 1, R.Top + 1));
    T.SetVisible(true);
    // Emptied after drawing: its old bounds no longer answer.
    T.ClearText();
    EXPECT_FALSE(T.Clicked(R.Left + 1, R.Top + 1));
}

// --- Wall defaults and stored values ---------------------------------------------------------------

TEST(ChartWalls, DefaultsOfTheFourWalls)
{
    TTitlesChart Chart;
    TChartWalls& W = Chart.Walls;
    EXPECT_TRUE(Chart.View3DWalls());
    EXPECT_TRUE(W.View3D());
    // The walls' View3D is the chart's View3DWalls.
    W.SetView3D(false);
    EXPECT_FALSE(Chart.View3DWalls());
    W.SetView3D(true);
    struct TRow {
        const char* Name;
        TCustomChartWall* Wall;
        TColor Color;
        bool Transparent;
        bool Visible;
    };
    const TRow Rows[] = {
        {"back", W.Back(), clSilver, true, true},
        {"left", W.Left(), 0x80FFFF, false, true},
        {"bottom", W.Bottom(), clWhite, false, true},
        {"right", W.Right(), clSilver, false, false},
    };
    for (const TRow& Row : Rows) {
        EXPECT_EQ(Row.Wall->Color(), Row.Color) << Row.Name;
        EXPECT_EQ(Row.Wall->Transparent(), Row.Transparent) << Row.Name;
        EXPECT_EQ(Row.Wall->Visible(), Row.Visible) << Row.Name;
        EXPECT_FALSE(Row.Wall->AutoHide()) << Row.Name;
        EXPECT_TRUE(Row.Wall->Dark3D()) << Row.Name;
        EXPECT_EQ(Row.Wall->Size(), 0) << Row.Name;
        EXPECT_EQ(Row.Wall->Transparency(), 0) << Row.Name;
        for (const char* Property : {"AutoHide", "Color", "Dark3D", "Size", "Transparency", "Transparent", "Visible"})
            EXPECT_FALSE(IsPropertyStored(Row.Wall, Property)) << Row.Name << " " << Property;
    }
    // A wall on its own starts with the default-colour mark.
    TChartWall Lone;
    EXPECT_EQ(Lone.Color(), clPlotColor);
    EXPECT_EQ(Lone.DefaultColor(), clPlotColor);
    EXPECT_EQ(Lone.EffectiveColor(), clWhite);
    EXPECT_FALSE(Lone.IsColorStored());
}

TEST(ChartWalls, HiddenRightWallKeepsItsColourForStoring)
{
    TTitlesChart Chart;
    TChartRightWall& Right = *Chart.Walls.Right();
    Right.SetColor(clRed);
    EXPECT_FALSE(Right.Visible());
    EXPECT_TRUE(IsPropertyStored(&Right, "Color"));
    Right.SetColor(clSilver);
    EXPECT_FALSE(IsPropertyStored(&Right, "Color"));
    Right.SetVisible(true);
    EXPECT_TRUE(IsPropertyStored(&Right, "Visible"));
    Chart.Walls.Back()->SetTransparent(false);
    EXPECT_TRUE(IsPropertyStored(Chart.Walls.Back(), "Transparent"));
    Chart.Walls.Left()->SetColor(clWhite);
    EXPECT_TRUE(IsPropertyStored(Chart.Walls.Left(), "Color"));
}

TEST(ChartWalls, PredicatesDrawableAndDarkSides)
{
    TTitlesChart Chart;
    TChartWall& Left = *Chart.Walls.Left();
    EXPECT_TRUE(Left.IsDrawable());
    EXPECT_TRUE(Left.HasDarkSides());
    Left.SetAutoHide(true);
    EXPECT_FALSE(Left.IsDrawable());
    Left.SetAutoHide(false);
    Chart.SetView3DWalls(false);
    EXPECT_FALSE(Left.IsDrawable());
    Chart.SetView3DWalls(true);
    Left.SetVisible(false);
    EXPECT_FALSE(Left.IsDrawable());
    Left.Brush()->SetStyle(bsClear);
    EXPECT_FALSE(Left.HasDarkSides());
    Left.Brush()->SetStyle(bsSolid);
    Left.SetDark3D(false);
    EXPECT_FALSE(Left.HasDarkSides());
}

TEST(ChartWalls, BackColourFollowsTheBackWall)
{
    TTitlesChart Chart;
    Chart.SetColor(clGreen);
    EXPECT_EQ(Chart.GetBackColor(), clGreen);
    Chart.Walls.Back()->SetTransparent(false);
    Chart.Walls.Back()->SetColor(clYellow);
    EXPECT_EQ(Chart.GetBackColor(), clYellow);
}

TEST(ChartWalls, OldBackColorValueBecomesTheBackWallColour)
{
    TTitlesChart Chart;
    TChartBackWall& Back = *Chart.Walls.Back();
    Back.Brush()->SetStyle(bsClear);
    ApplyBackColor(Back, QVariant(QStringLiteral("clRed")), true);
    EXPECT_EQ(Back.Color(), clRed);
    EXPECT_EQ(Back.Brush()->Style(), bsClear);
    ApplyBackColor(Back, QVariant(0x00FF00), false);
    EXPECT_EQ(Back.Color(), 0x00FF00);
    EXPECT_EQ(Back.Brush()->Style(), bsSolid);
    EXPECT_THROW(ApplyBackColor(Back, QVariant(QStringLiteral("clNoSuchColour")), false), EConvertError);
    EXPECT_THROW(ApplyBackColor(Back, QVariant(QStringList{"x"}), false), EConvertError);
    EXPECT_EQ(Back.Color(), 0x00FF00);
}

// --- Wall sizes and the walls rectangle ---------------------------------------------------------------

TEST(ChartWallSize, EachAxisTakesItsWallsSize)
{
    TTitlesChart Chart;
    Chart.Walls.Left()->SetSize(3);
    Chart.Walls.Bottom()->SetSize(5);
    Chart.Walls.Right()->SetSize(7);
    Chart.Walls.Back()->SetSize(9);
    struct TRow {
        const char* Name;
        TChartAxis* Axis;
        int Expected;
    };
    const TRow Rows[] = {
        {"left", Chart.LeftAxis(), 3},
        {"bottom", Chart.BottomAxis(), 5},
        {"right (hidden wall)", Chart.RightAxis(), 0},
        {"top", Chart.TopAxis(), 9},
        {"depth", Chart.DepthAxis(), 9},
        {"none", nullptr, 9},
    };
    for (const TRow& Row : Rows)
        EXPECT_EQ(Chart.CalcWallSize(Row.Axis), Row.Expected) << Row.Name;
    Chart.Walls.Right()->SetVisible(true);
    EXPECT_EQ(Chart.CalcWallSize(Chart.RightAxis()), 7);
    Chart.Walls.Left()->SetVisible(false);
    EXPECT_EQ(Chart.CalcWallSize(Chart.LeftAxis()), 0);
    Chart.SetView3DWalls(false);
    EXPECT_EQ(Chart.CalcWallSize(Chart.BottomAxis()), 0);
    Chart.SetView3DWalls(true);
    Chart.SetView3D(false);
    EXPECT_EQ(Chart.CalcWallSize(Chart.BottomAxis()), 0);
}

TEST(ChartWallsRect, OrthogonalViewGivesUpDepthAndWallBoxes)
{
    struct TRow {
        const char* Name;
        int OrthoAngle;
        bool RightVisible;
        bool LeftVisible;
        bool WithSeries;
    };
    // Back wall 4, left wall 6, right wall 8 pixels thick.
    const TRow Rows[] = {
        {"to the right", 45, false, true, true},
        {"to the right with right wall", 45, true, true, true},
        {"to the left", 135, false, true, true},
        {"to the left without left wall", 135, false, false, true},
        {"no series: no back box", 45, false, true, false},
    };
    for (const TRow& Row : Rows) {
        TBitmapChart B(true, 20);
        if (Row.WithSeries)
            B.AddSeries();
        TChartWalls& W = B.Chart.Walls;
        W.Back()->SetSize(4);
        W.Left()->SetSize(6);
        W.Right()->SetSize(8);
        W.Right()->SetVisible(Row.RightVisible);
        W.Left()->SetVisible(Row.LeftVisible);
        B.Chart.View3DOptions()->SetOrthoAngle(Row.OrthoAngle);
        // The panel's 3-D height comes from a paint; a paint runs the step.
        TBitmap Target(400, 250);
        B.Chart.DrawToCanvas(&Target.Canvas(), B.Chart.GetRectangle());
        const TRect Before = B.Chart.RectBeforeWalls;
        const TRect After = B.Chart.RectAfterWalls;
        const int Depth = B.Chart.Depth3D();
        const int Height = B.Chart.Height3DAtWalls;
        const int Back = Row.WithSeries ? 4 : 0;
        const int Side = Row.OrthoAngle >= 91 ? (Row.LeftVisible ? 7 : 0) : (Row.RightVisible ? 9 : 0);
        EXPECT_EQ(After.Top - Before.Top, Height + Back) << Row.Name;
        EXPECT_EQ(After.Bottom, Before.Bottom) << Row.Name;
        if (Row.OrthoAngle >= 91) {
            EXPECT_EQ(After.Left - Before.Left, Depth + Back + Side) << Row.Name;
            EXPECT_EQ(After.Right, Before.Right) << Row.Name;
        } else {
            EXPECT_EQ(Before.Right - After.Right, Depth + Back + Side) << Row.Name;
            EXPECT_EQ(After.Left, Before.Left) << Row.Name;
        }
        EXPECT_GT(Depth, 0) << Row.Name;
    }
}

TEST(ChartWallsRect, UnchangedInRotatedViewsIn2DAndWhenFixed)
{
    struct TRow {
        const char* Name;
        bool Is3D;
        bool Orthogonal;
        bool Fixed;
    };
    for (const TRow& Row : {TRow{"2-D", false, true, false}, TRow{"rotated", true, false, false},
                            TRow{"fixed", true, true, true}}) {
        TBitmapChart B(Row.Is3D, 20);
        B.AddSeries();
        B.Chart.Walls.Back()->SetSize(4);
        B.Chart.View3DOptions()->SetOrthogonal(Row.Orthogonal);
        B.Chart.SetFixedChartRectangle(Row.Fixed);
        CalcChartWallsRect(B.Chart, B.Chart.Walls);
        EXPECT_EQ(B.Chart.ChartRectangle(), PlotRect) << Row.Name;
    }
}

// --- Which walls stand in front ------------------------------------------------------------------

TEST(ChartWallsInFront, SideWallsForSeveralViews)
{
    struct TRow {
        const char* Name;
        bool Orthogonal;
        int OrthoAngle;
        int Rotation;
        int Elevation;
        bool RightInFront;
        bool LeftInFront;
    };
    const TRow Rows[] = {
        {"oblique to the right", true, 45, 345, 345, true, false},
        {"oblique steep right", true, 80, 345, 345, true, false},
        {"oblique to the left", true, 135, 345, 345, false, true},
        {"oblique steep left", true, 100, 345, 345, false, true},
        {"turned right", false, 45, 345, 345, true, false},
        {"turned left", false, 45, 15, 345, false, true},
        {"turned far right", false, 45, 300, 345, true, false},
        {"turned far left", false, 45, 60, 345, false, true},
    };
    for (const TRow& Row : Rows) {
        TBitmapChart B(true, 40);
        TView3DOptions& View = *B.Chart.View3DOptions();
        View.SetOrthogonal(Row.Orthogonal);
        View.SetOrthoAngle(Row.OrthoAngle);
        View.SetRotation(Row.Rotation);
        View.SetElevation(Row.Elevation);
        View.SetPerspective(0);
        B.Rebind(PlotRect, 40);
        EXPECT_EQ(IsRightWallInFront(B.Chart), Row.RightInFront) << Row.Name;
        EXPECT_EQ(IsLeftWallInFront(B.Chart), Row.LeftInFront) << Row.Name;
    }
}

TEST(ChartWallsInFront, AutoHideHidesOnlyAWallInFront)
{
    // Oblique to the right: the right wall stands in front, the left behind.
    struct TRow {
        const char* Name;
        bool RightAutoHide;
        bool LeftAutoHide;
        bool RightDrawnInFront;
        bool LeftDrawnBehind;
    };
    const TRow Rows[] = {
        {"no auto-hide", false, false, true, true},
        {"right hides", true, false, false, true},
        {"left auto-hide does not hide it behind", false, true, true, true},
    };
    for (const TRow& Row : Rows) {
        TBitmapChart B(true, 40);
        B.AddSeries();
        TChartWalls& W = B.Chart.Walls;
        W.Back()->SetVisible(false);
        W.Bottom()->SetVisible(false);
        W.Right()->SetVisible(true);
        W.Right()->SetColor(clRed);
        W.Right()->SetAutoHide(Row.RightAutoHide);
        W.Left()->SetColor(clBlue);
        W.Left()->SetAutoHide(Row.LeftAutoHide);
        const TPoint RightMiddle = B.Project(PlotRect.Right, (PlotRect.Top + PlotRect.Bottom) / 2, 20);
        const TPoint LeftMiddle = B.Project(PlotRect.Left, (PlotRect.Top + PlotRect.Bottom) / 2, 20);
        DrawChartWalls(B.Chart, W);
        // Behind the series: never the right wall here.
        EXPECT_EQ(B.Pixel(RightMiddle), clWhite) << Row.Name;
        EXPECT_EQ(B.Pixel(LeftMiddle) == clBlue, Row.LeftDrawnBehind) << Row.Name;
        DrawWallsInFront(B.Chart, W);
        EXPECT_EQ(B.Pixel(RightMiddle) == clRed, Row.RightDrawnInFront) << Row.Name;
    }
}

// --- Drawing walls in 2-D -----------------------------------------------------------------------

TEST(ChartWalls2D, BackWallIsTheChartRectangleAndATransparentOneOnlyItsPen)
{
    for (bool Transparent : {false, true}) {
        TBitmapChart B;
        B.AddSeries();
        TChartBackWall& Back = *B.Chart.Walls.Back();
        Back.SetTransparent(Transparent);
        Back.SetColor(clRed);
        DrawChartWalls(B.Chart, B.Chart.Walls);
        const TColor Fill = Transparent ? clWhite : clRed;
        EXPECT_EQ(B.Pixel(200, 120), Fill) << Transparent;
        // The frame pen (black) on the edges; the bottom one pixel lower.
        EXPECT_EQ(B.Pixel(PlotRect.Left, 120), clBlack) << Transparent;
        EXPECT_EQ(B.Pixel(200, PlotRect.Top), clBlack) << Transparent;
        EXPECT_EQ(B.Pixel(200, PlotRect.Bottom), clBlack) << Transparent;
        EXPECT_EQ(B.Pixel(200, PlotRect.Bottom - 1), Fill) << Transparent;
        // Nothing outside: only the back wall is drawn in 2-D.
        EXPECT_EQ(B.Pixel(200, PlotRect.Bottom + 2), clWhite) << Transparent;
        EXPECT_EQ(B.Pixel(PlotRect.Left - 1, 120), clWhite) << Transparent;
    }
}

TEST(ChartWalls2D, NothingWithoutAxisSeriesOrWalls)
{
    struct TRow {
        const char* Name;
        bool Series;
        bool Active;
        bool WallsOn;
        bool BackVisible;
    };
    const TRow Rows[] = {
        {"no series", false, true, true, true},
        {"inactive series", true, false, true, true},
        {"walls off", true, true, false, true},
        {"back wall hidden", true, true, true, false},
    };
    for (const TRow& Row : Rows) {
        TRecordedChart Rec;
        if (Row.Series) {
            auto* S = new TChartSeries(&Rec.Chart);
            Rec.Chart.AddSeries(S);
            S->SetActive(Row.Active);
        }
        Rec.Chart.SetView3DWalls(Row.WallsOn);
        Rec.Chart.Walls.Back()->SetVisible(Row.BackVisible);
        Rec.DC.ClearCalls();
        DrawChartWalls(Rec.Chart, Rec.Chart.Walls);
        EXPECT_TRUE(Rec.DC.CallsStartingWith(QStringLiteral("Rectangle(")).isEmpty()) << Row.Name;
        EXPECT_TRUE(Rec.DC.CallsStartingWith(QStringLiteral("Polygon(")).isEmpty()) << Row.Name;
    }
}

TEST(ChartWalls2D, GradientFillsAnOpaqueBackWall)
{
    TBitmapChart B;
    B.AddSeries();
    TChartBackWall& Back = *B.Chart.Walls.Back();
    Back.SetTransparent(false);
    Back.SetColor(clRed);
    Back.Gradient()->SetVisible(true);
    Back.Gradient()->SetStartColor(clBlue);
    Back.Gradient()->SetEndColor(clLime);
    Back.Gradient()->SetDirection(gdTopBottom);
    DrawChartWalls(B.Chart, B.Chart.Walls);
    // The end colour at the top, the start colour at the bottom, no brush.
    EXPECT_TRUE(Near(B.Pixel(200, PlotRect.Top + 2), clLime, 12)) << std::hex << B.Pixel(200, PlotRect.Top + 2);
    EXPECT_TRUE(Near(B.Pixel(200, PlotRect.Bottom - 2), clBlue, 12)) << std::hex << B.Pixel(200, PlotRect.Bottom - 2);
    EXPECT_EQ(B.Pixel(PlotRect.Left, 120), clBlack);
    // A transparent wall ignores its gradient.
    TBitmapChart T;
    T.AddSeries();
    T.Chart.Walls.Back()->Gradient()->SetVisible(true);
    DrawChartWalls(T.Chart, T.Chart.Walls);
    EXPECT_EQ(T.Pixel(200, 120), clWhite);
}

TEST(ChartWalls2D, TransparencyMixesTheWallWithWhatLiesBehind)
{
    struct TRow {
        int Transparency;
        TColor Expected;
    };
    for (const TRow& Row : {TRow{0, clRed}, TRow{50, 0x8080FF}, TRow{100, clWhite}}) {
        TBitmapChart B;
        B.AddSeries();
        TChartBackWall& Back = *B.Chart.Walls.Back();
        Back.SetTransparent(false);
        Back.SetColor(clRed);
        Back.SetTransparency(Row.Transparency);
        DrawChartWalls(B.Chart, B.Chart.Walls);
        EXPECT_TRUE(Near(B.Pixel(200, 120), Row.Expected, 3))
            << Row.Transparency << ": " << std::hex << B.Pixel(200, 120);
        // Outside the wall nothing changes.
        EXPECT_EQ(B.Pixel(10, 10), clWhite) << Row.Transparency;
    }
}

TEST(ChartWalls2D, InsideBackImageLiesOverTheWallOnePixelIn)
{
    TBitmapChart B;
    B.AddSeries();
    TChartBackWall& Back = *B.Chart.Walls.Back();
    Back.SetTransparent(false);
    Back.SetColor(clRed);
    TBitmap Image(4, 4);
    Image.Canvas().Brush().SetColor(clBlue);
    Image.Canvas().FillRect(TRect{0, 0, 4, 4});
    B.Chart.BackImage()->SetGraphic(&Image);
    B.Chart.SetBackImageInside(true);
    DrawChartWalls(B.Chart, B.Chart.Walls);
    EXPECT_EQ(B.Pixel(200, 120), clBlue);
    EXPECT_EQ(B.Pixel(PlotRect.Left, 120), clBlack);
    // Not inside: the panel draws it, the wall does not.
    TBitmapChart Outside;
    Outside.AddSeries();
    Outside.Chart.Walls.Back()->SetTransparent(false);
    Outside.Chart.Walls.Back()->SetColor(clRed);
    Outside.Chart.BackImage()->SetGraphic(&Image);
    DrawChartWalls(Outside.Chart, Outside.Chart.Walls);
    EXPECT_EQ(Outside.Pixel(200, 120), clRed);
}

// --- Drawing walls in 3-D -----------------------------------------------------------------------

// Depth 20 in an oblique view: the back of the plot lies 20 pixels across
// and 20 up (to the right at 45 degrees, to the left at 135).
constexpr int WallDepth = 20;

struct TWalls3D : TBitmapChart {
    explicit TWalls3D(int OrthoAngle = 45) : TBitmapChart(true, WallDepth)
    {
        Chart.View3DOptions()->SetOrthoAngle(OrthoAngle);
        Rebind(PlotRect, WallDepth);
        AddSeries();
        TChartWalls& W = Chart.Walls;
        W.Back()->SetTransparent(false);
        W.Back()->SetColor(clRed);
        W.Left()->SetColor(clLime);
        W.Bottom()->SetColor(clBlue);
        W.Right()->SetColor(clYellow);
    }
    static int MidX() { return (PlotRect.Left + PlotRect.Right) / 2; }
    static int MidY() { return (PlotRect.Top + PlotRect.Bottom) / 2; }
    // The middles of the back, left, right and bottom planes on the screen.
    TPoint BackMiddle() const { return Project(MidX(), MidY(), WallDepth); }
    TPoint LeftMiddle() const { return Project(PlotRect.Left, MidY(), WallDepth / 2); }
    TPoint RightMiddle() const { return Project(PlotRect.Right, MidY(), WallDepth / 2); }
    TPoint BottomMiddle() const { return Project(MidX(), PlotRect.Bottom, WallDepth / 2); }
};

TEST(ChartWalls3D, PlanesOfBackLeftAndBottom)
{
    TWalls3D B;
    DrawChartWalls(B.Chart, B.Chart.Walls);
    EXPECT_EQ(B.Pixel(B.BackMiddle()), clRed);
    EXPECT_EQ(B.Pixel(B.LeftMiddle()), clLime);
    EXPECT_EQ(B.Pixel(B.BottomMiddle()), clBlue);
    // The planes have no thickness outside the plot.
    EXPECT_EQ(B.Pixel(PlotRect.Left - 5, B.MidY()), clWhite);
    EXPECT_EQ(B.Pixel(B.MidX(), PlotRect.Bottom + 5), clWhite);
}

TEST(ChartWalls3D, SizedWallsAreBoxesOutsideThePlot)
{
    TWalls3D B;
    TChartWalls& W = B.Chart.Walls;
    W.Left()->SetSize(10);
    W.Bottom()->SetSize(8);
    W.Back()->SetSize(6);
    DrawChartWalls(B.Chart, W);
    // The boxes' front faces keep the wall colours.
    EXPECT_EQ(B.Pixel(PlotRect.Left - 5, B.MidY()), clLime);
    EXPECT_EQ(B.Pixel(B.MidX(), PlotRect.Bottom + 4), clBlue);
    // The left box reaches down beside the bottom box.
    EXPECT_EQ(B.Pixel(PlotRect.Left - 5, PlotRect.Bottom + 4), clLime);
    // The back box's face toward the plot.
    EXPECT_EQ(B.Pixel(B.BackMiddle()), clRed);
    // The boxes' tops, turned up to the viewer, are darker.
    EXPECT_EQ(B.Pixel(B.Project(B.MidX(), PlotRect.Top, WallDepth + 3)), DarkenColor(clRed, 64));
    EXPECT_EQ(B.Pixel(B.Project(PlotRect.Left - 5, PlotRect.Top, WallDepth / 2)), DarkenColor(clLime, 64));
}

TEST(ChartWalls3D, RightWallBehindTheSeriesWhenTheDepthRunsLeft)
{
    TWalls3D B(135);
    TChartWalls& W = B.Chart.Walls;
    W.Right()->SetVisible(true);
    W.Back()->SetVisible(false);
    DrawChartWalls(B.Chart, W);
    EXPECT_EQ(B.Pixel(B.RightMiddle()), clYellow);
    // The left wall stands in front: not drawn behind the series.
    EXPECT_EQ(B.Pixel(B.LeftMiddle()), clWhite);
    DrawWallsInFront(B.Chart, W);
    EXPECT_EQ(B.Pixel(B.LeftMiddle()), clLime);
}

TEST(ChartWalls3D, BottomWallReachesUnderALeftWallInFront)
{
    TRecordingDC DC{400, 250};
    TCanvas Target{&DC};
    TWalls3D B(135);
    TChartWalls& W = B.Chart.Walls;
    W.Left()->SetSize(10);
    B.Chart.Canvas().InitWindow(&Target, B.Chart.View3DOptions(), clWhite, true, B.Chart.GetRectangle());
    B.Chart.Canvas().SetProjection(WallDepth, PlotRect);
    const auto Corner = [&B](int X) {
        const TPoint P = B.Project(X, PlotRect.Bottom, 0);
        return QStringLiteral("%1 %2").arg(P.X).arg(P.Y);
    };
    DrawBottomWall(B.Chart, W);
    QStringList Polygons = DC.CallsStartingWith(QStringLiteral("Polygon("));
    ASSERT_EQ(Polygons.size(), 1);
    EXPECT_TRUE(Polygons[0].contains(Corner(PlotRect.Left - 10))) << Polygons[0].toStdString();
    // Hidden by auto-hide, the left wall leaves the floor at the plot's edge.
    W.Left()->SetAutoHide(true);
    DC.ClearCalls();
    DrawBottomWall(B.Chart, W);
    Polygons = DC.CallsStartingWith(QStringLiteral("Polygon("));
    ASSERT_EQ(Polygons.size(), 1);
    EXPECT_TRUE(Polygons[0].contains(Corner(PlotRect.Left))) << Polygons[0].toStdString();
}

TEST(ChartWalls3D, TransparentAndTranslucentWalls)
{
    struct TRow {
        bool Transparent;
        int Transparency;
        TColor Back;
        TColor Left;
    };
    for (const TRow& Row : {TRow{true, 0, clWhite, clWhite}, TRow{false, 50, 0x8080FF, 0x80FF80}}) {
        TWalls3D B;
        TChartWalls& W = B.Chart.Walls;
        TCustomChartWall* const Changed[] = {W.Back(), W.Left()};
        for (TCustomChartWall* Wall : Changed) {
            Wall->SetTransparent(Row.Transparent);
            Wall->SetTransparency(Row.Transparency);
        }
        DrawChartWalls(B.Chart, W);
        EXPECT_TRUE(Near(B.Pixel(B.BackMiddle()), Row.Back)) << std::hex << B.Pixel(B.BackMiddle());
        EXPECT_TRUE(Near(B.Pixel(B.LeftMiddle()), Row.Left)) << std::hex << B.Pixel(B.LeftMiddle());
        EXPECT_EQ(B.Pixel(B.BottomMiddle()), clBlue);
    }
}

TEST(ChartWalls3D, BottomGradientFillsTheFloor)
{
    TWalls3D B;
    TChartWall& Bottom = *B.Chart.Walls.Bottom();
    Bottom.Gradient()->SetVisible(true);
    Bottom.Gradient()->SetStartColor(clFuchsia);
    Bottom.Gradient()->SetEndColor(clFuchsia);
    DrawChartWalls(B.Chart, B.Chart.Walls);
    EXPECT_EQ(B.Pixel(B.BottomMiddle()), clFuchsia);
}

TEST(ChartWalls3D, BackFacingChartDrawsDepthAxesAndBackWallInFront)
{
    TWalls3D B;
    TView3DOptions& View = *B.Chart.View3DOptions();
    View.SetOrthogonal(false);
    View.SetRotation(180);
    View.SetElevation(0);
    View.SetPerspective(0);
    B.Rebind(PlotRect, WallDepth);
    ASSERT_TRUE(B.Chart.IsBackFacing(B.Chart.Depth3D()));
    std::vector<TChartAxis*> Drawn;
    for (TChartAxis* Axis : {B.Chart.DepthAxis(), B.Chart.DepthTopAxis()}) {
        Axis->SetPaintVisible(true);
        Axis->OnDrawGrid = [&Drawn](TChartAxis* Sender) { Drawn.push_back(Sender); };
    }
    TChartWalls& W = B.Chart.Walls;
    W.Left()->SetVisible(false);
    W.Bottom()->SetVisible(false);
    DrawChartWalls(B.Chart, W);
    EXPECT_EQ(Drawn, (std::vector<TChartAxis*>{B.Chart.DepthAxis(), B.Chart.DepthTopAxis()}));
    const TPoint Middle = B.BackMiddle();
    EXPECT_EQ(B.Pixel(Middle), clWhite);
    Drawn.clear();
    DrawWallsInFront(B.Chart, W);
    EXPECT_EQ(Drawn.size(), 2u);
    EXPECT_EQ(B.Pixel(Middle), clRed);
}

// --- A whole paint --------------------------------------------------------------------------------

TEST(ChartTitlesAndWallsPaint, TitleFootAndBackWallShareThePanel)
{
    TTitlesChart Chart;
    Chart.SetView3D(false);
    auto* S = new TChartSeries(&Chart);
    Chart.AddSeries(S);
    S->AddXY(0, 0);
    S->AddXY(10, 10);
    Chart.Title.Text()->Add(QStringLiteral("Cross-section"));
    Chart.Foot.Text()->Add(QStringLiteral("Foot"));
    Chart.Walls.Back()->SetTransparent(false);
    Chart.Walls.Back()->SetColor(clRed);
    TBitmap Target(Chart.Width(), Chart.Height());
    Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
    const TRect R = Chart.ChartRectangle();
    EXPECT_GT(R.Top, Chart.Title.ShapeBounds().Bottom);
    EXPECT_LT(R.Bottom, Chart.Foot.ShapeBounds().Top);
    EXPECT_EQ(Target.Canvas().Pixel((R.Left + R.Right) / 2 + 3, (R.Top + R.Bottom) / 2 + 3), clRed);
    EXPECT_TRUE(Chart.Title.Clicked((Chart.Title.ShapeBounds().Left + Chart.Title.ShapeBounds().Right) / 2,
                                    Chart.Title.ShapeBounds().Top + 1));
}

} // namespace
} // namespace lp
