// Series marks: published defaults, mark sizes and positions, DrawEvery,
// hit tests, marks moved by the user, the drawing of one mark (callout,
// frame, symbol, rotation, rich text, 3-D), the overlap rule and the stored
// "Items" with its round trip and its refusal of broken blocks.

#include "chart/engine/PlotMarks.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "platform/core/Filer.h"
#include "platform/core/PropertyInfo.h"
#include "platform/core/Streams.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QBuffer>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace lp {
namespace {

using test::TTestChart;

using test::TRecordedChart;

TSeriesMarkPosition MakePosition(int Left, int Top, int Width, int Height)
{
    TSeriesMarkPosition P;
    P.TopLeft = {Left, Top};
    P.MarkWidth = Width;
    P.MarkHeight = Height;
    P.ArrowEnd = {Left + Width / 2, Top + Height};
    P.ArrowStart = {Left + Width / 2, Top + Height + 20};
    return P;
}

QString Rect(const TRect& R)
{
    return QStringLiteral("Rectangle(%1,%2,%3,%4)").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
}

// --- Settings -------------------------------------------------------------------------------------

TEST(SeriesMarksSettings, PublishedDefaultsHoldAndAreNotStored)
{
    TChartSeries Series;
    TSeriesMarks& Marks = *Series.Marks();
    const struct {
        const char* Name;
        QVariant Value;
    } Rows[] = {
        {"Angle", 0},          {"Clip", false},        {"Color", -16777192}, {"BackColor", -16777192},
        {"DrawEvery", 1},      {"MultiLine", false},   {"Visible", false},   {"BevelWidth", 2},
        {"Transparency", 0},   {"Transparent", false}, {"ArrowLength", 8},
    };
    for (const auto& Row : Rows) {
        EXPECT_EQ(Marks.property(Row.Name), Row.Value) << Row.Name;
        EXPECT_FALSE(IsPropertyStored(&Marks, Row.Name)) << Row.Name;
    }
    EXPECT_EQ(Marks.Style(), TSeriesMarks::smsLabel);
    EXPECT_EQ(Marks.ShapeStyle(), fosRectangle);
    EXPECT_EQ(Marks.Bevel(), TCustomPanelNoCaption::bvNone);
    for (const char* Name : {"Style", "ShapeStyle", "Bevel"})
        EXPECT_FALSE(IsPropertyStored(&Marks, Name)) << Name;
    // Gray shadow of size 1, which is then not stored either.
    EXPECT_EQ(Marks.Shadow()->Color(), clGray);
    EXPECT_EQ(Marks.Shadow()->Size(), 1);
    EXPECT_FALSE(IsPropertyStored(Marks.Shadow(), "Color"));
    EXPECT_FALSE(IsPropertyStored(Marks.Shadow(), "HorizSize"));
    // The gradient runs right to left from silver to white.
    ASSERT_NE(qobject_cast<TSeriesMarksGradient*>(Marks.Gradient()), nullptr);
    EXPECT_EQ(Marks.Gradient()->Direction(), gdRightLeft);
    EXPECT_EQ(Marks.Gradient()->StartColor(), clSilver);
    EXPECT_EQ(Marks.Gradient()->EndColor(), clWhite);
    for (const char* Name : {"Direction", "StartColor", "EndColor"})
        EXPECT_FALSE(IsPropertyStored(Marks.Gradient(), Name)) << Name;
    // ArrowLength is the callout's Length, and never stored itself.
    EXPECT_TRUE(Marks.HasCallout());
    Marks.SetArrowLength(12);
    EXPECT_EQ(Marks.Callout()->Length(), 12);
    EXPECT_FALSE(IsPropertyStored(&Marks, "ArrowLength"));
    EXPECT_EQ(Marks.Arrow(), Marks.Callout()->Arrow());
    EXPECT_EQ(Marks.Arrow()->Color(), clWhite);
    // BackColor is Color.
    Marks.setProperty("BackColor", int(clRed));
    EXPECT_EQ(Marks.Color(), clRed);
    EXPECT_FALSE(IsPropertyStored(&Marks, "BackColor"));
    EXPECT_TRUE(IsPropertyStored(&Marks, "Color"));
}

TEST(SeriesMarksSettings, CalloutAndSymbolAreMadeOnFirstUse)
{
    TChartSeries Series;
    TSeriesMarks& Marks = *Series.Marks();
    EXPECT_FALSE(Marks.HasCallout());
    EXPECT_FALSE(Marks.HasSymbol());
    EXPECT_FALSE(Marks.SymbolShown());
    TSeriesMarksSymbol* Symbol = Marks.Symbol();
    EXPECT_TRUE(Marks.HasSymbol());
    EXPECT_FALSE(Symbol->Visible());
    EXPECT_FALSE(Symbol->Transparent());
    EXPECT_EQ(Symbol->Shadow()->Size(), 1);
    Symbol->SetVisible(true);
    EXPECT_TRUE(Marks.SymbolShown());
    Symbol->SetTransparent(true);
    EXPECT_FALSE(Marks.SymbolShown());
    EXPECT_FALSE(Marks.Callout()->Visible());
    EXPECT_EQ(Marks.Callout()->ParentSeries(), &Series);
    // Items start with the marks' colour, a gray shadow, visible.
    TMarksItem& Item = Marks.Items().Item(3);
    EXPECT_EQ(Marks.Items().Count(), 4);
    EXPECT_EQ(Marks.Items().Find(2), nullptr);
    EXPECT_EQ(Item.Color(), static_cast<TColor>(-16777192));
    EXPECT_EQ(Item.Shadow()->Color(), clGray);
    EXPECT_EQ(Item.Shadow()->Size(), 1);
    EXPECT_TRUE(Item.Visible());
    EXPECT_EQ(Item.BevelWidth(), 2);
    EXPECT_THROW(Marks.Items().Item(-1), ERangeError);
}

TEST(SeriesMarksSettings, DrawEveryBelowOneCountsAsOne)
{
    const struct {
        int Value;
        int Result;
    } Rows[] = {{0, 1}, {-5, 1}, {1, 1}, {3, 3}};
    for (const auto& Row : Rows) {
        TSeriesMarks Marks(nullptr);
        Marks.SetDrawEvery(Row.Value);
        EXPECT_EQ(Marks.DrawEvery(), Row.Result) << Row.Value;
    }
}


TEST(SeriesMarksSettings, SettersRepaintOnlyOnChange)
{
    test::TCountingChart<> Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TSeriesMarks& Marks = *Series->Marks();
    const std::function<void(int)> Setters[] = {
        [&](int V) { Marks.SetStyle(static_cast<TSeriesMarksStyle>(V)); },
        [&](int V) { Marks.SetClip(V == 5); },
        [&](int V) { Marks.SetDrawEvery(V); },
        [&](int V) { Marks.SetAngle(V); },
        [&](int V) { Marks.SetMultiLine(V == 5); },
        [&](int V) { Marks.SetArrowLength(V); },
    };
    int Row = 0;
    for (const auto& Set : Setters) {
        Set(5);
        const int Before = Chart.Invalidations;
        Set(5);
        EXPECT_EQ(Chart.Invalidations, Before) << "row " << Row;
        Set(7);
        EXPECT_GT(Chart.Invalidations, Before) << "row " << Row;
        ++Row;
    }
}

TEST(SeriesMarksSettings, TheChartReachesCalloutSymbolAndItems)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    TSeriesMarks& Marks = *Series->Marks();
    Marks.Callout();
    Marks.Symbol();
    Marks.Items().Item(1);
    Chart.AddSeries(Series);
    EXPECT_EQ(Marks.ParentChart(), &Chart);
    EXPECT_EQ(Marks.Callout()->ParentChart(), &Chart);
    EXPECT_EQ(Marks.Symbol()->ParentChart(), &Chart);
    EXPECT_EQ(Marks.Items().Find(1)->ParentChart(), &Chart);
    EXPECT_EQ(Marks.Items().Item(4).ParentChart(), &Chart);
    Marks.SetParentChart(nullptr);
    EXPECT_EQ(Marks.Callout()->ParentChart(), nullptr);
    EXPECT_EQ(Marks.Symbol()->ParentChart(), nullptr);
    EXPECT_EQ(Marks.Items().Find(4)->ParentChart(), nullptr);
}

// A series makes its marks on first use; made after the series joined a
// chart, they reach the chart all the same, and they follow it when the
// series leaves.
TEST(SeriesMarksSettings, MarksFirstUsedOnAChartReachTheChart)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TSeriesMarks& Marks = *Series->Marks();
    EXPECT_EQ(Marks.ParentChart(), &Chart);
    EXPECT_EQ(Series->Marks(), &Marks);
    Chart.RemoveSeries(Series);
    EXPECT_EQ(Marks.ParentChart(), nullptr);
}

TEST(SeriesMarksSettings, AssignCopiesSettingsCalloutSymbolAndItems)
{
    TSeriesMarks Source(nullptr);
    Source.SetAngle(30);
    Source.SetArrowLength(15);
    Source.SetClip(true);
    Source.SetDrawEvery(2);
    Source.SetStyle(TSeriesMarks::smsXY);
    Source.SetMultiLine(true);
    Source.Symbol()->SetVisible(true);
    Source.SetColor(clAqua);
    Source.Items().Item(2).SetColor(clRed);
    Source.Items().Item(2).Text().Add("two");
    TSeriesMarks Target(nullptr);
    Target.Items().Item(0).SetColor(clBlue);
    Target.Assign(&Source);
    EXPECT_EQ(Target.Angle(), 30);
    EXPECT_EQ(Target.ArrowLength(), 15);
    EXPECT_TRUE(Target.Clip());
    EXPECT_EQ(Target.DrawEvery(), 2);
    EXPECT_EQ(Target.Style(), TSeriesMarks::smsXY);
    EXPECT_TRUE(Target.MultiLine());
    EXPECT_TRUE(Target.SymbolShown());
    EXPECT_EQ(Target.Color(), clAqua);
    EXPECT_EQ(Target.Items().Count(), 3);
    EXPECT_EQ(Target.Items().Find(0), nullptr);
    ASSERT_NE(Target.Items().Find(2), nullptr);
    EXPECT_NE(Target.Items().Find(2), Source.Items().Find(2));
    EXPECT_EQ(Target.Items().Find(2)->Color(), clRed);
    EXPECT_EQ(Target.Items().Find(2)->Text().Strings(0), "two");
}

// --- Positions, sizes and hit tests --------------------------------------------------------------

// A chart with a series of labelled points laid out on a bitmap.
struct TMarkedSeries {
    TTestChart Chart;
    TChartSeries* Series = nullptr;
    std::unique_ptr<TBitmap> Target;
    explicit TMarkedSeries(const QStringList& Labels)
    {
        Chart.SetView3D(false);
        Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        for (int I = 0; I < Labels.size(); ++I)
            Series->AddXY(I, 10 + I * 10, Labels[I]);
        Target = test::BindCanvas(Chart);
        test::PlaceAxes(Chart, TRect{20, 20, 380, 230});
        Series->CalcFirstLastVisibleIndex();
        Series->Marks()->SetVisible(true);
    }
    const TSeriesMarkPosition& Position(int Index) const
    {
        const TSeriesMarkPosition* P = Series->Marks()->Positions().GetPosition(Index);
        EXPECT_NE(P, nullptr) << Index;
        static const TSeriesMarkPosition None;
        return P ? *P : None;
    }
};

TEST(SeriesMarksLayout, MarkSizesFollowTextFrameAndSymbol)
{
    const QString Cr(PlotLineSeparator);
    const struct {
        QString Text;
        bool Symbol;
        bool Frame;
        int FrameWidth;
        int Lines;
        QString Widest;
    } Rows[] = {
        {"apple", false, true, 1, 1, "apple"},
        {"apple", true, true, 1, 1, "apple"},
        {"apple", false, false, 3, 1, "apple"},
        {"apple", false, true, 3, 1, "apple"},
        {"a" + Cr + "longer", false, true, 1, 2, "longer"},
    };
    for (const auto& Row : Rows) {
        TMarkedSeries M({Row.Text, "x"});
        TSeriesMarks& Marks = *M.Series->Marks();
        Marks.Symbol()->SetVisible(Row.Symbol);
        Marks.Pen()->SetVisible(Row.Frame);
        Marks.Pen()->SetWidth(Row.FrameWidth);
        M.Series->DrawMarks();
        TCanvas3D& Canvas = M.Chart.Canvas();
        Canvas.AssignFont(*Marks.Font());
        const int Height = Canvas.FontHeight();
        const int Grow = Row.Frame ? 2 * Row.FrameWidth : 1;
        const int Width =
            Canvas.TextWidth(Row.Widest) + Canvas.TextWidth("W") + (Row.Symbol ? Height - 4 : 0) + Grow;
        const TSeriesMarkPosition& P = M.Position(0);
        EXPECT_EQ(P.MarkWidth, Width) << Row.Text.toStdString();
        EXPECT_EQ(P.MarkHeight, Height * Row.Lines + Grow) << Row.Text.toStdString();
        // The mark stands above its point, centred.
        const TPoint Point{M.Series->CalcXPos(0), M.Series->CalcYPos(0)};
        EXPECT_EQ(P.ArrowStart, Point);
        EXPECT_EQ(P.ArrowEnd, Point);
        EXPECT_EQ(P.TopLeft, (TPoint{Point.X - Width / 2, Point.Y - P.MarkHeight + 1}));
        EXPECT_FALSE(P.UserMoved);
    }
}

TEST(SeriesMarksLayout, DrawEveryTwoSkipsOddMarksInDrawingAndHitTests)
{
    TMarkedSeries M({"a", "b", "c", "d", "e"});
    TSeriesMarks& Marks = *M.Series->Marks();
    Marks.SetDrawEvery(2);
    M.Series->DrawMarks();
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Marks.Positions().GetPosition(I) != nullptr, I % 2 == 0) << I;
    // An odd mark with a stored position is still never hit.
    Marks.Positions().SetPosition(1, M.Position(2));
    const TRect R = M.Position(2).Bounds();
    EXPECT_EQ(Marks.Clicked(R.Left + 1, R.Top + 1), 2);
    Marks.SetDrawEvery(1);
    EXPECT_EQ(Marks.Clicked(R.Left + 1, R.Top + 1), 2);
    Marks.Positions().Ensure(3) = M.Position(2);
    EXPECT_EQ(Marks.Clicked(R.Left + 1, R.Top + 1), 3);
}

TEST(SeriesMarksLayout, ClickedFindsTheLastMarkHoldingThePixel)
{
    TSeriesMarks Marks(nullptr);
    Marks.Positions().Ensure(0) = MakePosition(10, 10, 20, 10);  // 10..30 x 10..20
    Marks.Positions().Ensure(1) = MakePosition(15, 12, 20, 10);  // 15..35 x 12..22
    Marks.Positions().Ensure(2) = MakePosition(100, 100, 10, 10);
    Marks.Positions().Ensure(3) = MakePosition(100, 100, 10, 10);
    Marks.Positions().Ensure(6) = MakePosition(200, 100, 10, 10); // 4 and 5 empty
    const struct {
        int X, Y, Every, Index;
    } Rows[] = {
        {20, 15, 1, 1},    // both overlapping marks hold it: the later wins
        {12, 11, 1, 0},    // only the first
        {105, 105, 1, 3},  // two identical marks: the later
        {105, 105, 2, 2},  // odd index skipped
        {20, 15, 2, 0},
        {10, 10, 1, 0},    // the top-left corner is inside
        {35, 15, 1, -1},   // the right edge is outside
        {20, 22, 1, -1},   // the bottom edge is outside
        {205, 105, 3, 6},
        {205, 105, 4, -1},
        {500, 500, 1, -1},
    };
    for (const auto& Row : Rows) {
        Marks.SetDrawEvery(Row.Every);
        EXPECT_EQ(Marks.Clicked(Row.X, Row.Y), Row.Index) << Row.X << "," << Row.Y << " every " << Row.Every;
    }
}

TEST(SeriesMarksLayout, MovedMarkStaysUntilPositionsAreReset)
{
    TMarkedSeries M({"a", "b", "c"});
    TSeriesMarks& Marks = *M.Series->Marks();
    M.Series->DrawMarks();
    const TSeriesMarkPosition Automatic = M.Position(1);
    TSeriesMarkPosition Moved = Automatic;
    Moved.TopLeft = {5, 6};
    Moved.ArrowEnd = {9, 9};
    Marks.Positions().SetPosition(1, Moved);
    EXPECT_TRUE(M.Series->DataFlags() & 8);
    M.Series->DrawMarks();
    EXPECT_EQ(M.Position(1).TopLeft, (TPoint{5, 6}));
    EXPECT_TRUE(M.Position(1).UserMoved);
    EXPECT_EQ(Marks.Clicked(6, 7), 1);
    Marks.ResetPositions();
    EXPECT_FALSE(Marks.Positions().ExistCustom());
    M.Series->DrawMarks();
    EXPECT_EQ(M.Position(1).TopLeft, Automatic.TopLeft);
}

TEST(SeriesMarksLayout, FixedArrowStartsFollowThePointOfAMovedMark)
{
    const struct {
        bool StoredFixed;
        bool PassedFixed;
        TPoint Start;
    } Rows[] = {{true, true, {70, 80}}, {true, false, {1, 2}}, {false, true, {1, 2}}};
    for (const auto& Row : Rows) {
        TSeriesMarks Marks(nullptr);
        TSeriesMarkPosition Stored = MakePosition(5, 5, 10, 10);
        Stored.ArrowStart = {1, 2};
        Stored.ArrowFixed = Row.StoredFixed;
        Marks.Positions().SetPosition(0, Stored);
        TSeriesMarkPosition Passed = MakePosition(60, 60, 10, 10);
        Passed.ArrowStart = {70, 80};
        Passed.ArrowFixed = Row.PassedFixed;
        Marks.DrawOneMark(0, clRed, "x", Passed);
        EXPECT_EQ(Passed.TopLeft, (TPoint{5, 5}));
        EXPECT_EQ(Passed.ArrowStart, Row.Start);
    }
}

TEST(SeriesMarksLayout, ArrowLengthLiftsTheMarkAndDistanceTheArrowStart)
{
    const struct {
        int Length, Distance;
        int Top, End, Start;
    } Rows[] = {{8, 0, 42, 62, 80}, {8, 2, 40, 60, 78}, {0, 0, 50, 70, 80}, {20, 5, 25, 45, 75}};
    for (const auto& Row : Rows) {
        TSeriesMarks Marks(nullptr);
        Marks.SetArrowLength(Row.Length);
        Marks.Callout()->SetDistance(Row.Distance);
        TSeriesMarkPosition P = MakePosition(10, 50, 20, 20);
        P.ArrowStart = {20, 80};
        Marks.ApplyArrowLength(P);
        EXPECT_EQ(P.TopLeft.Y, Row.Top);
        EXPECT_EQ(P.ArrowEnd.Y, Row.End);
        EXPECT_EQ(P.ArrowStart.Y, Row.Start);
        EXPECT_EQ(P.TopLeft.X, 10);
    }
}

TEST(SeriesMarksLayout, WidestMarkLineMeasuresInTheMarksFont)
{
    TMarkedSeries M({QString("a") + PlotLineSeparator + "a longer line", "b"});
    TSeriesMarks& Marks = *M.Series->Marks();
    Marks.Font()->SetSize(14);
    TCanvas3D& Canvas = M.Chart.Canvas();
    Canvas.AssignFont(*Marks.Font());
    EXPECT_EQ(Marks.WidestMarkLine(0), Canvas.TextWidth("a longer line"));
    EXPECT_EQ(Marks.WidestMarkLine(1), Canvas.TextWidth("b"));
    TSeriesMarks Alone(nullptr);
    EXPECT_EQ(Alone.WidestMarkLine(0), 0);
}

// --- The overlap rule ----------------------------------------------------------------------------

TEST(SeriesMarksOverlaps, MarksMoveOffEarlierMarks)
{
    const struct {
        const char* Case;
        TPoint Earlier;
        int FirstIndex;
        bool FrameAndShadow;
        int Top;
    } Rows[] = {
        // Same height: up by the whole overlap (20 high, + frame 1, + shadow 1).
        {"same height", {10, 50}, 0, true, 28},
        {"same height, plain", {10, 50}, 0, false, 30},
        // The earlier mark is lower: up by R.Bottom - R2.Top.
        {"earlier lower", {10, 60}, 0, true, 38},
        // The earlier mark is higher: down by R2.Bottom - R.Top.
        {"earlier higher", {10, 40}, 0, true, 62},
        {"apart", {100, 50}, 0, true, 50},
        {"before the first index", {10, 50}, 1, true, 50},
    };
    for (const auto& Row : Rows) {
        TSeriesMarks Marks(nullptr);
        if (!Row.FrameAndShadow) {
            Marks.Pen()->SetVisible(false);
            Marks.Shadow()->SetSize(0);
        }
        Marks.Positions().Ensure(0) = MakePosition(Row.Earlier.X, Row.Earlier.Y, 30, 20);
        TSeriesMarkPosition P = MakePosition(20, 50, 30, 20);
        const TPoint Start = P.ArrowStart;
        const int EndBelowTop = P.ArrowEnd.Y - P.TopLeft.Y;
        Marks.MoveOffOverlaps(Row.FirstIndex, 1, P);
        EXPECT_EQ(P.TopLeft.Y, Row.Top) << Row.Case;
        EXPECT_EQ(P.ArrowEnd.Y - P.TopLeft.Y, EndBelowTop) << Row.Case;
        EXPECT_EQ(P.ArrowStart, Start) << Row.Case;
        EXPECT_EQ(P.TopLeft.X, 20) << Row.Case;
    }
}

TEST(SeriesMarksOverlaps, ShadowOnTheLeftWidensTheLeftSide)
{
    TSeriesMarks Marks(nullptr);
    Marks.Pen()->SetVisible(false);
    Marks.Shadow()->SetHorizSize(-5);
    Marks.Shadow()->SetVertSize(0);
    // 10..40 and 43..73 apart, but the later mark's shadow reaches 38.
    Marks.Positions().Ensure(0) = MakePosition(10, 50, 30, 20);
    TSeriesMarkPosition P = MakePosition(43, 50, 30, 20);
    Marks.MoveOffOverlaps(0, 1, P);
    EXPECT_EQ(P.TopLeft.Y, 30);
}

// --- Drawing one mark -----------------------------------------------------------------------------

TEST(SeriesMarksDrawing, FrameTextAndTheCalloutLine)
{
    TRecordedChart R(false, 5);
    TSeriesMarks& Marks = R.Marks();
    Marks.SetVisible(true);
    TSeriesMarkPosition P = MakePosition(50, 50, 60, 30); // arrow from (80, 100) to (80, 80)
    Marks.DrawOneMark(0, clRed, QString("Top") + PlotLineSeparator + "Bottom", P);
    const int Frame = R.IndexOf(Rect(TRect{50, 50, 110, 80}));
    ASSERT_GE(Frame, 0) << R.DC.Calls().join('\n').toStdString();
    // The white arrow from the point to the mark comes first.
    const int Line = R.IndexOf("MoveTo(80,100)");
    ASSERT_GE(Line, 0);
    EXPECT_EQ(R.DC.Calls().value(Line + 1), "LineTo(80,80)");
    EXPECT_LT(Line, Frame);
    EXPECT_TRUE(R.LastBefore(Line + 1, "SelectPen").contains("0xFFFFFF"));
    // Text centred, 2 pixels below the top, one font height per line.
    R.Canvas().AssignFont(*Marks.Font());
    const int H = R.Canvas().FontHeight();
    const int Top = R.IndexOf("TextOut(80,52,\"Top\")");
    ASSERT_GE(Top, 0) << R.DC.Calls().join('\n').toStdString();
    EXPECT_GE(R.IndexOf(QStringLiteral("TextOut(80,%1,\"Bottom\")").arg(52 + H)), 0);
    EXPECT_EQ(R.LastBefore(Top, "SetTextAlign"), "SetTextAlign(6)");
    EXPECT_EQ(R.LastBefore(Top, "SetBkMode"), "SetBkMode(1)");
    // The frame is filled with the marks' colour (the device resolves
    // system colours itself).
    EXPECT_TRUE(R.LastBefore(Frame, "SelectBrush").contains(LogColor(Marks.Color())));
    // The position is kept for hit tests.
    EXPECT_EQ(Marks.Clicked(60, 60), 0);
}

TEST(SeriesMarksDrawing, AnItemGivesItsMarkItsOwnColourAndFont)
{
    TRecordedChart R(false, 5);
    TSeriesMarks& Marks = R.Marks();
    TMarksItem& Item = Marks.Items().Item(1);
    Item.SetColor(clYellow);
    Item.Font()->SetColor(clBlue);
    Marks.Font()->SetColor(clMaroon);
    for (int I = 0; I < 3; ++I) {
        TSeriesMarkPosition P = MakePosition(10 + 100 * I, 50, 60, 20);
        Marks.DrawOneMark(I, clRed, "m" + QString::number(I), P);
    }
    for (int I = 0; I < 3; ++I) {
        const int Frame = R.IndexOf(Rect(TRect{10 + 100 * I, 50, 70 + 100 * I, 70}));
        ASSERT_GE(Frame, 0) << I;
        const TColor Fill = I == 1 ? clYellow : Marks.Color();
        EXPECT_TRUE(R.LastBefore(Frame, "SelectBrush").contains(LogColor(Fill))) << I;
        const int Text = R.IndexOf(QStringLiteral("TextOut(%1,52,\"m%2\")").arg(40 + 100 * I).arg(I));
        ASSERT_GE(Text, 0) << I;
        EXPECT_EQ(R.LastBefore(Text, "SetTextColor"), "SetTextColor(" + LogColor(I == 1 ? clBlue : clMaroon) + ")")
            << I;
    }
}

TEST(SeriesMarksDrawing, HiddenAndTransparentMarks)
{
    TRecordedChart R(false, 5);
    TSeriesMarks& Marks = R.Marks();
    Marks.SetTransparent(true);
    TSeriesMarkPosition P = MakePosition(50, 50, 60, 20);
    Marks.DrawOneMark(0, clRed, "see-through", P);
    // No frame, but the text.
    EXPECT_LT(R.IndexOf(Rect(TRect{50, 50, 110, 70})), 0);
    EXPECT_GE(R.IndexOf("TextOut(80,52,\"see-through\")"), 0);
    // A hidden callout with a hidden arrow draws no line.
    R.DC.ClearCalls();
    Marks.Arrow()->SetVisible(false);
    Marks.DrawOneMark(0, clRed, "x", P);
    EXPECT_TRUE(R.DC.CallsStartingWith("LineTo").isEmpty());
}

TEST(SeriesMarksDrawing, SymbolInThePointColourAndTheTextBesideIt)
{
    TRecordedChart R(false, 5);
    TSeriesMarks& Marks = R.Marks();
    Marks.Symbol()->SetVisible(true);
    const TColor SymbolColor = Marks.Symbol()->Color();
    TSeriesMarkPosition P = MakePosition(50, 50, 80, 20);
    Marks.DrawOneMark(0, clRed, "sym", P);
    R.Canvas().AssignFont(*Marks.Font());
    const int H = R.Canvas().FontHeight();
    const int Square = R.IndexOf(Rect(TRect{54, 53, 50 + H - 1, 50 + H - 2}));
    ASSERT_GE(Square, 0) << R.DC.Calls().join('\n').toStdString();
    EXPECT_TRUE(R.LastBefore(Square, "SelectBrush").contains(LogColor(clRed)));
    // The text starts the symbol's width + 4 further right.
    const int TextLeft = 50 + (H - 5) + 4;
    EXPECT_GE(R.IndexOf(QStringLiteral("TextOut(%1,52,\"sym\")").arg((TextLeft + 130) / 2)), 0);
    // Drawing leaves the stored symbol as it was.
    EXPECT_EQ(Marks.Symbol()->Color(), SymbolColor);
    EXPECT_FALSE(Marks.Symbol()->Transparent());
}

TEST(SeriesMarksDrawing, RotatedMarksTurnFrameAndText)
{
    const struct {
        int Angle;
        bool Rotated;
    } Rows[] = {{0, false}, {90, true}, {450, true}, {-270, true}, {360, false}};
    for (const auto& Row : Rows) {
        TRecordedChart R(false, 5);
        TSeriesMarks& Marks = R.Marks();
        Marks.SetAngle(Row.Angle);
        TSeriesMarkPosition P = MakePosition(50, 50, 60, 20);
        Marks.DrawOneMark(0, clRed, "turn", P);
        EXPECT_EQ(R.IndexOf(Rect(TRect{50, 50, 110, 70})) >= 0, !Row.Rotated) << Row.Angle;
        const QStringList Fonts = R.DC.CallsStartingWith("SelectFont");
        ASSERT_FALSE(Fonts.isEmpty());
        EXPECT_EQ(Fonts.filter(",900)").size() > 0, Row.Rotated) << Row.Angle;
        if (Row.Rotated) {
            // The frame is the turned polygon around the centre (80, 60).
            EXPECT_GE(R.IndexOf("Polygon([70 90;70 30;90 30;90 90])"), 0)
                << R.DC.CallsStartingWith("Polygon").join(' ').toStdString();
            // The line's start (80, 52) turned about the centre, one pixel on.
            EXPECT_FALSE(R.DC.CallsStartingWith("TextOut(73,60,").isEmpty())
                << R.DC.CallsStartingWith("TextOut").join(' ').toStdString();
        }
    }
}

TEST(SeriesMarksDrawing, RichTextGoesToTheRichTextRenderer)
{
    TRecordedChart R(false, 5);
    TSeriesMarks& Marks = R.Marks();
    Marks.SetTextFormat(ttfHtml);
    TSeriesMarkPosition P = MakePosition(50, 50, 100, 20);
    Marks.DrawOneMark(0, clRed, "<b>bold</b> plain", P);
    const QStringList Texts = R.DC.CallsStartingWith("TextOut");
    EXPECT_TRUE(Texts.join(' ').contains("\"bold\"")) << Texts.join(' ').toStdString();
    EXPECT_FALSE(Texts.join(' ').contains("<b>"));
}

TEST(SeriesMarksDrawing, In3DTheFrameMovesOntoTheProjectionOfTheArrowEnd)
{
    TRecordedChart R(true, 5);
    TSeriesMarks& Marks = R.Marks();
    EXPECT_EQ(Marks.ZPosition(), 10);
    TSeriesMarkPosition P = MakePosition(50, 50, 60, 20); // ArrowEnd (80, 70)
    const TPoint End = R.Canvas().Calculate3DPosition(80, 70, 10);
    ASSERT_NE(End, (TPoint{80, 70}));
    const int DX = End.X - 80;
    const int DY = End.Y - 70;
    const TRect Shown{50 + DX, 50 + DY, 110 + DX, 70 + DY};
    EXPECT_EQ(Marks.DisplayRect(P), Shown);
    Marks.DrawOneMark(0, clRed, "deep", P);
    EXPECT_GE(R.IndexOf(Rect(Shown)), 0) << R.DC.CallsStartingWith("Rectangle").join(' ').toStdString();
    EXPECT_GE(R.IndexOf(QStringLiteral("TextOut(%1,%2,\"deep\")").arg(80 + DX).arg(52 + DY)), 0);
    // Hit tests use the moved rectangle.
    EXPECT_EQ(Marks.Clicked(Shown.Left + 1, Shown.Top + 1), 0);
    if (DX > 2 || DY < -2) {
        EXPECT_EQ(Marks.Clicked(51, 69), -1);
    }
}

TEST(SeriesMarksDrawing, ZoomedViewsDrawTheTextInTheZoomedFont)
{
    const struct {
        bool Is3D;
        int Zoom;
        bool ZoomText;
        int Height;
    } Rows[] = {{true, 200, true, -21}, {true, 200, false, -11}, {false, 200, true, -11}, {true, 100, true, -11}};
    for (const auto& Row : Rows) {
        TRecordedChart R(Row.Is3D, 5);
        R.Chart.View3DOptions()->SetZoom(Row.Zoom);
        R.Chart.View3DOptions()->SetZoomText(Row.ZoomText);
        R.Marks().Font()->SetSize(8);
        TSeriesMarkPosition P = MakePosition(50, 50, 60, 20);
        R.Marks().DrawOneMark(0, clRed, "zoom", P);
        const int Text = static_cast<int>(R.DC.Calls().indexOf(QRegularExpression("^TextOut\\(.*\"zoom\"\\)$")));
        ASSERT_GE(Text, 0);
        EXPECT_TRUE(R.LastBefore(Text, "SelectFont").contains(QStringLiteral(",%1,").arg(Row.Height)))
            << R.LastBefore(Text, "SelectFont").toStdString();
    }
}

TEST(SeriesMarksDrawing, TheSeriesHandsItsMarksToTheMarks)
{
    TMarkedSeries M({"a", "b"});
    M.Series->Marks()->Items().Item(1).SetVisible(false);
    M.Series->DrawMarks();
    // The hidden item's mark is neither drawn nor kept.
    EXPECT_NE(M.Series->Marks()->Positions().GetPosition(0), nullptr);
    EXPECT_EQ(M.Series->Marks()->Positions().GetPosition(1), nullptr);
    // The frame of mark 0 is on the bitmap, in the marks' colour.
    const TRect B = M.Position(0).Bounds();
    EXPECT_EQ(M.Chart.Canvas().GetPixel(B.Left + 2, B.Bottom - 2), ColorToRGB(M.Series->Marks()->Color()));
}

// --- Clearing --------------------------------------------------------------------------------------

TEST(SeriesMarksClear, ItemsReadFromAStreamSurviveClearsWhileTheSeriesLoads)
{
    TChartSeries Series;
    TSeriesMarks& Marks = *Series.Marks();
    Marks.Items().Item(2).SetColor(clRed);
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadWrite);
    Marks.WriteItems(Buffer);
    Buffer.seek(0);
    Series.Loading();
    Marks.ReadItems(Buffer);
    EXPECT_TRUE(Marks.Items().LoadedFromStream());
    Marks.Positions().Ensure(0);
    Marks.Clear();
    EXPECT_EQ(Marks.Positions().Count(), 0);
    ASSERT_NE(Marks.Items().Find(2), nullptr);
    EXPECT_EQ(Marks.Items().Find(2)->Color(), clRed);
    Series.Loaded();
    Marks.Clear();
    EXPECT_EQ(Marks.Items().Count(), 0);
    EXPECT_FALSE(Marks.Items().LoadedFromStream());
    // Items made by hand go with the next clear.
    Marks.Items().Item(0);
    Marks.Clear();
    EXPECT_EQ(Marks.Items().Count(), 0);
}

// --- The stored "Items" ------------------------------------------------------------------------------

QByteArray WriteItemsOf(TSeriesMarks& Marks, bool* HasData = nullptr)
{
    TPropertyDefinitions Definitions;
    Marks.DefineProperties(Definitions);
    const TPropertyDefinitions::TDefinition* Items = Definitions.Find("Items");
    EXPECT_NE(Items, nullptr);
    if (!Items)
        return {};
    EXPECT_TRUE(Items->Binary);
    if (HasData)
        *HasData = Items->HasData;
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Items->WriteStream(Buffer);
    return Buffer.data();
}

void ReadItemsInto(TSeriesMarks& Marks, const QByteArray& Data)
{
    TPropertyDefinitions Definitions;
    Marks.DefineProperties(Definitions);
    QByteArray Copy = Data;
    QBuffer Buffer(&Copy);
    Buffer.open(QIODevice::ReadOnly);
    Definitions.Find("Items")->ReadStream(Buffer);
}

TEST(SeriesMarksItemsStream, NoItemsIsNotWritten)
{
    TSeriesMarks Marks(nullptr);
    bool HasData = true;
    const QByteArray Data = WriteItemsOf(Marks, &HasData);
    EXPECT_FALSE(HasData);
    EXPECT_EQ(Data, QByteArray(4, '\0'));
    Marks.Items().Item(0);
    WriteItemsOf(Marks, &HasData);
    EXPECT_TRUE(HasData);
}

TEST(SeriesMarksItemsStream, RoundTripKeepsEveryItemAndTheGaps)
{
    TSeriesMarks Source(nullptr);
    Source.SetColor(clAqua); // the marks' own colour is not part of "Items"
    TMarksItem& A = Source.Items().Item(1);
    A.SetColor(clRed);
    A.SetBevel(TCustomPanelNoCaption::bvRaised);
    A.SetBevelWidth(5);
    A.SetShapeStyle(fosRoundRectangle);
    A.SetTransparency(40);
    A.SetTransparent(true);
    A.SetVisible(false);
    A.Font()->SetColor(clBlue);
    A.Font()->SetSize(17);
    A.Font()->SetName("Courier New");
    A.Font()->SetStyle(TFont::fsBold | TFont::fsItalic);
    A.Gradient()->SetVisible(true);
    A.Gradient()->SetDirection(gdRadial);
    A.Gradient()->SetEndColor(0x123456);
    A.Shadow()->SetColor(clGreen);
    A.Shadow()->SetSize(-4);
    A.Brush()->SetStyle(bsCross);
    A.Pen()->SetColor(clFuchsia);
    A.Pen()->SetWidth(3);
    A.Pen()->SetVisible(false);
    const QString Long(300, QLatin1Char('x'));
    A.Text().Add("first line");
    A.Text().Add(QString::fromUtf8("gr\u00fc\u00dfe \u2713"));
    A.Text().Add(Long);
    A.Text().Add("");
    Source.Items().Item(3); // all defaults: exists, but nothing differs
    Source.Items().Item(4).SetColor(-5000000); // a colour needing 32 bits
    Source.Items().Item(5).SetBevelWidth(300); // 16 bits

    const QByteArray Data = WriteItemsOf(Source);
    TSeriesMarks Target(nullptr);
    ReadItemsInto(Target, Data);
    EXPECT_TRUE(Target.Items().LoadedFromStream());
    ASSERT_EQ(Target.Items().Count(), 6);
    for (const int Empty : {0, 2})
        EXPECT_EQ(Target.Items().Find(Empty), nullptr) << Empty;
    const TMarksItem* B = Target.Items().Find(1);
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Color(), clRed);
    EXPECT_EQ(B->Bevel(), TCustomPanelNoCaption::bvRaised);
    EXPECT_EQ(B->BevelWidth(), 5);
    EXPECT_EQ(B->ShapeStyle(), fosRoundRectangle);
    EXPECT_EQ(B->Transparency(), 40);
    EXPECT_TRUE(B->Transparent());
    EXPECT_FALSE(B->Visible());
    EXPECT_EQ(B->Font()->Color(), clBlue);
    EXPECT_EQ(B->Font()->Size(), 17);
    EXPECT_EQ(B->Font()->Name(), "Courier New");
    EXPECT_EQ(B->Font()->Style(), TFont::fsBold | TFont::fsItalic);
    EXPECT_TRUE(B->Gradient()->Visible());
    EXPECT_EQ(B->Gradient()->Direction(), gdRadial);
    EXPECT_EQ(B->Gradient()->EndColor(), 0x123456);
    EXPECT_EQ(B->Gradient()->StartColor(), clSilver);
    EXPECT_EQ(B->Shadow()->Color(), clGreen);
    EXPECT_EQ(B->Shadow()->HorizSize(), -4);
    EXPECT_EQ(B->Brush()->Style(), bsCross);
    EXPECT_EQ(B->Pen()->Color(), clFuchsia);
    EXPECT_EQ(B->Pen()->Width(), 3);
    EXPECT_FALSE(B->Pen()->Visible());
    auto* Text = const_cast<TMarksItem*>(B)->TextList();
    ASSERT_EQ(Text->Count(), 4);
    EXPECT_EQ(Text->Strings(0), "first line");
    EXPECT_EQ(Text->Strings(1), QString::fromUtf8("gr\u00fc\u00dfe \u2713"));
    EXPECT_EQ(Text->Strings(2), Long);
    EXPECT_EQ(Text->Strings(3), "");
    const TMarksItem* Plain = Target.Items().Find(3);
    ASSERT_NE(Plain, nullptr);
    EXPECT_EQ(Plain->Color(), static_cast<TColor>(-16777192));
    EXPECT_FALSE(Plain->HasText());
    EXPECT_EQ(Target.Items().Find(4)->Color(), -5000000);
    EXPECT_EQ(Target.Items().Find(5)->BevelWidth(), 300);
    // Written again, the block is the same.
    EXPECT_EQ(WriteItemsOf(Target), Data);
}

TEST(SeriesMarksItemsStream, ReadingReplacesTheItemsAndRepaints)
{
    TSeriesMarks Source(nullptr);
    Source.Items().Item(0).SetColor(clRed);
    const QByteArray Data = WriteItemsOf(Source);
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->Marks()->Items().Item(4).SetColor(clBlue);
    ReadItemsInto(*Series->Marks(), Data);
    ASSERT_EQ(Series->Marks()->Items().Count(), 1);
    EXPECT_EQ(Series->Marks()->Items().Find(0)->Color(), clRed);
    // Read items belong to the series' chart.
    EXPECT_EQ(Series->Marks()->Items().Find(0)->ParentChart(), &Chart);
    // An empty block empties the list and is not "read items".
    ReadItemsInto(*Series->Marks(), QByteArray(4, '\0'));
    EXPECT_EQ(Series->Marks()->Items().Count(), 0);
    EXPECT_FALSE(Series->Marks()->Items().LoadedFromStream());
}

// A block of one entry holding one property Name with the value bytes.
QByteArray OneProperty(const QByteArray& Name, const QByteArray& Value)
{
    QByteArray Data("\x01\x00\x00\x00\x01", 5);
    Data += char(Name.size());
    Data += Name;
    Data += Value;
    Data += '\0';
    return Data;
}

TEST(SeriesMarksItemsStream, BrokenBlocksRaiseAndLeaveTheItems)
{
    const struct {
        const char* Case;
        QByteArray Data;
    } Rows[] = {
        {"empty", QByteArray()},
        {"short count", QByteArray("\x01\x00", 2)},
        {"negative count", QByteArray("\xFF\xFF\xFF\xFF", 4)},
        {"count beyond the block", QByteArray("\x10\x27\x00\x00\x01\x00", 6)},
        {"no list start", QByteArray("\x01\x00\x00\x00\x05\x00", 6)},
        {"missing list end", QByteArray("\x01\x00\x00\x00\x01", 5)},
        {"unknown value type", OneProperty("Color", QByteArray("\x63", 1))},
        {"text for a number", OneProperty("Color", QByteArray("\x06\x03red", 5))},
        {"number for a flag", OneProperty("Visible", QByteArray("\x02\x01", 2))},
        {"unknown enumeration value", OneProperty("ShapeStyle", QByteArray("\x07\x0B" "fosTriangle", 13))},
        {"transparency beyond 100", OneProperty("Transparency", QByteArray("\x02\x7F", 2))},
        {"list of numbers", OneProperty("Text", QByteArray("\x01\x02\x05\x00", 4))},
        {"truncated text", OneProperty("Text", QByteArray("\x01\x06\x09" "abc", 6))},
        {"negative text length", OneProperty("Text", QByteArray("\x01\x14\xFF\xFF\xFF\xFF\x00", 7))},
        {"truncated name", QByteArray("\x01\x00\x00\x00\x01\x09" "Col", 9)},
        {"unknown set member", OneProperty("Font.Style", QByteArray("\x0B\x06" "fsWide\x00", 9))},
    };
    for (const auto& Row : Rows) {
        TSeriesMarks Marks(nullptr);
        Marks.Items().Item(1).SetColor(clGreen);
        EXPECT_THROW(ReadItemsInto(Marks, Row.Data), EReadError) << Row.Case;
        ASSERT_EQ(Marks.Items().Count(), 2) << Row.Case;
        EXPECT_EQ(Marks.Items().Find(1)->Color(), clGreen) << Row.Case;
        EXPECT_FALSE(Marks.Items().LoadedFromStream()) << Row.Case;
    }
}

TEST(SeriesMarksItemsStream, UnknownPropertiesArePassedOver)
{
    TSeriesMarks Marks(nullptr);
    QByteArray Data = OneProperty("Wobble", QByteArray("\x02\x05", 2));
    ReadItemsInto(Marks, Data);
    ASSERT_EQ(Marks.Items().Count(), 1);
    ASSERT_NE(Marks.Items().Find(0), nullptr);
    EXPECT_EQ(Marks.Items().Find(0)->Color(), static_cast<TColor>(-16777192));
    // A brush style without a name is written and read as a number.
    TSeriesMarks Source(nullptr);
    Source.Items().Item(0).Brush()->SetStyle(static_cast<TBrushStyle>(12));
    TSeriesMarks Target(nullptr);
    ReadItemsInto(Target, WriteItemsOf(Source));
    EXPECT_EQ(Target.Items().Find(0)->Brush()->Style(), static_cast<TBrushStyle>(12));
}

} // namespace
} // namespace lp
