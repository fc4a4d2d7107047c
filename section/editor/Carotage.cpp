#include "section/editor/Carotage.h"

#include "chart/canvas/PlotPatterns.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "platform/base/Numeric.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Bitmap.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cmath>
#include <limits>

namespace lp {

namespace {

// The lines of a text file without their CR LF ends; false when unreadable.
bool ReadTextLines(const QString& FileName, QList<QByteArray>& Lines)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Lines = file.readAll().split('\n');
    for (QByteArray& line : Lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!Lines.isEmpty() && Lines.last().isEmpty())
        Lines.removeLast();
    return true;
}

// The words of a line by position: a word that is not a number ("*", the
// missing value's text, or any other) reads as MissingValue, so the columns
// after it keep their places.
arofdoubleM NumbersOf(const QByteArray& Line)
{
    const arofstrM words = SplitWords(std::string_view(Line.constData(), static_cast<size_t>(Line.size())));
    arofdoubleM numbers;
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        double value = MissingValue;
        if (!TryTextToReal(word, value))
            value = MissingValue;
        numbers.Add(value);
    }
    return numbers;
}

// A rounded code, or Fallback when the number is not a usable integer.
int32_t CodeOf(double Value, int32_t Fallback)
{
    if (!std::isfinite(Value) || Value == MissingValue || std::abs(Value) > 2.0e9)
        return Fallback;
    return RoundToInt32(Value);
}

QString ResolvedPath(const QString& ListFile, const QByteArray& Line)
{
    const QString path = QString::fromLocal8Bit(Line).trimmed();
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QFileInfo(ListFile).dir().filePath(path);
}

// The number line of a group into Log; false when it holds fewer than the
// seven fields every log needs.
bool ReadNumberLine(const QByteArray& Line, carotagedata& Log)
{
    const arofdoubleM numbers = NumbersOf(Line);
    if (numbers.Length() < 7)
        return false;
    for (int i = 0; i < 7; ++i)
        if (!std::isfinite(numbers[i]) || numbers[i] == MissingValue || (i >= 2 && std::abs(numbers[i]) > 2.0e9))
            return false;
    Log.Position = numbers[0];
    Log.HalfWidth = numbers[1];
    Log.Kind = RoundToInt32(numbers[2]);
    Log.Normalisation = RoundToInt32(numbers[3]);
    Log.Group = RoundToInt32(numbers[4]);
    Log.Colour = RoundToInt32(numbers[5]);
    Log.Logarithmic = RoundToInt32(numbers[6]) != 0;
    Log.Extra = numbers.Length() >= 8 && std::isfinite(numbers[7]) && numbers[7] != MissingValue ? numbers[7] : 0.0;
    return true;
}

void Note(QStringList* Skipped, const QString& Text)
{
    if (Skipped)
        Skipped->append(Text);
}

} // namespace

bool ReadCarotageData(carotagedata& Log, QStringList* Skipped)
{
    Log.Points.Clear();
    Log.CodesA.Clear();
    Log.CodesB.Clear();
    Log.ValueMin = 1e19;
    Log.ValueMax = -1e19;
    QList<QByteArray> lines;
    if (!ReadTextLines(Log.Path, lines))
        return false;
    int32_t codeA = -1;
    int32_t codeB = -1;
    int dropped = 0;
    for (const QByteArray& line : lines) {
        const arofdoubleM numbers = NumbersOf(line);
        if (numbers.Length() < 2)
            continue;
        // Codes carry over even from a sample that is dropped below.
        if (numbers.Length() >= 3)
            codeA = CodeOf(numbers[2], codeA);
        if (numbers.Length() >= 4)
            codeB = CodeOf(numbers[3], codeB);
        const double depth = numbers[0];
        double value = numbers[1];
        const bool unusable = !std::isfinite(depth) || !std::isfinite(value) || depth == MissingValue ||
                              value == MissingValue || (Log.Logarithmic && value <= 0.0);
        if (unusable) {
            ++dropped;
            continue;
        }
        if (Log.Logarithmic)
            value = std::log(value);
        Log.Points.Add(MakeComplex(depth, value));
        Log.CodesA.Add(codeA);
        Log.CodesB.Add(codeB);
        Log.ValueMin = std::min(Log.ValueMin, value);
        Log.ValueMax = std::max(Log.ValueMax, value);
    }
    if (dropped > 0)
        Note(Skipped, QStringLiteral("%1: %2 samples without a usable value").arg(Log.Path).arg(dropped));
    return true;
}

void NormalizeCarotage(arofcarotagedata& Logs)
{
    for (carotagedata& log : Logs) {
        arofdoubleM values(log.Points.Length());
        for (int i = 0; i < log.Points.Length(); ++i)
            values[i] = log.Points[i].im;
        log.Mean = RobustMean(values);
    }
    // All shifts come from the means before any log moved.
    DynArray<double> shifts(Logs.Length());
    for (int i = 0; i < Logs.Length(); ++i) {
        const carotagedata& log = Logs[i];
        shifts[i] = 0.0;
        if ((log.Normalisation != 1 && log.Normalisation != 2) || log.Mean == MissingValue)
            continue;
        double sum = 0.0;
        int count = 0;
        for (const carotagedata& other : Logs)
            if (other.Group == log.Group && other.Mean != MissingValue) {
                sum += other.Mean;
                ++count;
            }
        shifts[i] = log.Mean - sum / count;
    }
    for (int i = 0; i < Logs.Length(); ++i) {
        carotagedata& log = Logs[i];
        if (shifts[i] == 0.0)
            continue;
        log.ValueMin -= shifts[i];
        log.ValueMax -= shifts[i];
        for (complexM& point : log.Points)
            point.im -= shifts[i];
        log.Mean -= shifts[i];
    }
}

arofcarotagedata ReadCarotageList(const QString& FileName, QStringList* Skipped)
{
    QList<QByteArray> lines;
    if (!ReadTextLines(FileName, lines))
        throw EReadError("Cannot read the well-log list " + FileName.toStdString());
    arofcarotagedata logs;
    for (qsizetype at = 0; at < lines.size(); at += 3) {
        carotagedata log;
        log.Path = ResolvedPath(FileName, lines[at]);
        if (log.Path.isEmpty() || !QFileInfo(log.Path).isFile()) {
            Note(Skipped, QStringLiteral("%1: no such log file").arg(QString::fromLocal8Bit(lines[at])));
            continue;
        }
        if (at + 2 >= lines.size()) {
            Note(Skipped, QStringLiteral("%1: the list ends before its number line").arg(log.Path));
            break;
        }
        log.Caption = QString::fromLocal8Bit(lines[at + 1]);
        if (!ReadNumberLine(lines[at + 2], log)) {
            Note(Skipped, QStringLiteral("%1: the number line needs seven numbers").arg(log.Path));
            continue;
        }
        if (!ReadCarotageData(log, Skipped)) {
            Note(Skipped, QStringLiteral("%1: cannot be read").arg(log.Path));
            continue;
        }
        if (log.Points.Length() < 2) {
            Note(Skipped, QStringLiteral("%1: fewer than two samples").arg(log.Path));
            continue;
        }
        logs.Add(std::move(log));
    }
    NormalizeCarotage(logs);
    return logs;
}

void CarotageDrawRange(const arofcarotagedata& Logs, int Index, double AxisMin, double AxisMax, double& Low,
                       double& High)
{
    const carotagedata& log = Logs[Index];
    Low = log.ValueMin;
    High = log.ValueMax;
    const double lo = std::min(AxisMin, AxisMax);
    const double hi = std::max(AxisMin, AxisMax);
    for (int i = 0; i < Logs.Length(); ++i) {
        const carotagedata& other = Logs[i];
        if (i == Index || other.Group != log.Group || other.Position < lo || other.Position > hi)
            continue;
        Low = std::min(Low, other.ValueMin);
        High = std::max(High, other.ValueMax);
    }
}

double CarotageBandX(const carotagedata& Log, double Value, double Low, double High)
{
    const double w = Log.BandRight - Log.BandLeft;
    const double span = High - Low;
    if (!(span > 0.0) || !std::isfinite(span))
        return Log.BandLeft + w / 2.0;
    return Log.BandLeft + w * (Value - Low) / span;
}

namespace {

constexpr int32_t NoCode = -1;

// The first sample k with depth[k] <= Depth <= depth[k + 1]; -1 when none.
int SampleAt(const arofcomplexM& Points, double Depth)
{
    for (int k = 0; k + 1 < Points.Length(); ++k)
        if (Points[k].re <= Depth && Depth <= Points[k + 1].re)
            return k;
    return -1;
}

// The code and colour of one picture row.
void RowCode(const carotagedata& Log, double Depth, int32_t& Code, TColor& Colour)
{
    Code = NoCode;
    Colour = static_cast<TColor>(Log.Colour);
    const int k = SampleAt(Log.Points, Depth);
    if (k < 0)
        return;
    const complexM& a = Log.Points[k];
    const complexM& b = Log.Points[k + 1];
    switch (Log.Kind) {
    case 1: // the first code column, interval by interval
        Code = Log.CodesA[k];
        break;
    case 2: // colour from the first column, code from the second, interpolated
        Colour = static_cast<TColor>(
            CodeOf(LinearInterpolate(a.re, Log.CodesA[k], b.re, Log.CodesA[k + 1], Depth), Log.Colour));
        Code = CodeOf(LinearInterpolate(a.re, Log.CodesB[k], b.re, Log.CodesB[k + 1], Depth), NoCode);
        break;
    case 3: // the second code column, interval by interval
        Code = Log.CodesB[k];
        break;
    default:
        break;
    }
}

void PaintRow(TCanvas& Canvas, int Row, int Width, int32_t Code, TColor Colour)
{
    TDeviceContext& dc = Canvas.Handle();
    const TRect row{0, Row, Width, Row + 1};
    if (Code >= 0 && Code <= 7) {
        Canvas.Brush().SetStyle(static_cast<TBrush::TBrushStyle>(Code));
        Canvas.Brush().SetColor(Colour);
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(clWhite);
        Canvas.FillRect(row);
    } else if (Code >= 8 && Code - 8 < PatternBitmapCount) {
        TBitmap pattern;
        LoadBrushStyleBitmap(Code - 8, pattern);
        Canvas.Brush().SetBitmap(&pattern);
        dc.SetBkMode(OPAQUE);
        dc.SetTextColor(Colour);
        dc.SetBkColor(clWhite);
        Canvas.FillRect(row);
        Canvas.Brush().SetBitmap(nullptr);
        Canvas.Brush().SetStyle(TBrush::bsSolid);
    } else {
        Canvas.MoveTo(0, Row);
        Canvas.LineTo(Width, Row);
    }
}

} // namespace

void PaintCarotagePicture(const carotagedata& Log, TBitmap& Bitmap)
{
    const int width = Bitmap.Width();
    const int height = Bitmap.Height();
    if (width <= 0 || height <= 0 || Log.Points.Length() < 2)
        return;
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush().SetStyle(TBrush::bsSolid);
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect({0, 0, width, height});
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetStyle(TPen::psSolid);
    canvas.Pen().SetWidth(1);
    const double first = Log.Points[0].re;
    const double last = Log.Points[Log.Points.High()].re;
    int32_t previous = NoCode;
    for (int r = 0; r < height; ++r) {
        const double depth = first + (last - first) * (r + 0.5) / height;
        int32_t code = NoCode;
        TColor colour = clBlack;
        RowCode(Log, depth, code, colour);
        PaintRow(canvas, r, width, code, colour);
        if (code != previous && r > 0) {
            // A boundary between coded intervals.
            canvas.Pen().SetColor(clBlack);
            canvas.MoveTo(0, r);
            canvas.LineTo(width, r);
        }
        previous = code;
    }
    canvas.Brush().SetStyle(TBrush::bsClear);
    canvas.Pen().SetColor(clBlack);
    canvas.Rectangle(0, 0, width, height);
    canvas.Font().SetName(QStringLiteral("Small fonts"));
    canvas.Font().SetSize(7);
    canvas.Font().SetColor(0xFF0000);
    canvas.Brush().SetStyle(TBrush::bsSolid);
    canvas.Brush().SetColor(0x00FFFF);
    canvas.Handle().SetBkMode(OPAQUE);
    canvas.Handle().SetBkColor(0x00FFFF);
    canvas.TextOut(1, 1, Log.Caption);
    Bitmap.SetTransparentColor(clWhite);
    Bitmap.SetTransparent(true);
}

// --- TCarotageOverlay -------------------------------------------------------------------------------

TCarotageOverlay::~TCarotageOverlay()
{
    // The chart frees the series and tools it owns when it goes first; while
    // it is alive they leave with the overlay.
    FreeSeries();
}

void TCarotageOverlay::FreeSeries()
{
    for (int i = Logs.High(); i >= 0; --i) {
        delete Logs[i].PictureTool; // owned by the chart; leaves it on destruction
        delete Logs[i].Series;
        Logs[i].PictureTool = nullptr;
        Logs[i].Series = nullptr;
    }
}

void TCarotageOverlay::ReadCarotage(const QString& FileName)
{
    FreeSeries();
    Logs.Clear();
    Skipped.clear();
    Logs = ReadCarotageList(FileName, &Skipped);
    BuildCarotageSeries();
}

void TCarotageOverlay::BuildCarotageSeries()
{
    for (carotagedata& log : Logs) {
        if (log.Kind < 0 || log.Kind > 3)
            continue;
        auto* series = new TLineSeries(&FChart);
        series->SetParentChart(&FChart);
        series->Marks()->SetVisible(false);
        // Small points: the curve's shape matters, not single samples.
        series->Pointer()->SetVisible(true);
        series->Pointer()->SetHorizSize(2);
        series->Pointer()->SetVertSize(2);
        // Samples stay in depth order: sorting by x would join them by value.
        series->XValues()->SetOrder(loNone);
        series->YValues()->SetOrder(loNone);
        series->SetHorizAxis(TChartSeries::aBottomAxis);
        series->SetVertAxis(TChartSeries::aLeftAxis);
        series->SetSeriesColor(static_cast<TColor>(log.Colour));
        log.Series = series;
        if (log.Kind == 0)
            continue;
        // The series only spans the picture: no line or points of its own.
        series->LinePen()->SetVisible(false);
        series->Pointer()->SetVisible(false);
        auto* tool = new TChartImageTool(&FChart);
        FChart.Tools().Add(tool);
        tool->SetSeries(series);
        log.PictureTool = tool;
    }
}

void TCarotageOverlay::DrawCurve(carotagedata& Log, double Low, double High)
{
    // Refilled on every call: the band moves and widens with the axis span.
    TLineSeries& series = *Log.Series;
    series.SetActive(true);
    series.Clear();
    for (int i = 0; i < Log.Points.Length(); ++i) {
        const complexM& sample = Log.Points[i];
        series.AddXY(CarotageBandX(Log, sample.im, Low, High), sample.re, i == 0 ? Log.Caption : QString(),
                     clDefault);
    }
}

void TCarotageOverlay::DrawPicture(carotagedata& Log)
{
    TLineSeries& series = *Log.Series;
    series.SetActive(true);
    series.Clear();
    series.AddXY(Log.BandLeft, Log.Points[0].re + Log.Extra);
    series.AddXY(Log.BandRight, Log.Points[Log.Points.High()].re + Log.Extra);
    TChartImageTool& tool = *Log.PictureTool;
    // Depth grows downwards on an inverted axis: the first row stays on top.
    tool.SetReverseVertical(FChart.LeftAxis()->Inverted());
    FChart.UpdateAxisScales();
    const TRect rect = tool.CalcImageRect();
    TBitmap bitmap;
    bitmap.SetPixelFormat(TBitmap::pf24bit);
    bitmap.SetSize(std::abs(rect.Right - rect.Left), std::abs(rect.Bottom - rect.Top));
    PaintCarotagePicture(Log, bitmap);
    tool.Picture()->SetGraphic(&bitmap);
}

void TCarotageOverlay::DrawCarotage(double AxisMax, double AxisMin)
{
    const double lo = std::min(AxisMin, AxisMax);
    const double hi = std::max(AxisMin, AxisMax);
    for (int i = 0; i < Logs.Length(); ++i) {
        carotagedata& log = Logs[i];
        if (!log.Series)
            continue;
        const bool inside = log.Position >= lo && log.Position <= hi;
        if (log.PictureTool)
            log.PictureTool->SetActive(inside);
        if (!inside) {
            // Off the section: neither curve nor picture is shown.
            log.Series->SetActive(false);
            continue;
        }
        const double half = std::abs(AxisMax - AxisMin) * log.HalfWidth / 100.0;
        log.BandLeft = log.Position - half;
        log.BandRight = log.Position + half;
        double low = 0.0;
        double high = 0.0;
        CarotageDrawRange(Logs, i, AxisMin, AxisMax, low, high);
        if (log.Kind == 0)
            DrawCurve(log, low, high);
        else
            DrawPicture(log);
    }
}

void TCarotageOverlay::Redraw()
{
    if (!Logs.Empty())
        DrawCarotage(FChart.BottomAxis()->Maximum(), FChart.BottomAxis()->Minimum());
}

} // namespace lp
