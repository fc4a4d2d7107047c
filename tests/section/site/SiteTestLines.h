#pragma once
// Lines of a synthetic site for the site layer's tests: electrodes at map
// points, dipole-dipole data over a layered ground computed by the
// program's own 2-D forward computation along each line.

#include "section/forward/ForwardResponse.h"
#include "section/inversion/InversionMesh.h"
#include "section/site/SiteLines.h"

#include <cmath>
#include <vector>

namespace lp::test {

// Count points from (X0, Y0), Spacing apart in the direction of Angle
// (radians from east).
inline std::vector<TMapPoint> StraightPoints(double X0, double Y0, double Angle, double Spacing, int Count)
{
    std::vector<TMapPoint> points;
    for (int i = 0; i < Count; ++i)
        points.push_back({X0 + i * Spacing * std::cos(Angle), Y0 + i * Spacing * std::sin(Angle)});
    return points;
}

// Measured data whose electrodes stand at Points (elevation 0, the map
// set, x left for SiteLineOf to lay along the line) with one datum where
// there are four electrodes: enough for the track's checks.
inline TMeasuredData MapOnlyData(const std::vector<TMapPoint>& Points)
{
    TMeasuredData data;
    for (const TMapPoint& point : Points)
        data.Electrodes.push_back({0.0, 0.0, 0.0, 0.0, point});
    if (Points.size() >= 4) {
        data.Configurations.push_back({0, 1, 2, 3});
        data.Resistivities.push_back(100.0);
        data.GeometricFactors.push_back(1.0);
    }
    return data;
}

// A ground of two layers under a flat surface: Top ohm-m down to Depth,
// Bottom below, as the forward computation's regions.
inline TForwardModel LayeredGround(double Left, double Right, double Top, double Depth, double Bottom)
{
    TInversionMesh truth;
    truth.ColumnEdges = {Left - 100.0, Left, Right, Right + 100.0};
    truth.Elevations.assign(truth.ColumnEdges.size(), 0.0);
    truth.RowDepths = {0.0, Depth, 2.0 * Depth + 10.0};
    truth.Bottom = -(2.0 * Depth + 100.0);
    std::vector<double> rho;
    for (int row = 0; row < truth.Rows(); ++row)
        for (int column = 0; column < truth.Columns(); ++column)
            rho.push_back(row == 0 ? Top : Bottom);
    return InversionGround(truth, rho);
}

// A straight line from (X0, Y0) along Angle, its data the dipole-dipole
// (levels 1 .. 6) response of Ground along it (x the distance from the
// first electrode), with seeded noise of at most 1 %.
inline TMeasuredData StraightLineData(double X0, double Y0, double Angle, int Count, double Spacing,
                                      const TForwardModel& Ground, unsigned Seed)
{
    TSurvey survey;
    const std::vector<TMapPoint> points = StraightPoints(X0, Y0, Angle, Spacing, Count);
    for (int i = 0; i < Count; ++i)
        survey.Electrodes.push_back({i * Spacing, 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Count, 6);
    const TForwardResult clean = ComputeForwardResponse(Ground, survey);
    TMeasuredData data;
    data.Electrodes = survey.Electrodes;
    for (size_t e = 0; e < points.size(); ++e)
        data.Electrodes[e].Map = points[e];
    data.Configurations = survey.Configurations;
    unsigned state = Seed;
    for (size_t i = 0; i < survey.Configurations.size(); ++i) {
        // A small linear congruential noise: the same on every platform.
        state = state * 1103515245u + 12345u;
        const double unit = static_cast<double>((state >> 8) % 2001u) / 1000.0 - 1.0;
        data.Resistivities.push_back(clean.Resistivities[i] * (1.0 + 0.01 * unit));
        data.GeometricFactors.push_back(FlatGeometricFactor(survey, survey.Configurations[i]));
    }
    return data;
}

} // namespace lp::test
