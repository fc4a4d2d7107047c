#pragma once
// Well logs ("carotage") laid over the section chart.
//
//   TCarotageOverlay ──observes──> TPolygonChart
//        │                              └─ owns each log's TLineSeries and,
//        │                                 for kinds 1-3, its TChartImageTool
//        └─ Logs: one carotagedata per loaded log (observes those two)
//
// A list file ("*.crt", groups of three lines: data file, caption, number
// line) names the logs; each data file holds one "depth value [codeA
// [codeB]]" line per sample. Reading parses and normalises everything
// before the chart is touched; drawing places each log in a vertical band
// around its well's position on the bottom axis. Logs are not part of the
// section file.
//
// Unsound input is skipped with a note in Skipped, never read past or
// divided by zero: groups whose data file is missing or whose number line is
// short, samples with the missing value or (log flag) a value <= 0, and
// logs left with fewer than two samples.

#include "section/model/NumberArrays.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <utility>
#include <vector>

namespace lp {

class TBitmap;
class TChartImageTool;
class TLineSeries;
class TPolygonChart;

struct carotagedata {
    QString Path;            // the log data file
    int32_t Kind = 0;        // 0 curve; 1-3 curve band with a coded picture; 4+ not shown
    ByteBool Logarithmic = 0; // values are natural logarithms of the read values
    double Extra = 0.0;      // depth shift of the picture (kinds 1-3)
    double Position = 0.0;   // the well's x on the section
    double BandLeft = 0.0;   // computed when drawn
    double BandRight = 0.0;
    double HalfWidth = 0.0;  // per cent of the bottom axis span
    arofcomplexM Points;     // (depth, value)
    arofintM CodesA;         // per point; carried over from the line before when missing
    arofintM CodesB;
    double ValueMin = 1e19;
    double ValueMax = -1e19;
    TChartImageTool* PictureTool = nullptr; // kinds 1-3, owned by the chart
    TLineSeries* Series = nullptr;          // owned by the chart
    QString Caption;
    int32_t Normalisation = 0; // 1 or 2: shifted to the group's mean level
    int32_t Group = 0;
    int32_t Colour = 0;
    double Mean = MissingValue; // robust mean of the values
    std::vector<int> Lines;    // the data file's line of each point (from 1)
    // The samples dropped for their value (not a number, or 0 or below on
    // a log scale), the missing value's mark not among them: line, value.
    std::vector<std::pair<int, double>> UnusableValues;
};
using arofcarotagedata = DynArray<carotagedata>;

// Reads a list file and every data file it names (relative paths are taken
// from the list file's folder), then normalises the groups. An unreadable
// list file raises EReadError with its name; Skipped (may be null) receives
// one line per group, sample run or log left out.
arofcarotagedata ReadCarotageList(const QString& FileName, QStringList* Skipped);
// Fills Points, codes and the value range of Log from its data file; false
// (Log emptied) when the file cannot be read.
bool ReadCarotageData(carotagedata& Log, QStringList* Skipped);
// Mean of every log; logs with normalisation 1 or 2 are shifted by (their
// mean - the average mean of their group).
void NormalizeCarotage(arofcarotagedata& Logs);

// The value range a log is drawn with: its own widened by the other logs of
// its group whose position lies in [AxisMin, AxisMax].
void CarotageDrawRange(const arofcarotagedata& Logs, int Index, double AxisMin, double AxisMax, double& Low,
                       double& High);
// The x of a value inside the band; a flat range puts it in the middle.
double CarotageBandX(const carotagedata& Log, double Value, double Low, double High);
// The part of a log's coded picture a bitmap holds: the log depths at its
// top and bottom edges, and which of its edges are the picture's own (the
// frame is drawn there; the caption sits in the top left corner).
struct TCarotageWindow {
    double TopDepth = 0.0;
    double BottomDepth = 0.0;
    bool TopEdge = true;
    bool BottomEdge = true;
    bool LeftEdge = true;
    bool RightEdge = true;
};
// Paints the coded picture of a kind 1-3 log into Bitmap (already sized):
// one row per depth step, filled by the row's code (solid, hatch or pattern
// in its colour; a line for no code), a black line where the code changes,
// a black frame and the caption; white is transparent. The whole picture
// runs from the first sample's depth at the top to the last one's.
void PaintCarotagePicture(const carotagedata& Log, TBitmap& Bitmap);
void PaintCarotagePicture(const carotagedata& Log, TBitmap& Bitmap, const TCarotageWindow& Window);

class TCarotageOverlay {
public:
    explicit TCarotageOverlay(TPolygonChart& Chart) : FChart(Chart) {}
    ~TCarotageOverlay();
    TCarotageOverlay(const TCarotageOverlay&) = delete;
    TCarotageOverlay& operator=(const TCarotageOverlay&) = delete;

    arofcarotagedata Logs;
    QStringList Skipped; // what the last read left out

    // Frees the loaded logs' series and tools, reads the list and builds the
    // series. An unreadable list, or one that yields no log, raises
    // EReadError naming the list (with the first reasons groups were left
    // out); no log is then loaded.
    void ReadCarotage(const QString& FileName);
    // Takes every log off the chart: a new site's section has none.
    void Clear();
    void BuildCarotageSeries();
    // Places every log whose position is inside the axis range.
    void DrawCarotage(double AxisMax, double AxisMin);
    // DrawCarotage over the chart's bottom axis, when logs are loaded (after
    // a read and on every resize).
    void Redraw();

private:
    void FreeSeries();
    void DrawCurve(carotagedata& Log, double Low, double High);
    // The coded picture of the part of the log the plot shows; a picture
    // beyond the bitmap limits is refused (ERangeError).
    void DrawPicture(carotagedata& Log);
    TPolygonChart& FChart;
};

} // namespace lp
