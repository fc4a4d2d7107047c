#pragma once
// The native chart file: a whole chart with its series, tools and settings
// and, on request, the series' points.
//
//   binary file:  60 30 | 57 01 | component stream ("TPF0" ...) | [point block per series]
//                 mark    version 343
//   text file:    the component stream in its text form ("object ..."), no header
//
// Saving writes the chart as the root of a component stream (its name
// empty unless it is being designed); loading reads a stream of either form
// into an existing chart, which stays the same object whatever class the
// stream names. The point blocks after the stream are only read, in the
// series' "Data" format, one per series in list order.
//
// Failures raise ChartException with the chart file messages (PlotConst.h):
// "Empty *.vud file", "Wrong *.vud file format", "Invalid Chart in *.vud
// file"; a damaged component stream raises the streaming errors
// (EFilerError, EReadError). A failed load leaves the chart without series
// and tools, and with automatic repaint on again.

#include "chart/engine/PlotAxis.h" // complete for the chart classes' meta-objects
#include "chart/engine/PlotChart.h"
#include "platform/core/ComponentStream.h"

#include <QtCore/QIODevice>

#include <array>
#include <functional>
#include <vector>

namespace lp {

constexpr quint16 ChartFileMark = 0x3060;
constexpr quint16 ChartFileVersion = 343;

// The component reader of chart files: its error hook skips what cannot be
// read unless OnError is set, whose answer then decides (true: skip).
// A series or tool of a class this program does not know is not dropped
// silently: without OnError its "Class ... not found" error is raised.
// Event-handler names in a stream are accepted and ignored, so a file
// naming handlers this program does not know still loads.
// A series' list of sources ("DataSources") is linked name by name through
// the chart's source test, as a single "DataSource" is: a name the chart
// refuses, or one that names nothing, is an error of "DataSource" like
// theirs ("Error reading DataSource: No valid DataSource: Series7"), and
// skipping it links the others.
class TChartReader : public TComponentReader {
public:
    using TErrorEvent = std::function<bool(const QString& Message)>;
    TErrorEvent OnError;

protected:
    bool Error(const QString& Message) override;
    bool ChildNotCreated(const QString& Message) override;
    bool FindMethod(QObject* Instance, const QString& EventName, const QString& MethodName) override;
    void ResolveNamedLinks(const std::vector<TComponent*>& Read) override;
};

// Chart classes with nothing of their own, registered so that streams
// naming them can be read.
class TChartChart : public TChart {
    Q_OBJECT
public:
    using TChart::TChart;
};

class TODBCChart : public TChartChart {
    Q_OBJECT
public:
    using TChartChart::TChartChart;
};

void RegisterChartFileClasses();
void UnRegisterChartFileClasses();

// Both peek at the stream's first bytes and leave its position as it was.
// A chart stream starts with the mark, or with the letter O or o (text).
bool IsChartStream(QIODevice& Stream);
bool IsBinaryChartStream(QIODevice& Stream);

void WriteChartHeader(QIODevice& Stream);
// Up to four bytes into the two words (missing bytes read as zero; a short
// read is not an error).
void ReadChartHeader(QIODevice& Stream, std::array<quint16, 2>& Header);

// From the current position of Source to Dest. Not a chart stream: "Wrong
// *.vud file format". A stream already in the target form is copied.
void ConvertChartToBinary(QIODevice& Source, QIODevice& Dest);
void ConvertChartToText(QIODevice& Source, QIODevice& Dest);

void SaveChartToStream(TCustomChart* Chart, QIODevice& Stream, bool IncludeData = true, bool TextFormat = false);
// A name without extension gets ".vud". The file is replaced only by a
// complete one (platform/core/SafeSave.h); a failure raises EWriteError.
void SaveChartToFile(TCustomChart* Chart, QString FileName, bool IncludeData = true, bool TextFormat = false);

void LoadChartFromStreamEx(TCustomChart*& Chart, QIODevice& Stream, bool ReadData = true,
                           const TChartReader::TErrorEvent& OnError = {});
void LoadChartFromStream(TCustomChart*& Chart, QIODevice& Stream);
// One point block per series of the chart, in order, while bytes are left.
void ReadChartSeriesData(QIODevice& Stream, TCustomChart* Chart);

} // namespace lp
