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

// Electrodes off the line read as remotes: at most pole-pole's two (B and
// N), with at least this many on the line (pole-dipole's A, M and N).
constexpr size_t MaxRemotes = 2;
constexpr size_t MinLineElectrodes = 3;

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

std::optional<double> DecimalNumber(std::string_view Cell)
{
    std::string cell(Cell);
    std::replace(cell.begin(), cell.end(), ',', '.');
    return SignedNumber(cell);
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long Year, int Month, int Day)
{
    Year -= Month <= 2;
    const long long era = (Year >= 0 ? Year : Year - 399) / 400;
    const long long yearOfEra = Year - era * 400;
    const long long dayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The digits of Text as a whole number; none unless Text is 1 .. 9 digits.
std::optional<int> Digits(std::string_view Text)
{
    if (Text.empty() || Text.size() > 9 || !std::all_of(Text.begin(), Text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    for (char c : Text)
        value = 10 * value + (c - '0');
    return value;
}

// Text split at any of Separators.
std::vector<std::string_view> Parts(std::string_view Text, std::string_view Separators)
{
    std::vector<std::string_view> parts;
    size_t begin = 0;
    for (size_t i = 0; i <= Text.size(); ++i)
        if (i == Text.size() || Separators.find(Text[i]) != std::string_view::npos) {
            parts.push_back(Text.substr(begin, i - begin));
            begin = i + 1;
        }
    return parts;
}

std::string_view Trimmed(std::string_view Text)
{
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
        Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t' || Text.back() == '\r'))
        Text.remove_suffix(1);
    return Text;
}

} // namespace

std::optional<double> DateTimeSeconds(std::string_view Date, std::string_view Time)
{
    Date = Trimmed(Date);
    Time = Trimmed(Time);
    if (Time.empty())
        if (const size_t split = Date.find_first_of("T "); split != std::string_view::npos) {
            Time = Trimmed(Date.substr(split + 1));
            Date = Date.substr(0, split);
        }
    std::optional<int> year, month, day;
    if (Date.size() == 8 && Digits(Date)) {
        year = Digits(Date.substr(0, 4));
        month = Digits(Date.substr(4, 2));
        day = Digits(Date.substr(6, 2));
    } else {
        const std::vector<std::string_view> parts = Parts(Date, "-./");
        if (parts.size() != 3 || parts[0].size() != 4)
            return std::nullopt;
        year = Digits(parts[0]);
        month = Digits(parts[1]);
        day = Digits(parts[2]);
    }
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1)
        return std::nullopt;
    const int nextMonth = *month == 12 ? 1 : *month + 1;
    const long long first = DaysFromCivil(*year, *month, 1);
    if (*day > DaysFromCivil(*month == 12 ? *year + 1 : *year, nextMonth, 1) - first)
        return std::nullopt;
    double seconds = 86400.0 * static_cast<double>(first + *day - 1);
    if (Time.empty())
        return seconds;
    const std::vector<std::string_view> parts = Parts(Time, ":");
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    const std::optional<int> hour = Digits(parts[0]), minute = Digits(parts[1]);
    double second = 0.0;
    if (parts.size() == 3) {
        const std::string_view whole = parts[2].substr(0, parts[2].find('.'));
        const std::optional<int> s = Digits(whole);
        if (!s || whole.size() != 2)
            return std::nullopt;
        second = *s;
        if (whole.size() < parts[2].size()) {
            const std::string_view fraction = parts[2].substr(whole.size() + 1);
            const std::optional<int> f = Digits(fraction);
            if (!f)
                return std::nullopt;
            second += *f / std::pow(10.0, static_cast<double>(fraction.size()));
        }
    }
    if (!hour || !minute || *hour > 23 || *minute > 59 || second >= 61.0)
        return std::nullopt;
    return seconds + 3600.0 * *hour + 60.0 * *minute + second;
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

void TInstrumentRows::Add(TInstrumentRow Row)
{
    for (std::optional<TInstrumentPlace>& place : Row.Places)
        if (place && (IsRemoteCoordinate(place->x) || IsRemoteCoordinate(place->y)))
            place.reset();
    FRows.push_back(Row);
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
    double Along = 0.0;     // distance along the line
    double Across = 0.0;    // distance across it: a remote's, positive to the left looking along the line; 0 on it
    double Elevation = 0.0; // the file's z; a remote's, the line's at its distance along it
    bool Remote = false;    // an electrode at a real place off the line
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
                uses.push_back({*at, r, slot, at->Line > 0 ? at->Line : Rows[r].Line});
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
    // Positive to the left looking along the line (y itself for a line along x).
    double Across(const TInstrumentPlace& At) const { return (At.y - Cy) * Ux - (At.x - Cx) * Uy; }
    double Along(const TInstrumentPlace& At) const { return (At.x - Cx) * Ux + (At.y - Cy) * Uy; }
};

// The line of least squares through the points (their main axis) but those
// left Out, pointing to rising x.
TStraightLine FittedLine(const std::vector<TPoint>& Points, const std::vector<bool>& Out)
{
    TStraightLine line;
    const double count = static_cast<double>(std::count(Out.begin(), Out.end(), false));
    for (size_t p = 0; p < Points.size(); ++p)
        if (!Out[p])
            line.Cx += Points[p].At.x / count, line.Cy += Points[p].At.y / count;
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (size_t p = 0; p < Points.size(); ++p)
        if (!Out[p]) {
            const double dx = Points[p].At.x - line.Cx, dy = Points[p].At.y - line.Cy;
            sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
        }
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    line.Ux = std::cos(angle), line.Uy = std::sin(angle);
    if (line.Ux < 0.0 || (line.Ux == 0.0 && line.Uy < 0.0))
        line.Ux = -line.Ux, line.Uy = -line.Uy;
    return line;
}

// The point farthest from the line but those left Out (the first point when
// all are).
size_t Farthest(const std::vector<TPoint>& Points, const TStraightLine& Line, const std::vector<bool>& Out)
{
    size_t farthest = 0;
    double largest = -1.0;
    for (size_t p = 0; p < Points.size(); ++p)
        if (!Out[p] && std::fabs(Line.Across(Points[p].At)) > largest) {
            largest = std::fabs(Line.Across(Points[p].At));
            farthest = p;
        }
    return farthest;
}

// How far the farthest point but those left Out stands from their line.
double Deviation(const std::vector<TPoint>& Points, const std::vector<bool>& Out)
{
    const TStraightLine line = FittedLine(Points, Out);
    return std::fabs(line.Across(Points[Farthest(Points, line, Out)].At));
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

// The points off the line, read as remotes: at most MaxRemotes, each more
// than a Spacing off the straight line through the others, which all stand
// within a Spacing of it (at least MinLineElectrodes of them). Left out one
// by one, each time the point whose leaving out leaves the straightest
// line. None when no such line holds the points (a 3-D survey).
std::optional<std::vector<bool>> PointsOffLine(const std::vector<TPoint>& Points, double Spacing)
{
    std::vector<bool> out(Points.size(), false);
    for (size_t left = 0; Deviation(Points, out) > Spacing; ++left) {
        if (left == MaxRemotes || Points.size() - left <= MinLineElectrodes)
            return std::nullopt;
        size_t best = 0;
        double least = std::numeric_limits<double>::infinity();
        for (size_t p = 0; p < Points.size(); ++p)
            if (!out[p]) {
                out[p] = true;
                if (const double deviation = Deviation(Points, out); deviation < least)
                    least = deviation, best = p;
                out[p] = false;
            }
        out[best] = true;
    }
    // A point left out on the way that the final line holds is one of it.
    const TStraightLine line = FittedLine(Points, out);
    for (size_t p = 0; p < Points.size(); ++p)
        if (out[p] && std::fabs(line.Across(Points[p].At)) <= Spacing)
            out[p] = false;
    return out;
}

// The elevation of the line at a distance along it: between its electrodes
// linear, beyond its ends level.
double LineElevation(const std::vector<TPoint>& Points, double Along)
{
    std::vector<std::pair<double, double>> line;
    for (const TPoint& p : Points)
        if (!p.Remote)
            line.emplace_back(p.Along, p.At.z);
    std::sort(line.begin(), line.end());
    const auto after = std::lower_bound(line.begin(), line.end(), std::pair{Along, -std::numeric_limits<double>::infinity()});
    if (after == line.begin())
        return line.front().second;
    if (after == line.end())
        return line.back().second;
    const auto& [x0, z0] = *(after - 1);
    const auto& [x1, z1] = *after;
    return x1 - x0 > 0.0 ? z0 + (z1 - z0) * (Along - x0) / (x1 - x0) : z0;
}

// Each point's distance along the line, as the note at the top of the
// header says: the file's x (or y) when the line's electrodes share one y
// (or x), else the distance along their fitted line from its first
// electrode. Remotes (PointsOffLine) keep their offset across the line and
// take the line's elevation; the others are projected onto the line, named
// in a warning when more than a tenth of a spacing off it. Points no line
// holds are a 3-D survey, refused.
void PlaceAlongLine(std::vector<TPoint>& Points, std::vector<std::string>& Warnings, const std::string& LineWord)
{
    if (Points.empty())
        return;
    const auto shared = [&](double TInstrumentPlace::* coordinate) {
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (const TPoint& p : Points)
            if (!p.Remote)
                low = std::min(low, p.At.*coordinate), high = std::max(high, p.At.*coordinate);
        return high - low <= SamePlace;
    };
    const double spacing = NearestSpacing(Points);
    if (!shared(&TInstrumentPlace::x) && !shared(&TInstrumentPlace::y)) {
        const std::optional<std::vector<bool>> off = PointsOffLine(Points, spacing);
        if (!off) {
            const std::vector<bool> none(Points.size(), false);
            const TStraightLine line = FittedLine(Points, none);
            const TPoint& farthest = Points[Farthest(Points, line, none)];
            FailAt(farthest.Line, "a 3-D survey, not a line: the electrodes do not stand on one straight line (the one "
                                  "at x, y " + PlaceText(farthest.At) + " stands " +
                                  FormatExactReal(std::fabs(line.Across(farthest.At))) + " m off the best line, the "
                                  "spacing being " + FormatExactReal(spacing) + " m; at most " +
                                  std::to_string(MaxRemotes) + " electrodes off the line are read, as remote ones)");
        }
        for (size_t p = 0; p < Points.size(); ++p)
            Points[p].Remote = (*off)[p];
    }
    std::vector<bool> remotes;
    for (const TPoint& p : Points)
        remotes.push_back(p.Remote);
    const bool alongX = shared(&TInstrumentPlace::y), alongY = !alongX && shared(&TInstrumentPlace::x);
    TStraightLine line = FittedLine(Points, remotes);
    if (alongX || alongY) {
        // The file's own coordinate along the line: its line through the first electrode.
        const TPoint& start = Points[static_cast<size_t>(std::find(remotes.begin(), remotes.end(), false) - remotes.begin())];
        line = {alongX ? 0.0 : start.At.x, alongX ? start.At.y : 0.0, alongX ? 1.0 : 0.0, alongX ? 0.0 : 1.0};
    }
    double first = std::numeric_limits<double>::infinity();
    for (TPoint& p : Points) {
        p.Along = line.Along(p.At);
        p.Across = line.Across(p.At);
        p.Elevation = p.At.z;
        if (!p.Remote)
            first = std::min(first, p.Along);
    }
    if (!alongX && !alongY)
        for (TPoint& p : Points)
            p.Along -= first;
    size_t off = 0, farthest = 0;
    for (size_t p = 0; p < Points.size(); ++p)
        if (!Points[p].Remote && std::fabs(Points[p].Across) > 0.1 * spacing) {
            if (off++ == 0 || std::fabs(Points[p].Across) > std::fabs(Points[farthest].Across))
                farthest = p;
        }
    if (off > 0)
        Warnings.push_back(std::to_string(off) + (off == 1 ? " electrode lies" : " electrodes lie") +
                           " more than a tenth of a spacing off the straight line through the electrodes (the "
                           "farthest, first placed on " + LineWord + " " + std::to_string(Points[farthest].Line) + ", by " +
                           FormatExactReal(std::fabs(Points[farthest].Across)) +
                           " m): the distance along the line is used.");
    for (TPoint& p : Points) {
        if (!p.Remote) {
            p.Across = 0.0;
            continue;
        }
        p.Elevation = LineElevation(Points, p.Along);
        Warnings.push_back("The electrode at x, y " + PlaceText(p.At) + " (first placed on " + LineWord + " " +
                           std::to_string(p.Line) + ") stands " + FormatExactReal(std::fabs(p.Across)) +
                           " m off the line of the others: it is read as a remote electrode at its place, " +
                           FormatExactReal(p.Along) + " m along the line and " + FormatExactReal(p.Across) +
                           " m across it, at the line's elevation there (" + FormatExactReal(p.Elevation) + " m).");
    }
}

// A datum whose current electrodes (or potential ones) both stand off the
// line is refused naming its line: an electrode off the line is read only as
// a remote, paired with one on the line (or with none).
void RequireRemotePairs(const std::vector<TPoint>& Points, const std::vector<TInstrumentRow>& Rows,
                        const std::vector<std::array<int, 4>>& Numbers)
{
    const auto remote = [&](int point) { return point >= 0 && Points[static_cast<size_t>(point)].Remote; };
    for (size_t r = 0; r < Rows.size(); ++r)
        for (size_t pair : {0u, 2u})
            if (remote(Numbers[r][pair]) && remote(Numbers[r][pair + 1]))
                FailAt(Rows[r].Line, std::string("both ") + (pair == 0 ? "current" : "potential") +
                                         " electrodes stand off the line (at x, y " +
                                         PlaceText(Points[static_cast<size_t>(Numbers[r][pair])].At) + " and " +
                                         PlaceText(Points[static_cast<size_t>(Numbers[r][pair + 1])].At) +
                                         "): an electrode off the line is read only as a remote one, its partner on "
                                         "the line, as in pole-dipole and pole-pole data");
}

} // namespace

namespace {

// Whether the electrodes' map places, read again as a line of a unified
// file (MapLine.h), give their distances along the line, none standing
// beside it. Where not (a line whose distances start elsewhere, an
// electrode projected onto the line), the places are not kept: a file
// written from the data would read back other electrodes.
bool MapPlacesReadBack(const std::vector<TElectrode>& Electrodes)
{
    std::vector<TMapPoint> points;
    for (const TElectrode& electrode : Electrodes) {
        if (!electrode.Map || electrode.y != 0.0)
            return false;
        points.push_back(*electrode.Map);
    }
    if (points.empty())
        return false;
    const TMapLine line(points);
    for (size_t e = 0; e < Electrodes.size(); ++e)
        if (line.Distances()[e] != Electrodes[e].x)
            return false;
    return true;
}

} // namespace

TMeasuredData TInstrumentRows::Data()
{
    std::vector<std::array<int, 4>> pointNumbers;
    std::vector<TPoint> points = DistinctPlaces(FRows, pointNumbers);
    FData.Skipped.LineWord = LineWord(FData.Format);
    PlaceAlongLine(points, FData.Warnings, FData.Skipped.LineWord);
    RequireRemotePairs(points, FRows, pointNumbers);

    // The electrodes in order along the line; points at one place along it
    // and across it (within SamePlace, elevation too) are one electrode.
    std::vector<size_t> order(points.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        return std::tie(points[i].Along, points[i].Elevation, points[i].Across) <
               std::tie(points[j].Along, points[j].Elevation, points[j].Across);
    });
    std::vector<int> electrodeOf(points.size(), -1);
    for (size_t i : order) {
        const TPoint& p = points[i];
        int found = -1;
        for (size_t e = FData.Electrodes.size(); e-- > 0;) {
            if (p.Along - FData.Electrodes[e].x > SamePlace)
                break;
            if (std::fabs(p.Elevation - FData.Electrodes[e].z) <= SamePlace &&
                std::fabs(p.Across - FData.Electrodes[e].y) <= SamePlace) {
                found = static_cast<int>(e);
                break;
            }
        }
        if (found < 0) {
            found = static_cast<int>(FData.Electrodes.size());
            FData.Electrodes.push_back({p.Along, p.Elevation, p.Across, std::max(p.At.Depth.value_or(0.0), 0.0)});
            if (FOnMap)
                FData.Electrodes.back().Map = TMapPoint{p.At.x, p.At.y};
            FData.ElectrodeLines.push_back(p.Line);
        }
        int& line = FData.ElectrodeLines[static_cast<size_t>(found)];
        line = std::min(line, p.Line);
        electrodeOf[i] = found;
    }
    if (FOnMap && !MapPlacesReadBack(FData.Electrodes))
        for (TElectrode& electrode : FData.Electrodes)
            electrode.Map.reset();
    FData.HasElevations = std::any_of(FData.Electrodes.begin(), FData.Electrodes.end(),
                                      [](const TElectrode& e) { return e.z != 0.0; });
    // The instruments' z are elevations: a hole's electrodes below its top
    // are buried, as deep as the file says, else by the envelope.
    const bool depthsGiven = std::any_of(points.begin(), points.end(), [](const TPoint& p) { return p.At.Depth.has_value(); });
    if (FData.HasElevations && !depthsGiven)
        SetEnvelopeDepths(FData.Electrodes);

    // A chargeability column of zeros only is a file without IP.
    const bool chargeabilities = std::any_of(FRows.begin(), FRows.end(), [](const TInstrumentRow& row) {
        return std::isfinite(row.Chargeability) && row.Chargeability != 0.0;
    });
    // So is a phase column of zeros only (an instrument measuring no phase).
    const bool phases = std::any_of(FRows.begin(), FRows.end(), [](const TInstrumentRow& row) {
        return std::isfinite(row.Phase) && row.Phase != 0.0;
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
        if (phases)
            values.Phase = row.Phase;
        values.Voltage = row.Voltage;
        values.Time = row.Time;
        datafile::AddMeasuredDatum(FData, {e[0], e[1], e[2], e[3]}, values, row.Line);
    }
    datafile::FinishMeasuredData(FData);
    std::sort(FData.Skipped.UnmeasuredLines.begin(), FData.Skipped.UnmeasuredLines.end());
    return std::move(FData);
}

} // namespace lp::formats
