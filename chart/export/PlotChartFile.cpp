#include "chart/export/PlotChartFile.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/SafeSave.h"

#include <QtCore/QBuffer>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QSet>

#include <vector>

namespace lp {

namespace {

[[noreturn]] void RaiseWrongFormat()
{
    throw ChartException(PlotMsg_WrongChartFileFormat);
}

// The first bytes, the position left as it was.
QByteArray PeekStart(QIODevice& Stream)
{
    return Stream.peek(4);
}

bool StartsWithMark(const QByteArray& Start)
{
    return Start.size() >= 2 && static_cast<quint8>(Start[0]) == (ChartFileMark & 0xFF) &&
           static_cast<quint8>(Start[1]) == (ChartFileMark >> 8);
}

void CopyRest(QIODevice& Source, QIODevice& Dest)
{
    const QByteArray Rest = Source.readAll();
    if (Dest.write(Rest) != Rest.size())
        throw EWriteError("Stream write error");
}

// Sets the save or skip flag of every series, and clears both again when it
// goes, also when writing failed.
class TSeriesDataFlags {
public:
    TSeriesDataFlags(TCustomChart& Chart, bool IncludeData) : FChart(Chart)
    {
        for (int I = 0; I < Chart.SeriesCount(); ++I) {
            if (IncludeData)
                Chart.Series(I)->SetSaveData(true);
            else
                Chart.Series(I)->SetSkipData(true);
        }
    }
    ~TSeriesDataFlags()
    {
        for (int I = 0; I < FChart.SeriesCount(); ++I) {
            FChart.Series(I)->SetSaveData(false);
            FChart.Series(I)->SetSkipData(false);
        }
    }
    TSeriesDataFlags(const TSeriesDataFlags&) = delete;
    TSeriesDataFlags& operator=(const TSeriesDataFlags&) = delete;

private:
    TCustomChart& FChart;
};

// Names every nameless series and tool of the chart while it is written, so
// that what refers to one (a tool's series, a series' data sources) can
// name it and the file reads back whole; the names go again when it goes,
// also when writing failed. Each name is new to the stream, to the chart's
// own components and to the owner of the component it names; the reader
// makes the whole tree owned by one chart.
class TStreamNames {
public:
    explicit TStreamNames(TCustomChart& Chart) : FChart(Chart)
    {
        std::vector<TComponent*> Children;
        for (int I = 0; I < Chart.SeriesCount(); ++I) {
            Children.push_back(Chart.Series(I));
            if (const TPlotFunction* Function = Chart.Series(I)->SeriesFunction())
                Take(Function->Name());
        }
        for (int I = 0; I < Chart.Tools().Count(); ++I)
            Children.push_back(Chart.Tools()[I]);
        for (const TComponent* Child : Children)
            Take(Child->Name());
        for (TComponent* Child : Children)
            if (Child->Name().isEmpty())
                Give(*Child, qobject_cast<TChartSeries*>(Child) ? QStringLiteral("Series") : QStringLiteral("ChartTool"));
    }
    ~TStreamNames()
    {
        for (const QPointer<TComponent>& Named : FNamed)
            if (Named)
                Named->SetName(QString());
    }
    TStreamNames(const TStreamNames&) = delete;
    TStreamNames& operator=(const TStreamNames&) = delete;

private:
    void Take(const QString& Name)
    {
        if (!Name.isEmpty())
            FTaken.insert(Name.toLower());
    }
    bool IsFree(const TComponent& Child, const QString& Name) const
    {
        return !FTaken.contains(Name.toLower()) && !FChart.FindComponent(Name)
               && !(Child.Owner() && Child.Owner()->FindComponent(Name));
    }
    void Give(TComponent& Child, const QString& Base)
    {
        int Number = 1;
        while (!IsFree(Child, Base + QString::number(Number)))
            ++Number;
        const QString Name = Base + QString::number(Number);
        Child.SetName(Name);
        Take(Name);
        FNamed.emplace_back(&Child);
    }

    const TCustomChart& FChart;
    QSet<QString> FTaken;
    std::vector<QPointer<TComponent>> FNamed;
};

void ClearChart(TCustomChart& Chart)
{
    Chart.FreeAllSeries();
    Chart.Tools().Clear();
    Chart.SeriesGroups()->Clear();
}

} // namespace

bool TChartReader::Error(const QString& Message)
{
    return OnError ? OnError(Message) : true;
}

bool TChartReader::ChildNotCreated(const QString& Message)
{
    return OnError ? OnError(Message) : false;
}

bool TChartReader::FindMethod(QObject* Instance, const QString& EventName, const QString& MethodName)
{
    (void)Instance;
    (void)EventName;
    (void)MethodName;
    return true;
}

void TChartReader::ResolveNamedLinks(const std::vector<TComponent*>& Read)
{
    for (TComponent* Component : Read) {
        auto* Series = qobject_cast<TChartSeries*>(Component);
        QStringList Names;
        if (!Series || !Series->TakePendingDataSourceNames(Names))
            continue;
        // The list read replaces a source linked before, as Loaded would.
        for (TComponent* Linked : Series->DataSources())
            if (auto* LinkedSeries = qobject_cast<TChartSeries*>(Linked))
                LinkedSeries->LinkedSeries().Remove(Series);
        Series->DataSources().InternalClear();
        for (const QString& Name : Names)
            Guard(QStringLiteral("DataSource"), [&] {
                TComponent* Source = FindReference(Name);
                if (!Source)
                    throw EFilerError("Invalid reference " + Name.toStdString());
                Series->ValidateDataSource(Source);
                Series->InternalAddDataSource(Source);
            });
    }
}

void RegisterChartFileClasses()
{
    RegisterClass<TChartChart>();
    RegisterClass<TODBCChart>();
}

void UnRegisterChartFileClasses()
{
    UnRegisterClass(QStringLiteral("TODBCChart"));
    UnRegisterClass(QStringLiteral("TChartChart"));
}

bool IsChartStream(QIODevice& Stream)
{
    const QByteArray Start = PeekStart(Stream);
    return StartsWithMark(Start) || (!Start.isEmpty() && (Start[0] == 'O' || Start[0] == 'o'));
}

bool IsBinaryChartStream(QIODevice& Stream)
{
    return StartsWithMark(PeekStart(Stream));
}

void WriteChartHeader(QIODevice& Stream)
{
    const char Header[4] = {static_cast<char>(ChartFileMark & 0xFF), static_cast<char>(ChartFileMark >> 8),
                            static_cast<char>(ChartFileVersion & 0xFF), static_cast<char>(ChartFileVersion >> 8)};
    if (Stream.write(Header, 4) != 4)
        throw EWriteError("Stream write error");
}

void ReadChartHeader(QIODevice& Stream, std::array<quint16, 2>& Header)
{
    QByteArray Bytes = Stream.read(4);
    Bytes.resize(4, '\0');
    for (int I = 0; I < 2; ++I)
        Header[I] = static_cast<quint16>(static_cast<quint8>(Bytes[2 * I]) | (static_cast<quint8>(Bytes[2 * I + 1]) << 8));
}

void ConvertChartToBinary(QIODevice& Source, QIODevice& Dest)
{
    if (!IsChartStream(Source))
        RaiseWrongFormat();
    if (IsBinaryChartStream(Source)) {
        CopyRest(Source, Dest);
        return;
    }
    WriteChartHeader(Dest);
    ObjectTextToBinary(Source, Dest);
}

void ConvertChartToText(QIODevice& Source, QIODevice& Dest)
{
    if (!IsChartStream(Source))
        RaiseWrongFormat();
    if (!IsBinaryChartStream(Source)) {
        CopyRest(Source, Dest);
        return;
    }
    std::array<quint16, 2> Header{};
    ReadChartHeader(Source, Header);
    ObjectBinaryToText(Source, Dest);
}

void SaveChartToStream(TCustomChart* Chart, QIODevice& Stream, bool IncludeData, bool TextFormat)
{
    QBuffer Memory;
    Memory.open(QIODevice::ReadWrite);
    QIODevice& Target = TextFormat ? static_cast<QIODevice&>(Memory) : Stream;
    WriteChartHeader(Target);
    const bool KeepName = Chart->IsDesigning();
    const QString OldName = Chart->Name();
    if (!KeepName)
        Chart->SetName(QString());
    try {
        TSeriesDataFlags Flags(*Chart, IncludeData);
        TStreamNames Names(*Chart);
        TComponentWriter Writer(Chart->Owner() ? Chart->Owner() : Chart);
        Writer.WriteDescendent(Target, Chart);
    } catch (...) {
        // A failed save must not cost the chart its name.
        if (!KeepName)
            Chart->SetName(OldName);
        throw;
    }
    if (!KeepName)
        Chart->SetName(OldName);
    if (TextFormat) {
        Memory.seek(0);
        ConvertChartToText(Memory, Stream);
    }
}

void SaveChartToFile(TCustomChart* Chart, QString FileName, bool IncludeData, bool TextFormat)
{
    if (QFileInfo(FileName).suffix().isEmpty())
        FileName += QLatin1Char('.') + PlotFileExtension;
    QString Error;
    if (!SaveAtomically(
            FileName, [&](QIODevice& Out) { SaveChartToStream(Chart, Out, IncludeData, TextFormat); }, Error))
        throw EWriteError(Error.toStdString());
}

void LoadChartFromStreamEx(TCustomChart*& Chart, QIODevice& Stream, bool ReadData,
                           const TChartReader::TErrorEvent& OnError)
{
    if (Stream.size() == 0)
        throw ChartException(PlotMsg_EmptyChartFile);
    if (!IsChartStream(Stream))
        RaiseWrongFormat();
    if (!Chart)
        throw ChartException(PlotMsg_InvalidChartFile);
    TCustomChart* const Target = Chart;
    Target->SetRepaintEnabled(false);
    try {
        ClearChart(*Target);
        QBuffer Converted;
        QIODevice* Input = &Stream;
        if (!IsBinaryChartStream(Stream)) {
            Converted.open(QIODevice::ReadWrite);
            ConvertChartToBinary(Stream, Converted);
            Converted.seek(0);
            Input = &Converted;
        }
        std::array<quint16, 2> Header{};
        ReadChartHeader(*Input, Header);
        const TStreamComponent Tree = ReadStreamBinary(*Input);
        const QString OldName = Target->Name();
        TChartReader Reader;
        Reader.OnError = OnError;
        Reader.ReadRootComponent(Tree, Target);
        if (!OldName.isEmpty())
            Target->SetName(OldName);
        if (ReadData && Input->pos() < Input->size())
            ReadChartSeriesData(*Input, Target);
        // The page read is the page shown, now that the series and their
        // points are in.
        Target->SetPage(Target->Page());
    } catch (...) {
        // Nothing half-read stays behind, and the chart repaints again.
        ClearChart(*Target);
        Target->SetRepaintEnabled(true);
        Target->Invalidate();
        throw;
    }
    Target->SetRepaintEnabled(true);
    Target->Invalidate();
}

void LoadChartFromStream(TCustomChart*& Chart, QIODevice& Stream)
{
    LoadChartFromStreamEx(Chart, Stream, true, {});
}

void ReadChartSeriesData(QIODevice& Stream, TCustomChart* Chart)
{
    for (int I = 0; I < Chart->SeriesCount() && !Stream.atEnd(); ++I)
        Chart->Series(I)->ReadData(Stream);
}

} // namespace lp
