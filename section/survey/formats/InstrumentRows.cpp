#include "section/survey/formats/InstrumentRows.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/DataFileReading_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace lp::formats {

namespace {

// Electrodes closer than this (metres) are one.
constexpr double SamePlace = 1e-3;

} // namespace

bool IsRemoteCoordinate(double Value)
{
    const double size = std::fabs(Value);
    if (!(size < 99999.0))
        return true; // and infinite, nan are no place either
    for (double nines = 999.0; nines < 99999.0; nines = nines * 10.0 + 9.0)
        if (size == nines)
            return true;
    return false;
}

bool IsMeasuredValue(double Value)
{
    return std::isfinite(Value) && std::fabs(Value) < 1e30;
}

bool IsMissingCell(std::string_view Cell)
{
    const std::string_view cell = datafile::Trimmed(Cell);
    return cell.empty() || cell == "-";
}

std::optional<double> SignedNumber(std::string_view Cell)
{
    std::string_view cell = datafile::Trimmed(Cell);
    if (cell.starts_with('+'))
        cell.remove_prefix(1);
    if (cell.empty() || cell.front() == '+' || cell.front() == ' ')
        return std::nullopt;
    return datafile::RealNumber(cell);
}

std::optional<std::string_view> NextFilledLine(datafile::TTextLines& Lines)
{
    while (const std::optional<std::string_view> line = Lines.NextLine())
        if (!line->empty())
            return line;
    return std::nullopt;
}

std::vector<std::string_view> SeparatedCells(std::string_view Line, char Separator)
{
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (true) {
        const size_t end = Line.find(Separator, start);
        cells.push_back(datafile::Trimmed(Line.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos)
            return cells;
        start = end + 1;
    }
}

TInstrumentPlace NumberedPlace(int Number, int First)
{
    return {(static_cast<double>(Number) - static_cast<double>(First)) * NumberedSpacing, 0.0, 0.0};
}

std::string NumberedPlacesWarning()
{
    return "The file gives no electrode positions: the electrodes stand on a flat line " +
           FormatExactReal(NumberedSpacing) + " m apart in the order of their numbers.";
}

TInstrumentRows::TInstrumentRows(TDataFormat Format, std::string Title)
{
    FData.Format = Format;
    FData.Title = std::move(Title);
}

namespace {

// A place a row gives, with the row and the electrode's slot in it.
struct TUse {
    TInstrumentPlace At;
    size_t Row;
    int Slot;
    int Line;
};

// A distinct place of the file: where, and the line first placing it.
struct TPoint {
    TInstrumentPlace At;
    int Line;
    double Along = 0.0;  // distance along the line
    double Across = 0.0; // distance across it (signed)
};

[[noreturn]] void FailAt(int Line, const std::string& What)
{
    throw EDataFileError("Line " + std::to_string(Line) + ": " + What + ".");
}

std::string PlaceText(const TInstrumentPlace& At)
{
    return "(" + FormatExactReal(At.x) + ", " + FormatExactReal(At.y) + ")";
}

// The distinct places of the rows (within SamePlace), and per row and slot
// the place's number (-1 at infinity).
std::vector<TPoint> DistinctPlaces(const std::vector<TInstrumentRow>& Rows, std::vector<std::array<int, 4>>& Numbers)
{
    std::vector<TUse> uses;
    for (size_t r = 0; r < Rows.size(); ++r)
        for (int slot = 0; slot < 4; ++slot)
            if (const std::optional<TInstrumentPlace>& at = Rows[r].Places[static_cast<size_t>(slot)])
                uses.push_back({*at, r, slot, Rows[r].Line});
    std::sort(uses.begin(), uses.end(), [](const TUse& p, const TUse& q) {
        return std::tie(p.At.x, p.At.y, p.At.z, p.Line) < std::tie(q.At.x, q.At.y, q.At.z, q.Line);
    });
    std::vector<TPoint> points;
    Numbers.assign(Rows.size(), {-1, -1, -1, -1});
    for (const TUse& use : uses) {
        // Points are added in order of x: look back over those near in x.
        int found = -1;
        for (size_t p = points.size(); p-- > 0;) {
            const TInstrumentPlace& at = points[p].At;
            if (use.At.x - at.x > SamePlace)
                break;
            if (std::fabs(use.At.y - at.y) <= SamePlace && std::fabs(use.At.z - at.z) <= SamePlace) {
                found = static_cast<int>(p);
                break;
            }
        }
        if (found < 0) {
            found = static_cast<int>(points.size());
            points.push_back({use.At, use.Line});
        }
        TPoint& point = points[static_cast<size_t>(found)];
        point.Line = std::min(point.Line, use.Line);
        Numbers[use.Row][static_cast<size_t>(use.Slot)] = found;
    }
    return points;
}

// A straight line in x-y: through (Cx, Cy) along the unit (Ux, Uy), Ux >= 0.
struct TStraightLine {
    double Cx = 0.0, Cy = 0.0, Ux = 1.0, Uy = 0.0;
    double Across(const TInstrumentPlace& At) const { return (At.x - Cx) * Uy - (At.y - Cy) * Ux; }
    double Along(const TInstrumentPlace& At) const { return (At.x - Cx) * Ux + (At.y - Cy) * Uy; }
};

// The line of least squares through the points (their main axis), all but
// the one Left Out (none: SIZE_MAX), pointing to rising x.
TStraightLine FittedLine(const std::vector<TPoint>& Points, size_t LeftOut)
{
    TStraightLine line;
    const double count = static_cast<double>(Points.size() - (LeftOut < Points.size() ? 1 : 0));
    for (size_t p = 0; p < Points.size(); ++p)
        if (p != LeftOut)
            line.Cx += Points[p].At.x / count, line.Cy += Points[p].At.y / count;
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (size_t p = 0; p < Points.size(); ++p)
        if (p != LeftOut) {
            const double dx = Points[p].At.x - line.Cx, dy = Points[p].At.y - line.Cy;
            sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
        }
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    line.Ux = std::cos(angle), line.Uy = std::sin(angle);
    if (line.Ux < 0.0 || (line.Ux == 0.0 && line.Uy < 0.0))
        line.Ux = -line.Ux, line.Uy = -line.Uy;
    return line;
}

// The point farthest from the line, but the one left out.
size_t Farthest(const std::vector<TPoint>& Points, const TStraightLine& Line, size_t LeftOut)
{
    size_t farthest = LeftOut == 0 ? 1 : 0;
    for (size_t p = 0; p < Points.size(); ++p)
        if (p != LeftOut && std::fabs(Line.Across(Points[p].At)) > std::fabs(Line.Across(Points[farthest].At)))
            farthest = p;
    return farthest;
}

// The median distance (x-y) from a point to its nearest neighbour: the
// electrode spacing, whatever the line's direction.
double NearestSpacing(const std::vector<TPoint>& Points)
{
    std::vector<TInstrumentPlace> at;
    for (const TPoint& p : Points)
        at.push_back(p.At);
    std::sort(at.begin(), at.end(), [](const TInstrumentPlace& p, const TInstrumentPlace& q) { return p.x < q.x; });
    std::vector<double> nearest;
    for (size_t i = 0; i < at.size(); ++i) {
        double best = std::numeric_limits<double>::infinity();
        for (size_t j = i + 1; j < at.size() && at[j].x - at[i].x < best; ++j)
            best = std::min(best, std::hypot(at[j].x - at[i].x, at[j].y - at[i].y));
        for (size_t j = i; j-- > 0 && at[i].x - at[j].x < best;)
            best = std::min(best, std::hypot(at[j].x - at[i].x, at[j].y - at[i].y));
        if (std::isfinite(best) && best > 0.0)
            nearest.push_back(best);
    }
    if (nearest.empty())
        return 0.0;
    std::nth_element(nearest.begin(), nearest.begin() + static_cast<long>(nearest.size() / 2), nearest.end());
    return nearest[nearest.size() / 2];
}

// Each point's distance along the line. Along x when every y is the same,
// along y when every x is; else along the fitted line from its first
// point. An electrode more than a spacing off a line through all the others
// is refused as off the line; points that no such line holds are a 3-D
// survey, refused; electrodes a little off the line are named in a warning.
void PlaceAlongLine(std::vector<TPoint>& Points, std::vector<std::string>& Warnings)
{
    if (Points.empty())
        return;
    const auto [minX, maxX] = std::minmax_element(Points.begin(), Points.end(),
                                                  [](const TPoint& p, const TPoint& q) { return p.At.x < q.At.x; });
    const auto [minY, maxY] = std::minmax_element(Points.begin(), Points.end(),
                                                  [](const TPoint& p, const TPoint& q) { return p.At.y < q.At.y; });
    if (maxY->At.y - minY->At.y <= SamePlace || maxX->At.x - minX->At.x <= SamePlace) {
        const bool alongX = maxY->At.y - minY->At.y <= SamePlace;
        for (TPoint& p : Points)
            p.Along = alongX ? p.At.x : p.At.y;
        return;
    }
    constexpr size_t none = std::numeric_limits<size_t>::max();
    const TStraightLine line = FittedLine(Points, none);
    const double spacing = NearestSpacing(Points);
    const size_t farthest = Farthest(Points, line, none);
    if (Points.size() > 2 && std::fabs(line.Across(Points[farthest].At)) > spacing) {
        // One electrode off a line that holds all the others (a remote at a
        // real place), or no line at all.
        for (size_t p = 0; p < Points.size(); ++p) {
            const TStraightLine others = FittedLine(Points, p);
            if (std::fabs(others.Across(Points[Farthest(Points, others, p)].At)) <= spacing)
                FailAt(Points[p].Line, "the electrode at x, y " + PlaceText(Points[p].At) + " stands " +
                                           FormatExactReal(std::fabs(others.Across(Points[p].At))) +
                                           " m off the straight line of the others: only electrodes on the line are "
                                           "modelled (a remote electrode off the line is not yet)");
        }
        FailAt(Points[farthest].Line, "a 3-D survey, not a line: the electrodes do not stand on one straight line (the "
                                      "one at x, y " + PlaceText(Points[farthest].At) + " stands " +
                                      FormatExactReal(std::fabs(line.Across(Points[farthest].At))) +
                                      " m off the best line, the spacing being " + FormatExactReal(spacing) + " m)");
    }
    double first = std::numeric_limits<double>::infinity();
    for (TPoint& p : Points) {
        p.Along = line.Along(p.At);
        p.Across = line.Across(p.At);
        first = std::min(first, p.Along);
    }
    for (TPoint& p : Points)
        p.Along -= first;
    const long off = std::count_if(Points.begin(), Points.end(),
                                   [&](const TPoint& p) { return std::fabs(p.Across) > 0.1 * spacing; });
    if (off > 0)
        Warnings.push_back(std::to_string(off) + (off == 1 ? " electrode lies" : " electrodes lie") +
                           " more than a tenth of a spacing off the straight line through the electrodes (the "
                           "farthest, first placed on line " + std::to_string(Points[farthest].Line) + ", by " +
                           FormatExactReal(std::fabs(Points[farthest].Across)) +
                           " m): the distance along the line is used.");
}

} // namespace

TMeasuredData TInstrumentRows::Data()
{
    std::vector<std::array<int, 4>> pointNumbers;
    std::vector<TPoint> points = DistinctPlaces(FRows, pointNumbers);
    PlaceAlongLine(points, FData.Warnings);

    // The electrodes in order along the line; points at one place along it
    // (within SamePlace, elevation too) are one electrode.
    std::vector<size_t> order(points.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        return std::tie(points[i].Along, points[i].At.z) < std::tie(points[j].Along, points[j].At.z);
    });
    std::vector<int> electrodeOf(points.size(), -1);
    for (size_t i : order) {
        const TPoint& p = points[i];
        int found = -1;
        for (size_t e = FData.Electrodes.size(); e-- > 0;) {
            if (p.Along - FData.Electrodes[e].x > SamePlace)
                break;
            if (std::fabs(p.At.z - FData.Electrodes[e].z) <= SamePlace) {
                found = static_cast<int>(e);
                break;
            }
        }
        if (found < 0) {
            found = static_cast<int>(FData.Electrodes.size());
            FData.Electrodes.push_back({p.Along, p.At.z});
            FData.ElectrodeLines.push_back(p.Line);
        }
        int& line = FData.ElectrodeLines[static_cast<size_t>(found)];
        line = std::min(line, p.Line);
        electrodeOf[i] = found;
    }
    FData.HasElevations = std::any_of(FData.Electrodes.begin(), FData.Electrodes.end(),
                                      [](const TElectrode& e) { return e.z != 0.0; });

    // A chargeability column of zeros only is a file without IP.
    const bool chargeabilities = std::any_of(FRows.begin(), FRows.end(), [](const TInstrumentRow& row) {
        return std::isfinite(row.Chargeability) && row.Chargeability != 0.0;
    });
    for (size_t r = 0; r < FRows.size(); ++r) {
        const TInstrumentRow& row = FRows[r];
        std::array<int, 4> e{};
        for (size_t slot = 0; slot < 4; ++slot) {
            const int point = pointNumbers[r][slot];
            e[slot] = point < 0 ? -1 : electrodeOf[static_cast<size_t>(point)];
        }
        datafile::TMeasuredValues values;
        if (std::isfinite(row.Resistance))
            values.Resistance = row.Resistance;
        else
            values.Resistivity = row.Resistivity;
        if (chargeabilities)
            values.Chargeability = row.Chargeability / datafile::MillivoltsPerVoltPerPercent;
        values.Voltage = row.Voltage;
        datafile::AddMeasuredDatum(FData, {e[0], e[1], e[2], e[3]}, values, row.Line);
    }
    datafile::DropAbsentLists(FData);
    std::sort(FData.Skipped.UnmeasuredLines.begin(), FData.Skipped.UnmeasuredLines.end());
    return std::move(FData);
}

} // namespace lp::formats
