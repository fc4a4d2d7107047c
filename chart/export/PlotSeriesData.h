#pragma once
// Series data export: the points of one series, or of every series of a
// chart, as a table in delimited text, XML, an HTML table or a spreadsheet
// of binary worksheet records.
//
// Every export first works out its data flags from a reference series (the
// chosen one, else the first series of the chart with points): 1 own X
// values, 2 point colours, 4 point labels; IncludeColors and IncludeLabels
// switch colours and labels off. A table has as many rows as the longest
// exported series has points; shorter series leave empty fields.
//
// Labels, titles and names in XML and HTML are escaped (markup characters
// and every character outside ASCII as character references), so the
// output is always well-formed whatever the encoding it is read in.
//
// The spreadsheet holds 16-bit row and column numbers: a table beyond
// them, or a chart without series, raises EPlotExportError and nothing is
// written.

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotEngine.h"

#include <QtCore/QList>

namespace lp {

class TCustomAxisPanel;

// Data flags of the series data exporters.
inline constexpr int SeriesDataOwnX = 1;
inline constexpr int SeriesDataColors = 2;
inline constexpr int SeriesDataLabels = 4;

// "#rrggbb" in lower case of the colour's RGB value.
QString SeriesDataColorText(TColor Color);

class TSeriesData : public TPlotExportData {
public:
    // Chart and Series are not owned; no Series means every series of the
    // chart in chart order.
    explicit TSeriesData(TCustomAxisPanel* AChart, TChartSeries* ASeries = nullptr);

    TCustomAxisPanel* Chart = nullptr;
    TChartSeries* Series = nullptr;
    bool IncludeColors = false;
    bool IncludeIndex = false;
    bool IncludeHeader = false;
    bool IncludeLabels = true;

    // One PointToString line with "\r\n" per row.
    QString AsString() const override;
    // The data flags of the last export.
    int DataFlags() const { return FDataFlags; }

protected:
    // Works out the data flags; called before every export.
    void Prepare() const;
    // The row Index; empty in the base.
    virtual QString PointToString(int Index) const;
    // Flags added before the options clear theirs (none in the base).
    virtual int ExtraFlags(int Flags) const;

    bool HasFlag(int Flag) const { return (FDataFlags & Flag) != 0; }
    // The series exported: Series, or those of the chart.
    QList<TChartSeries*> ExportedSeries() const;
    int RowCount() const;

private:
    mutable int FDataFlags = 0;
};

// One line of fields joined by a delimiter. A leading empty field still
// counts, so columns stay aligned.
class TDelimitedLine {
public:
    explicit TDelimitedLine(QChar ADelimiter) : FDelimiter(ADelimiter) {}
    void Add(const QString& Field);
    bool IsEmpty() const { return FFields == 0; }
    const QString& Text() const { return FText; }

private:
    QChar FDelimiter;
    QString FText;
    int FFields = 0;
};

class TSeriesDataText : public TSeriesData {
public:
    using TSeriesData::TSeriesData;

    QChar TextDelimiter = QChar(9);
    QString TextQuotes;
    // A number picture for values (FormatFloat); empty: general decimal.
    QString ValueFormat;

    // Header line (with IncludeHeader), the rows, and an empty last line.
    QString AsString() const override;

protected:
    QString PointToString(int Index) const override;
    int ExtraFlags(int Flags) const override;

private:
    QString Quoted(const QString& Text) const { return TextQuotes + Text + TextQuotes; }
    QString HeaderLine() const;
    void AddSeriesHeader(TDelimitedLine& Line, const TChartSeries& S) const;
    QString LabelField(int Index) const;
    QString ValueText(const TChartValueList& List, int Index) const;
};

class TSeriesDataXML : public TSeriesData {
public:
    // Sets IncludeHeader and the encoding named in the declaration.
    explicit TSeriesDataXML(TCustomAxisPanel* AChart, TChartSeries* ASeries = nullptr);

    QString Encoding;

    QString AsString() const override;

private:
    QString SeriesElement(const TChartSeries& S) const;
    QString PointLine(const TChartSeries& S, int Index) const;
};

class TSeriesDataHTML : public TSeriesData {
public:
    using TSeriesData::TSeriesData;

    QString AsString() const override;

protected:
    QString PointToString(int Index) const override;

private:
    QString HeaderRow() const;
};

// Written as binary worksheet records; its text form is the base's.
class TSeriesDataXLS : public TSeriesData {
public:
    using TSeriesData::TSeriesData;

    // EPlotExportError without series or beyond 65535 rows or columns;
    // then nothing is written.
    void SaveToStream(QIODevice& Stream) const override;

    QByteArray Records() const;
};

// Escapes '<', '>', '&', '"' and every character outside ASCII as
// references.
QString SeriesDataEscape(const QString& Text);
// The general decimal text of a value (15 significant digits), the same
// for every exporter.
QString SeriesDataValueText(double Value);

} // namespace lp
