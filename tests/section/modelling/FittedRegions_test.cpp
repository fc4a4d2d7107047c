// The numbers of a fit as the command line, the fit window and its table
// show them. A well-determined region's factor 1.0033 was shown as
// "x/÷ 1.00": the interval shown held the truth in none of 40 noise
// realisations, while the factor itself held it in 27 to 30.

#include "section/modelling/FittedRegions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace lp {
namespace {

TEST(FittedRegions, AnUncertaintyFactorKeepsTwoDigitsOfWhatItAdds)
{
    const QString sign = QStringLiteral("x/\u00f7");
    EXPECT_EQ(UncertaintyFactorText(1.0033, sign), QStringLiteral("x/\u00f7 1.0033"));
    EXPECT_EQ(UncertaintyFactorText(1.00041, sign), QStringLiteral("x/\u00f7 1.00041"));
    EXPECT_EQ(UncertaintyFactorText(1.0456, sign), QStringLiteral("x/\u00f7 1.046"));
    EXPECT_EQ(UncertaintyFactorText(1.25, sign), QStringLiteral("x/\u00f7 1.25"));
    EXPECT_EQ(UncertaintyFactorText(3.7, sign), QStringLiteral("x/\u00f7 3.70"));
    // Noise-free data: χ² and with it the factor's excess near 0.
    EXPECT_EQ(UncertaintyFactorText(1.0, sign), QStringLiteral("x/\u00f7 1.000000"));
}

// A factor no number says anything of: 1e41 (a region whose data fade)
// and infinity read "beyond x/÷ 1000", a NaN "unknown"; never a non-finite
// or absurd number.
TEST(FittedRegions, AnAbsurdUncertaintyFactorIsNeverShown)
{
    const QString sign = QStringLiteral("x/\u00f7");
    EXPECT_EQ(UncertaintyFactorText(1000.0, sign), QStringLiteral("x/\u00f7 1000.00"));
    for (double factor : {1000.5, 1e41, std::numeric_limits<double>::infinity()})
        EXPECT_EQ(UncertaintyFactorText(factor, sign), QStringLiteral("beyond x/\u00f7 1000")) << factor;
    for (double factor : {std::nan(""), 0.5, -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(UncertaintyFactorText(factor, sign), QStringLiteral("unknown")) << factor;
}

// Held at a bound as the fit holds it: within 1 % of the range of either
// bound, or 1 % in ln ρ of a lone one; the table says "at its bound".
TEST(FittedRegions, ARegionAtItsBoundIsShownAsSuch)
{
    struct TCase {
        double Rho;
        std::optional<double> Lowest, Highest;
        bool Held;
    };
    const TCase cases[] = {
        {10.05, 10.0, 110.0, true},  {109.5, 10.0, 110.0, true}, {60.0, 10.0, 110.0, false},
        {11.5, 10.0, 110.0, false},  {110.0, {}, 110.0, true},   {108.0, {}, 110.0, false},
        {10.05, 10.0, {}, true},     {11.0, 10.0, {}, false},    {1e6, {}, {}, false},
    };
    for (const TCase& c : cases) {
        const TRegionFitSetting setting{true, c.Lowest, c.Highest};
        EXPECT_EQ(HeldAtBound(c.Rho, setting) != nullptr, c.Held) << c.Rho;
        TFittedRegion region;
        region.State = TRegionFitState::Fitted;
        region.Resistivity = c.Rho;
        region.Factor = 1e41;
        EXPECT_EQ(FittedUncertaintyText(region, setting, QStringLiteral("x/\u00f7")),
                  c.Held ? QStringLiteral("at its bound") : QStringLiteral("beyond x/\u00f7 1000"))
            << c.Rho;
    }
}

TEST(FittedRegions, HugeNumbersAreShownWithAPowerOfTen)
{
    EXPECT_EQ(FittedResistivityText(117.315), QStringLiteral("117.315"));
    EXPECT_EQ(FittedResistivityText(2.5e9), QStringLiteral("2.5e9"));
    EXPECT_EQ(FittedPolarizabilityText(5.0333), QStringLiteral("5.033"));
    EXPECT_EQ(ChiSquareText(0.0633), QStringLiteral("0.0633"));
    EXPECT_EQ(ChiSquareText(3.07e7), QStringLiteral("3.07e7"));
    EXPECT_EQ(RrmsText(0.754), QStringLiteral("0.75"));
    EXPECT_EQ(RrmsText(7.4165e103), QStringLiteral("7.4e103"));
}

} // namespace
} // namespace lp
