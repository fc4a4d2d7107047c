#include "section/site/SiteLines.h"

#include "section/survey/MapLine.h"
#include "section/survey/ModellingError.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>

namespace lp {

namespace {

// The median of Values (not empty), upper middle for an even count.
double Median(std::vector<double> Values)
{
    const auto middle = Values.begin() + static_cast<std::ptrdiff_t>(Values.size() / 2);
    std::nth_element(Values.begin(), middle, Values.end());
    return *middle;
}

// A line's electrode spacing: the median gap between neighbouring track points.
double TrackSpacing(const std::vector<TTrackPoint>& Track)
{
    std::vector<double> gaps;
    for (size_t p = 1; p < Track.size(); ++p)
        gaps.push_back(Track[p].Distance - Track[p - 1].Distance);
    return Median(gaps);
}

// The map box of a track: west, south, east, north.
struct TBox {
    double West = 0.0, South = 0.0, East = 0.0, North = 0.0;
};

TBox TrackBox(const std::vector<TTrackPoint>& Track)
{
    TBox box{Track.front().X, Track.front().Y, Track.front().X, Track.front().Y};
    for (const TTrackPoint& point : Track) {
        box.West = std::min(box.West, point.X);
        box.East = std::max(box.East, point.X);
        box.South = std::min(box.South, point.Y);
        box.North = std::max(box.North, point.Y);
    }
    return box;
}

// The horizontal gap between two boxes (0 where they overlap).
double BoxGap(const TBox& A, const TBox& B)
{
    const double dx = std::max({0.0, B.West - A.East, A.West - B.East});
    const double dy = std::max({0.0, B.South - A.North, A.South - B.North});
    return std::hypot(dx, dy);
}

// "640 m", "3.2 km".
std::string DistanceText(double Metres)
{
    return Metres < 1000.0 ? ReadableNumber(Metres) + " m" : ReadableNumber(Metres / 1000.0) + " km";
}

void RefuseTwoOfOneName(const std::vector<TSiteLine>& Lines)
{
    for (size_t a = 0; a < Lines.size(); ++a)
        for (size_t b = a + 1; b < Lines.size(); ++b)
            if (Lines[a].Name == Lines[b].Name)
                throw EForwardError("The line " + Lines[b].File + " has the name \"" + Lines[b].Name + "\" of " +
                                    Lines[a].File + ": each line of a site needs a name of its own.");
}

// Feet among metres: the same spacing in feet reads FeetPerMetre times
// larger. The lines' spacings are grouped (within a tenth of each other);
// the largest group (the smaller spacing on a tie) is taken as metres, and
// a line whose spacing is FeetPerMetre times that within 1.5 % is read as
// in feet. A site laid with two spacings of that exact ratio is the one
// such site this refuses; the unified format declares no unit of its
// coordinates to decide instead.
void RefuseFeetAmongMetres(const std::vector<TSiteLine>& Lines)
{
    if (Lines.size() < 2)
        return;
    std::vector<double> spacings;
    for (const TSiteLine& line : Lines)
        spacings.push_back(TrackSpacing(line.Track));
    double reference = 0.0;
    size_t members = 0;
    for (double spacing : spacings) {
        const auto count = static_cast<size_t>(std::count_if(spacings.begin(), spacings.end(), [&](double other) {
            return std::fabs(other - spacing) <= 0.1 * spacing;
        }));
        if (count > members || (count == members && spacing < reference)) {
            members = count;
            reference = spacing;
        }
    }
    for (size_t l = 0; l < Lines.size(); ++l)
        if (std::fabs(spacings[l] / reference / FeetPerMetre - 1.0) <= FeetTolerance)
            throw EForwardError("The line " + Lines[l].File + " has its electrodes " + ReadableNumber(spacings[l]) +
                                " apart, 3.28 times the other lines' " + ReadableNumber(reference) +
                                " m: its coordinates look like feet among lines in metres; give them in metres.");
}

// A line far from every other line: coordinates of another system (a
// local grid among map coordinates) or of another site. The lines are
// grouped by chains of lines at most FarGap apart; the largest group (the
// first line's on a tie) is the site.
void RefuseFarLines(const std::vector<TSiteLine>& Lines)
{
    if (Lines.size() < 2)
        return;
    double longest = 0.0;
    std::vector<TBox> boxes;
    for (const TSiteLine& line : Lines) {
        longest = std::max(longest, line.Track.back().Distance - line.Track.front().Distance);
        boxes.push_back(TrackBox(line.Track));
    }
    const double far = std::max(FarLineMetres, FarLineLengths * longest);
    std::vector<size_t> group(Lines.size());
    std::iota(group.begin(), group.end(), size_t{0});
    // Joining groups until no two lines nearer than far lie in two.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t a = 0; a < Lines.size(); ++a)
            for (size_t b = a + 1; b < Lines.size(); ++b)
                if (group[a] != group[b] && BoxGap(boxes[a], boxes[b]) <= far) {
                    const size_t from = std::max(group[a], group[b]), to = std::min(group[a], group[b]);
                    std::replace(group.begin(), group.end(), from, to);
                    joined = true;
                }
    }
    size_t site = 0, members = 0;
    for (size_t g = 0; g < Lines.size(); ++g)
        if (const auto count = static_cast<size_t>(std::count(group.begin(), group.end(), g)); count > members) {
            site = g;
            members = count;
        }
    for (size_t l = 0; l < Lines.size(); ++l) {
        if (group[l] == site)
            continue;
        double nearest = std::numeric_limits<double>::infinity();
        for (size_t o = 0; o < Lines.size(); ++o)
            if (group[o] == site)
                nearest = std::min(nearest, BoxGap(boxes[l], boxes[o]));
        throw EForwardError("The line " + Lines[l].File + " lies " + DistanceText(nearest) +
                            " from the nearest other line of the site: its coordinates are in another system (or "
                            "of another site); give every line in one map system.");
    }
}

} // namespace

std::string SiteLineName(const std::string& File)
{
    const std::string name = std::filesystem::path(File).stem().string();
    return name.empty() ? File : name;
}

TSiteLine SiteLineOf(const std::string& File, TMeasuredData Data)
{
    TSiteLine line;
    line.File = File;
    line.Name = SiteLineName(File);
    std::vector<TMapPoint> map;
    for (const TElectrode& electrode : Data.Electrodes) {
        if (!electrode.Map)
            throw EForwardError("The line " + File +
                                " gives its electrodes no map coordinates (x y z): its place on the site is unknown.");
        map.push_back(*electrode.Map);
    }
    std::vector<TMapPoint> distinct = map;
    std::sort(distinct.begin(), distinct.end(),
              [](const TMapPoint& a, const TMapPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (distinct.size() < 2)
        throw EForwardError("The line " + File + " has its electrodes at " +
                            (distinct.empty() ? std::string("no place") : std::string("one place")) +
                            ": a line needs two at least.");
    // The distance along the line as the file's reader takes it (file
    // order: a bent line by its arc length), whoever placed the electrodes.
    const TMapLine mapLine(map);
    for (size_t e = 0; e < Data.Electrodes.size(); ++e)
        Data.Electrodes[e].x = mapLine.Distances()[e];
    for (TElectrode& point : Data.Topography)
        if (point.Map)
            point.x = mapLine.DistanceOf(*point.Map);
    // The track: the surface electrodes by their distance (one point per
    // distance, the highest: a hole's top).
    for (const TElectrode& electrode : Data.Electrodes) {
        if (electrode.Buried())
            continue;
        line.Track.push_back({electrode.Map->x, electrode.Map->y, electrode.z, electrode.x});
    }
    std::sort(line.Track.begin(), line.Track.end(), [](const TTrackPoint& a, const TTrackPoint& b) {
        return a.Distance < b.Distance || (a.Distance == b.Distance && a.Z > b.Z);
    });
    line.Track.erase(std::unique(line.Track.begin(), line.Track.end(),
                                 [](const TTrackPoint& a, const TTrackPoint& b) { return a.Distance == b.Distance; }),
                     line.Track.end());
    if (line.Track.size() < 2)
        throw EForwardError("The line " + File + " has fewer than two electrodes on the surface: its track is unknown.");
    line.Data = std::move(Data);
    return line;
}

void CheckSiteLines(const std::vector<TSiteLine>& Lines)
{
    for (const TSiteLine& line : Lines)
        if (line.Track.size() < 2)
            throw EForwardError("The line " + line.File + " has no track of two points on the map.");
    RefuseTwoOfOneName(Lines);
    RefuseFeetAmongMetres(Lines);
    RefuseFarLines(Lines);
}

TTrackPoint TrackPointAt(const std::vector<TTrackPoint>& Track, double Distance)
{
    if (Track.empty())
        throw EForwardError("A track without points has no point at a distance.");
    if (!(Distance > Track.front().Distance))
        return {Track.front().X, Track.front().Y, Track.front().Z, Distance};
    if (!(Distance < Track.back().Distance))
        return {Track.back().X, Track.back().Y, Track.back().Z, Distance};
    const auto after = std::upper_bound(Track.begin(), Track.end(), Distance,
                                        [](double d, const TTrackPoint& point) { return d < point.Distance; });
    const TTrackPoint& b = *after;
    const TTrackPoint& a = *(after - 1);
    const double t = (Distance - a.Distance) / (b.Distance - a.Distance);
    return {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), a.Z + t * (b.Z - a.Z), Distance};
}

} // namespace lp
