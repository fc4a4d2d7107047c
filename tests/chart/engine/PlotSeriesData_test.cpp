// Sample values, gallery preparation, mouse tracking, copying and the
// binary "Data" block of a series.

#include "chart/engine/PlotEngine.h"

#include "EngineTestUtil.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/Streams.h"

#include <QtCore/QBuffer>
#include <QtCore/QDate>

#include <gtest/gtest.h>

#include <random>

namespace lp {
namespace {

using test::THorizTestSeries;
using test::TTestChart;

QByteArray WriteBlock(TChartSeries& Series)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Series.WriteData(Buffer);
    return Buffer.data();
}

void ReadBlock(TChartSeries& Series, const QByteArray& Block)
{
    QBuffer Buffer;
    Buffer.setData(Block);
    Buffer.open(QIODevice::ReadOnly);
    Series.ReadData(Buffer);
}

// --- Sample values ------------------------------------------------------------------------------

TEST(SeriesSampleValues, CountsAndErrors)
{
    TChartSeries Series;
    Series.FillSampleValues();
    EXPECT_EQ(Series.Count(), 25);
    Series.SetSampleCount(7);
    Series.FillSampleValues(0);
    EXPECT_EQ(Series.Count(), 7);
    Series.FillSampleValues(3);
    EXPECT_EQ(Series.Count(), 3);
    EXPECT_FALSE(Series.ManualData());
    try {
        Series.FillSampleValues(-1);
        FAIL() << "negative count accepted";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "FillSampleValues NumValues must be > 0");
    }
    EXPECT_EQ(Series.Count(), 3);
}

TEST(SeriesSampleValues, ReseedingRepeatsTheData)
{
    TChartSeries First;
    TChartSeries Second;
    TChartSeries::RandomSeed(42);
    First.FillSampleValues(10);
    TChartSeries::RandomSeed(42);
    Second.FillSampleValues(10);
    for (int I = 0; I < 10; ++I)
        EXPECT_EQ(First.YValues()->Value(I), Second.YValues()->Value(I));
    for (int I = 0; I < 1000; ++I) {
        const int V = TChartSeries::RandomValue(100);
        ASSERT_GE(V, 0);
        ASSERT_LT(V, 100);
    }
    EXPECT_EQ(TChartSeries::RandomValue(0), 0);
}

TEST(SeriesSampleValues, AnEmptyChartStartsAtZeroOrToday)
{
    TChartSeries Series;
    Series.FillSampleValues(5);
    for (int I = 0; I < 5; ++I) {
        EXPECT_EQ(Series.XValues()->Value(I), I);
        EXPECT_GE(Series.YValues()->Value(I), 0);
    }
    TChartSeries Dated;
    Dated.XValues()->SetDateTime(true);
    const auto Bounds = Dated.CalcRandomBounds(5);
    EXPECT_EQ(Bounds.StartX, QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    EXPECT_EQ(Bounds.StepX, 1);
    EXPECT_EQ(Bounds.DifY, 1000);
}

TEST(SeriesSampleValues, BoundsFollowTheChartsOtherSeries)
{
    TTestChart Chart;
    auto* Existing = new TChartSeries(&Chart);
    auto* Fresh = new TChartSeries(&Chart);
    Chart.AddSeries(Existing);
    Chart.AddSeries(Fresh);
    Existing->AddXY(10, 50);
    Existing->AddXY(20, 150);
    const auto Bounds = Fresh->CalcRandomBounds(11);
    EXPECT_EQ(Bounds.StartX, 10);
    EXPECT_EQ(Bounds.StepX, 1);
    EXPECT_EQ(Bounds.MinY, 50);
    EXPECT_EQ(Bounds.DifY, 100);
}

TEST(SeriesSampleValues, GalleryPreparation)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->Marks()->SetVisible(true);
    Series->PrepareForGallery(false);
    EXPECT_EQ(Series->Count(), 4);
    EXPECT_FALSE(Series->Marks()->Visible());
    EXPECT_EQ(Series->Marks()->DrawEvery(), 2);
    EXPECT_EQ(Series->Marks()->ArrowLength(), 4);
    EXPECT_EQ(Series->SeriesColor(), clSilver);
    Series->PrepareForGallery(true);
    EXPECT_EQ(Series->SeriesColor(), Chart.GetDefaultColor(0));
}

TEST(SeriesSampleValues, SubGalleryOffersNormal)
{
    TChartSeries Series;
    QStringList Captions;
    Series.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    EXPECT_EQ(Captions, QStringList{"Normal"});
}

// --- Mouse --------------------------------------------------------------------------------------

class TClickableSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    int Clicked(int X, int) override { return X < 10 ? 0 : -1; }
};

TEST(SeriesMouse, EnterAndLeaveFireOncePerCrossing)
{
    TTestChart Chart;
    auto* Series = new TClickableSeries(&Chart);
    Chart.AddSeries(Series);
    int Enters = 0;
    int Leaves = 0;
    EXPECT_FALSE(Series->CheckMouse(5, 5)); // no cursor and no events: not tracked
    Series->OnMouseEnter = [&](QObject*) { ++Enters; };
    Series->OnMouseLeave = [&](QObject*) { ++Leaves; };
    EXPECT_TRUE(Series->CheckMouse(5, 5));
    EXPECT_TRUE(Series->CheckMouse(6, 5));
    EXPECT_FALSE(Series->CheckMouse(50, 5));
    EXPECT_FALSE(Series->CheckMouse(60, 5));
    EXPECT_EQ(Enters, 1);
    EXPECT_EQ(Leaves, 1);
    Series->SetCursor(crHandPoint);
    EXPECT_TRUE(Chart.CheckMouseSeries(1, 1));
    EXPECT_EQ(Chart.Cursor(), crHandPoint);
}

// --- Copying ------------------------------------------------------------------------------------

TEST(SeriesAssign, CopiesSettingsAndPoints)
{
    TTestChart Chart;
    auto* Source = new TChartSeries(&Chart);
    auto* Copy = new TChartSeries(&Chart);
    Chart.AddSeries(Source);
    Chart.AddSeries(Copy);
    Source->SetTitle("Resistivity");
    Source->SetSeriesColor(0x123456);
    Source->SetValueFormat("0.0");
    Source->SetVertAxis(aRightAxis);
    Source->SetDepth(7);
    Source->Marks()->SetStyle(TSeriesMarks::smsValue);
    Source->AddXY(1, 10, "a", clBlue);
    Source->AddXY(2, 20, "b");
    Copy->Assign(Source);
    EXPECT_EQ(Copy->Title(), "Resistivity");
    EXPECT_EQ(Copy->SeriesColor(), 0x123456);
    EXPECT_EQ(Copy->ValueFormat(), "0.0");
    EXPECT_EQ(Copy->GetVertAxis(), Chart.RightAxis());
    EXPECT_EQ(Copy->Depth(), 7);
    EXPECT_EQ(Copy->Marks()->Style(), TSeriesMarks::smsValue);
    ASSERT_EQ(Copy->Count(), 2);
    EXPECT_EQ(Copy->YValues()->Value(1), 20);
    EXPECT_EQ(Copy->Labels().GetLabel(0), "a");
    EXPECT_EQ(Copy->GetStoredValueColor(0), clBlue);
}

TEST(SeriesAssign, AFunctionMovesToACopyWithoutOne)
{
    TTestChart Chart;
    auto* Source = new TChartSeries(&Chart);
    auto* Copy = new TChartSeries(&Chart);
    Chart.AddSeries(Source);
    Chart.AddSeries(Copy);
    auto* Function = new TPlotFunction(nullptr);
    Source->SetFunction(Function);
    Copy->Assign(Source);
    EXPECT_EQ(Copy->SeriesFunction(), Function);
    EXPECT_EQ(Source->SeriesFunction(), nullptr);
    EXPECT_EQ(Function->ParentSeries(), Copy);
}

TEST(SeriesAssign, SourcesAreRelinkedInsteadOfCopied)
{
    TTestChart Chart;
    auto* Origin = new TChartSeries(&Chart);
    auto* Dependent = new TChartSeries(&Chart);
    auto* Copy = new TChartSeries(&Chart);
    for (TChartSeries* S : {Origin, Dependent, Copy})
        Chart.AddSeries(S);
    Origin->Add(3);
    Dependent->SetDataSource(Origin);
    Copy->Assign(Dependent);
    EXPECT_EQ(Copy->DataSource(), Origin);
    EXPECT_EQ(Copy->Count(), 1);
    Origin->Add(4);
    EXPECT_EQ(Copy->Count(), 2);
}

// --- The "Data" block ----------------------------------------------------------------------------

// A series with a further list, so blocks carry one more value per point.
class TZSeries : public TChartSeries {
public:
    explicit TZSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner), Z(new TChartValueList(this, "Z")) {}
    TChartValueList* Z;
};

// Fills Series so that the block gets exactly the flags asked for.
void FillForFlags(TZSeries& Series, int Flags)
{
    for (int I = 0; I < 5; ++I) {
        Series.Z->SetTempValue(100 + I);
        const double X = (Flags & 1) ? I * 2.5 + 1 : I;
        const TColor Color = (Flags & 2) && I == 3 ? clRed : clPlotColor;
        const QString Label = (Flags & 4) && I == 1 ? QString("label") : QString();
        Series.AddXY(X, I * I - 3.25, Label, Color);
    }
    if (Flags & 8) {
        TSeriesMarkPosition Moved;
        Moved.ArrowStart = {1, 2};
        Moved.ArrowEnd = {3, 4};
        Moved.ArrowFixed = true;
        Moved.TopLeft = {-5, 6};
        Moved.MarkWidth = 70;
        Moved.MarkHeight = 12;
        Series.Marks()->Positions().SetPosition(2, Moved);
    }
}

TEST(SeriesDataBlock, RoundTripsEveryFlagCombination)
{
    for (int Flags = 0; Flags < 16; ++Flags) {
        TZSeries Source;
        FillForFlags(Source, Flags);
        EXPECT_EQ(Source.DataFlags(), Flags);
        const QByteArray Block = WriteBlock(Source);
        EXPECT_EQ(static_cast<int>(static_cast<quint8>(Block[0])), Flags);
        TZSeries Target;
        Target.AddXY(99, 99, "stale");
        ReadBlock(Target, Block);
        ASSERT_EQ(Target.Count(), 5) << Flags;
        EXPECT_TRUE(Target.ManualData());
        for (int I = 0; I < 5; ++I) {
            EXPECT_EQ(Target.XValues()->Value(I), Source.XValues()->Value(I)) << Flags;
            EXPECT_EQ(Target.YValues()->Value(I), Source.YValues()->Value(I)) << Flags;
            EXPECT_EQ(Target.Z->Value(I), 100 + I) << Flags;
            EXPECT_EQ(Target.GetStoredValueColor(I), Source.GetStoredValueColor(I)) << Flags;
            EXPECT_EQ(Target.Labels().GetLabel(I), Source.Labels().GetLabel(I)) << Flags;
        }
        const TSeriesMarkPosition* Mark = Target.Marks()->Positions().GetPosition(2);
        if (Flags & 8) {
            ASSERT_NE(Mark, nullptr);
            EXPECT_TRUE(Mark->UserMoved);
            EXPECT_TRUE(Mark->ArrowFixed);
            EXPECT_EQ(Mark->TopLeft, (TPoint{-5, 6}));
            EXPECT_EQ(Mark->MarkWidth, 70);
            EXPECT_FALSE(Target.Marks()->Positions().GetPosition(0)->UserMoved);
        } else {
            EXPECT_EQ(Mark, nullptr);
        }
    }
}

TEST(SeriesDataBlock, LayoutIsLittleEndianWithoutPositionsForASequence)
{
    TChartSeries Series;
    Series.Add(1.5);
    const QByteArray Block = WriteBlock(Series);
    ASSERT_EQ(Block.size(), 1 + 4 + 8);
    EXPECT_EQ(Block.left(5), QByteArray::fromHex("0001000000"));
    double Value = 0;
    std::memcpy(&Value, Block.constData() + 5, 8);
    EXPECT_EQ(Value, 1.5);
}

TEST(SeriesDataBlock, AHorizontalSeriesKeepsItsXAndY)
{
    THorizTestSeries Source;
    Source.AddXY(7, 0);
    Source.AddXY(8, 3);
    THorizTestSeries Target;
    ReadBlock(Target, WriteBlock(Source));
    ASSERT_EQ(Target.Count(), 2);
    EXPECT_EQ(Target.XValues()->Value(1), 8);
    EXPECT_EQ(Target.YValues()->Value(1), 3);
}

// Points come back at the indexes they were saved at. A block of unordered
// points read into a list whose order says ascending (a file that left
// loNone out) leaves the list unordered; ordered points keep the order.
TEST(SeriesDataBlock, PointsReadBackInTheOrderSavedAndUnorderedPointsUnorderTheList)
{
    TLineSeries Source;
    Source.XValues()->SetOrder(loNone);
    for (const double X : {3.0, 1.0, 2.0})
        Source.AddXY(X, X * 10, QStringLiteral("p%1").arg(X));
    TLineSeries Target;
    ASSERT_EQ(Target.XValues()->Order(), loAscending);
    ReadBlock(Target, WriteBlock(Source));
    ASSERT_EQ(Target.Count(), 3);
    EXPECT_EQ(Target.XValues()->Value(0), 3);
    EXPECT_EQ(Target.YValues()->Value(0), 30);
    EXPECT_EQ(Target.Labels().GetLabel(2), QStringLiteral("p2"));
    EXPECT_EQ(Target.XValues()->Order(), loNone);

    TLineSeries Sorted;
    for (const double X : {1.0, 2.0, 2.0, 5.0})
        Sorted.AddXY(X, X);
    TLineSeries SortedTarget;
    ReadBlock(SortedTarget, WriteBlock(Sorted));
    EXPECT_EQ(SortedTarget.XValues()->Order(), loAscending);
    EXPECT_EQ(SortedTarget.XValues()->Value(3), 5);
}

TEST(SeriesDataBlock, LateLabelsAndColoursAreNotLost)
{
    TChartSeries Source;
    for (int I = 0; I < 20000; ++I)
        Source.AddXY(I, I, I == 15000 ? QString("deep") : QString(), I == 19000 ? clRed : clPlotColor);
    EXPECT_EQ(Source.DataFlags(), 2 | 4);
    TChartSeries Target;
    ReadBlock(Target, WriteBlock(Source));
    EXPECT_EQ(Target.Labels().GetLabel(15000), "deep");
    EXPECT_EQ(Target.GetStoredValueColor(19000), clRed);
}

TEST(SeriesDataBlock, LongLabelsAreCutAt255Bytes)
{
    TChartSeries Source;
    Source.Add(1, QString(300, QLatin1Char('x')));
    Source.Add(2, QString(200, QChar(0x00E9))); // two bytes each in UTF-8
    TChartSeries Target;
    ReadBlock(Target, WriteBlock(Source));
    EXPECT_EQ(Target.Labels().GetLabel(0), QString(255, QLatin1Char('x')));
    EXPECT_LE(Target.Labels().GetLabel(1).toLocal8Bit().size(), 255);
    EXPECT_TRUE(Target.Labels().GetLabel(1).startsWith(QString(100, QChar(0x00E9))));
}

TEST(SeriesDataBlock, TruncatedAndCorruptBlocksRaiseAndLeaveTheSeriesEmpty)
{
    TZSeries Source;
    FillForFlags(Source, 15);
    const QByteArray Block = WriteBlock(Source);
    for (int Size = 0; Size < Block.size(); ++Size) {
        TZSeries Target;
        EXPECT_THROW(ReadBlock(Target, Block.left(Size)), EReadError) << Size;
        EXPECT_EQ(Target.Count(), 0) << Size;
    }
    QByteArray BadFlags = Block;
    BadFlags[0] = char(0x40);
    TZSeries Target;
    EXPECT_THROW(ReadBlock(Target, BadFlags), EReadError);
    QByteArray Negative = Block;
    Negative[4] = char(0x80);
    EXPECT_THROW(ReadBlock(Target, Negative), EReadError);
}

TEST(SeriesDataBlock, RandomBytesNeverCrash)
{
    std::mt19937 Random(7);
    int Accepted = 0;
    for (int Round = 0; Round < 2000; ++Round) {
        QByteArray Block(static_cast<int>(Random() % 64), '\0');
        for (char& C : Block)
            C = static_cast<char>(Random() & 0xFF);
        if (Block.size() > 0 && Random() % 2)
            Block[0] = static_cast<char>(Random() % 16);
        if (Block.size() > 4 && Random() % 2) {
            Block[1] = static_cast<char>(Random() % 2);
            Block[2] = Block[3] = Block[4] = 0;
        }
        TZSeries Target;
        try {
            ReadBlock(Target, Block);
            ++Accepted;
        } catch (const EReadError&) {
            EXPECT_EQ(Target.Count(), 0);
        }
    }
    EXPECT_GT(Accepted, 0);
}

TEST(SeriesDataBlock, WhetherDataIsStored)
{
    TChartSeries Series;
    EXPECT_FALSE(Series.ShouldWriteData());
    Series.SetManualData(true);
    EXPECT_TRUE(Series.ShouldWriteData());
    Series.SetSkipData(true);
    EXPECT_FALSE(Series.ShouldWriteData());
    Series.SetSaveData(true);
    EXPECT_TRUE(Series.ShouldWriteData());
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// --- Stored properties besides the published ones ---------------------------------------------

TEST(SeriesStoredProperties, DefinitionsSayWhatIsWritten)
{
    TTestChart Chart;
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    auto* Sum = new TChartSeries(&Chart);
    A->SetName("A");
    B->SetName("B");
    for (TChartSeries* S : {A, B, Sum})
        Chart.AddSeries(S);

    TPropertyDefinitions Plain;
    Sum->DefineProperties(Plain);
    QStringList Names;
    for (const auto& D : Plain.Items) {
        Names << D.Name;
        EXPECT_FALSE(D.HasData) << D.Name.toStdString();
    }
    EXPECT_EQ(Names, (QStringList{"Identifier", "Style", "DataSources", "CustomHorizAxis", "CustomVertAxis", "Data"}));

    Sum->SetIdentifier("sum");
    Sum->SetStyle(SeriesFlagLocked | SeriesFlagNoDataSource);
    Sum->DataSources().Add(A);
    Sum->DataSources().Add(B);
    Sum->SetCustomVertAxis(static_cast<TChartAxis*>(Chart.CustomAxes().Add()));
    Sum->SetManualData(true);
    TPropertyDefinitions Rich;
    Sum->DefineProperties(Rich);
    for (const auto& D : Rich.Items)
        EXPECT_EQ(D.HasData, D.Name != "CustomHorizAxis") << D.Name.toStdString();
    EXPECT_EQ(Rich.Find("style")->WriteValue().toInt(), 33);
    EXPECT_EQ(Rich.Find("DataSources")->WriteValue().toStringList(), (QStringList{"A", "B"}));
    EXPECT_EQ(Rich.Find("CustomVertAxis")->WriteValue().toInt(), 0);
    EXPECT_TRUE(Rich.Find("Data")->Binary);
}

TEST(SeriesStoredProperties, ReadBackResolvesNamesAndAxesWhenLoaded)
{
    TComponent Form;
    auto* Chart = new TTestChart(&Form);
    auto* A = new TChartSeries(&Form);
    auto* B = new TChartSeries(&Form);
    auto* Sum = new TChartSeries(&Form);
    A->SetName("A");
    B->SetName("B");
    for (TChartSeries* S : {A, B, Sum})
        Chart->AddSeries(S);
    Chart->CustomAxes().Add();
    A->Add(1);

    Sum->Loading();
    TPropertyDefinitions Reader;
    Sum->DefineProperties(Reader);
    Reader.Find("DataSources")->ReadValue(QStringList{"A", "Missing", "B"});
    Reader.Find("CustomHorizAxis")->ReadValue(0);
    Reader.Find("Identifier")->ReadValue(QString("id"));
    Sum->Loaded();
    EXPECT_EQ(Sum->DataSources().Count(), 2);
    EXPECT_EQ(Sum->DataSource(), A);
    EXPECT_EQ(Sum->Count(), 1);
    EXPECT_EQ(Sum->GetHorizAxis(), Chart->CustomAxes().Items(0));
    EXPECT_EQ(Sum->Identifier(), "id");

    TChartSeries Copy;
    TPropertyDefinitions Data;
    Copy.DefineProperties(Data);
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadWrite);
    A->DefineProperties(Data);
    Data.Items.back().WriteStream(Buffer);
    Buffer.seek(0);
    Data.Find("Data")->ReadStream(Buffer);
    EXPECT_EQ(Copy.Count(), 1);
    EXPECT_TRUE(Copy.ManualData());
}

TEST(SeriesStoredProperties, ValueListsOnlyReadTheirMultiplier)
{
    TChartValueList List(nullptr, "T");
    TPropertyDefinitions Definitions;
    List.DefineProperties(Definitions);
    ASSERT_EQ(Definitions.Items.size(), 1u);
    EXPECT_EQ(Definitions.Items[0].Name, "Multiplier");
    EXPECT_FALSE(Definitions.Items[0].HasData);
    EXPECT_FALSE(Definitions.Items[0].WriteValue);
}

} // namespace
} // namespace lp
