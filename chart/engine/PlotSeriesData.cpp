// Services of a series that do not take part in adding or drawing points:
// random sample data, gallery preparation, mouse tracking, copying and the
// binary "Data" block of stored charts.

#include "chart/engine/PlotEngine.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/Streams.h"

#include <QtCore/QDate>

#include <algorithm>
#include <cmath>
#include <random>

namespace lp {

namespace {

// The one random source of sample values; re-seeded for reproducible data.
std::mt19937& RandomSource()
{
    static std::mt19937 Generator(1);
    return Generator;
}

// Flags of the "Data" block.
constexpr int DataPositions = 1;
constexpr int DataColors = 2;
constexpr int DataLabels = 4;
constexpr int DataMarks = 8;

// A label in the block: at most 255 bytes, cut on a character boundary.
QByteArray EncodeLabel(const QString& Label)
{
    // Every character takes at least one byte, so 255 characters are the
    // most that can fit; multi-byte characters may need a few more cut.
    QString Text = Label.left(255);
    QByteArray Bytes = Text.toLocal8Bit();
    while (Bytes.size() > 255) {
        Text.chop(1);
        Bytes = Text.toLocal8Bit();
    }
    return Bytes;
}

void WritePoint(TBinaryWriter& W, const TPoint& P)
{
    W.WriteInt32(P.X);
    W.WriteInt32(P.Y);
}

TPoint ReadPoint(TBinaryReader& R)
{
    const int X = R.ReadInt32();
    const int Y = R.ReadInt32();
    return TPoint{X, Y};
}

void WriteMarkPosition(TBinaryWriter& W, const TSeriesMarkPosition& P)
{
    WritePoint(W, P.ArrowStart);
    W.WriteByte(P.ArrowFixed ? 1 : 0);
    WritePoint(W, P.ArrowEnd);
    W.WriteByte(P.UserMoved ? 1 : 0);
    W.WriteInt32(P.MarkHeight);
    WritePoint(W, P.TopLeft);
    W.WriteInt32(P.MarkWidth);
}

TSeriesMarkPosition ReadMarkPosition(TBinaryReader& R)
{
    TSeriesMarkPosition P;
    P.ArrowStart = ReadPoint(R);
    P.ArrowFixed = R.ReadByte() != 0;
    P.ArrowEnd = ReadPoint(R);
    P.UserMoved = R.ReadByte() != 0;
    P.MarkHeight = R.ReadInt32();
    P.TopLeft = ReadPoint(R);
    P.MarkWidth = R.ReadInt32();
    return P;
}

} // namespace

// --- Sample values ------------------------------------------------------------------------------

int TChartSeries::RandomValue(int Limit)
{
    if (Limit <= 0)
        return 0;
    // Scaling a 32-bit draw keeps the sequence the same on every platform.
    return static_cast<int>((static_cast<unsigned long long>(RandomSource()()) * static_cast<unsigned>(Limit)) >> 32);
}

void TChartSeries::RandomSeed(quint32 Seed)
{
    RandomSource().seed(Seed);
}

TChartSeries::TRandomBounds TChartSeries::CalcRandomBounds(int NumValues)
{
    double MinX = 0;
    double MaxX = NumValues - 1;
    double MinY = 0;
    double MaxY = 1000;
    bool ChartHasPoints = false;
    if (FParentChart)
        for (TChartSeries* S : FParentChart->SeriesList())
            if (S->Active() && S->Count() > 0)
                ChartHasPoints = true;
    if (ChartHasPoints) {
        MinY = FParentChart->MinYValue(FVertAxisObject);
        MaxY = FParentChart->MaxYValue(FVertAxisObject);
        if (MaxY == MinY)
            MaxY = MinY == 0 ? 1000 : 2 * MinY;
        MinX = FParentChart->MinXValue(FHorizAxisObject);
        MaxX = FParentChart->MaxXValue(FHorizAxisObject);
        if (MaxX == MinX)
            MaxX = MinX == 0 ? NumValues - 1 : 2 * MinX;
        if (!FMandatoryIsY) {
            std::swap(MinX, MinY);
            std::swap(MaxX, MaxY);
        }
    } else if (FX->DateTime()) {
        MinX = std::floor(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
        MaxX = MinX + NumValues - 1;
    }
    TRandomBounds Result;
    Result.StartX = MinX;
    Result.StepX = NumValues > 1 ? (MaxX - MinX) / (NumValues - 1) : MaxX - MinX;
    Result.MinY = MinY;
    Result.DifY = std::clamp(MaxY - MinY, -2147483647.0, 2147483647.0);
    return Result;
}

void TChartSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double Q = Bounds.DifY * 0.25;
    double Y = RandomValue(100) * Bounds.DifY * 0.01 + Bounds.MinY;
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        Y = std::fabs(Y + RandomValue(100) * Q * 0.01 - Q * 0.5);
        if (OnlyMandatory) {
            Add(Y, QString(), clPlotColor);
        } else {
            if (FMandatoryIsY)
                AddXY(X, Y, QString(), clPlotColor);
            else
                AddXY(Y, X, QString(), clPlotColor);
            X += Bounds.StepX;
        }
    }
}

void TChartSeries::FillSampleValues(int NumValues)
{
    if (NumValues < 0)
        throw ChartException(PlotMsg_FillSampleCount);
    if (NumValues == 0)
        NumValues = FNumSampleValues > 0 ? FNumSampleValues : NumSampleValues();
    Clear();
    RandomSeed(static_cast<quint32>(RandomValue(7774444)));
    BeginUpdate();
    try {
        AddSampleValues(NumValues, false);
        SortByMandatoryOrder();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    FManualData = false;
}

void TChartSeries::SortByMandatoryOrder()
{
    if (FMandatory->Order() == loNone)
        return;
    ReorderPoints([this] {
        FMandatory->Sort();
        if (FNotMandatory->ValueSource().isEmpty())
            FNotMandatory->FillSequence();
    });
    Repaint();
}

void TChartSeries::CheckOrder()
{
    if (FNotMandatory->Order() == loNone)
        return;
    FNotMandatory->Sort();
    Repaint();
}

void TChartSeries::PrepareForGallery(bool IsEnabled)
{
    FillSampleValues(4);
    Marks()->SetVisible(false);
    Marks()->Font()->SetSize(7);
    Marks()->SetArrowLength(4);
    Marks()->SetDrawEvery(2);
    SetColorEachPoint(false);
    if (!IsEnabled)
        SetSeriesColor(0xC0C0C0);
    else if (FParentChart)
        SetSeriesColor(FParentChart->GetDefaultColor(FParentChart->SeriesList().IndexOf(this) == 0 ? 0 : 3));
}

// --- Mouse --------------------------------------------------------------------------------------

bool TChartSeries::CheckMouse(int X, int Y)
{
    if (FCursor == crDefault && !OnMouseEnter && !OnMouseLeave)
        return false;
    const bool Inside = Clicked(X, Y) != -1;
    if (Inside) {
        if (FCursor != crDefault && FParentChart)
            FParentChart->ShowCursor(FCursor);
        if (!FMouseInside) {
            FMouseInside = true;
            if (OnMouseEnter)
                OnMouseEnter(this);
        }
    } else if (FMouseInside) {
        FMouseInside = false;
        if (OnMouseLeave)
            OnMouseLeave(this);
    }
    return Inside;
}

// --- Copying ------------------------------------------------------------------------------------

void TChartSeries::Assign(const TPersistent* Source)
{
    const auto* ConstOther = qobject_cast<const TChartSeries*>(Source);
    if (!ConstOther) {
        TCustomChartSeries::Assign(Source);
        return;
    }
    // Copying may take the source's function over, so the source changes.
    auto* Other = const_cast<TChartSeries*>(ConstOther);
    TCustomChartSeries::Assign(Other);
    UnlinkFromSources();
    FDataSources->InternalClear();

    if (FMandatoryIsY == Other->FMandatoryIsY) {
        FX->Assign(Other->FX);
        FY->Assign(Other->FY);
    } else {
        FX->Assign(Other->FY);
        FY->Assign(Other->FX);
    }
    FXLabelsSource = Other->FXLabelsSource;
    FColorSource = Other->FColorSource;
    const int Further = std::min(FValuesList->Count(), Other->FValuesList->Count());
    for (int L = 2; L < Further; ++L)
        FValuesList->GetValueList(L)->Assign(Other->FValuesList->GetValueList(L));
    if (FMarks || Other->FMarks)
        Marks()->Assign(Other->Marks());
    FColor = Other->FColor;
    FEffectiveColor = Other->FEffectiveColor;
    FColorEachPoint = Other->FColorEachPoint;
    FValueFormat = Other->FValueFormat;
    FPercentFormat = Other->FPercentFormat;
    FHorizAxis = Other->FHorizAxis;
    FVertAxis = Other->FVertAxis;
    if (FParentChart && FParentChart == Other->FParentChart) {
        FCustomHorizAxis = Other->FCustomHorizAxis;
        FCustomVertAxis = Other->FCustomVertAxis;
    } else {
        FCustomHorizAxis = nullptr;
        FCustomVertAxis = nullptr;
        SetCustomAxesByIndex(Other->CustomHorizAxisIndex(), Other->CustomVertAxisIndex());
    }
    FChangeActions = Other->FChangeActions;
    FCursor = Other->FCursor;
    FDepth = Other->FDepth;
    ResolveAxes();

    if (!FSeriesFunction && Other->FSeriesFunction) {
        TPlotFunction* F = Other->FSeriesFunction;
        Other->FSeriesFunction = nullptr;
        Other->RemoveFreeNotification(F);
        FSeriesFunction = F;
        F->SetParentSeries(this);
        FreeNotification(F);
    }
    FManualData = Other->FManualData;
    if (Other->FDataSources->Count() > 0 && !Other->FManualData) {
        for (TComponent* S : *Other->FDataSources)
            InternalAddDataSource(S);
    } else if (!(Other->IsDesigning() && !Other->FManualData)) {
        CopyPointsFrom(Other);
    }
    CheckDataSource();    // A series of another kind hands its colour over as a setting: the parts
    // that follow the series colour in this kind (a fast line's or volume's
    // pen, a shape's brush) take it, as when it is set or read from a file.
    if (Other->metaObject() != metaObject() && FColor != clPlotColor)
        SetSeriesColor(FColor);
}

void TChartSeries::CopyPointsFrom(TChartSeries* Source)
{
    BeginUpdate();
    try {
        Clear();
        for (int I = 0; I < Source->Count(); ++I)
            AddSourceValue(Source, I);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// --- The "Data" block ---------------------------------------------------------------------------

int GetSeriesDataFlags(const TChartSeries& Series)
{
    int Flags = 0;
    if (Series.StorePositionValues() && SeriesHasCustomXValues(Series))
        Flags |= DataPositions;
    if (SeriesHasCustomColors(Series))
        Flags |= DataColors;
    // Every label and colour counts: a late one must not be lost on saving.
    for (int I = 0; I < Series.Labels().Count(); ++I)
        if (!Series.Labels().GetLabel(I).isEmpty()) {
            Flags |= DataLabels;
            break;
        }
    if (Series.Marks()->Positions().ExistCustom())
        Flags |= DataMarks;
    return Flags;
}

bool SeriesHasCustomXValues(const TChartSeries& Series)
{
    const TChartValueList& Positions = *Series.OtherValues();
    const int N = Positions.Count();
    const double* Values = Positions.Data();
    for (int I = 0; I < N; ++I)
        if (Values[I] != I)
            return true;
    return false;
}

bool SeriesHasCustomColors(const TChartSeries& Series)
{
    if (!Series.HasColorList())
        return false;
    for (int I = 0; I < Series.Count(); ++I) {
        const TColor Color = Series.GetStoredValueColor(I);
        if (Color != clPlotColor && Color != Series.SeriesColor())
            return true;
    }
    return false;
}

int TChartSeries::DataFlags() const
{
    return GetSeriesDataFlags(*this);
}

bool TChartSeries::ShouldWriteData() const
{
    return FSaveData || (FManualData && !FSkipData);
}

void TChartSeries::WriteData(QIODevice& Stream)
{
    TBinaryWriter W(Stream);
    const int Flags = DataFlags();
    const int N = Count();
    W.WriteByte(static_cast<quint8>(Flags));
    W.WriteInt32(N);
    // The record holds the position and the value of the series' direction
    // (X and Y, or Y and X for a horizontal series), then the further
    // lists: a series whose mandatory list is one of those further lists
    // (Z) still stores its Y values.
    const TChartValueList* Positions = FMandatoryIsY ? FX : FY;
    const TChartValueList* Values = FMandatoryIsY ? FY : FX;
    for (int I = 0; I < N; ++I) {
        if (Flags & DataPositions)
            W.WriteDouble(Positions->Value(I));
        W.WriteDouble(Values->Value(I));
        if (Flags & DataColors)
            W.WriteInt32(static_cast<qint32>(GetStoredValueColor(I)));
        if (Flags & DataLabels) {
            const QByteArray Label = EncodeLabel(FLabels->GetLabel(I));
            W.WriteByte(static_cast<quint8>(Label.size()));
            W.WriteBytes(Label);
        }
        for (int L = 2; L < FValuesList->Count(); ++L)
            W.WriteDouble(FValuesList->GetValueList(L)->Value(I));
        if (Flags & DataMarks) {
            const TSeriesMarkPosition* Position = Marks()->Positions().GetPosition(I);
            WriteMarkPosition(W, Position ? *Position : TSeriesMarkPosition());
        }
    }
}

void TChartSeries::ReadData(QIODevice& Stream)
{
    Clear();
    BeginUpdate();
    // The points come back at the indexes they were saved at: the X order
    // is not applied while they are added. Points that do not follow the
    // list's starting order, when the file held no order of its own, were
    // saved from an unordered list (files that did not store loNone), so
    // the list is unordered again. An order the file held stays, as the
    // saved list had it.
    const bool OrderRead = FX->OrderSet();
    const TChartListOrder Order = FX->Order();
    FX->SetOrder(loNone);
    try {
        ReadPoints(Stream);
    } catch (...) {
        FX->SetOrder(Order);
        // A broken block leaves no half-read points behind.
        Clear();
        EndUpdate();
        throw;
    }
    FX->SetOrder(Order);
    if (!OrderRead && !FX->FollowsOrder())
        FX->SetOrder(loNone);
    EndUpdate();
    FManualData = true;
}

void TChartSeries::ReadPoints(QIODevice& Stream)
{
    TBinaryReader R(Stream);
    const int Flags = R.ReadByte();
    if (Flags & ~(DataPositions | DataColors | DataLabels | DataMarks))
        throw EReadError("Invalid series data: unknown flags " + std::to_string(Flags));
    const qint32 N = R.ReadInt32();
    if (N < 0)
        throw EReadError("Invalid series data: negative point count " + std::to_string(N));
    for (qint32 I = 0; I < N; ++I) {
        const double Position = (Flags & DataPositions) ? R.ReadDouble() : static_cast<double>(I);
        const double Value = R.ReadDouble();
        const TColor Color = (Flags & DataColors) ? static_cast<TColor>(R.ReadInt32()) : clPlotColor;
        QString Label;
        if (Flags & DataLabels) {
            const int Length = R.ReadByte();
            Label = QString::fromLocal8Bit(R.ReadBytes(Length));
        }
        for (int L = 2; L < FValuesList->Count(); ++L)
            FValuesList->GetValueList(L)->SetTempValue(R.ReadDouble());
        if (FMandatoryIsY)
            AddXY(Position, Value, Label, Color);
        else
            AddXY(Value, Position, Label, Color);
        if (Flags & DataMarks) {
            const TSeriesMarkPosition Mark = ReadMarkPosition(R);
            Marks()->Positions().Append(&Mark);
        }
    }
}

} // namespace lp
