// The map series: polygons as values, their identities across deletes and
// swaps, drawing order, clicks, colours by value, marks, stored outlines.

#include "chart/engine/PlotMapSeries.h"

#include "EngineTestUtil.h"
#include "ReferenceImage.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <set>

namespace lp {
namespace {

// A map series that records the order its polygons are drawn in and the
// mark positions it computes.
class TRecordingMapSeries : public TMapSeries {
public:
    using TMapSeries::TMapSeries;
    void DrawValue(int ValueIndex) override
    {
        Drawn.push_back(ValueIndex);
        TMapSeries::DrawValue(ValueIndex);
    }
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override
    {
        TMapSeries::DrawMark(ValueIndex, St, APosition);
        MarkPositions[ValueIndex] = APosition;
    }
    std::vector<int> Drawn;
    std::map<int, TSeriesMarkPosition> MarkPositions;
};

// A chart 320 x 240, both axes 0 .. 100, no legend, one map series.
struct TMapChart {
    TChart Chart;
    TRecordingMapSeries* Map = nullptr;

    explicit TMapChart(bool Is3D = false)
    {
        Chart.SetBounds(0, 0, 320, 240);
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        Chart.BottomAxis()->SetMinMax(0, 100);
        Chart.LeftAxis()->SetMinMax(0, 100);
        Map = new TRecordingMapSeries(&Chart);
        Chart.AddSeries(Map);
    }
    // A rectangle from (X0, Y0) to (X1, Y1) in axis values with value Z.
    TPlotPolygon* AddBox(double X0, double Y0, double X1, double Y1, double Z)
    {
        TPlotPolygon* P = Map->Shapes()->Add();
        P->AddXY(X0, Y0);
        P->AddXY(X1, Y0);
        P->AddXY(X1, Y1);
        P->AddXY(X0, Y1);
        P->SetZ(Z);
        return P;
    }
    // A whole paint pass into a bitmap (blending included).
    std::unique_ptr<TBitmap> Paint()
    {
        auto B = std::make_unique<TBitmap>(Chart.Width(), Chart.Height());
        Chart.DrawToCanvas(&B->Canvas(), Chart.GetRectangle());
        return B;
    }
    // The pixel of an axis point (valid after a paint).
    TPoint At(double X, double Y) const { return TPoint{Map->CalcXPosValue(X), Map->CalcYPosValue(Y)}; }
    TColor PixelAt(TBitmap& B, double X, double Y) const
    {
        const TPoint P = At(X, Y);
        return B.Canvas().Pixel(P.X, P.Y);
    }
};

std::vector<int> IDs(const TMapSeries& Map)
{
    std::vector<int> Result;
    for (int I = 0; I < Map.Shapes()->Count(); ++I)
        Result.push_back(Map.Polygon(I)->ID());
    return Result;
}

bool Near(TColor A, TColor B, int Tolerance)
{
    for (int Shift : {0, 8, 16})
        if (std::abs(static_cast<int>((A >> Shift) & 0xFF) - static_cast<int>((B >> Shift) & 0xFF)) > Tolerance)
            return false;
    return true;
}

// --- Polygons and values ------------------------------------------------------------------------

TEST(MapSeries, APolygonStartsWithItsDefaultsAndAddsOneValue)
{
    TMapSeries Map;
    EXPECT_EQ(Map.MandatoryValues(), Map.ZValues());
    EXPECT_EQ(Map.GetEditorClassName(), "TMapSeriesEditor");
    EXPECT_EQ(Map.NumSampleValues(), 12);
    TPlotPolygon* P = Map.Shapes()->Add();
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_EQ(Map.XValues()->Value(0), 0);
    EXPECT_EQ(Map.YValues()->Value(0), 0);
    EXPECT_EQ(P->ParentSeries(), &Map);
    EXPECT_TRUE(P->Closed());
    EXPECT_FALSE(P->ParentBrush());
    EXPECT_FALSE(P->ParentPen());
    EXPECT_EQ(P->Transparency(), 0);
    EXPECT_FALSE(P->HasGradient());
    EXPECT_FALSE(P->Points()->ShowInLegend());
    EXPECT_EQ(P->Points()->XValues()->Order(), loNone);
    // Outline points in drawing order, not sorted by X.
    EXPECT_EQ(P->AddXY(5, 1), 0);
    EXPECT_EQ(P->AddXY(2, 3), 1);
    EXPECT_EQ(P->Points()->XValues()->Value(1), 2);
    // Z and Text are the series' value and label.
    P->SetZ(4.5);
    P->SetText(QStringLiteral("Clay"));
    EXPECT_EQ(Map.ZValues()->Value(0), 4.5);
    EXPECT_EQ(Map.Labels().GetLabel(0), "Clay");
    EXPECT_EQ(P->Z(), 4.5);
    EXPECT_EQ(P->Text(), "Clay");
    // A polygon's outline never takes sample points.
    P->Points()->FillSampleValues(10);
    EXPECT_EQ(P->Points()->Count(), 2);
}

// A value added with AddXYZ leaves its Z behind as the pending Z; the value
// a new polygon adds is (0, 0) with Z 0 all the same.
TEST(MapSeries, ANewPolygonsValueHasZZeroAfterAnAddXYZ)
{
    TMapSeries Map;
    EXPECT_EQ(Map.AddXYZ(1, 2, 5), 0);
    Map.Shapes()->Add();
    ASSERT_EQ(Map.Count(), 2);
    EXPECT_EQ(Map.ZValues()->Value(1), 0);
    EXPECT_EQ(Map.XValues()->Value(1), 0);
    EXPECT_EQ(Map.YValues()->Value(1), 0);
}

TEST(MapSeries, PolygonIDsAreUniqueAndStayAcrossDeleteAndSwap)
{
    TMapSeries Map;
    for (int I = 0; I < 6; ++I)
        Map.Shapes()->Add()->SetZ(I);
    EXPECT_EQ(IDs(Map), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    // Deleting a value frees its polygon; the others keep their IDs.
    TPlotPolygon* Third = Map.Polygon(3);
    Map.Delete(2);
    EXPECT_EQ(Map.Count(), 5);
    EXPECT_EQ(IDs(Map), (std::vector<int>{0, 1, 3, 4, 5}));
    EXPECT_EQ(Map.Polygon(2), Third);
    EXPECT_EQ(Third->Z(), 3);
    // A new polygon never reuses an ID.
    Map.Shapes()->Add()->SetZ(6);
    EXPECT_EQ(IDs(Map), (std::vector<int>{0, 1, 3, 4, 5, 6}));
    // Swapping exchanges the two polygons (IDs travel with them and their
    // values), also when they are not neighbours.
    Map.SwapValueIndex(0, 4);
    EXPECT_EQ(IDs(Map), (std::vector<int>{5, 1, 3, 4, 0, 6}));
    for (int I = 0; I < Map.Count(); ++I)
        EXPECT_EQ(Map.Polygon(I)->Z(), Map.Polygon(I)->ID()) << I;
    EXPECT_EQ(Map.Shapes()->FindItemID(5), Map.Polygon(0));
    // Neighbours: the same as a move.
    Map.SwapValueIndex(2, 1);
    EXPECT_EQ(IDs(Map), (std::vector<int>{5, 3, 1, 4, 0, 6}));
    const std::vector<int> Now = IDs(Map);
    EXPECT_EQ(std::set<int>(Now.begin(), Now.end()).size(), Now.size());
    // DeleteRange frees the polygons of the range.
    Map.DeleteRange(1, 3);
    EXPECT_EQ(IDs(Map), (std::vector<int>{5, 0, 6}));
    EXPECT_EQ(Map.Count(), 3);
    Map.Clear();
    EXPECT_EQ(Map.Count(), 0);
    EXPECT_EQ(Map.Shapes()->Count(), 0);
    EXPECT_EQ(Map.Shapes()->Add()->ID(), 7);
}

TEST(MapSeries, IndexesOutsideThePolygonsRaiseAndChangeNothing)
{
    TMapSeries Map;
    for (int I = 0; I < 3; ++I)
        Map.Shapes()->Add()->SetZ(I);
    EXPECT_THROW(Map.Polygon(-1), ERangeError);
    EXPECT_THROW(Map.Polygon(3), ERangeError);
    EXPECT_THROW(Map.Shapes()->GetPolygon(3), ERangeError);
    EXPECT_THROW(Map.SwapValueIndex(0, 3), ERangeError);
    EXPECT_THROW(Map.SwapValueIndex(-1, 1), ERangeError);
    EXPECT_EQ(IDs(Map), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Map.ZValues()->Value(0), 0);
    EXPECT_THROW(Map.Delete(3), ChartException);
    EXPECT_THROW(Map.Delete(-1), ChartException);
    EXPECT_THROW(Map.DeleteRange(2, 2), EAssertionFailed);
    EXPECT_EQ(Map.Count(), 3);
    EXPECT_EQ(Map.Shapes()->Count(), 3);
    EXPECT_THROW(Map.Polygon(0)->SetTransparency(101), ERangeError);
    EXPECT_THROW(Map.Polygon(0)->SetTransparency(-1), ERangeError);
    // A value without a polygon (added directly) is never drawn or swapped
    // with a polygon that does not exist.
    Map.AddXY(0, 0);
    EXPECT_THROW(Map.SwapValueIndex(0, 3), ERangeError);
    Map.Delete(3);
    EXPECT_EQ(Map.Shapes()->Count(), 3);
}

TEST(MapSeries, ExtremesComeFromTheOutlines)
{
    TMapSeries Map;
    EXPECT_EQ(Map.MaxXValue(), 0);
    EXPECT_EQ(Map.MinYValue(), 0);
    Map.Shapes()->Add(); // no points: does not count
    TPlotPolygon* A = Map.Shapes()->Add();
    A->AddXY(-3, 2);
    A->AddXY(4, 8);
    TPlotPolygon* B = Map.Shapes()->Add();
    B->AddXY(10, -5);
    B->AddXY(1, 1);
    EXPECT_EQ(Map.MinXValue(), -3);
    EXPECT_EQ(Map.MaxXValue(), 10);
    EXPECT_EQ(Map.MinYValue(), -5);
    EXPECT_EQ(Map.MaxYValue(), 8);
}

TEST(MapSeries, TheGradientIsMadeOnFirstReadAndFreedByNothing)
{
    TMapSeries Map;
    TPlotPolygon* P = Map.Shapes()->Add();
    EXPECT_FALSE(P->HasGradient());
    TPlotGradient* G = P->Gradient();
    ASSERT_NE(G, nullptr);
    EXPECT_TRUE(P->HasGradient());
    EXPECT_FALSE(P->IsGradientStored());
    G->SetVisible(true);
    EXPECT_TRUE(P->IsGradientStored());
    P->SetGradient(nullptr);
    EXPECT_FALSE(P->HasGradient());
    EXPECT_FALSE(P->Gradient()->Visible());
}

TEST(MapSeries, ColorWritesTheValueColourAndReadsTheSeriesColour)
{
    TMapSeries Map;
    TPlotPolygon* A = Map.Shapes()->Add();
    TPlotPolygon* B = Map.Shapes()->Add();
    A->SetZ(0);
    B->SetZ(10);
    Map.DoBeforeDrawChart();
    // By range: the lowest value takes EndColor, the highest StartColor.
    EXPECT_EQ(A->Color(), clWhite);
    EXPECT_EQ(B->Color(), clNavy);
    B->SetColor(clRed);
    EXPECT_EQ(Map.GetStoredValueColor(1), clRed);
    EXPECT_EQ(B->Color(), clRed);
    // The gallery's disabled look greys every polygon.
    Map.PrepareForGallery(false);
    ASSERT_EQ(Map.Shapes()->Count(), 4);
    for (int I = 0; I < 4; ++I)
        EXPECT_EQ(Map.Polygon(I)->Color(), TColor(12632256));
}


// The outline series has no chart of its own: a change of a polygon's pen or
// brush must reach the map series' chart, as the other polygon settings do.
TEST(MapSeries, APolygonsPenAndBrushChangesRepaintTheMap)
{
    test::TCountingChart<TChart> Chart;
    auto* Map = new TMapSeries(&Chart);
    Chart.AddSeries(Map);
    TPlotPolygon* P = Map->Shapes()->Add();
    const auto Repaints = [&](const std::function<void()>& Change) {
        const int Before = Chart.Invalidations;
        Change();
        return Chart.Invalidations > Before;
    };
    EXPECT_TRUE(Repaints([&] { P->Pen()->SetWidth(4); }));
    EXPECT_TRUE(Repaints([&] { P->Brush()->SetStyle(bsCross); }));
    EXPECT_TRUE(Repaints([&] { P->Brush()->SetColor(clRed); }));
    TChartPen Pen;
    Pen.SetColor(clBlue);
    EXPECT_TRUE(Repaints([&] { P->SetPen(&Pen); }));
    EXPECT_TRUE(Repaints([&] { P->SetClosed(false); }));
    EXPECT_TRUE(Repaints([&] { P->SetTransparency(20); }));
    EXPECT_TRUE(Repaints([&] { P->SetZ(3); }));
    EXPECT_TRUE(Repaints([&] { P->AddXY(1, 2); }));
    EXPECT_TRUE(Repaints([&] { P->Points()->SetActive(false); }));
    EXPECT_TRUE(Repaints([&] { P->Gradient()->SetVisible(true); }));
}

// --- Stored form --------------------------------------------------------------------------------

TEST(MapSeries, ThePolygonDataRoundTrips)
{
    TMapSeries Map;
    TPlotPolygon* P = Map.Shapes()->Add();
    P->AddXY(1.5, 2);
    P->AddXY(7, -3.25);
    P->AddXY(4, 9);
    {
        TPropertyDefinitions Defs;
        P->DefineProperties(Defs);
        const auto* Data = Defs.Find(QStringLiteral("Data"));
        ASSERT_NE(Data, nullptr);
        EXPECT_TRUE(Data->Binary);
        EXPECT_FALSE(Data->HasData); // no manual data
    }
    Map.SetManualData(true);
    TPropertyDefinitions Defs;
    P->DefineProperties(Defs);
    const auto* Data = Defs.Find(QStringLiteral("Data"));
    ASSERT_NE(Data, nullptr);
    EXPECT_TRUE(Data->HasData);
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadWrite);
    Data->WriteStream(Buffer);
    Buffer.seek(0);

    TMapSeries Other;
    TPlotPolygon* Q = Other.Shapes()->Add();
    Q->AddXY(100, 100); // replaced by the stored points
    TPropertyDefinitions OtherDefs;
    Q->DefineProperties(OtherDefs);
    OtherDefs.Find(QStringLiteral("Data"))->ReadStream(Buffer);
    ASSERT_EQ(Q->Points()->Count(), 3);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Q->Points()->XValues()->Value(I), P->Points()->XValues()->Value(I)) << I;
        EXPECT_EQ(Q->Points()->YValues()->Value(I), P->Points()->YValues()->Value(I)) << I;
    }
    EXPECT_EQ(Other.Count(), 1);
    // A read outline counts as points of the map's own.
    EXPECT_TRUE(Other.ManualData());
}

// Color reads the palette's colour of the value; storing that would pin it as
// the value's own colour on loading, and the polygon would no longer follow
// its Z. Only a colour of its own is stored.
TEST(MapSeries, OnlyAPolygonsOwnColourIsStored)
{
    TMapSeries Map;
    TPlotPolygon* A = Map.Shapes()->Add();
    TPlotPolygon* B = Map.Shapes()->Add();
    A->SetZ(0);
    B->SetZ(10);
    EXPECT_FALSE(IsPropertyStored(A, "Color"));
    EXPECT_FALSE(IsPropertyStored(B, "Color"));
    B->SetColor(clRed);
    EXPECT_TRUE(IsPropertyStored(B, "Color"));
    EXPECT_FALSE(IsPropertyStored(A, "Color"));
    // The stored properties copied over: A still follows the palette.
    TMapSeries Loaded;
    for (TPlotPolygon* From : {A, B}) {
        TPlotPolygon* To = Loaded.Shapes()->Add();
        for (const char* Name : {"Color", "Z", "Closed"})
            if (IsPropertyStored(From, Name)) {
                EXPECT_TRUE(To->setProperty(Name, From->property(Name))) << Name;
            }
    }
    Loaded.DoBeforeDrawChart();
    EXPECT_EQ(Loaded.GetStoredValueColor(0), clPlotColor);
    EXPECT_EQ(Loaded.Polygon(1)->Color(), clRed);
    Loaded.Polygon(0)->SetZ(20);
    Loaded.DoBeforeDrawChart();
    EXPECT_EQ(Loaded.Polygon(0)->Color(), Loaded.StartColor());
    // A free polygon keeps its outline's colour and stores it.
    TPlotPolygon Free(nullptr);
    Free.SetColor(clBlue);
    EXPECT_TRUE(IsPropertyStored(&Free, "Color"));
}

// The outlines follow the series' data marks: stored with the save mark,
// with points entered by hand unless the skip mark is set; the series itself
// never writes a "Data" block and keeps its marks as they were.
TEST(MapSeries, OutlinesAreStoredWheneverTheSeriesPointsAre)
{
    struct Row {
        bool Manual, Save, Skip, Stored;
    };
    for (const Row& R : {Row{false, false, false, false}, Row{false, true, false, true},
                         Row{true, false, false, true}, Row{true, false, true, false}, Row{true, true, true, true}}) {
        SCOPED_TRACE(testing::Message() << R.Manual << R.Save << R.Skip);
        TMapSeries Map;
        TPlotPolygon* P = Map.Shapes()->Add();
        P->AddXY(1, 1);
        Map.SetManualData(R.Manual);
        Map.SetSaveData(R.Save);
        Map.SetSkipData(R.Skip);
        TPropertyDefinitions Defs;
        Map.DefineProperties(Defs);
        const auto* Data = Defs.Find(QStringLiteral("Data"));
        ASSERT_NE(Data, nullptr);
        EXPECT_FALSE(Data->HasData);
        EXPECT_EQ(Map.SaveData(), R.Save);
        EXPECT_EQ(Map.SkipData(), R.Skip);
        TPropertyDefinitions PolygonDefs;
        P->DefineProperties(PolygonDefs);
        EXPECT_EQ(PolygonDefs.Find(QStringLiteral("Data"))->HasData, R.Stored);
    }
}

TEST(MapSeries, ZIsMandatoryAndTheSeriesStaysVertical)
{
    TMapSeries Map;
    EXPECT_EQ(Map.MandatoryValues(), Map.ZValues());
    EXPECT_EQ(Map.OtherValues(), Map.XValues());
    EXPECT_TRUE(Map.MandatoryIsY());
    TChartSeries Other;
    EXPECT_THROW(Map.SetMandatoryValueList(Other.YValues()), ChartException);
    EXPECT_EQ(Map.MandatoryValues(), Map.ZValues());
    // Marks and legend values show Z.
    TPlotPolygon* P = Map.Shapes()->Add();
    P->SetZ(3.5);
    EXPECT_EQ(Map.GetMarkValue(0), 3.5);
    // A data block of the values still keeps X, Y and Z apart.
    Map.SetXValue(0, 2);
    Map.SetYValue(0, 7);
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadWrite);
    Map.WriteData(Buffer);
    Buffer.seek(0);
    TMapSeries Copy;
    Copy.ReadData(Buffer);
    ASSERT_EQ(Copy.Count(), 1);
    EXPECT_EQ(Copy.XValues()->Value(0), 2);
    EXPECT_EQ(Copy.YValues()->Value(0), 7);
    EXPECT_EQ(Copy.ZValues()->Value(0), 3.5);
}

TEST(MapSeries, AssignCopiesValuesAndOnePolygonPerValue)
{
    TMapSeries Source;
    TPlotPolygon* A = Source.Shapes()->Add();
    A->AddXY(0, 0);
    A->AddXY(5, 0);
    A->AddXY(5, 5);
    A->SetZ(2);
    A->SetText(QStringLiteral("Sand"));
    A->SetClosed(false);
    A->SetTransparency(40);
    A->Gradient()->SetVisible(true);
    TPlotPolygon* B = Source.Shapes()->Add();
    B->AddXY(1, 1);
    B->SetZ(7);
    B->SetParentPen(true);

    TMapSeries Copy;
    Copy.Shapes()->Add();
    Copy.Assign(&Source);
    ASSERT_EQ(Copy.Count(), 2);
    ASSERT_EQ(Copy.Shapes()->Count(), 2);
    EXPECT_EQ(Copy.Polygon(0)->Points()->Count(), 3);
    EXPECT_EQ(Copy.Polygon(0)->Z(), 2);
    EXPECT_EQ(Copy.Polygon(0)->Text(), "Sand");
    EXPECT_FALSE(Copy.Polygon(0)->Closed());
    EXPECT_EQ(Copy.Polygon(0)->Transparency(), 40);
    EXPECT_TRUE(Copy.Polygon(0)->Gradient()->Visible());
    EXPECT_EQ(Copy.Polygon(1)->Points()->Count(), 1);
    EXPECT_EQ(Copy.Polygon(1)->Z(), 7);
    EXPECT_TRUE(Copy.Polygon(1)->ParentPen());
    // Assigning the collection replaces polygons and values alike.
    TMapSeries Third;
    for (int I = 0; I < 5; ++I)
        Third.Shapes()->Add();
    Third.SetShapes(Source.Shapes());
    ASSERT_EQ(Third.Count(), 2);
    ASSERT_EQ(Third.Shapes()->Count(), 2);
    EXPECT_EQ(Third.Polygon(1)->Z(), 7);
    EXPECT_EQ(Third.Polygon(0)->Text(), "Sand");
}

// The outline is copied whole: the labels and colours of its points too, as
// the stored outline keeps them.
TEST(MapSeries, AssignCopiesTheOutlinePointsLabelsAndColours)
{
    TMapSeries Source;
    TPlotPolygon* A = Source.Shapes()->Add();
    A->AddXY(0, 0);
    A->Points()->AddXY(4, 1, QStringLiteral("Well 7"), clRed);
    A->AddXY(2, 5);
    TMapSeries Copy;
    Copy.Assign(&Source);
    ASSERT_EQ(Copy.Shapes()->Count(), 1);
    TPolygonSeries* Points = Copy.Polygon(0)->Points();
    ASSERT_EQ(Points->Count(), 3);
    EXPECT_EQ(Points->XValues()->Value(1), 4);
    EXPECT_EQ(Points->YValues()->Value(1), 1);
    EXPECT_EQ(Points->Labels().GetLabel(1), "Well 7");
    EXPECT_EQ(Points->GetStoredValueColor(1), clRed);
    EXPECT_EQ(Points->GetStoredValueColor(0), clPlotColor);
    // The same through the collection.
    TMapSeries Third;
    Third.SetShapes(Source.Shapes());
    ASSERT_EQ(Third.Shapes()->Count(), 1);
    EXPECT_EQ(Third.Polygon(0)->Points()->Labels().GetLabel(1), "Well 7");
    EXPECT_EQ(Third.Polygon(0)->Points()->GetStoredValueColor(1), clRed);
}

TEST(MapSeries, AssigningASeriesToItselfKeepsItsPolygons)
{
    TMapSeries Map;
    TPlotPolygon* A = Map.Shapes()->Add();
    A->AddXY(1, 1);
    A->AddXY(3, 1);
    A->AddXY(2, 4);
    A->SetZ(6);
    Map.Assign(&Map);
    ASSERT_EQ(Map.Count(), 1);
    ASSERT_EQ(Map.Shapes()->Count(), 1);
    EXPECT_EQ(Map.Polygon(0), A);
    EXPECT_EQ(A->Points()->Count(), 3);
    EXPECT_EQ(A->Z(), 6);
}

TEST(MapSeries, SampleValuesAreLabelledOutlines)
{
    TMapSeries Map;
    Map.FillSampleValues(14);
    ASSERT_EQ(Map.Count(), 14);
    ASSERT_EQ(Map.Shapes()->Count(), 14);
    const int Sizes[12] = {13, 8, 15, 7, 10, 11, 11, 9, 14, 11, 9, 6};
    for (int I = 0; I < 14; ++I) {
        EXPECT_EQ(Map.Polygon(I)->Points()->Count(), Sizes[I % 12]) << I;
        EXPECT_EQ(Map.Polygon(I)->Text(), QString(QChar('A' + I % 12))) << I;
        EXPECT_GE(Map.Polygon(I)->Z(), 0);
        EXPECT_LT(Map.Polygon(I)->Z(), 1);
    }
    // The thirteenth repeats the first outline, shifted by at most 11.
    const double DX = Map.Polygon(12)->Points()->XValues()->Value(0) - Map.Polygon(0)->Points()->XValues()->Value(0);
    EXPECT_GE(DX, 0);
    EXPECT_LE(DX, 11);
}

TEST(MapSeries, GalleryAddsColorsAndMarginsFollowThePen)
{
    TMapSeries Map;
    QStringList Captions;
    Map.CreateSubGallery([&](const QString& C) { Captions << C; });
    ASSERT_FALSE(Captions.isEmpty());
    EXPECT_EQ(Captions.last(), PlotMsg_StyleColors);
    EXPECT_EQ(Captions.at(Captions.size() - 2), PlotMsg_GalleryColorRange);
    Map.SetSubGallery(2);
    EXPECT_TRUE(Map.ColorEachPoint());
    Map.Pen()->SetWidth(3);
    Map.Pen()->SetVisible(true);
    int L = 0, R = 0, T = 0, B = 0;
    Map.CalcHorizMargins(L, R);
    Map.CalcVertMargins(T, B);
    EXPECT_EQ(L, 3);
    EXPECT_EQ(R, 3);
    EXPECT_EQ(T, 3);
    EXPECT_EQ(B, 4);
    Map.Pen()->SetVisible(false);
    L = R = T = B = 0;
    Map.CalcHorizMargins(L, R);
    Map.CalcVertMargins(T, B);
    EXPECT_EQ(L + R + T, 0);
    EXPECT_EQ(B, 1);
}

TEST(MapSeries, RegisteredAsMapOnTheExtendedPage)
{
    const TPlotSeriesType* E = PlotSeriesTypes()->Find(&TMapSeries::staticMetaObject);
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->DescriptionText(), "Map");
    EXPECT_EQ(E->GalleryPageText(), "Extended");
    EXPECT_EQ(E->NumGallerySeries, 1);
    TChart Chart;
    TChartSeries* S = CreateNewSeries(nullptr, &Chart, &TMapSeries::staticMetaObject);
    ASSERT_NE(dynamic_cast<TMapSeries*>(S), nullptr);
    EXPECT_EQ(GetGallerySeriesName(S), "Map");
}

// --- Drawing, clicks and marks ------------------------------------------------------------------

TEST(MapSeries, ColoursComeFromTheValuesThroughThePalette)
{
    TMapChart F;
    F.AddBox(10, 10, 40, 40, 5);
    F.AddBox(60, 10, 90, 40, 15);
    F.AddBox(10, 60, 40, 90, 25);
    F.Map->SetUseColorRange(false);
    F.Map->SetUsePalette(true);
    F.Map->ClearPalette();
    F.Map->AddPalette(10, clRed);
    F.Map->AddPalette(20, clBlue);
    F.Map->AddPalette(30, clLime);
    auto B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 25, 25), clRed);
    EXPECT_EQ(F.PixelAt(*B, 75, 25), clBlue);
    EXPECT_EQ(F.PixelAt(*B, 25, 75), clLime);
    const TColor Wall = F.PixelAt(*B, 75, 75); // no polygon there
    EXPECT_NE(Wall, clRed);
    EXPECT_NE(Wall, clBlue);
    EXPECT_NE(Wall, clLime);
    // A polygon's own colour wins over the palette.
    F.Map->Polygon(1)->SetColor(clYellow);
    B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 75, 25), clYellow);
    // By range: lowest white, highest navy.
    F.Map->Polygon(1)->SetColor(clPlotColor);
    F.Map->SetUseColorRange(true);
    B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 25, 25), clWhite);
    EXPECT_EQ(F.PixelAt(*B, 25, 75), clNavy);
}

TEST(MapSeries, ParentBrushTransparencyAndOpenOutlines)
{
    TMapChart F;
    TPlotPolygon* P = F.AddBox(10, 10, 90, 90, 1);
    F.Map->SetUseColorRange(false);
    P->SetColor(clBlue);
    P->Brush()->SetStyle(bsClear);
    auto B = F.Paint();
    const TColor Wall = F.PixelAt(*B, 95, 95); // outside the polygon
    EXPECT_EQ(F.PixelAt(*B, 50, 50), Wall);
    P->SetParentBrush(true); // the series' solid brush
    B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 50, 50), clBlue);
    P->SetTransparency(50);
    B = F.Paint();
    const TColor Half = RGB(GetRValue(Wall) / 2, GetGValue(Wall) / 2, (GetBValue(Wall) + 255) / 2);
    EXPECT_TRUE(Near(F.PixelAt(*B, 50, 50), Half, 2)) << std::hex << F.PixelAt(*B, 50, 50);
    // Open: only the outline's line, no fill.
    P->SetTransparency(0);
    P->SetClosed(false);
    B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 50, 50), Wall);
    // A visible gradient fills the polygon instead of the brush.
    P->SetClosed(true);
    P->Gradient()->SetStartColor(clRed);
    P->Gradient()->SetEndColor(clRed);
    P->Gradient()->SetVisible(true);
    B = F.Paint();
    EXPECT_EQ(F.PixelAt(*B, 50, 50), clRed);
    EXPECT_EQ(F.PixelAt(*B, 95, 95), Wall);
}

TEST(MapSeries, ClicksTryTheLastPolygonFirst)
{
    TMapChart F;
    F.AddBox(10, 10, 60, 60, 1);
    F.AddBox(40, 40, 90, 90, 2);
    F.AddBox(45, 45, 55, 55, 3);
    auto B = F.Paint();
    const auto Click = [&](double X, double Y) {
        const TPoint P = F.At(X, Y);
        return F.Map->Clicked(P.X, P.Y);
    };
    EXPECT_EQ(Click(20, 20), 0);
    EXPECT_EQ(Click(80, 80), 1);
    EXPECT_EQ(Click(50, 50), 2); // all three overlap: the last wins
    EXPECT_EQ(Click(42, 42), 1); // the first two overlap
    EXPECT_EQ(Click(5, 95), -1);
    // In 2-D the last is drawn on top as well.
    EXPECT_EQ(F.Map->Drawn, (std::vector<int>{0, 1, 2}));
    // An open outline is still hit inside.
    F.Map->Polygon(0)->SetClosed(false);
    EXPECT_EQ(Click(20, 20), 0);
    // Without a chart nothing is hit.
    TMapSeries Alone;
    Alone.Shapes()->Add()->AddXY(0, 0);
    EXPECT_EQ(Alone.Clicked(0, 0), -1);
}

// An inverted horizontal axis (or a chart drawn backwards) must not turn the
// 2-D order round: the polygon a click finds is the one seen on top.
TEST(MapSeries, InvertedAxesKeepTheIndexOrderSoTheTopPolygonIsTheOneClicked)
{
    for (const bool Backwards : {false, true}) {
        TMapChart F;
        F.Chart.BottomAxis()->SetInverted(!Backwards);
        F.Chart.SetDrawBackwards(Backwards);
        F.Map->SetUseColorRange(false);
        F.AddBox(10, 10, 60, 60, 1)->SetColor(clRed);
        F.AddBox(40, 40, 90, 90, 2)->SetColor(clBlue);
        auto B = F.Paint();
        EXPECT_EQ(F.Map->Drawn, (std::vector<int>{0, 1})) << Backwards;
        EXPECT_EQ(F.PixelAt(*B, 50, 50), clBlue) << Backwards;
        const TPoint P = F.At(50, 50);
        EXPECT_EQ(F.Map->Clicked(P.X, P.Y), 1) << Backwards;
    }
}

TEST(MapSeries, ClicksTestTheOutlineNotItsExtent)
{
    TMapChart F;
    F.AddBox(10, 10, 90, 90, 1);
    // An L shape over the box: its extent covers (20, 20) - (80, 80), its
    // outline only the left and bottom arms.
    TPlotPolygon* L = F.Map->Shapes()->Add();
    for (const auto& [X, Y] : std::vector<std::pair<double, double>>{{20, 20}, {80, 20}, {80, 40}, {40, 40}, {40, 80}, {20, 80}})
        L->AddXY(X, Y);
    // A polygon beyond the axes' range is never hit.
    F.AddBox(150, 150, 200, 200, 3);
    F.Paint();
    const auto Click = [&](double X, double Y) {
        const TPoint P = F.At(X, Y);
        return F.Map->Clicked(P.X, P.Y);
    };
    EXPECT_EQ(Click(30, 70), 1);
    EXPECT_EQ(Click(70, 30), 1);
    EXPECT_EQ(Click(70, 70), 0); // inside the L's extent, outside its outline
    EXPECT_EQ(Click(175, 175), -1);
}

TEST(MapSeries, In3DThePolygonsAreDrawnFromTheHighestZ)
{
    TMapChart F(true);
    F.AddBox(10, 10, 60, 60, 0.5);
    F.AddBox(20, 20, 70, 70, 0.9);
    F.AddBox(30, 30, 80, 80, 0.1);
    F.AddBox(40, 40, 90, 90, 0.7);
    F.Paint();
    EXPECT_EQ(F.Map->Drawn, (std::vector<int>{1, 3, 0, 2}));
    // A click in 3-D is projected to each polygon's plane.
    const int Z = F.Map->CalcZPos(2);
    const TPoint P = F.Chart.Canvas().Calculate3DPosition(F.Map->CalcXPosValue(85), F.Map->CalcYPosValue(35), Z);
    EXPECT_EQ(F.Map->Clicked(P.X, P.Y), -1);
    const TPoint Q = F.Chart.Canvas().Calculate3DPosition(F.Map->CalcXPosValue(75), F.Map->CalcYPosValue(35), Z);
    EXPECT_EQ(F.Map->Clicked(Q.X, Q.Y), 2);
}

// A Z that is not a number has no place among the others: such polygons are
// drawn first (underneath), the rest still from the highest Z to the lowest.
TEST(MapSeries, In3DAPolygonWithoutANumberForZIsDrawnFirst)
{
    TMapChart F(true);
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Zs[] = {0.9, NaN, 0.1, 0.5, NaN, 0.7, 0.3};
    for (double Z : Zs)
        F.AddBox(10, 10, 60, 60, Z);
    F.Paint();
    EXPECT_EQ(F.Map->Drawn, (std::vector<int>{1, 4, 0, 5, 3, 6, 2}));
}

// Unusual outlines and axes draw, click and place marks without harm: one
// or two points, every point on one spot, a zero axis range, inverted axes,
// 2-D and 3-D, with transparency and a gradient.
TEST(MapSeries, UnusualOutlinesAndAxesAreDrawnAndClickedSafely)
{
    for (const bool Is3D : {false, true})
        for (const bool ZeroRange : {false, true}) {
            TMapChart F(Is3D);
            if (ZeroRange)
                F.Chart.BottomAxis()->SetMinMax(50, 50);
            F.Chart.LeftAxis()->SetInverted(true);
            F.Chart.BottomAxis()->SetInverted(true);
            F.Map->Marks()->SetVisible(true);
            TPlotPolygon* One = F.Map->Shapes()->Add();
            One->AddXY(50, 50);
            TPlotPolygon* Two = F.Map->Shapes()->Add();
            Two->AddXY(10, 10);
            Two->AddXY(90, 90);
            TPlotPolygon* Spot = F.Map->Shapes()->Add();
            for (int I = 0; I < 4; ++I)
                Spot->AddXY(30, 30);
            F.Map->Shapes()->Add(); // no points
            for (TPlotPolygon* P : {One, Two, Spot}) {
                P->SetTransparency(30);
                P->Gradient()->SetVisible(true);
            }
            Two->SetClosed(false);
            F.Paint();
            EXPECT_EQ(F.Map->Drawn.size(), 4u) << Is3D << ZeroRange;
            for (int X = 0; X < 320; X += 7)
                for (int Y = 0; Y < 240; Y += 7)
                    (void)F.Map->Clicked(X, Y);
        }
}

TEST(MapSeries, MarksAreCentredOnThePolygons)
{
    TMapChart F;
    F.AddBox(10, 10, 40, 30, 1)->SetText(QStringLiteral("North"));
    F.AddBox(50, 40, 95, 95, 2)->SetText(QStringLiteral("South"));
    F.Map->Marks()->SetVisible(true);
    F.Map->Marks()->SetStyle(TSeriesMarks::smsLabel);
    F.Paint();
    ASSERT_EQ(F.Map->MarkPositions.size(), 2u);
    for (int I = 0; I < 2; ++I) {
        const TRect R = F.Map->Polygon(I)->GetBounds();
        const TSeriesMarkPosition& M = F.Map->MarkPositions[I];
        EXPECT_GT(M.MarkWidth, 0);
        EXPECT_EQ(M.TopLeft.X, (R.Left + R.Right) / 2 - M.MarkWidth / 2) << I;
        EXPECT_EQ(M.TopLeft.Y, (R.Top + R.Bottom) / 2 - M.MarkHeight / 2) << I;
    }
}

// --- Picture ------------------------------------------------------------------------------------

// Five coloured bodies of a section traced over its scanned picture (a
// JPEG written and read through the picture-format registry).
TEST(MapSeriesPicture, FivePolygonsOverAJpegPictureMatchTheReference)
{
    RegisterStandardPictureFormats();
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString FileName = QDir(Dir.path()).filePath(QStringLiteral("section.jpg"));
    {
        TBitmap Gradient(160, 100);
        for (int Y = 0; Y < 100; ++Y)
            for (int X = 0; X < 160; ++X)
                Gradient.Canvas().SetPixel(X, Y, RGB(90 + X / 2, 140 + Y, 200 - X / 4));
        TGraphicFactory Factory = GraphicClassForExtension(QStringLiteral("jpg"));
        ASSERT_TRUE(static_cast<bool>(Factory));
        std::unique_ptr<TGraphic> Jpeg = Factory();
        Jpeg->Assign(&Gradient);
        TPicture Saved;
        Saved.SetGraphic(Jpeg.get());
        Saved.SaveToFile(FileName);
    }

    TChart Chart;
    Chart.SetBounds(0, 0, 360, 240);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Chart.BottomAxis()->SetMinMax(0, 100);
    Chart.LeftAxis()->SetMinMax(0, 60);
    auto* Map = new TMapSeries(&Chart);
    Chart.AddSeries(Map);
    Map->SetUseColorRange(false);
    Map->SetUsePalette(true);
    Map->ClearPalette();
    const TColor Colors[5] = {RGB(200, 60, 40), RGB(240, 180, 40), RGB(60, 160, 80), RGB(60, 100, 200),
                              RGB(150, 80, 170)};
    for (int I = 0; I < 5; ++I)
        Map->AddPalette(I + 1, Colors[I]);
    const std::vector<std::vector<TPoint>> Bodies = {
        {{5, 50}, {30, 55}, {45, 48}, {40, 35}, {15, 38}},
        {{50, 52}, {90, 56}, {95, 40}, {70, 36}, {55, 42}},
        {{10, 30}, {35, 30}, {48, 20}, {30, 8}, {8, 12}},
        {{52, 30}, {88, 32}, {92, 12}, {60, 6}},
        {{38, 34}, {62, 34}, {58, 18}, {42, 18}},
    };
    for (size_t I = 0; I < Bodies.size(); ++I) {
        TPlotPolygon* P = Map->Shapes()->Add();
        for (const TPoint& Q : Bodies[I])
            P->AddXY(Q.X, Q.Y);
        P->SetZ(static_cast<double>(I) + 0.5);
        P->SetText(QString(QChar('A' + static_cast<int>(I))));
    }
    Map->Polygon(4)->SetTransparency(35);
    Map->Pen()->SetColor(clBlack);
    Map->Marks()->SetVisible(true);
    Map->Marks()->SetStyle(TSeriesMarks::smsLabel);

    auto* Tool = new TChartImageTool(&Chart);
    Chart.Tools().Add(Tool);
    Tool->Picture()->LoadFromFile(FileName);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(Tool->Picture()->Graphic()), nullptr);
    auto Picture = std::make_unique<TBitmap>(Chart.Width(), Chart.Height());
    Chart.DrawToCanvas(&Picture->Canvas(), Chart.GetRectangle());
    // The picture shows between the bodies, each body in its palette colour.
    const TPoint Free{Map->CalcXPosValue(97), Map->CalcYPosValue(3)};
    EXPECT_NE(Picture->Canvas().Pixel(Free.X, Free.Y), clWhite);
    EXPECT_EQ(Picture->Canvas().Pixel(Map->CalcXPosValue(20), Map->CalcYPosValue(45)), Colors[0]);
    EXPECT_EQ(Picture->Canvas().Pixel(Map->CalcXPosValue(75), Map->CalcYPosValue(24)), Colors[3]);
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "map", "map-over-picture"));
}

} // namespace
} // namespace lp
