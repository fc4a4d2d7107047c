#pragma once
// A pole-dipole line whose remote B stands at a real place 10 spacings off
// the line, for the instrument readers' tests: the data each format's file
// is built from, the same layout as a Res2DInv file with its remote block,
// and the check that a reader gives what the Res2DInv reader gives for it.

#include "section/survey/MeasuredData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace lp::test {

// A datum: A, M and N along the line (x, m; y and z 0), R in ohm.
struct TRemoteDatum {
    double A, M, N, R;
};

inline constexpr double RemoteSpacing = 2.0;
// B: 50 m before the line's first electrode, 20 m (10 spacings) to its left.
inline constexpr double RemoteX = -50.0, RemoteY = 20.0;

// A at 0 .. 10, n 1 and 2: M = A + n·a, N = A + (n + 1)·a, the line's
// electrodes at 0 .. 16; R a multiple of 0.25 (exact in a float).
inline std::vector<TRemoteDatum> RemoteLayout()
{
    std::vector<TRemoteDatum> data;
    for (int n = 1; n <= 2; ++n)
        for (int i = 0; i <= 5; ++i) {
            const double a = RemoteSpacing * i;
            data.push_back({a, a + RemoteSpacing * n, a + RemoteSpacing * (n + 1), 0.5 + 0.25 * i + n});
        }
    return data;
}

// k over a flat ground from the distances in space, B at the remote's place.
inline double RemoteLayoutFactor(const TRemoteDatum& D)
{
    const auto toB = [](double x) { return std::hypot(x - RemoteX, RemoteY); };
    return 2.0 * std::numbers::pi /
           (1.0 / (D.M - D.A) - 1.0 / toB(D.M) - 1.0 / (D.N - D.A) + 1.0 / toB(D.N));
}

inline std::string RemoteLayoutNumber(double Value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", Value);
    return text;
}

// The layout as a Res2DInv pole-dipole file (rows x a n rhoa, x A's place)
// with the remote block instruments' software writes.
inline std::string RemoteLayoutRes2DInv()
{
    std::string text = "Pole-dipole with a remote off the line\n2.0\n6\nRemote electrodes included\n"
                       "C2 remote electrode X, Y and Z location\n" +
                       RemoteLayoutNumber(RemoteX) + "," + RemoteLayoutNumber(RemoteY) +
                       ",0.0\nExact Geometric factor used\n" + std::to_string(RemoteLayout().size()) + "\n0\n0\n";
    for (const TRemoteDatum& d : RemoteLayout())
        text += RemoteLayoutNumber(d.A) + " " + RemoteLayoutNumber(RemoteSpacing) + " " +
                RemoteLayoutNumber((d.M - d.A) / RemoteSpacing) + " " +
                RemoteLayoutNumber(RemoteLayoutFactor(d) * d.R) + "\n";
    return text + "0\n0\n";
}

// Data read from a file of the layout: the remote at its place (x along
// the line, y across it), the line's electrodes on it, each datum's
// resistance and k from the true distances, all as the Res2DInv reader
// gives them for the same layout; the remote named in a warning.
inline void ExpectRemoteLayout(const TMeasuredData& Data)
{
    const TMeasuredData reference = ReadMeasuredData(RemoteLayoutRes2DInv(), TDataFormat::Res2DInv);
    ASSERT_EQ(reference.Electrodes.size(), 10u);
    ASSERT_EQ(Data.Electrodes.size(), reference.Electrodes.size());
    for (size_t e = 0; e < Data.Electrodes.size(); ++e) {
        EXPECT_NEAR(Data.Electrodes[e].x, reference.Electrodes[e].x, 1e-9) << "electrode " << e + 1;
        EXPECT_NEAR(Data.Electrodes[e].y, reference.Electrodes[e].y, 1e-9) << "electrode " << e + 1;
        EXPECT_NEAR(Data.Electrodes[e].z, reference.Electrodes[e].z, 1e-9) << "electrode " << e + 1;
    }
    EXPECT_EQ(Data.Electrodes.front().x, RemoteX);
    EXPECT_EQ(Data.Electrodes.front().y, RemoteY);
    EXPECT_FALSE(Data.HasElevations);
    EXPECT_EQ(Data.Configurations, reference.Configurations);
    const std::vector<TRemoteDatum> layout = RemoteLayout();
    ASSERT_EQ(Data.Size(), layout.size());
    ASSERT_EQ(Data.Resistances.size(), layout.size());
    for (size_t d = 0; d < layout.size(); ++d) {
        EXPECT_EQ(Data.Configurations[d].b, 0) << "datum " << d + 1;
        EXPECT_NEAR(Data.Resistances[d], layout[d].R, 1e-12 * layout[d].R) << "datum " << d + 1;
        const double k = RemoteLayoutFactor(layout[d]);
        EXPECT_NEAR(Data.GeometricFactors[d], k, 1e-9 * k) << "datum " << d + 1;
        EXPECT_NEAR(Data.Resistivities[d], reference.Resistivities[d], 1e-9 * reference.Resistivities[d])
            << "datum " << d + 1;
    }
    EXPECT_EQ(std::count_if(Data.Warnings.begin(), Data.Warnings.end(),
                            [](const std::string& warning) {
                                return warning.find("read as a remote electrode at its place, -50 m along the line "
                                                    "and 20 m across it") != std::string::npos;
                            }),
              1);
}

} // namespace lp::test
