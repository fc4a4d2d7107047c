// The section chart's line modes: drawing, editing and deleting free lines,
// and new bodies from the band between two lines.
//
// Line points are plain coordinates: lines share nothing with the node table
// and have no roll-back copy, so every line edit changes Lines at once and
// only the undo history can take it back. A line's series always shows its
// points in drawing order (unsorted value lists), so series point i is line
// point i.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>

namespace lp {

namespace {

constexpr TColor LineColor = 0x0000FF; // red
constexpr int LinePointerSize = 2;
// Pick tolerances in pixels: a line point within (not more than) 7, a line
// segment closer than 4.
constexpr double LinePointTolerance = 7.0;
constexpr double LineSegmentTolerance = 4.0;
// A new line point closer than this to an end of its segment (model units,
// as the nodes of the model) would coincide with it.
constexpr double LineEndDistance = 1e-4;

// Shows every point of the line again (the series is cleared first).
void RefillLineSeries(line& Record)
{
    if (Record.series == nullptr)
        return;
    Record.series->Clear();
    for (const complexM& point : Record.points)
        Record.series->AddXY(point.re, point.im, QString(), clPlotColor);
}

// True when series point i is line point i for every point.
bool SeriesMatchesPoints(const line& Record)
{
    return Record.series != nullptr && Record.series->Count() == Record.points.Length();
}

// Removes point Index and, when the line has a value for it, that value, so
// the later values stay with their points.
void DeleteLinePoint(line& Record, int Index)
{
    const bool seriesInStep = SeriesMatchesPoints(Record);
    Record.points.Delete(Index);
    if (Index < Record.values.Length())
        Record.values.Delete(Index);
    if (seriesInStep)
        Record.series->Delete(Index);
    else
        RefillLineSeries(Record);
}

// The value of a point inserted into segment (Segment, Segment + 1): linear
// along the segment between the two neighbours' values, MissingValue when
// either neighbour has none.
double InsertedValue(const line& Record, int Segment, const complexM& Point)
{
    const arofdoubleM& values = Record.values;
    if (Segment + 1 >= values.Length())
        return MissingValue;
    const double va = values[Segment];
    const double vb = values[Segment + 1];
    if (va == MissingValue || vb == MissingValue)
        return MissingValue;
    const complexM& a = Record.points[Segment];
    const complexM& b = Record.points[Segment + 1];
    const double length = PlainDistance(a, b);
    const double t = length > 0.0 ? std::clamp(PlainDistance(a, Point) / length, 0.0, 1.0) : 0.0;
    return va + (vb - va) * t;
}

// Inserts Point as point Segment + 1; a line with values for the points up
// to Segment gets a value there too, so the later values stay with their
// points.
void InsertLinePoint(line& Record, int Segment, const complexM& Point)
{
    const int position = Segment + 1;
    if (position <= Record.values.Length())
        Record.values.Insert(position, InsertedValue(Record, Segment, Point));
    Record.points.Insert(position, Point);
    RefillLineSeries(Record);
}

// A copy of the points ordered by ascending x; equal x values keep their
// order.
arofcomplexM SortedByX(const arofcomplexM& Points)
{
    arofcomplexM sorted = Points;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const complexM& a, const complexM& b) { return a.re < b.re; });
    return sorted;
}

// The first line's sorted points forward, then the second's backward.
arofcomplexM BandOutline(const arofcomplexM& First, const arofcomplexM& Second)
{
    arofcomplexM outline = First;
    for (int i = Second.High(); i >= 0; --i)
        outline.Add(Second[i]);
    return outline;
}

double LargestX(const arofcomplexM& Sorted)
{
    return Sorted.Last().re;
}

double SmallestX(const arofcomplexM& Sorted)
{
    return Sorted[0].re;
}

// Cuts a sorted copy to [Left, Right]: from its first point right of Right
// on, and up to and including its last point left of Left.
void CutToRange(arofcomplexM& Sorted, double Left, double Right)
{
    int end = 0;
    while (end < Sorted.Length() && Sorted[end].re <= Right)
        ++end;
    Sorted.SetLength(end);
    int lastLeft = -1;
    for (int i = 0; i < Sorted.Length(); ++i)
        if (Sorted[i].re < Left)
            lastLeft = i;
    Sorted.Items().erase(Sorted.begin(), Sorted.begin() + (lastLeft + 1));
}

} // namespace

// --- Picks -----------------------------------------------------------------------------

bool TPolygonChart::LinePointPicked() const
{
    return PickLine >= 0 && PickLine < Lines.Length() && PickLinePoint >= 0 &&
           PickLinePoint < Lines[PickLine].points.Length();
}

bool TPolygonChart::LineSegmentPicked() const
{
    return PickLine >= 0 && PickLine < Lines.Length() && PickLinePoint >= 0 &&
           PickLinePoint + 1 < Lines[PickLine].points.Length();
}

void TPolygonChart::PickNearestLinePoint(double X, double Y, bool HoverSetsEditing)
{
    const complexM cursor{X, Y};
    double plain = 0.0;
    double scaled = 0.0;
    FindNearestLinePoint(cursor, Lines, plain, PickLine, PickLinePoint, ScaleX, ScaleY, scaled);
    EditPathSeries->Clear();
    const bool within = PickLine >= 0 && scaled <= LinePointTolerance;
    if (within) {
        const complexM& point = Lines[PickLine].points[PickLinePoint];
        EditPathSeries->AddXY(point.re, point.im, QString(), clPlotColor);
        EditPathSeries->AddXY(X, Y, QString(), clPlotColor);
    } else {
        PickLine = -1;
    }
    if (HoverSetsEditing)
        Editing = within;
}

void TPolygonChart::PickNearestLineSegment(double X, double Y)
{
    Editing = true;
    double distance = 0.0;
    FindNearestLineSegment(complexM{X, Y}, Lines, distance, PickLine, PickLinePoint, ScaleX, ScaleY);
    EditPathSeries->Clear();
    if (PickLine >= 0 && distance < LineSegmentTolerance) {
        const arofcomplexM& points = Lines[PickLine].points;
        for (int i = PickLinePoint; i <= PickLinePoint + 1; ++i)
            EditPathSeries->AddXY(points[i].re, points[i].im, QString(), clPlotColor);
    } else {
        PickLine = -1;
    }
}

void TPolygonChart::PutHeldLineBack()
{
    const bool held = Editing && FHeldLine >= 0 && FHeldLine < Lines.Length() &&
                      FHeldLinePoints.Length() == Lines[FHeldLine].points.Length();
    if (held) {
        Lines[FHeldLine].points = FHeldLinePoints;
        RefillLineSeries(Lines[FHeldLine]);
    }
    FHeldLine = -1;
    FHeldLinePoints.Clear();
}

// --- Polygons from two lines -------------------------------------------------------

bool TPolygonChart::PolygonFromLinesA(int First, int Second)
{
    const arofcomplexM first = SortedByX(Lines[First].points);
    const arofcomplexM second = SortedByX(Lines[Second].points);
    return DoAddPolygon(BandOutline(first, second));
}

bool TPolygonChart::PolygonFromLinesB(int First, int Second)
{
    arofcomplexM first = SortedByX(Lines[First].points);
    arofcomplexM second = SortedByX(Lines[Second].points);
    if (first.Empty() || second.Empty())
        return DoAddPolygon({});
    const double right = std::min(LargestX(first), LargestX(second));
    const double left = std::max(SmallestX(first), SmallestX(second));
    CutToRange(first, left, right);
    CutToRange(second, left, right);
    return DoAddPolygon(BandOutline(first, second));
}

// --- The modes -----------------------------------------------------------------------

bool TPolygonChart::EditStepLineModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    bool result = false;
    // Phase 0 is a press, 1 a move; any other phase is no mouse event.
    if (Phase != 0 && Phase != 1)
        return false;
    switch (Mode) {
    case pmAddLine:
        if (Phase == 0) {
            // A left click adds a point; a right click ends the line with the
            // points drawn, adding none where the cursor is (wherever it is).
            if (!Right) {
                if (!(X > ModelArea.left && X < ModelArea.right && Y > ModelArea.top && Y < ModelArea.bottom))
                    break;
                DrawnPoints.Add(complexM{X, Y});
                EditPathSeries->AddXY(X, Y, QString(), clPlotColor);
                Editing = true;
                RubberBandSeries->Clear();
                if (DrawnPoints.Length() > 1) {
                    RubberBandSeries->AddXY(X, Y, QString(), clPlotColor);
                    RubberBandSeries->AddXY(X, Y, QString(), clPlotColor);
                }
                break;
            }
            RubberBandSeries->Clear();
            if (DrawnPoints.Empty())
                break;
            line record;
            record.points = DrawnPoints;
            auto* series = new TLineSeries(this); // owned by the chart, noted in the line
            series->SetSeriesColor(LineColor);
            TSeriesPointer& pointer = *series->Pointer();
            pointer.SetVisible(true);
            pointer.SetHorizSize(LinePointerSize);
            pointer.SetVertSize(LinePointerSize);
            series->XValues()->SetOrder(loNone);
            series->YValues()->SetOrder(loNone);
            series->SetParentChart(this);
            if (!DefaultLineSettings().isEmpty()) {
                try {
                    SeriesSettingsFromText(series, DefaultLineSettings());
                } catch (const Exception&) {
                    // Settings that cannot be applied leave the standard
                    // look; the drawn line is what matters.
                }
            }
            record.appearance = SeriesSettingsToText(series).toStdString();
            for (const complexM& point : DrawnPoints)
                series->AddXY(point.re, point.im, QString(), clPlotColor);
            record.series = series;
            Lines.Add(std::move(record));
            EditPathSeries->Clear();
            RubberBandSeries->Clear();
            DrawnPoints.Clear();
            result = true;
        } else if (RubberBandSeries->Count() >= 2) {
            RubberBandSeries->XValues()->SetValue(1, X);
            RubberBandSeries->YValues()->SetValue(1, Y);
            // Setting values does not invalidate the chart's buffered picture.
            RubberBandSeries->Repaint();
        }
        break;

    case pmDeleteLineNode:
        if (Phase == 1) {
            PickNearestLinePoint(X, Y, true);
        } else if (Right && LinePointPicked() && Lines[PickLine].points.Length() >= 3) {
            DeleteLinePoint(Lines[PickLine], PickLinePoint);
            result = true;
        }
        break;

    case pmMoveLineNode:
    case pmMoveLine:
        if (Phase == 0) {
            if (!LinePointPicked())
                break;
            if (!Right && !Editing) {
                Editing = true; // picked up
                FHeldLine = PickLine;
                FHeldLinePoints = Lines[PickLine].points;
            } else if (Right && Editing) {
                PickLine = -1;
                FHeldLine = -1;
                Editing = false; // dropped where it is
                result = true;
            }
        } else if (!Editing) {
            PickNearestLinePoint(X, Y, false);
        } else {
            if (LinePointPicked()) {
                line& record = Lines[PickLine];
                const bool seriesInStep = SeriesMatchesPoints(record);
                if (Mode == pmMoveLineNode) {
                    record.points[PickLinePoint] = complexM{X, Y};
                    if (seriesInStep) {
                        record.series->XValues()->SetValue(PickLinePoint, X);
                        record.series->YValues()->SetValue(PickLinePoint, Y);
                    }
                } else {
                    // The line shifts vertically so that the picked point
                    // follows the cursor's y; x values stay.
                    const double dy = record.points[PickLinePoint].im - Y;
                    for (int i = 0; i < record.points.Length(); ++i) {
                        record.points[i].im -= dy;
                        if (seriesInStep)
                            record.series->YValues()->SetValue(i, record.points[i].im);
                    }
                }
                if (!seriesInStep)
                    RefillLineSeries(record);
            }
            EditPathSeries->Clear();
        }
        break;

    case pmAddLineNode:
        if (Phase == 1) {
            PickNearestLineSegment(X, Y);
        } else if (Right && LineSegmentPicked()) {
            line& record = Lines[PickLine];
            complexM point{X, Y};
            const complexM& a = record.points[PickLinePoint];
            const complexM& b = record.points[PickLinePoint + 1];
            SnapPointToSegment(point, ScaleX, ScaleY, a, b);
            // A point snapped onto an end would be a second point there.
            if (PlainDistance(point, a) < LineEndDistance || PlainDistance(point, b) < LineEndDistance)
                break;
            InsertLinePoint(record, PickLinePoint, point);
            result = true;
        }
        break;

    case pmDeleteLine:
        if (Phase == 1) {
            PickNearestLineSegment(X, Y);
        } else if (Right && PickLine >= 0 && PickLine < Lines.Length()) {
            delete Lines[PickLine].series; // owned by the chart
            Lines[PickLine].series = nullptr;
            Lines.Delete(PickLine);
            PickLine = -1; // the index now names the next line
            result = true;
        }
        break;

    case pmPolygonFromLinesA:
    case pmPolygonFromLinesB:
        if (Phase == 1) {
            PickNearestLineSegment(X, Y);
        } else if (!Right) {
            if (PickLine < 0)
                break;
            PickNearestLineSegment(X, Y);
            if (!LineSegmentPicked())
                break;
            FirstLine = PickLine;
            FirstLineSegment = PickLinePoint;
            // Only the chosen line's segment is marked.
            RubberBandSeries->Clear();
            const arofcomplexM& points = Lines[FirstLine].points;
            for (int i = FirstLineSegment; i <= FirstLineSegment + 1; ++i)
                RubberBandSeries->AddXY(points[i].re, points[i].im, QString(), clPlotColor);
        } else {
            if (FirstLine < 0 || FirstLine >= Lines.Length())
                break;
            PickNearestLineSegment(X, Y);
            if (!LineSegmentPicked() || PickLine == FirstLine)
                break;
            result = Mode == pmPolygonFromLinesA ? PolygonFromLinesA(FirstLine, PickLine)
                                                 : PolygonFromLinesB(FirstLine, PickLine);
            RubberBandSeries->Clear();
            PickLine = -1;
            FirstLine = -1;
        }
        break;

    default:
        break;
    }
    return result;
}

} // namespace lp
