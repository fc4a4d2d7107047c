// The series pointer: settings and their errors, margins, canvas
// preparation, every style drawn flat and in 3-D, gradient and
// transparency; callouts with and without arrow heads; class icons.

#include "chart/engine/PlotPointer.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace lp {
namespace {

using test::TTestChart;

using test::TRecordedChart;

QString Pt(const TPoint& P)
{
    return QStringLiteral("%1 %2").arg(P.X).arg(P.Y);
}

QString PolygonCall(std::initializer_list<TPoint> Points)
{
    QStringList Parts;
    for (const TPoint& P : Points)
        Parts << Pt(P);
    return "Polygon([" + Parts.join(';') + "])";
}

QString LineCalls(const TPoint& A, const TPoint& B)
{
    return QStringLiteral("MoveTo(%1,%2) LineTo(%3,%4)").arg(A.X).arg(A.Y).arg(B.X).arg(B.Y);
}

// --- Settings -------------------------------------------------------------------------------------

TEST(SeriesPointerSettings, DefaultsOfPointerCalloutAndMarksCallout)
{
    TSeriesPointer Pointer;
    TCallout Callout;
    TMarksCallout Marks;
    EXPECT_TRUE(Pointer.Dark3D());
    EXPECT_TRUE(Pointer.Draw3D());
    EXPECT_EQ(Pointer.HorizSize(), 4);
    EXPECT_EQ(Pointer.VertSize(), 4);
    EXPECT_TRUE(Pointer.InflateMargins());
    EXPECT_EQ(Pointer.Style(), psRectangle);
    EXPECT_EQ(Pointer.Transparency(), 0);
    EXPECT_EQ(Pointer.Color(), clPlotColor);
    EXPECT_FALSE(Pointer.Gradient()->Visible());

    EXPECT_TRUE(Callout.Visible());
    EXPECT_FALSE(Callout.Draw3D());
    EXPECT_EQ(Callout.Color(), clBlack);
    EXPECT_EQ(Callout.ArrowHead(), ahNone);
    EXPECT_EQ(Callout.ArrowHeadSize(), 8);
    EXPECT_EQ(Callout.Distance(), 0);
    EXPECT_TRUE(Callout.InflateMargins());

    EXPECT_FALSE(Marks.Visible());
    EXPECT_EQ(Marks.Arrow()->Color(), clWhite);
    EXPECT_EQ(Marks.Length(), 8);
    // Untouched objects store nothing of these.
    for (const char* Name : {"Dark3D", "Draw3D", "HorizSize", "VertSize", "InflateMargins", "Style", "Transparency"})
        EXPECT_FALSE(IsPropertyStored(&Pointer, Name)) << Name;
    for (const char* Name : {"ArrowHead", "ArrowHeadSize", "Distance", "Draw3D", "Visible"})
        EXPECT_FALSE(IsPropertyStored(&Callout, Name)) << Name;
    for (const char* Name : {"Length", "Visible", "Draw3D"})
        EXPECT_FALSE(IsPropertyStored(&Marks, Name)) << Name;
    // A series type moves the default length; then its length is not stored.
    Marks.SetLength(20);
    EXPECT_TRUE(IsPropertyStored(&Marks, "Length"));
    Marks.SetDefaultLength(20);
    EXPECT_FALSE(IsPropertyStored(&Marks, "Length"));
}

TEST(SeriesPointerSettings, SizesBelowOneRaiseAndKeepTheSize)
{
    const struct {
        bool Horizontal;
        int Value;
        bool Raises;
    } Rows[] = {
        {true, 0, true}, {true, -3, true}, {true, 1, false}, {false, 0, true}, {false, -1, true}, {false, 7, false},
    };
    for (const auto& Row : Rows) {
        TSeriesPointer Pointer;
        const auto Set = [&] { Row.Horizontal ? Pointer.SetHorizSize(Row.Value) : Pointer.SetVertSize(Row.Value); };
        const int Size = [&] { return Row.Horizontal ? Pointer.HorizSize() : Pointer.VertSize(); }();
        if (Row.Raises) {
            try {
                Set();
                ADD_FAILURE() << "no exception for " << Row.Value;
            } catch (const ChartException& E) {
                EXPECT_EQ(QString::fromStdString(E.Message()), PlotMsg_PointerSize);
            }
            EXPECT_EQ(Row.Horizontal ? Pointer.HorizSize() : Pointer.VertSize(), Size);
        } else {
            Set();
            EXPECT_EQ(Row.Horizontal ? Pointer.HorizSize() : Pointer.VertSize(), Row.Value);
        }
    }
    // Sizes stored per point without repaint are held to the same range:
    // a size of 0 or a huge one once reached the drawing unchecked.
    TSeriesPointer Pointer;
    for (const auto& Change : {std::function<void(int)>([&](int V) { Pointer.ChangeHorizSize(V); }),
                               std::function<void(int)>([&](int V) { Pointer.ChangeVertSize(V); })}) {
        for (const int Bad : {0, -1, std::numeric_limits<int>::min()})
            EXPECT_THROW(Change(Bad), ChartException) << Bad;
        EXPECT_EQ(Pointer.HorizSize(), 4);
        EXPECT_EQ(Pointer.VertSize(), 4);
    }
    Pointer.ChangeHorizSize(1);
    Pointer.ChangeVertSize(std::numeric_limits<int>::max());
    EXPECT_EQ(Pointer.HorizSize(), 1);
    EXPECT_EQ(Pointer.VertSize(), MaxPixelLength);
    EXPECT_THROW(Pointer.SetTransparency(101), ERangeError);
    EXPECT_THROW(Pointer.SetTransparency(-1), ERangeError);
}


TEST(SeriesPointerSettings, SettersRepaintOnlyOnChange)
{
    test::TCountingChart<> Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TCallout Pointer(Series);
    EXPECT_EQ(Pointer.ParentChart(), &Chart);
    const std::function<void(int)> Setters[] = {
        [&](int V) { Pointer.SetStyle(static_cast<TSeriesPointerStyle>(V % 12)); },
        [&](int V) { Pointer.SetHorizSize(V); },
        [&](int V) { Pointer.SetVertSize(V); },
        [&](int V) { Pointer.SetDark3D(V == 5); },
        [&](int V) { Pointer.SetDraw3D(V == 5); },
        [&](int V) { Pointer.SetInflateMargins(V == 5); },
        [&](int V) { Pointer.SetTransparency(V); },
        [&](int V) { Pointer.SetDistance(V); },
        [&](int V) { Pointer.SetArrowHeadSize(V); },
        [&](int V) { Pointer.SetArrowHead(static_cast<TArrowHeadStyle>(V % 3)); },
    };
    int Row = 0;
    for (const auto& Set : Setters) {
        Set(5);
        const int Before = Chart.Invalidations;
        Set(5);
        EXPECT_EQ(Chart.Invalidations, Before) << "row " << Row;
        Set(7);
        EXPECT_EQ(Chart.Invalidations, Before + 1) << "row " << Row;
        ++Row;
    }
}

TEST(SeriesPointerSettings, AssignCopiesTheSettingsAndTheShape)
{
    TCallout Source;
    Source.SetDark3D(false);
    Source.SetDraw3D(true);
    Source.Gradient()->SetVisible(true);
    Source.SetHorizSize(7);
    Source.SetVertSize(9);
    Source.SetInflateMargins(false);
    Source.SetStyle(psDiamond);
    Source.SetTransparency(40);
    Source.SetColor(clRed);
    Source.SetDistance(3);
    Source.Arrow()->SetColor(clBlue);
    Source.SetArrowHead(ahSolid);
    Source.SetArrowHeadSize(12);
    TMarksCallout Target;
    Target.Assign(&Source);
    EXPECT_FALSE(Target.Dark3D());
    EXPECT_TRUE(Target.Draw3D());
    EXPECT_TRUE(Target.Gradient()->Visible());
    EXPECT_EQ(Target.HorizSize(), 7);
    EXPECT_EQ(Target.VertSize(), 9);
    EXPECT_FALSE(Target.InflateMargins());
    EXPECT_EQ(Target.Style(), psDiamond);
    EXPECT_EQ(Target.Transparency(), 40);
    EXPECT_EQ(Target.Color(), clRed);
    EXPECT_TRUE(Target.Visible());
    EXPECT_EQ(Target.Distance(), 3);
    EXPECT_EQ(Target.Arrow()->Color(), clBlue);
    EXPECT_EQ(Target.ArrowHead(), ahSolid);
    EXPECT_EQ(Target.ArrowHeadSize(), 12);
    TMarksCallout Other;
    Other.SetLength(33);
    Target.Assign(&Other);
    EXPECT_EQ(Target.Length(), 33);
}

TEST(SeriesPointerMargins, VisibleInflatingPointerWidensBothSides)
{
    const struct {
        bool Visible;
        bool Inflate;
        int Size;
        int Before;
        int After;
    } Rows[] = {
        {true, true, 4, 0, 5},   // at least HorizSize + 1
        {true, true, 4, 9, 9},   // a wider margin stays
        {false, true, 4, 2, 2},  // invisible: untouched
        {true, false, 4, 2, 2},  // not inflating: untouched
        {true, true, 10, 3, 11},
    };
    for (const auto& Row : Rows) {
        TSeriesPointer Pointer;
        Pointer.SetVisible(Row.Visible);
        Pointer.SetInflateMargins(Row.Inflate);
        Pointer.SetHorizSize(Row.Size);
        Pointer.SetVertSize(Row.Size);
        int Left = Row.Before, Right = Row.Before, Top = Row.Before, Bottom = Row.Before;
        Pointer.CalcHorizMargins(Left, Right);
        Pointer.CalcVertMargins(Top, Bottom);
        EXPECT_EQ(Left, Row.After);
        EXPECT_EQ(Right, Row.After);
        EXPECT_EQ(Top, Row.After);
        EXPECT_EQ(Bottom, Row.After);
    }
}

// --- Canvas preparation ---------------------------------------------------------------------------

TEST(SeriesPointerCanvas, PrepareCanvasTakesThePointColourWhereThePointerHasNone)
{
    const struct {
        bool PenVisible;
        TColor PenColor;
        TColor BrushColor;
        TBrushStyle BrushStyle;
        TPen::TPenStyle CanvasPenStyle;
        TColor CanvasPenColor;
        TColor CanvasBrushColor;
    } Rows[] = {
        {true, clPlotColor, clPlotColor, bsSolid, psSolid, clRed, clRed},
        {true, clGreen, clPlotColor, bsSolid, psSolid, clGreen, clRed},
        {false, clGreen, clPlotColor, bsSolid, psClear, -1, clRed},
        // A default-coloured hatch draws black lines over the point colour.
        {true, clBlack, clPlotColor, bsCross, psSolid, clBlack, clBlack},
        {true, clBlack, clBlue, bsSolid, psSolid, clBlack, clBlue},
    };
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TSeriesPointer Pointer(R.Series);
        Pointer.Pen()->SetVisible(Row.PenVisible);
        Pointer.Pen()->SetColor(Row.PenColor);
        Pointer.Brush()->SetColor(Row.BrushColor);
        Pointer.Brush()->SetStyle(Row.BrushStyle);
        Pointer.PrepareCanvas(R.Canvas(), clRed);
        EXPECT_EQ(R.Canvas().Pen()->Style(), Row.CanvasPenStyle);
        if (Row.CanvasPenColor != -1) {
            EXPECT_EQ(R.Canvas().Pen()->Color(), Row.CanvasPenColor);
        }
        EXPECT_EQ(R.Canvas().Brush()->Color(), Row.CanvasBrushColor);
        EXPECT_EQ(R.Canvas().Brush()->Style(), Row.BrushStyle);
    }
    // The variant prepares the chart canvas with the pointer's own colour.
    TRecordedChart R;
    TSeriesPointer Pointer(R.Series);
    Pointer.SetColor(clYellow);
    Pointer.PrepareCanvas();
    EXPECT_EQ(R.Canvas().Brush()->Color(), clYellow);
}

// --- Drawing --------------------------------------------------------------------------------------

// The calls each style makes around (50, 40) with half sizes 4 and 3; P
// projects a point at a depth (identity in 2-D).
QStringList ExpectedCalls(TSeriesPointerStyle Style, bool Is3D, const std::function<TPoint(int, int, int)>& P)
{
    const int X = 50, Y = 40, L = 46, R = 54, T = 37, B = 43, S = 10, M = 15;
    const auto Lines = [&](bool Straight, bool Diagonal) {
        QStringList Calls;
        if (Straight)
            Calls << LineCalls(P(X, T, S), P(X, B + 1, S)) << LineCalls(P(L, Y, S), P(R + 1, Y, S));
        if (Diagonal)
            Calls << LineCalls(P(L, T, S), P(R + 1, B + 1, S)) << LineCalls(P(R, T, S), P(L - 1, B + 1, S));
        return Calls;
    };
    switch (Style) {
    case psRectangle:
        if (!Is3D)
            return {QStringLiteral("Rectangle(%1,%2,%3,%4)").arg(L).arg(T).arg(R + 1).arg(B + 1)};
        return {PolygonCall({P(L, T, S), P(R + 1, T, S), P(R + 1, B + 1, S), P(L, B + 1, S)})};
    case psCircle:
        return {QStringLiteral("Ellipse(%1,%2,%3,%4)").arg(P(L, T, S).X).arg(P(L, T, S).Y).arg(P(R, B, S).X).arg(
            P(R, B, S).Y)};
    case psTriangle:
        return {PolygonCall({P(L, B, S), P(R, B, S), P(X, T, S)})};
    case psDownTriangle:
        return {PolygonCall({P(L, T, S), P(R, T, S), P(X, B, S)})};
    case psLeftTriangle:
        return {PolygonCall({P(L, Y, S), P(R, T, S), P(R, B, S)})};
    case psRightTriangle:
        return {PolygonCall({P(R, Y, S), P(L, T, S), P(L, B, S)})};
    case psDiamond:
        return {PolygonCall({P(L, Y, S), P(X, T, S), P(R, Y, S), P(X, B, S)})};
    case psCross:
        return Lines(true, false);
    case psDiagCross:
        return Lines(false, true);
    case psStar:
        return Lines(true, true);
    case psSmallDot: {
        const TPoint D = Is3D ? P(X, Y, M) : TPoint{X, Y};
        return {QStringLiteral("SetPixel(%1,%2,0x00FF00)").arg(D.X).arg(D.Y)};
    }
    case psNothing:
        return {};
    }
    return {};
}

constexpr TSeriesPointerStyle AllStyles[] = {psRectangle, psCircle,    psTriangle, psDownTriangle,
                                             psCross,     psDiagCross, psStar,     psDiamond,
                                             psSmallDot,  psNothing,   psLeftTriangle, psRightTriangle};

TEST(SeriesPointerDrawing, EveryStyleFlat)
{
    for (const TSeriesPointerStyle Style : AllStyles) {
        TRecordedChart R;
        TSeriesPointer Pointer(R.Series);
        Pointer.PrepareCanvas(R.Canvas(), clLime);
        R.DC.ClearCalls();
        Pointer.DrawPointer(R.Canvas(), false, 50, 40, 4, 3, clLime, Style);
        const QString Drawn = R.Drawing().join(' ');
        const QStringList Expected = ExpectedCalls(Style, false, [](int X, int Y, int) { return TPoint{X, Y}; });
        EXPECT_EQ(Drawn, Expected.join(' ')) << int(Style);
    }
}

TEST(SeriesPointerDrawing, EveryStyleIn3DWithoutSolidsIsProjectedAtTheStartDepth)
{
    for (const TSeriesPointerStyle Style : AllStyles) {
        TRecordedChart R(true);
        TSeriesPointer Pointer(R.Series);
        Pointer.SetDraw3D(false);
        Pointer.PrepareCanvas(R.Canvas(), clLime);
        R.DC.ClearCalls();
        Pointer.DrawPointer(R.Canvas(), true, 50, 40, 4, 3, clLime, Style);
        const auto P = [&](int X, int Y, int Z) { return R.Canvas().Calculate3DPosition(X, Y, Z); };
        // The projection really moves points at these depths.
        ASSERT_NE(P(50, 40, 10), (TPoint{50, 40}));
        EXPECT_EQ(R.Drawing().join(' '), ExpectedCalls(Style, true, P).join(' ')) << int(Style);
    }
}

TEST(SeriesPointerDrawing, SolidsIn3D)
{
    // A cube from the start to the end depth, a pyramid with its apex at the
    // middle depth; the circle stays an ellipse on a canvas that cannot
    // rotate fully.
    {
        TRecordedChart R(true);
        TSeriesPointer Pointer(R.Series);
        Pointer.PrepareCanvas(R.Canvas(), clLime);
        R.DC.ClearCalls();
        Pointer.DrawPointer(R.Canvas(), true, 50, 40, 4, 3, clLime, psRectangle);
        const QStringList Faces = R.DC.CallsStartingWith("Polygon(");
        EXPECT_GE(Faces.size(), 2);
        const QString Front = Pt(R.Canvas().Calculate3DPosition(46, 37, 10));
        const QString Back = Pt(R.Canvas().Calculate3DPosition(54, 37, 20));
        EXPECT_TRUE(Faces.join(' ').contains(Front)) << Faces.join(' ').toStdString();
        EXPECT_TRUE(Faces.join(' ').contains(Back));
    }
    for (const TSeriesPointerStyle Style : {psTriangle, psDownTriangle}) {
        TRecordedChart R(true);
        TSeriesPointer Pointer(R.Series);
        Pointer.PrepareCanvas(R.Canvas(), clLime);
        R.DC.ClearCalls();
        Pointer.DrawPointer(R.Canvas(), true, 50, 40, 4, 3, clLime, Style);
        const QStringList Faces = R.DC.CallsStartingWith("Polygon(");
        ASSERT_FALSE(Faces.isEmpty());
        const int ApexY = Style == psTriangle ? 37 : 43;
        const QString Apex = Pt(R.Canvas().Calculate3DPosition(50, ApexY, 15));
        for (const QString& Face : Faces)
            EXPECT_TRUE(Face.contains(Apex) || Face.count(';') == 3) << Face.toStdString();
    }
    {
        TRecordedChart R(true);
        TSeriesPointer Pointer(R.Series);
        R.DC.ClearCalls();
        Pointer.DrawPointer(R.Canvas(), true, 50, 40, 4, 3, clLime, psCircle);
        EXPECT_EQ(R.Drawing().join(' '),
                  ExpectedCalls(psCircle, true, [&](int X, int Y, int Z) {
                      return R.Canvas().Calculate3DPosition(X, Y, Z);
                  }).join(' '));
    }
}

TEST(SeriesPointerDrawing, ShortFormsUseTheChartCanvasSizesAndStyle)
{
    TRecordedChart R;
    TSeriesPointer Pointer(R.Series);
    Pointer.SetStyle(psLeftTriangle);
    Pointer.SetHorizSize(4);
    Pointer.SetVertSize(3);
    Pointer.Draw(50, 40);
    // The left triangle points to the left: its apex is (L, Y).
    EXPECT_EQ(R.Drawing().join(' '), PolygonCall({{46, 40}, {54, 37}, {54, 43}}));
    R.DC.ClearCalls();
    Pointer.DrawAtPoint({10, 10});
    EXPECT_EQ(R.Drawing().join(' '), PolygonCall({{6, 10}, {14, 7}, {14, 13}}));
    R.DC.ClearCalls();
    Pointer.DrawWithStyle(50, 40, psRectangle, clRed);
    EXPECT_EQ(R.Drawing().join(' '), "Rectangle(46,37,55,44)");
    // Without a chart nothing is drawn and nothing fails.
    TSeriesPointer Alone;
    Alone.Draw(1, 1);
}

TEST(SeriesPointerDrawing, LegendSymbolIsCentredAndSized)
{
    const struct {
        bool PenDrawn;
        QString Call;
    } Rows[] = {
        // Rect 0..16 x 0..10, centre (8, 5): half sizes min(4, 16/3) and min(4, 10/3).
        {true, "Rectangle(4,2,13,9)"},
        // Half the rectangle plus 1.
        {false, "Rectangle(-1,-1,18,12)"},
    };
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TSeriesPointer Pointer(R.Series);
        Pointer.DrawLegendShape(R.Canvas(), clRed, TRect{0, 0, 16, 10}, Row.PenDrawn);
        EXPECT_EQ(R.Drawing().join(' '), Row.Call);
        EXPECT_EQ(R.Canvas().Brush()->Color(), clRed);
    }
}

// Pixels: a pointer drawn on the chart's buffered canvas.
struct TPixelChart {
    TTestChart Chart;
    TChartSeries* Series = nullptr;
    std::unique_ptr<TBitmap> Target;
    TPixelChart()
    {
        Chart.SetView3D(false);
        Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        Target = test::BindCanvas(Chart);
        Chart.Canvas().ResetState();
        Chart.Canvas().Brush()->SetColor(clWhite);
        Chart.Canvas().FillRect(TRect{0, 0, 400, 250});
    }
    TColor Pixel(int X, int Y) const { return Chart.Canvas().GetPixel(X, Y); }
};

int Red(TColor C)
{
    return C & 0xFF;
}
int Green(TColor C)
{
    return (C >> 8) & 0xFF;
}
int Blue(TColor C)
{
    return (C >> 16) & 0xFF;
}

TEST(SeriesPointerDrawing, TransparencyBlendsWithWhatIsBelow)
{
    const struct {
        int Transparency;
        int Low, High; // the green and blue channels of a red pointer over white
    } Rows[] = {{0, 0, 0}, {50, 110, 145}, {100, 250, 255}};
    for (const auto& Row : Rows) {
        TPixelChart C;
        TSeriesPointer Pointer(C.Series);
        Pointer.Pen()->SetVisible(false);
        Pointer.SetTransparency(Row.Transparency);
        Pointer.PrepareCanvas(C.Chart.Canvas(), clRed);
        Pointer.DrawPointer(C.Chart.Canvas(), false, 50, 50, 10, 10, clRed, psRectangle);
        const TColor P = C.Pixel(50, 50);
        EXPECT_EQ(Red(P), 255) << Row.Transparency;
        EXPECT_GE(Green(P), Row.Low) << Row.Transparency;
        EXPECT_LE(Green(P), Row.High) << Row.Transparency;
        EXPECT_GE(Blue(P), Row.Low) << Row.Transparency;
        EXPECT_LE(Blue(P), Row.High) << Row.Transparency;
    }
}

TEST(SeriesPointerDrawing, GradientFillsTheInsideOfTheShapeTowardsThePointColour)
{
    const struct {
        TSeriesPointerStyle Style;
        bool CornerFilled;
    } Rows[] = {{psRectangle, true}, {psCircle, false}, {psDiamond, false}};
    for (const auto& Row : Rows) {
        TPixelChart C;
        TSeriesPointer Pointer(C.Series);
        Pointer.Gradient()->SetVisible(true);
        Pointer.Gradient()->SetStartColor(clWhite);
        Pointer.Gradient()->SetDirection(gdTopBottom);
        Pointer.Brush()->SetColor(clBlack);
        Pointer.PrepareCanvas(C.Chart.Canvas(), clBlue);
        const TColor OwnEnd = Pointer.Gradient()->EndColor();
        Pointer.DrawPointer(C.Chart.Canvas(), false, 100, 100, 20, 20, clBlue, Row.Style);
        // Drawn towards the point's colour; the setting itself is kept.
        EXPECT_EQ(Pointer.Gradient()->EndColor(), OwnEnd);
        // Blue at the top, white at the bottom, inside the pen.
        const TColor Top = C.Pixel(100, 83);
        const TColor Bottom = C.Pixel(100, 117);
        EXPECT_GT(Blue(Top), 200) << int(Row.Style);
        EXPECT_LT(Red(Top), 80) << int(Row.Style);
        EXPECT_GT(Red(Bottom), 170) << int(Row.Style);
        // Outside a round or pointed shape the black brush stays or nothing
        // was drawn; never the gradient.
        const TColor Corner = C.Pixel(83, 83);
        if (Row.CornerFilled) {
            EXPECT_GT(Blue(Corner), 150) << int(Row.Style);
        } else {
            EXPECT_TRUE(Corner == clWhite || Corner == clBlack) << std::hex << Corner;
        }
    }
}

// --- Callouts -------------------------------------------------------------------------------------

TEST(CalloutDrawing, ArrowHeadsLinesAndThePointer)
{
    const TPoint From{100, 100};
    const TPoint To{100, 60};
    const struct {
        TArrowHeadStyle Head;
        bool ArrowVisible;
        bool Visible;
        int LineTos;
        int Polygons;
        bool Box;
    } Rows[] = {
        // No head: the line and a small rectangle at the point end.
        {ahNone, true, true, 1, 0, true},
        {ahNone, true, false, 1, 0, false},
        {ahNone, false, true, 0, 0, true},
        {ahNone, false, false, 0, 0, false},
        // Outline arrow: the shaft and two strokes; no pointer.
        {ahLine, true, true, 3, 0, false},
        // Filled arrow: one polygon of seven points.
        {ahSolid, true, true, 0, 1, false},
        {ahSolid, false, true, 0, 0, false},
    };
    for (const auto& Row : Rows) {
        TRecordedChart R;
        TCallout Callout(R.Series);
        Callout.SetArrowHead(Row.Head);
        Callout.Arrow()->SetVisible(Row.ArrowVisible);
        Callout.Arrow()->SetColor(clRed);
        Callout.SetVisible(Row.Visible);
        Callout.Draw(clGreen, From, 0, To);
        const QStringList Calls = R.Drawing();
        EXPECT_EQ(Calls.filter("LineTo(").size(), Row.LineTos) << int(Row.Head) << Calls.join(' ').toStdString();
        const QStringList Polygons = Calls.filter("Polygon(");
        EXPECT_EQ(Polygons.size(), Row.Polygons) << int(Row.Head);
        if (Row.Polygons == 1) {
            EXPECT_EQ(Polygons[0].count(';'), 6);
        }
        EXPECT_EQ(Calls.contains("Rectangle(96,96,105,105)"), Row.Box) << int(Row.Head);
        if (Row.LineTos > 0) {
            EXPECT_TRUE(Calls.join(' ').contains(LineCalls(From, To)));
            // The line is drawn with the arrow pen's colour.
            EXPECT_FALSE(R.DC.CallsStartingWith("SelectPen").filter("0x0000FF").isEmpty());
        }
    }
}

TEST(CalloutDrawing, ArrowOfDefaultColourTakesThePointColourAndTheHeadSize)
{
    TRecordedChart R;
    TCallout Callout(R.Series);
    Callout.Arrow()->SetColor(clPlotColor);
    Callout.SetArrowHead(ahSolid);
    Callout.SetArrowHeadSize(10);
    Callout.Draw(clGreen, {100, 100}, 0, {100, 50});
    EXPECT_FALSE(R.DC.CallsStartingWith("SelectPen").filter("0x008000").isEmpty());
    // The head is 10 wide: its corners lie 5 to each side of the shaft, 10
    // above the tip.
    const QString Head = R.DC.CallsStartingWith("Polygon(").value(0);
    EXPECT_TRUE(Head.contains("95 60")) << Head.toStdString();
    EXPECT_TRUE(Head.contains("105 60")) << Head.toStdString();
    EXPECT_TRUE(Head.contains("100 50")) << Head.toStdString();
}

TEST(CalloutDrawing, In3DTheLineAndThePointerAreAtTheDepth)
{
    TRecordedChart R(true);
    TCallout Callout(R.Series);
    Callout.Draw(clGreen, {100, 100}, 12, {100, 60});
    const TPoint From = R.Canvas().Calculate3DPosition(100, 100, 12);
    const TPoint To = R.Canvas().Calculate3DPosition(100, 60, 12);
    ASSERT_NE(From, (TPoint{100, 100}));
    const QString Calls = R.Drawing().join(' ');
    EXPECT_TRUE(Calls.contains(LineCalls(From, To))) << Calls.toStdString();
    EXPECT_TRUE(Calls.contains(QStringLiteral("Rectangle(%1,%2,%3,%4)")
                                   .arg(From.X - 4)
                                   .arg(From.Y - 4)
                                   .arg(From.X + 5)
                                   .arg(From.Y + 5)))
        << Calls.toStdString();
}

// --- Class icons ----------------------------------------------------------------------------------

// The pixels of a 20 x 20 white bitmap after drawing Object's icon at (2, 2).
QImage IconImage(const QObject& Object)
{
    TBitmap Bitmap(20, 20);
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect(TRect{0, 0, 20, 20});
    DrawClassBitmap(Bitmap.Canvas(), Object, 2, 2);
    return Bitmap.Image().copy();
}

int InkedPixels(const QImage& Image, const QRect& Area)
{
    int Count = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X)
            if ((Image.pixel(X, Y) & 0xFFFFFF) != 0xFFFFFF)
                ++Count;
    return Count;
}

TEST(ClassIcons, KnownAndUnknownClassesDrawAnIconInsideItsSquare)
{
    TChartSeries Series;
    TSeriesPointer Unknown;
    TBitmap Probe;
    EXPECT_TRUE(LoadClassIcon(Probe, Series));
    EXPECT_EQ(Probe.Width(), 16);
    EXPECT_FALSE(LoadClassIcon(Probe, Unknown));
    const QImage Known = IconImage(Series);
    const QImage Generic = IconImage(Unknown);
    for (const QImage* Image : {&Known, &Generic}) {
        EXPECT_GT(InkedPixels(*Image, QRect(2, 2, 16, 16)), 20);
        // Nothing outside the 16 x 16 square at (2, 2).
        EXPECT_EQ(InkedPixels(*Image, QRect(0, 0, 20, 2)), 0);
        EXPECT_EQ(InkedPixels(*Image, QRect(0, 0, 2, 20)), 0);
        EXPECT_EQ(InkedPixels(*Image, QRect(18, 0, 2, 20)), 0);
        EXPECT_EQ(InkedPixels(*Image, QRect(0, 18, 20, 2)), 0);
    }
    // The icon's background is transparent: the series icon leaves its
    // top-right corner white.
    EXPECT_EQ(Known.pixel(17, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(Known, Generic);
}

} // namespace
} // namespace lp
