#include "chart/export/PlotSeriesData.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/NumberFormat.h"

#include <QtCore/QIODevice>
#include <QtCore/QtEndian>

#include <QtCore/QLocale>

#include <algorithm>
#include <bit>
#include <limits>

namespace lp {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

int ListCount(const TChartSeries& S) { return S.ValuesList().Count(); }
const TChartValueList& List(const TChartSeries& S, int L) { return *S.ValuesList().GetValueList(L); }

// A value list name usable as an XML attribute name: ASCII name characters
// only, never empty, never starting with a digit.
QString AttributeName(const QString& Name)
{
    QString Result;
    for (QChar C : Name) {
        const bool Ok = C.unicode() < 128 && (C.isLetterOrNumber() || C == u'_' || C == u'-' || C == u'.');
        Result += Ok ? C : QChar(u'_');
    }
    if (Result.isEmpty() || !(Result[0].isLetter() || Result[0] == u'_'))
        Result.prepend(u'_');
    return Result;
}

QString Attribute(const QString& Name, const QString& Value)
{
    return Name + QStringLiteral("=\"") + Value + QStringLiteral("\"");
}

QString Cell(const QString& Text) { return QStringLiteral("<td>") + Text + QStringLiteral("</td>"); }

} // namespace

QString SeriesDataColorText(TColor Color)
{
    const TColor Rgb = ColorToRGB(Color) & 0xFFFFFF;
    return QStringLiteral("#%1%2%3")
        .arg(Rgb & 0xFF, 2, 16, QChar(u'0'))
        .arg((Rgb >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((Rgb >> 16) & 0xFF, 2, 16, QChar(u'0'));
}

QString SeriesDataEscape(const QString& Text)
{
    QString Result;
    Result.reserve(Text.size());
    for (QChar C : Text) {
        switch (C.unicode()) {
        case u'<': Result += QStringLiteral("&lt;"); break;
        case u'>': Result += QStringLiteral("&gt;"); break;
        case u'&': Result += QStringLiteral("&amp;"); break;
        case u'"': Result += QStringLiteral("&quot;"); break;
        default:
            if (C.unicode() < 128)
                Result += C;
            else
                Result += QStringLiteral("&#%1;").arg(C.unicode());
        }
    }
    return Result;
}

QString SeriesDataValueText(double Value) { return QString::number(Value, 'g', 15); }

// --- TSeriesData ---------------------------------------------------------------------------------

TSeriesData::TSeriesData(TCustomAxisPanel* AChart, TChartSeries* ASeries) : Chart(AChart), Series(ASeries) {}

QList<TChartSeries*> TSeriesData::ExportedSeries() const
{
    if (Series)
        return {Series};
    QList<TChartSeries*> Result;
    if (Chart)
        for (int I = 0; I < Chart->SeriesCount(); ++I)
            Result.append(Chart->Series(I));
    return Result;
}

int TSeriesData::RowCount() const
{
    int Rows = 0;
    for (const TChartSeries* S : ExportedSeries())
        Rows = std::max(Rows, S->Count());
    return Rows;
}

void TSeriesData::Prepare() const
{
    const TChartSeries* Reference = Series;
    if (!Reference)
        for (const TChartSeries* S : ExportedSeries())
            if (S->Count() > 0) {
                Reference = S;
                break;
            }
    int Flags = Reference ? GetSeriesDataFlags(*Reference) & 7 : 0;
    Flags |= ExtraFlags(Flags);
    if (!IncludeLabels)
        Flags &= ~SeriesDataLabels;
    if (!IncludeColors)
        Flags &= ~SeriesDataColors;
    FDataFlags = Flags;
}

int TSeriesData::ExtraFlags(int) const { return 0; }

QString TSeriesData::PointToString(int) const { return {}; }

QString TSeriesData::AsString() const
{
    Prepare();
    QString Result;
    const int Rows = RowCount();
    for (int Row = 0; Row < Rows; ++Row)
        Result += PointToString(Row) + LineEnd;
    return Result;
}

// --- Delimited text ------------------------------------------------------------------------------

void TDelimitedLine::Add(const QString& Field)
{
    if (FFields++ > 0)
        FText += FDelimiter;
    FText += Field;
}

int TSeriesDataText::ExtraFlags(int Flags) const
{
    if (Series || !IncludeLabels || (Flags & SeriesDataLabels))
        return 0;
    for (const TChartSeries* S : ExportedSeries())
        if (S->Labels().Count() > 0)
            return SeriesDataLabels;
    return 0;
}

QString TSeriesDataText::AsString() const
{
    Prepare();
    const QString Header = IncludeHeader ? HeaderLine() + LineEnd : QString();
    return Header + TSeriesData::AsString() + LineEnd;
}

void TSeriesDataText::AddSeriesHeader(TDelimitedLine& Line, const TChartSeries& S) const
{
    if (HasFlag(SeriesDataOwnX))
        Line.Add(Quoted(S.XValues()->Name()));
    if (ListCount(S) == 2) {
        Line.Add(Quoted(SeriesTitleOrName(&S)));
        return;
    }
    Line.Add(Quoted(S.YValues()->Name()));
    for (int L = 2; L < ListCount(S); ++L)
        Line.Add(Quoted(List(S, L).Name()));
}

QString TSeriesDataText::HeaderLine() const
{
    TDelimitedLine Line(TextDelimiter);
    if (IncludeIndex)
        Line.Add(Quoted(PlotMsg_Index));
    if (HasFlag(SeriesDataLabels))
        Line.Add(Quoted(PlotMsg_Text));
    if (HasFlag(SeriesDataColors))
        Line.Add(Quoted(QStringLiteral("Colors")));
    for (const TChartSeries* S : ExportedSeries())
        AddSeriesHeader(Line, *S);
    return Line.Text();
}

QString TSeriesDataText::LabelField(int Index) const
{
    QString Label;
    if (Series) {
        Label = Series->Labels().GetLabel(Index);
    } else {
        for (const TChartSeries* S : ExportedSeries())
            if (Index < S->Count() && !S->Labels().GetLabel(Index).isEmpty()) {
                Label = S->Labels().GetLabel(Index);
                break;
            }
    }
    return Label.isEmpty() ? QString() : Quoted(Label);
}

QString TSeriesDataText::ValueText(const TChartValueList& Values, int Index) const
{
    if (Index >= Values.Count())
        return {};
    const double Value = Values.Value(Index);
    if (Values.DateTime()) {
        try {
            return Quoted(DateTimeToString(QString(), Value));
        } catch (const Exception&) {
            // A value outside the calendar is written as its number.
            return SeriesDataValueText(Value);
        }
    }
    return ValueFormat.isEmpty() ? SeriesDataValueText(Value) : FormatFloat(ValueFormat, Value);
}

QString TSeriesDataText::PointToString(int Index) const
{
    TDelimitedLine Line(TextDelimiter);
    if (IncludeIndex)
        Line.Add(QString::number(Index));
    bool First = true;
    for (const TChartSeries* S : ExportedSeries()) {
        if (First) {
            if (HasFlag(SeriesDataLabels))
                Line.Add(LabelField(Index));
            if (HasFlag(SeriesDataColors))
                Line.Add(SeriesDataColorText(Index < S->Count() ? S->GetValueColor(Index) : clDefault));
            First = false;
        }
        if (HasFlag(SeriesDataOwnX))
            Line.Add(ValueText(*S->XValues(), Index));
        Line.Add(ValueText(*S->YValues(), Index));
        for (int L = 2; L < ListCount(*S); ++L)
            Line.Add(ValueText(List(*S, L), Index));
    }
    return Line.Text();
}

// --- XML -----------------------------------------------------------------------------------------

TSeriesDataXML::TSeriesDataXML(TCustomAxisPanel* AChart, TChartSeries* ASeries) : TSeriesData(AChart, ASeries)
{
    IncludeHeader = true;
    Encoding = QLocale::system().language() == QLocale::Japanese ? QStringLiteral("shift_jis")
                                                                  : QStringLiteral("ISO-8859-1");
}

QString TSeriesDataXML::PointLine(const TChartSeries& S, int Index) const
{
    QString Line = QStringLiteral("<point ");
    if (IncludeIndex)
        Line += Attribute(QStringLiteral("index"), QString::number(Index));
    if (HasFlag(SeriesDataLabels))
        Line += u' ' + Attribute(QStringLiteral("text"), SeriesDataEscape(S.Labels().GetLabel(Index)));
    if (HasFlag(SeriesDataColors))
        Line += u' ' + Attribute(QStringLiteral("color"), SeriesDataColorText(S.GetValueColor(Index)));
    for (int L = HasFlag(SeriesDataOwnX) ? 0 : 1; L < ListCount(S); ++L)
        Line += u' ' + Attribute(AttributeName(List(S, L).Name()), SeriesDataValueText(List(S, L).Value(Index)));
    return Line + QStringLiteral("/>") + LineEnd;
}

QString TSeriesDataXML::SeriesElement(const TChartSeries& S) const
{
    QString Result = QStringLiteral("<series ") + Attribute(QStringLiteral("title"), SeriesDataEscape(SeriesTitleOrName(&S))) +
                     u' ' + Attribute(QStringLiteral("type"), SeriesDataEscape(GetGallerySeriesName(&S))) + u' ' +
                     Attribute(QStringLiteral("color"), SeriesDataColorText(S.GetSeriesColor())) + u'>' + LineEnd;
    Result += QStringLiteral("<points ") + Attribute(QStringLiteral("count"), QString::number(S.Count())) + u'>' + LineEnd;
    for (int I = 0; I < S.Count(); ++I)
        Result += PointLine(S, I);
    return Result + QStringLiteral("</points>") + LineEnd + QStringLiteral("</series>") + LineEnd + LineEnd;
}

QString TSeriesDataXML::AsString() const
{
    Prepare();
    QString Result;
    if (IncludeHeader) {
        Result = QStringLiteral("<?xml ") + Attribute(QStringLiteral("version"), QStringLiteral("1.0"));
        if (!Encoding.isEmpty())
            Result += u' ' + Attribute(QStringLiteral("encoding"), Encoding);
        Result += QStringLiteral("?>") + LineEnd;
    }
    if (Series)
        return Result + SeriesElement(*Series);
    Result += QStringLiteral("<chart>") + LineEnd;
    for (const TChartSeries* S : ExportedSeries())
        Result += SeriesElement(*S);
    return Result + QStringLiteral("</chart>");
}

// --- HTML ----------------------------------------------------------------------------------------

QString TSeriesDataHTML::HeaderRow() const
{
    QString Row = QStringLiteral("<tr>");
    if (IncludeIndex)
        Row += Cell(PlotMsg_Index);
    for (const TChartSeries* S : ExportedSeries()) {
        if (HasFlag(SeriesDataLabels))
            Row += Cell(PlotMsg_Text);
        if (HasFlag(SeriesDataColors))
            Row += Cell(QStringLiteral("Colors"));
        if (HasFlag(SeriesDataOwnX))
            Row += Cell(SeriesDataEscape(S->XValues()->Name()));
        if (ListCount(*S) == 2) {
            Row += Cell(SeriesDataEscape(SeriesTitleOrName(S)));
            continue;
        }
        for (int L = 1; L < ListCount(*S); ++L)
            Row += Cell(SeriesDataEscape(List(*S, L).Name()));
    }
    return Row + QStringLiteral("</tr>");
}

QString TSeriesDataHTML::PointToString(int Index) const
{
    QString Row = QStringLiteral("<tr>");
    if (IncludeIndex)
        Row += Cell(QString::number(Index));
    for (const TChartSeries* S : ExportedSeries()) {
        const bool Beyond = Index >= S->Count();
        if (HasFlag(SeriesDataLabels))
            Row += Cell(Beyond ? QString() : SeriesDataEscape(S->Labels().GetLabel(Index)));
        if (HasFlag(SeriesDataColors))
            Row += Cell(Beyond ? QString() : SeriesDataColorText(S->GetValueColor(Index)));
        for (int L = HasFlag(SeriesDataOwnX) ? 0 : 1; L < ListCount(*S); ++L)
            Row += Cell(Beyond ? QString() : SeriesDataValueText(List(*S, L).Value(Index)));
    }
    return Row + QStringLiteral("</tr>");
}

QString TSeriesDataHTML::AsString() const
{
    Prepare();
    QString Result = QStringLiteral("<table border=\"1\">") + LineEnd;
    if (IncludeHeader)
        Result += HeaderRow() + LineEnd;
    return Result + TSeriesData::AsString() + LineEnd + QStringLiteral("</table>");
}

// --- Spreadsheet ---------------------------------------------------------------------------------

namespace {

constexpr quint16 RecordBlank = 0x0001;
constexpr quint16 RecordNumber = 0x0003;
constexpr quint16 RecordLabel = 0x0004;
constexpr quint16 RecordDimensions = 0x0200;
constexpr int WordLimit = std::numeric_limits<quint16>::max();

void AppendWord(QByteArray& Bytes, int Value)
{
    const quint16 Word = qToLittleEndian(static_cast<quint16>(Value));
    Bytes.append(reinterpret_cast<const char*>(&Word), 2);
}

// The cells of one worksheet, written left to right along each row.
class TWorksheetWriter {
public:
    explicit TWorksheetWriter(QByteArray& ABytes) : FBytes(ABytes) {}

    void StartRow(int Row)
    {
        FRow = Row;
        FColumn = 0;
    }
    void Blank() { CellHeader(RecordBlank, 0); }
    void Number(double Value)
    {
        CellHeader(RecordNumber, 8);
        const quint64 Bits = qToLittleEndian(std::bit_cast<quint64>(Value));
        FBytes.append(reinterpret_cast<const char*>(&Bits), 8);
    }
    // At most 255 characters; characters outside Latin-1 become '?'.
    void Label(const QString& Text)
    {
        const QByteArray Chars = Text.left(255).toLatin1();
        CellHeader(RecordLabel, 1 + static_cast<int>(Chars.size()));
        FBytes.append(static_cast<char>(Chars.size()));
        FBytes.append(Chars);
    }

private:
    void CellHeader(quint16 Type, int BodyLength)
    {
        AppendWord(FBytes, Type);
        AppendWord(FBytes, BodyLength + 7);
        AppendWord(FBytes, FRow);
        AppendWord(FBytes, FColumn++);
        FBytes.append(3, '\0');
    }

    QByteArray& FBytes;
    int FRow = 0;
    int FColumn = 0;
};

} // namespace

QByteArray TSeriesDataXLS::Records() const
{
    Prepare();
    const QList<TChartSeries*> Exported = ExportedSeries();
    if (Exported.isEmpty())
        throw EPlotExportError("The spreadsheet needs at least one series to export.");
    const qint64 Rows = qint64(RowCount()) + (IncludeHeader ? 1 : 0);
    const int FlagColumns = (HasFlag(SeriesDataLabels) ? 1 : 0) + (HasFlag(SeriesDataColors) ? 1 : 0) +
                            (HasFlag(SeriesDataOwnX) ? 1 : 0);
    qint64 Columns = IncludeIndex ? 1 : 0;
    for (const TChartSeries* S : Exported)
        Columns += FlagColumns + ListCount(*S) - 1;
    if (Rows > WordLimit || Columns > WordLimit)
        throw EPlotExportError(QStringLiteral("The spreadsheet holds at most %1 rows and %1 columns; this table has "
                                              "%2 rows and %3 columns.")
                                   .arg(WordLimit)
                                   .arg(Rows)
                                   .arg(Columns)
                                   .toStdString());

    QByteArray Bytes = QByteArray::fromHex("090808000000100000000000");
    AppendWord(Bytes, RecordDimensions);
    AppendWord(Bytes, 10);
    for (int Word : {0, int(Rows), 0, int(Columns), 0})
        AppendWord(Bytes, Word);

    TWorksheetWriter Sheet(Bytes);
    if (IncludeHeader) {
        Sheet.StartRow(0);
        if (IncludeIndex)
            Sheet.Label(PlotMsg_Index);
        for (const TChartSeries* S : Exported) {
            if (HasFlag(SeriesDataLabels))
                Sheet.Label(PlotMsg_Text);
            if (HasFlag(SeriesDataColors))
                Sheet.Label(QStringLiteral("Colors"));
            if (HasFlag(SeriesDataOwnX))
                Sheet.Label(S->XValues()->Name());
            for (int L = 1; L < ListCount(*S); ++L)
                Sheet.Label(List(*S, L).Name());
        }
    }
    for (int Row = 0; Row < RowCount(); ++Row) {
        Sheet.StartRow(IncludeHeader ? Row + 1 : Row);
        if (IncludeIndex)
            Sheet.Number(Row);
        for (const TChartSeries* S : Exported) {
            const bool Beyond = Row >= S->Count();
            if (HasFlag(SeriesDataLabels))
                Sheet.Label(Beyond ? QString() : S->Labels().GetLabel(Row));
            if (HasFlag(SeriesDataColors))
                Sheet.Label(Beyond ? QString() : SeriesDataColorText(S->GetValueColor(Row)));
            if (HasFlag(SeriesDataOwnX)) {
                if (Beyond)
                    Sheet.Blank();
                else
                    Sheet.Number(S->XValues()->Value(Row));
            }
            const bool Empty = Beyond || S->IsNull(Row);
            for (int L = 1; L < ListCount(*S); ++L) {
                if (Empty)
                    Sheet.Blank();
                else
                    Sheet.Number(List(*S, L).Value(Row));
            }
        }
    }
    Bytes.append(QByteArray::fromHex("0a000000"));
    return Bytes;
}

void TSeriesDataXLS::SaveToStream(QIODevice& Stream) const
{
    const QByteArray Bytes = Records();
    if (Stream.write(Bytes) != Bytes.size())
        throw EPlotExportError("Cannot write the exported data: " + Stream.errorString().toStdString());
}

} // namespace lp
