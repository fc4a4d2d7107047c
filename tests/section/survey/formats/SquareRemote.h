#pragma once
// A pole-dipole line whose remote B is carried out square from electrode
// 24: 20 m off the line at electrode 24's x exactly (a common field
// layout), for the readers' tests. The data a homogeneous ground of 50
// ohm-m gives, and the check that a reader's data are computed as that
// ground gives them.

#include "section/forward/ForwardResponse.h"
#include "section/survey/MeasuredData.h"
#include "tests/section/forward/ForwardFixtures.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace lp::test {

// 48 electrodes 3 m apart from x = 0: electrode 24 at x = 69.
inline constexpr double SquareSpacing = 3.0;
inline constexpr double SquareRemoteX = 69.0, SquareRemoteY = 20.0;
inline constexpr double SquareGround = 50.0;

// A datum: A, M and N along the line (x, m; y and z 0), R in ohm over the ground.
struct TSquareDatum {
    double A, M, N, R;
};

// The potential of a unit current on the surface of the ground, r away.
inline double SquareGroundPotential(double r)
{
    return SquareGround / (2 * std::numbers::pi * r);
}

// A at every electrode, n 1 to 3: M = A + n·a, N = M + a on the line, so
// that M or N stands at electrode 24 beside the remote in some of them.
inline std::vector<TSquareDatum> SquareRemoteLayout()
{
    std::vector<TSquareDatum> data;
    const auto toB = [](double x) { return std::hypot(x - SquareRemoteX, SquareRemoteY); };
    for (int n = 1; n <= 3; ++n)
        for (int i = 0; i + n + 1 < 48; ++i) {
            const double a = SquareSpacing * i, m = a + SquareSpacing * n, b = m + SquareSpacing;
            const double r = SquareGroundPotential(m - a) - SquareGroundPotential(b - a) -
                             SquareGroundPotential(toB(m)) + SquareGroundPotential(toB(b));
            data.push_back({a, m, b, r});
        }
    return data;
}

// Data read from a file of the layout: the remote at its place beside
// electrode 24 (both read, apart), each datum's ρa the ground's; and the
// forward computation over the ground gives the same ρa within 0.5 %.
inline void ExpectSquareRemoteComputed(const TMeasuredData& Data)
{
    const std::vector<TSquareDatum> layout = SquareRemoteLayout();
    ASSERT_EQ(Data.Size(), layout.size());
    ASSERT_EQ(Data.Electrodes.size(), 49u);
    const auto at = [&](double x, double y) {
        return std::count_if(Data.Electrodes.begin(), Data.Electrodes.end(),
                             [&](const TElectrode& e) { return e.x == x && e.y == y && e.z == 0.0; });
    };
    EXPECT_EQ(at(SquareRemoteX, SquareRemoteY), 1);
    EXPECT_EQ(at(SquareRemoteX, 0.0), 1);
    for (size_t d = 0; d < layout.size(); ++d)
        EXPECT_NEAR(Data.Resistivities.at(d), SquareGround, 1e-9 * SquareGround) << "datum " << d + 1;
    const TForwardSection section(150.0, 60.0, SquareGround);
    const TForwardResult computed = ComputeForwardResponse(section.Ground(), Data.Survey());
    double worst = 0.0;
    for (size_t d = 0; d < layout.size(); ++d)
        worst = std::max(worst, std::fabs(computed.Resistivities.at(d) / SquareGround - 1.0));
    EXPECT_LE(worst, 0.005);
    std::printf("[ remote square from electrode 24 ] computed rho_a within %.3f %% of the ground's\n", 100.0 * worst);
}

} // namespace lp::test
