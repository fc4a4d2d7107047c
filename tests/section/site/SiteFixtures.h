#pragma once
// Lines of a site and their images made by hand for the site layer's tests
// and the writer of their volume: tracks of electrodes 2 m apart turning as
// told, over a given ground, and images of the default mesh under them
// valued at the cells' centres.

#include "section/site/SiteInversion.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace lp::site_fixtures {

using TGround = std::function<double(double Distance)>;
using TValue = std::function<double(double Distance, double Depth)>;

constexpr double Pi = 3.14159265358979323846;
constexpr double Spacing = 2.0; // between electrodes
constexpr int Electrodes = 16;  // a line of 30 m

// A line from X0, Y0 whose electrodes, Spacing apart along the track, turn
// to the heading of their gap (radians from east, one per gap, the last
// repeated); its ground Ground along the track.
inline TSiteLine TrackLine(const std::string& Name, double X0, double Y0, const std::vector<double>& Headings,
                           const TGround& Ground, int Count = Electrodes)
{
    TSiteLine line;
    line.Name = Name;
    line.File = "/site/" + Name + ".dat";
    double x = X0, y = Y0;
    for (int e = 0; e < Count; ++e) {
        const double distance = e * Spacing;
        line.Track.push_back({x, y, Ground(distance), distance});
        const double heading = Headings.at(std::min(static_cast<size_t>(e), Headings.size() - 1));
        x += Spacing * std::cos(heading);
        y += Spacing * std::sin(heading);
    }
    return line;
}

inline TSiteLine EastLine(const std::string& Name, double Y, const TGround& Ground = [](double) { return 50.0; })
{
    return TrackLine(Name, 0.0, Y, {0.0}, Ground);
}

// The line's image: its cells (electrodes at its distances, the surface its
// track's ground, 2 m of padding on either side) valued at their centres.
inline TLineImage ImageOf(const TSiteLine& Line, const TValue& Resistivity, const TValue& Coverage = [](double, double) {
    return 1.0;
})
{
    std::vector<double> x;
    std::vector<TGeometryPoint> surface;
    for (const TTrackPoint& p : Line.Track) {
        x.push_back(p.Distance);
        surface.push_back({p.Distance, p.Z});
    }
    TLineImage image;
    image.Mesh = DefaultInversionMesh(x, x.front() - 2.0 * Spacing, x.back() + 2.0 * Spacing, surface, 4.0);
    for (int cell = 0; cell < image.Mesh.Cells(); ++cell) {
        double top = 0.0, bottom = 0.0;
        CellDepths(image.Mesh, cell, top, bottom);
        const double distance = CellCentre(image.Mesh, cell).x, depth = (top + bottom) / 2.0;
        image.Resistivities.push_back(Resistivity(distance, depth));
        image.Coverage.push_back(Coverage(distance, depth));
    }
    return image;
}

inline TSiteImages ImagesOf(const std::vector<TSiteLine>& Lines, const std::vector<TValue>& Resistivities)
{
    TSiteImages images;
    for (size_t l = 0; l < Lines.size(); ++l)
        images.Images.push_back(ImageOf(Lines[l], Resistivities.at(l)));
    return images;
}

} // namespace lp::site_fixtures
