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
#include "platform/graphics/DrawingLimits.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

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
        // A word that is no number is not the missing value's mark either:
        // nan, which every use below refuses as not finite.
        double value = std::numeric_limits<double>::quiet_NaN();
        if (!TryTextToReal(word, value))
            value = std::numeric_limits<double>::quiet_NaN();
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
    Log.Lines.clear();
    Log.UnusableValues.clear();
    int32_t codeA = -1;
    int32_t codeB = -1;
    int dropped = 0;
    for (int l = 0; l < static_cast<int>(lines.size()); ++l) {
        const arofdoubleM numbers = NumbersOf(lines[l]);
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
            // A value there that is no number, or none a log scale takes:
            // kept for a use that must refuse it (WellLogOf).
            if (std::isfinite(depth) && depth != MissingValue && value != MissingValue)
                Log.UnusableValues.push_back({l + 1, value});
            continue;
        }
        Log.Lines.push_back(l + 1);
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

// The pattern bitmaps of codes 8 and up, each built on its first use in a
// picture and kept for the rest of it.
class TPatternCache {
public:
    TBitmap& Pattern(int Index)
    {
        std::unique_ptr<TBitmap>& pattern = FPatterns[static_cast<size_t>(Index)];
        if (!pattern) {
            pattern = std::make_unique<TBitmap>();
            LoadBrushStyleBitmap(Index, *pattern);
        }
        return *pattern;
    }

private:
    std::array<std::unique_ptr<TBitmap>, PatternBitmapCount> FPatterns;
};

void PaintRow(TCanvas& Canvas, TPatternCache& Patterns, int Row, int Width, int32_t Code, TColor Colour)
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
        Canvas.Brush().SetBitmap(&Patterns.Pattern(Code - 8));
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
    if (Log.Points.Length() < 2)
        return;
    PaintCarotagePicture(Log, Bitmap, TCarotageWindow{Log.Points[0].re, Log.Points[Log.Points.High()].re});
}

void PaintCarotagePicture(const carotagedata& Log, TBitmap& Bitmap, const TCarotageWindow& Window)
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
    const double top = Window.TopDepth;
    const double span = Window.BottomDepth - top;
    const auto CodeOfRow = [&](int Row, TColor& Colour) {
        int32_t code = NoCode;
        Colour = clBlack;
        RowCode(Log, top + span * (Row + 0.5) / height, code, Colour);
        return code;
    };
    TPatternCache patterns;
    TColor colour = clBlack;
    // Above a cut top edge lies the row that decides the first boundary.
    int32_t previous = Window.TopEdge ? NoCode : CodeOfRow(-1, colour);
    for (int r = 0; r < height; ++r) {
        const int32_t code = CodeOfRow(r, colour);
        PaintRow(canvas, patterns, r, width, code, colour);
        if (code != previous && (r > 0 || !Window.TopEdge)) {
            // A boundary between coded intervals.
            canvas.Pen().SetColor(clBlack);
            canvas.MoveTo(0, r);
            canvas.LineTo(width, r);
        }
        previous = code;
    }
    // The frame's cut edges lie just outside the bitmap.
    canvas.Brush().SetStyle(TBrush::bsClear);
    canvas.Pen().SetColor(clBlack);
    canvas.Rectangle(Window.LeftEdge ? 0 : -1, Window.TopEdge ? 0 : -1, Window.RightEdge ? width : width + 1,
                     Window.BottomEdge ? height : height + 1);
    if (Window.TopEdge && Window.LeftEdge) {
        canvas.Font().SetName(QStringLiteral("Small fonts"));
        canvas.Font().SetSize(7);
        canvas.Font().SetColor(0xFF0000);
        canvas.Brush().SetStyle(TBrush::bsSolid);
        canvas.Brush().SetColor(0x00FFFF);
        canvas.Handle().SetBkMode(OPAQUE);
        canvas.Handle().SetBkColor(0x00FFFF);
        canvas.TextOut(1, 1, Log.Caption);
    }
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

namespace {

// A skip note as a message line: a list of random bytes makes notes of
// whatever its lines hold. A long note is cut in the middle, so that the
// reason at its end still shows.
QString MessageLine(const QString& Note)
{
    constexpr qsizetype Longest = 80;
    constexpr qsizetype Tail = 25;
    QString line = Note.size() > Longest ? Note.left(Longest - Tail - 3) + QStringLiteral("...") + Note.right(Tail)
                                         : Note;
    for (QChar& c : line)
        if (!c.isPrint() || c == QChar::ReplacementCharacter)
            c = QLatin1Char('?');
    return line;
}

// Names the list and gives the first reasons its groups were left out.
std::string NoLogMessage(const QString& FileName, const QStringList& Skipped)
{
    QString text = QStringLiteral("No well log could be read from %1.").arg(QDir::toNativeSeparators(FileName));
    if (Skipped.isEmpty())
        text += QStringLiteral("\nThe list names no log.");
    constexpr qsizetype Shown = 3;
    for (qsizetype i = 0; i < Skipped.size() && i < Shown; ++i)
        text += QLatin1Char('\n') + MessageLine(Skipped[i]);
    if (Skipped.size() > Shown)
        text += QStringLiteral("\n(and %1 more)").arg(Skipped.size() - Shown);
    return text.toStdString();
}

} // namespace

void TCarotageOverlay::ReadCarotage(const QString& FileName)
{
    FreeSeries();
    Logs.Clear();
    Skipped.clear();
    Logs = ReadCarotageList(FileName, &Skipped);
    // A list of which nothing could be used is a failed read, not an empty
    // overlay drawn without a word.
    if (Logs.Length() == 0)
        throw EReadError(NoLogMessage(FileName, Skipped));
    BuildCarotageSeries();
}

void TCarotageOverlay::Clear()
{
    FreeSeries();
    Logs.Clear();
    Skipped.clear();
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
    TChartImageTool& tool = *Log.PictureTool;
    series.SetActive(true);
    series.Clear();
    // Depth grows downwards on an inverted axis: the smaller depth is on top.
    const bool smallerOnTop = FChart.LeftAxis()->Inverted();
    tool.SetReverseVertical(smallerOnTop);
    // The picture covers only the part of the band and the depth span the
    // plot shows: a log thousands of times deeper than the section must not
    // cost a bitmap and a painted row for every pixel of its whole span.
    // Depths here are the log's own; the picture lies Extra lower.
    const double first = Log.Points[0].re;
    const double last = Log.Points[Log.Points.High()].re;
    const double depthLow = std::min(first, last);
    const double depthHigh = std::max(first, last);
    // Automatic axes take in the whole log, as they always did.
    series.AddXY(Log.BandLeft, first + Log.Extra);
    series.AddXY(Log.BandRight, last + Log.Extra);
    FChart.UpdateAxisScales();
    series.Clear();
    const TChartAxis& depthAxis = *FChart.LeftAxis();
    const double shownLow = std::max(depthLow, std::min(depthAxis.Minimum(), depthAxis.Maximum()) - Log.Extra);
    const double shownHigh = std::min(depthHigh, std::max(depthAxis.Minimum(), depthAxis.Maximum()) - Log.Extra);
    const TChartAxis& wellAxis = *FChart.BottomAxis();
    const double bandLow = std::min(Log.BandLeft, Log.BandRight);
    const double bandHigh = std::max(Log.BandLeft, Log.BandRight);
    const double left = std::max(bandLow, std::min(wellAxis.Minimum(), wellAxis.Maximum()));
    const double right = std::min(bandHigh, std::max(wellAxis.Minimum(), wellAxis.Maximum()));
    if (!(shownLow < shownHigh) || !(left < right)) {
        tool.Picture()->SetGraphic(nullptr);
        return;
    }
    series.AddXY(left, shownLow + Log.Extra);
    series.AddXY(right, shownHigh + Log.Extra);
    FChart.UpdateAxisScales();
    const TRect rect = tool.CalcImageRect();
    const long long width = std::llabs(static_cast<long long>(rect.Right) - rect.Left);
    const long long height = std::llabs(static_cast<long long>(rect.Bottom) - rect.Top);
    if (width == 0 || height == 0) {
        tool.Picture()->SetGraphic(nullptr);
        return;
    }
    // The picture's first row lies at the depth the tool puts on top.
    TCarotageWindow window;
    window.TopDepth = smallerOnTop ? shownLow : shownHigh;
    window.BottomDepth = smallerOnTop ? shownHigh : shownLow;
    window.TopEdge = smallerOnTop ? shownLow == depthLow : shownHigh == depthHigh;
    window.BottomEdge = smallerOnTop ? shownHigh == depthHigh : shownLow == depthLow;
    window.LeftEdge = left == bandLow;
    window.RightEdge = right == bandHigh;
    TBitmap bitmap;
    bitmap.SetPixelFormat(TBitmap::pf24bit);
    CheckBitmapSize(width, height);
    bitmap.SetSize(static_cast<int>(width), static_cast<int>(height));
    PaintCarotagePicture(Log, bitmap, window);
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
