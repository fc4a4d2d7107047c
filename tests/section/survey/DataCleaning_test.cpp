// Cleaning measured data: a subset kept whole, the data of ρa 0 or below
// found and refused by the computations, outliers in the pseudo-section, reciprocal pairs in every polarity and the error model
// fitted to them.

#include "section/survey/DataCleaning.h"

#include "tests/support/SharedData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace lp {
namespace {

// A dipole-dipole line of Count electrodes 1 m apart, n ≤ 4, ρa from Rho(x of the middle, n).
template <typename TRho>
TMeasuredData Line(int Count, const TRho& Rho)
{
    TMeasuredData data;
    for (int e = 0; e < Count; ++e)
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
    data.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Count, 4);
    const TSurvey survey = data.Survey();
    for (const TConfiguration& c : data.Configurations) {
        data.Resistivities.push_back(Rho(0.25 * (c.a + c.b + c.m + c.n), c.m - c.b));
        data.GeometricFactors.push_back(FlatGeometricFactor(survey, c));
        data.Lines.push_back(static_cast<int>(data.Lines.size()) + 10);
    }
    return data;
}

// A smooth pseudo-section with 1 % noise (Seed its generator's), and with
// Spikes three spikes, at data 5 and 77 (×2.5) and 40 (×0.4).
TMeasuredData NoisyLine(unsigned Seed = 3, bool Spikes = true)
{
    std::mt19937 random(Seed);
    std::normal_distribution<double> noise(0.0, 0.01);
    TMeasuredData data = Line(30, [&](double x, int n) { return 100.0 * std::exp(0.3 * std::sin(x / 6.0) + 0.05 * n + noise(random)); });
    for (size_t i : {5u, 40u, 77u})
        if (Spikes)
            data.Resistivities[i] *= i == 40u ? 0.4 : 2.5;
    return data;
}

TEST(DataCleaning, KeepDataCutsEveryListAlike)
{
    TMeasuredData data = Line(8, [](double x, int) { return 10.0 + x; });
    const size_t n = data.Size();
    data.Errors.assign(n, 0.03);
    data.Errors[2] = 0.05;
    data.Chargeabilities.assign(n, std::nan(""));
    data.Chargeabilities[3] = 7.0;
    std::vector<bool> removed(n, false);
    removed[0] = removed[1] = true;
    const TMeasuredData kept = KeepData(data, removed);
    ASSERT_EQ(kept.Size(), n - 2);
    EXPECT_EQ(kept.Configurations.front(), data.Configurations[2]);
    EXPECT_EQ(kept.Resistivities.front(), data.Resistivities[2]);
    EXPECT_EQ(kept.GeometricFactors.front(), data.GeometricFactors[2]);
    EXPECT_EQ(kept.Errors.front(), 0.05);
    EXPECT_EQ(kept.Chargeabilities[1], 7.0);
    EXPECT_EQ(kept.Lines.front(), 12);
    EXPECT_TRUE(kept.Resistances.empty()); // a list the file did not have stays empty
    EXPECT_EQ(kept.Electrodes.size(), data.Electrodes.size());
    EXPECT_THROW(KeepData(data, std::vector<bool>(n - 1, false)), EDataFileError);
}

TEST(DataCleaning, OutliersStandFarFromTheirNeighbours)
{
    TMeasuredData data = NoisyLine();
    const std::vector<bool> outlying = OutlyingData(data, 4.0);
    std::vector<size_t> found;
    for (size_t i = 0; i < outlying.size(); ++i)
        if (outlying[i])
            found.push_back(i);
    EXPECT_EQ(found, (std::vector<size_t>{5, 40, 77}));
    // A looser limit finds nothing in the noise alone.
    data = NoisyLine(4, false);
    const std::vector<bool> none = OutlyingData(data, 6.0);
    EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
    EXPECT_THROW(OutlyingData(data, 0.0), EDataFileError);
    EXPECT_THROW(OutlyingData(data, std::nan("")), EDataFileError);
    EXPECT_THROW(OutlyingData(data, 3.0, 2), EDataFileError);
    const TMeasuredData few = KeepData(data, [&] {
        std::vector<bool> removed(data.Size(), true);
        removed[0] = removed[1] = removed[2] = false;
        return removed;
    }());
    EXPECT_EQ(OutlyingData(few, 3.0), std::vector<bool>(3, false));
}

// The data of ρa 0 or below are marked, and the one check every
// computation makes refuses them naming their count and the first line.
TEST(DataCleaning, DataOfZeroOrBelowAreMarkedAndRefused)
{
    TMeasuredData data = Line(8, [](double x, int) { return 10.0 + x; });
    const size_t n = data.Size();
    EXPECT_EQ(NonPositiveData(data), std::vector<bool>(n, false));
    EXPECT_NO_THROW(RequirePositiveResistivities(data));
    data.Resistivities[2] = 0.0;
    const auto refusal = [](const TMeasuredData& Data) {
        try {
            RequirePositiveResistivities(Data);
        } catch (const EForwardError& error) {
            return error.Message();
        }
        return std::string("not refused");
    };
    EXPECT_EQ(refusal(data), "1 datum has an apparent resistivity of 0 or below (on line 12): remove it first.");
    data.Resistivities[5] = -3.0;
    data.Resistivities[n - 1] = -1e-300;
    std::vector<bool> expected(n, false);
    expected[2] = expected[5] = expected[n - 1] = true;
    EXPECT_EQ(NonPositiveData(data), expected);
    EXPECT_EQ(refusal(data), "3 data have an apparent resistivity of 0 or below (first on line 12): remove them first.");
    // Data made without lines are named by their place.
    TMeasuredData unlined = data;
    unlined.Lines.clear();
    EXPECT_EQ(refusal(unlined), "3 data have an apparent resistivity of 0 or below (first on datum 3): remove them "
                                "first.");
    // Removed, nothing is left to refuse.
    const TMeasuredData kept = KeepData(data, NonPositiveData(data));
    EXPECT_EQ(kept.Size(), n - 3);
    EXPECT_NO_THROW(RequirePositiveResistivities(kept));
    // The reciprocal pairs refuse them; the resistances are still formed.
    EXPECT_THROW(ReciprocalPairs(data), EForwardError);
    EXPECT_NEAR(DataResistances(data)[5] * data.GeometricFactors[5], -3.0, 1e-12);
}

// A datum of ρa 0 or below has no logarithm: the outliers are those the
// data without it have, and it is never marked itself.
TEST(DataCleaning, OutliersIgnoreDataOfZeroOrBelow)
{
    TMeasuredData data = NoisyLine();
    std::vector<bool> nonPositive(data.Size(), false);
    for (size_t i : {6u, 41u, 60u, 61u}) {
        data.Resistivities[i] = i == 60u ? 0.0 : -data.Resistivities[i];
        nonPositive[i] = true;
    }
    const std::vector<bool> outlying = OutlyingData(data, 4.0);
    std::vector<size_t> found;
    for (size_t i = 0; i < outlying.size(); ++i)
        if (outlying[i])
            found.push_back(i);
    EXPECT_EQ(found, (std::vector<size_t>{5, 40, 77}));
    // The same marks as on the data with them removed.
    const TMeasuredData kept = KeepData(data, nonPositive);
    const std::vector<bool> withoutThem = OutlyingData(kept, 4.0);
    std::vector<bool> marksOfKept;
    for (size_t i = 0; i < data.Size(); ++i)
        if (!nonPositive[i])
            marksOfKept.push_back(outlying[i]);
    EXPECT_EQ(marksOfKept, withoutThem);
    // Too few data with a logarithm: none marked.
    TMeasuredData few = Line(8, [](double, int) { return -1.0; });
    few.Resistivities[0] = few.Resistivities[1] = 100.0;
    few.Resistivities[2] = 1000.0;
    EXPECT_EQ(OutlyingData(few, 1.0), std::vector<bool>(few.Size(), false));
}

TEST(DataCleaning, ReciprocalPairsInEveryPolarity)
{
    TMeasuredData data;
    for (int e = 0; e < 8; ++e)
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
    // Normal data and their reciprocals (A,B and M,N exchanged), the
    // reciprocals in each polarity, a datum measured twice alike, a pole-pole pair.
    data.Configurations = {{0, 1, 2, 3}, {2, 3, 0, 1}, // same polarity
                           {1, 2, 3, 4}, {4, 3, 1, 2}, // the current dipole reversed: R changes sign
                           {2, 3, 4, 5}, {5, 4, 3, 2}, // both reversed
                           {3, 4, 5, 6}, {3, 4, 5, 6}, // twice alike: no pair
                           {0, -1, 7, -1}, {7, -1, 0, -1}};
    data.Resistances = {1.0, 1.02, 2.0, -1.9, 0.5, 0.5, 0.3, 0.31, 4.0, 3.0};
    data.Resistivities.assign(data.Resistances.size(), 1.0);
    const std::vector<TReciprocalPair> pairs = ReciprocalPairs(data);
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[0].Normal, 0u);
    EXPECT_EQ(pairs[0].Reciprocal, 1u);
    EXPECT_NEAR(pairs[0].ErrorPercent, 100.0 * 0.02 / 1.01, 1e-12);
    EXPECT_EQ(pairs[1].Reciprocal, 3u);
    EXPECT_NEAR(pairs[1].ErrorPercent, 100.0 * 0.1 / 1.95, 1e-12);
    EXPECT_NEAR(pairs[1].Resistance, 1.95, 1e-12);
    EXPECT_EQ(pairs[2].Reciprocal, 5u);
    EXPECT_EQ(pairs[2].ErrorPercent, 0.0);
    EXPECT_EQ(pairs[3].Normal, 8u);
    EXPECT_NEAR(pairs[3].ErrorPercent, 100.0 / 3.5, 1e-12);
    // Resistances from ρa / k where the file gives none.
    TMeasuredData rhoOnly = Line(8, [](double, int) { return 50.0; });
    const std::vector<double> r = DataResistances(rhoOnly);
    EXPECT_NEAR(r[0] * rhoOnly.GeometricFactors[0], 50.0, 1e-9);
}

TEST(DataCleaning, ErrorModelFittedToThePairs)
{
    // |ΔR| = 0.002 ohm + 1.5 % of R, exactly.
    std::vector<TReciprocalPair> pairs;
    for (double r : {0.01, 0.1, 0.5, 2.0, 10.0})
        pairs.push_back({0, 1, r, 100.0 * (0.002 + 0.015 * r) / r});
    const TReciprocalErrorModel model = FitReciprocalErrorModel(pairs);
    EXPECT_NEAR(model.Absolute, 0.002, 1e-12);
    EXPECT_NEAR(model.Relative, 0.015, 1e-12);
    EXPECT_EQ(model.Pairs, 5u);
    EXPECT_NEAR(model.ErrorOf(0.1), 0.035, 1e-12);
    EXPECT_NEAR(model.ErrorOf(-0.1), 0.035, 1e-12);
    // Differences falling with R: no relative part, the mean as the absolute one.
    const TReciprocalErrorModel falling = FitReciprocalErrorModel({{0, 1, 1.0, 10.0}, {2, 3, 2.0, 2.5}});
    EXPECT_EQ(falling.Relative, 0.0);
    EXPECT_NEAR(falling.Absolute, 0.075, 1e-12);
    // One resistance only: the relative part alone.
    const TReciprocalErrorModel single = FitReciprocalErrorModel({{0, 1, 2.0, 4.0}});
    EXPECT_EQ(single.Absolute, 0.0);
    EXPECT_NEAR(single.Relative, 0.04, 1e-12);
    EXPECT_THROW(FitReciprocalErrorModel({}), EDataFileError);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Turned, a datum takes its geometric factor's sign: ρa, R and ΔU change
// sign, its chargeability and phase stay; ρa 0 has no sign to turn.
TEST(DataCleaning, DataOfReversedPolarityAreTurnedToTheirFactorsSign)
{
    TMeasuredData data = Line(8, [](double, int) { return 20.0; });
    const size_t n = data.Size();
    data.Resistances.assign(n, std::nan(""));
    data.Voltages.assign(n, std::nan(""));
    data.Chargeabilities.assign(n, 2.0);
    data.Phases.assign(n, -5.0);
    const struct {
        size_t Datum;
        double Rho, Resistance, Voltage;
        bool Turned;
    } cases[] = {
        {0, -20.0, std::nan(""), std::nan(""), true},
        {1, -20.0, -20.0 / data.GeometricFactors[1], 0.5, true},
        {2, 0.0, 0.0, 0.0, false},
        {3, 20.0, 20.0 / data.GeometricFactors[3], -0.5, false},
    };
    std::vector<bool> expected(n, false);
    for (const auto& c : cases) {
        data.Resistivities[c.Datum] = c.Rho, data.Resistances[c.Datum] = c.Resistance, data.Voltages[c.Datum] = c.Voltage;
        expected[c.Datum] = c.Turned;
    }
    EXPECT_EQ(ReversedPolarityData(data), expected);
    EXPECT_FALSE(MostlyReversed(data)); // 2 of 14 data below 0
    const TMeasuredData before = data;
    EXPECT_EQ(TurnReversedPolarity(data), 2u);
    for (const auto& c : cases) {
        const double sign = c.Turned ? -1.0 : 1.0;
        EXPECT_EQ(data.Resistivities[c.Datum], sign * c.Rho);
        EXPECT_TRUE(std::isnan(c.Resistance) ? std::isnan(data.Resistances[c.Datum])
                                             : data.Resistances[c.Datum] == sign * c.Resistance);
        EXPECT_EQ(data.Chargeabilities[c.Datum], 2.0);
        EXPECT_EQ(data.Phases[c.Datum], -5.0);
    }
    EXPECT_EQ(data.Voltages[1], -0.5);
    EXPECT_EQ(TurnReversedPolarity(data), 0u);
    EXPECT_THROW(TurnPolarity(data, {true}), EDataFileError);
    for (size_t d = 0; d < 6; ++d)
        data.Resistivities[d] = -1.0;
    data.Resistivities[6] = 0.0;
    EXPECT_FALSE(MostlyReversed(data)); // 6 of 14, 0 has no sign
    data.Resistivities[6] = -1.0;
    EXPECT_TRUE(MostlyReversed(data)); // 7 of 14
}

// The real mixed array: its instrument records no polarity for some of
// its configurations; those data come as read (the file holds signs), 75
// below 0 that the turn makes data, 97 of 0 that stay out.
TEST(DataCleaning, TheRealMixedArrayTurnsItsReversedData)
{
    LP_REQUIRE_SHARED_DATA("real/syscal-ip-reciprocals.csv");
    TMeasuredData data = ReadMeasuredData(testing::SharedDataText("real/syscal-ip-reciprocals.csv"));
    EXPECT_FALSE(data.Magnitudes);
    const std::vector<bool> reversed = ReversedPolarityData(data), nonPositive = NonPositiveData(data);
    EXPECT_EQ(std::count(reversed.begin(), reversed.end(), true), 75);
    EXPECT_EQ(std::count(nonPositive.begin(), nonPositive.end(), true), 172);
    EXPECT_FALSE(MostlyReversed(data));
    EXPECT_EQ(TurnReversedPolarity(data), 75u);
    const std::vector<bool> left = NonPositiveData(data);
    EXPECT_EQ(std::count(left.begin(), left.end(), true), 97);
}

} // namespace
} // namespace lp
