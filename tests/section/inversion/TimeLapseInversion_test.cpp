// A series of surveys of one line inverted for the change: the data all
// surveys share and the refusals, the tables, and a conductive plume
// growing in a 100 ohm-m ground (50, 30, 20 ohm-m) computed by the forward
// computation with independent noise per survey: the difference inversion
// recovers the change inside the plume and paints little where nothing
// changed, better than inverting each survey alone and subtracting.

#include "section/inversion/TimeLapseInversion.h"

#include "section/survey/DataCleaning.h"
#include "section/survey/DataFile.h"
#include "tests/section/inversion/PlumeSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace lp {
namespace {

using test::MedianDepth;
using test::TPlumeSeries;
using test::TRectangle;

// How an image of the change between the baseline and survey t scores:
// the geometric mean of ρ_t/ρ_0 over the well-covered cells inside the
// plume, as a change in per cent, and the share of the well-covered cells
// at least a spacing away from the plume (nothing changed there) whose
// change lies beyond ±5 %. Well covered two ways: by the geometry
// (Covered), and by the image's own coverage as the window shades it
// (Coverage 0.1 and above: the cells it shows in at least half their
// colour; a conductor hides the ground below it, which the geometry
// does not know).
struct TChangeScore {
    double PlumeChange = 0.0;
    double FalseShare = 0.0, CoveredFalseShare = 0.0;
    int PlumeCells = 0, QuietCells = 0, CoveredQuietCells = 0;
};

constexpr double WellCovered = 0.1;

TChangeScore ScoreChange(const TPlumeSeries& Series, size_t Step, const std::vector<double>& Change,
                         const std::vector<double>& Coverage = {})
{
    const TRectangle& plume = Series.Plumes.at(Step);
    TChangeScore score;
    double logs = 0.0;
    int beyond = 0, coveredBeyond = 0;
    for (int cell = 0; cell < Series.Mesh.Cells(); ++cell) {
        const TGeometryPoint centre = CellCentre(Series.Mesh, cell);
        const double depth = -centre.y;
        const double change = Change.at(static_cast<size_t>(cell));
        const bool quiet = plume.Distance(centre.x, depth) >= 1.0;
        if (quiet && !Coverage.empty() && Coverage.at(static_cast<size_t>(cell)) >= WellCovered) {
            ++score.CoveredQuietCells;
            coveredBeyond += std::fabs(change) > 5.0;
        }
        if (!Series.Covered(centre.x, depth))
            continue;
        if (plume.Inside(centre.x, depth)) {
            logs += std::log1p(change / 100.0);
            ++score.PlumeCells;
        } else if (quiet) {
            ++score.QuietCells;
            beyond += std::fabs(change) > 5.0;
        }
    }
    score.PlumeChange = 100.0 * std::expm1(logs / std::max(score.PlumeCells, 1));
    score.FalseShare = static_cast<double>(beyond) / std::max(score.QuietCells, 1);
    score.CoveredFalseShare = static_cast<double>(coveredBeyond) / std::max(score.CoveredQuietCells, 1);
    return score;
}

// Ten electrodes 1 m apart, dipole-dipole n = 1 .. 3, ρa 100 + i.
TMeasuredData SmallSurvey()
{
    TMeasuredData data;
    for (int e = 0; e < 10; ++e)
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
    data.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 10, 3);
    for (size_t i = 0; i < data.Configurations.size(); ++i) {
        data.Resistivities.push_back(100.0 + static_cast<double>(i));
        data.Lines.push_back(static_cast<int>(i) + 12);
    }
    data.ElectrodeLines.assign(10, 2);
    return data;
}

TEST(TimeLapseCommonData, DataMatchedByTheirElectrodesWhateverTheNumberingAndOrder)
{
    const TMeasuredData baseline = SmallSurvey();
    // The same line numbered from its other end, its data in reverse order,
    // one datum's current pair given as B,A, one datum missing and one added.
    TMeasuredData later;
    for (int e = 9; e >= 0; --e)
        later.Electrodes.push_back({static_cast<double>(e), 0.0});
    const auto renumber = [](int e) { return 9 - e; };
    for (size_t i = baseline.Size(); i-- > 0;) {
        if (i == 4)
            continue;
        const TConfiguration& c = baseline.Configurations[i];
        TConfiguration d{renumber(c.a), renumber(c.b), renumber(c.m), renumber(c.n)};
        if (i == 2)
            std::swap(d.a, d.b);
        later.Configurations.push_back(d);
        later.Resistivities.push_back(baseline.Resistivities[i] * 2.0);
        later.Lines.push_back(static_cast<int>(later.Lines.size()) + 5);
    }
    later.Configurations.push_back({0, 2, 5, 7});
    later.Resistivities.push_back(1.0);
    later.Lines.push_back(99);

    const TCommonData common = CommonData({baseline, later}, {"monday.dat", "tuesday.dat"});
    ASSERT_EQ(common.Common(), baseline.Size() - 1);
    ASSERT_EQ(common.LeftOut.size(), 2u);
    EXPECT_EQ(common.LeftOut[0], std::vector<size_t>{4});
    EXPECT_EQ(common.LeftOut[1], std::vector<size_t>{later.Size() - 1});
    // Datum k of each survey is one configuration on the baseline's electrodes.
    const TMeasuredData& first = common.Surveys[0];
    const TMeasuredData& second = common.Surveys[1];
    for (size_t k = 0; k < common.Common(); ++k) {
        const size_t i = k < 4 ? k : k + 1;
        EXPECT_EQ(first.Configurations[k], baseline.Configurations[i]);
        EXPECT_EQ(first.Resistivities[k], baseline.Resistivities[i]);
        EXPECT_EQ(second.Resistivities[k], 2.0 * baseline.Resistivities[i]) << k;
        TConfiguration expected = baseline.Configurations[i];
        if (i == 2)
            std::swap(expected.a, expected.b);
        EXPECT_EQ(second.Configurations[k], expected) << k;
    }
    EXPECT_EQ(second.Electrodes.size(), baseline.Electrodes.size());
}

TEST(TimeLapseCommonData, AnotherLayoutOrTooFewSharedDataRefusedNamingTheSurvey)
{
    const TMeasuredData baseline = SmallSurvey();
    TMeasuredData moved = baseline;
    moved.Electrodes[6].x = 6.4;
    moved.ElectrodeLines[6] = 8;
    try {
        CommonData({baseline, baseline, moved}, {"a.dat", "b.dat", "c.dat"});
        ADD_FAILURE() << "another layout taken";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "The survey \"c.dat\" has another electrode layout than the baseline \"a.dat\": its "
                                   "electrode at x = 6.4 (line 8) stands where the baseline has none.");
    }
    // Half of the data shared is enough; fewer is not.
    const auto first = [&](size_t count) {
        TMeasuredData part = baseline;
        part.Configurations.resize(count);
        part.Resistivities.resize(count);
        part.Lines.resize(count);
        return part;
    };
    const size_t total = baseline.Size();
    EXPECT_EQ(CommonData({first(total / 2), baseline}, {"a.dat", "b.dat"}).Common(), total / 2);
    try {
        CommonData({baseline, first(total / 2 - 1)}, {"a.dat", "b.dat"});
        ADD_FAILURE() << "fewer than half taken";
    } catch (const EDataFileError& error) {
        EXPECT_TRUE(error.Message().starts_with("The survey \"a.dat\" shares only " + std::to_string(total / 2 - 1) +
                                                " of its " + std::to_string(total) + " data"))
            << error.Message();
    }
    // A later survey holding fewer than half of the data the others share.
    try {
        CommonData({baseline, first(total / 2 - 1), baseline}, {"a.dat", "b.dat", "c.dat"});
        ADD_FAILURE() << "a survey of too few common data taken";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "The survey \"b.dat\" holds only " + std::to_string(total / 2 - 1) + " of the " +
                                       std::to_string(total) +
                                       " data common to the series: fewer than half, too few to tell the change.");
    }
    EXPECT_THROW(CommonData({baseline}, {"a.dat"}), EDataFileError);
}

TEST(TimeLapseInversion, TablesHoldEveryCellAndRefuseAValueNotFinite)
{
    TInversionMesh mesh;
    mesh.ColumnEdges = {0.0, 1.0, 2.5};
    mesh.Elevations = {0.0, 0.0, 0.0};
    mesh.RowDepths = {0.0, 0.5, 1.0};
    mesh.Bottom = -3.0;
    TTimeLapseStep step;
    step.Inversion.Resistivities = {100.0, 50.0, 100.0, 80.0};
    step.Inversion.Coverage = {1.0, 0.5, 0.25, 0.125};
    step.ChangePercent = {0.0, -50.0, 0.0, -20.0};
    EXPECT_EQ(FormatChangeTable(mesh, step), "x1,x2,z1,z2,resistivity,change_percent,coverage\n"
                                             "0,1,0,0.5,100,0,1\n1,2.5,0,0.5,50,-50,0.5\n"
                                             "0,1,0.5,3,100,0,0.25\n1,2.5,0.5,3,80,-20,0.125\n");
    EXPECT_EQ(FormatBaselineTable(mesh, step.Inversion), "x1,x2,z1,z2,resistivity,coverage\n"
                                                         "0,1,0,0.5,100,1\n1,2.5,0,0.5,50,0.5\n"
                                                         "0,1,0.5,3,100,0.25\n1,2.5,0.5,3,80,0.125\n");
    step.ChangePercent[2] = std::numeric_limits<double>::infinity();
    EXPECT_THROW(FormatChangeTable(mesh, step), EForwardError);
    step.ChangePercent.pop_back();
    EXPECT_THROW(FormatChangeTable(mesh, step), EForwardError);
}

// Both images of each step's change, scored, printed as one line a step.
struct TSeriesScores {
    std::vector<TChangeScore> Lapse, Separate;
    std::vector<double> Truth;
    const TTimeLapseInversion* Inversion = nullptr;
};

TSeriesScores InvertBothWays(const TPlumeSeries& Series, TTimeLapseInversion& Lapse, const char* Name)
{
    TSurveyInversionOptions options;
    options.Forward.Threads = 2;
    const auto begin = std::chrono::steady_clock::now();
    std::vector<int> finished;
    TTimeLapseCallbacks callbacks;
    callbacks.Finished = [&](int step, const TSurveyInversion&) { finished.push_back(step); };
    Lapse = InvertTimeLapse(Series.Surveys, Series.Mesh, options, callbacks);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_FALSE(Lapse.Cancelled);
    EXPECT_EQ(finished, (std::vector<int>{0, 1, 2, 3}));
    TSeriesScores scores;
    if (Lapse.Steps.size() != Series.Surveys.size() - 1) {
        ADD_FAILURE() << "steps missing";
        return scores;
    }
    // Each survey alone, the change their images' ratio.
    std::vector<TSurveyInversion> alone{Lapse.Baseline};
    for (size_t t = 1; t < Series.Surveys.size(); ++t)
        alone.push_back(InvertSurvey(Series.Surveys[t], Series.Mesh, options));
    std::printf("%s: %d cells, %zu data; time-lapse %.1f s (%d forward computations in the %zu difference steps)\n",
                Name, Series.Mesh.Cells(), Series.Surveys[0].Size(), seconds, Lapse.Responses, Lapse.Steps.size());
    for (size_t t = 1; t < Series.Surveys.size(); ++t) {
        const TTimeLapseStep& step = Lapse.Steps[t - 1];
        std::vector<double> subtracted;
        for (size_t j = 0; j < step.ChangePercent.size(); ++j) {
            subtracted.push_back(100.0 * (alone[t].Resistivities[j] / alone[0].Resistivities[j] - 1.0));
            EXPECT_NEAR(step.ChangePercent[j],
                        100.0 * (step.Inversion.Resistivities[j] / Lapse.Baseline.Resistivities[j] - 1.0), 1e-9);
        }
        scores.Truth.push_back(100.0 * (Series.PlumeResistivity[t] / TPlumeSeries::Host - 1.0));
        scores.Lapse.push_back(ScoreChange(Series, t, step.ChangePercent, step.Inversion.Coverage));
        scores.Separate.push_back(ScoreChange(Series, t, subtracted, alone[t].Coverage));
        const TChangeScore& ours = scores.Lapse.back();
        const TChangeScore& separate = scores.Separate.back();
        const TInversionStep& last = step.Inversion.Steps.back();
        std::printf("  step %zu: true change %.0f %%; difference inversion %.1f %% in the plume (%d cells), %.1f %% of "
                    "%d quiet cells beyond 5 %% (%.1f %% of %d of coverage 0.1 and above), chi-square %.2f after %zu "
                    "iterations; separate inversions %.1f %%, %.1f %% (%.1f %%), chi-square %.2f\n",
                    t, scores.Truth.back(), ours.PlumeChange, ours.PlumeCells, 100 * ours.FalseShare, ours.QuietCells,
                    100 * ours.CoveredFalseShare, ours.CoveredQuietCells, last.ChiSquare,
                    step.Inversion.Steps.size() - 1, separate.PlumeChange, 100 * separate.FalseShare,
                    100 * separate.CoveredFalseShare, alone[t].Steps.back().ChiSquare);
        EXPECT_GT(ours.PlumeCells, 10);
        EXPECT_GT(ours.QuietCells, 50);
        EXPECT_LE(last.ChiSquare, 1.0) << step.Inversion.Stop;
        EXPECT_GT(last.ChiSquare, 0.5) << step.Inversion.Stop;
    }
    return scores;
}

TEST(TimeLapseInversion, GrowingPlumeWithIndependentNoiseRecoveredWithinAQuarterOfTheChange)
{
    const TPlumeSeries& series = test::PlumeSeries();
    TTimeLapseInversion lapse;
    const TSeriesScores scores = InvertBothWays(series, lapse, "independent 2 % noise");
    for (size_t k = 0; k < scores.Lapse.size(); ++k) {
        EXPECT_LE(std::fabs(scores.Lapse[k].PlumeChange - scores.Truth[k]), 0.25 * std::fabs(scores.Truth[k]))
            << "step " << k + 1;
        // The smooth change alone painted 0, 9 and 18 % of the well-covered
        // quiet cells beyond ±5 %: its smoothness smeared the plume into
        // the ground around it. The sharpened one keeps the first two
        // steps clean; at −80 % it paints about a tenth of the cells a
        // metre beside the plume, fewer than separate inversions do.
        EXPECT_GT(scores.Lapse[k].CoveredQuietCells, 80) << "step " << k + 1;
        EXPECT_LT(scores.Lapse[k].CoveredFalseShare, k < 2 ? 0.05 : 0.12) << "step " << k + 1;
        EXPECT_LT(scores.Lapse[k].CoveredFalseShare, scores.Separate[k].CoveredFalseShare + 0.005) << "step " << k + 1;
        // Every step tells how far its change is to be trusted.
        const TTimeLapseStep& step = lapse.Steps[k];
        ASSERT_EQ(step.ChangeUncertainty.size(), step.ChangePercent.size());
        EXPECT_TRUE(std::all_of(step.ChangeUncertainty.begin(), step.ChangeUncertainty.end(),
                                [](double sd) { return std::isfinite(sd) && sd >= 0.0; }));
        EXPECT_GT(*std::max_element(step.ChangeUncertainty.begin(), step.ChangeUncertainty.end()), 0.1);
    }
    // Of the baseline's forward computations, every step's first iteration is served again.
    int iterations = 0;
    for (const TTimeLapseStep& step : lapse.Steps)
        iterations += static_cast<int>(step.Inversion.Steps.size()) - 1;
    EXPECT_EQ(lapse.Responses, iterations);
}

// Guards against a series costing more than three inversions: two passes of
// forward computations per step (a smooth one, then a sharpened one) took
// a ten-survey series to four to five times one inversion's time.
TEST(TimeLapseInversion, ASeriesMeasuredOftenTakesAtMostThreeTimesOneInversionsForwardComputations)
{
    // 24 electrodes 2 m apart over 200 ohm-m above 100 ohm-m (the interface
    // 2 m deep); a block under the centre 6 m wide, 2 to 5 m deep, falls
    // from 100 ohm-m by 12 % a survey: six surveys, 2 % noise each.
    constexpr int electrodes = 24;
    constexpr double spacing = 2.0;
    TSurvey survey;
    std::vector<double> x;
    for (int e = 0; e < electrodes; ++e) {
        survey.Electrodes.push_back({e * spacing, 0.0});
        x.push_back(e * spacing);
    }
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, electrodes, 6);
    const double centre = x.back() / 2;
    TInversionMesh ground;
    ground.ColumnEdges = {-100.0, centre - 3.0, centre + 3.0, 150.0};
    ground.Elevations = {0.0, 0.0, 0.0, 0.0};
    ground.RowDepths = {0.0, 2.0, 5.0, 100.0};
    ground.Bottom = -100.0;
    TForwardOptions forward;
    forward.Threads = 2;
    std::vector<TMeasuredData> surveys;
    for (int t = 0; t < 6; ++t) {
        std::vector<double> rho(9, 100.0);
        std::fill(rho.begin(), rho.begin() + 3, 200.0);
        rho[4] = 100.0 * std::pow(0.88, t);
        const TForwardResult truth = ComputeForwardResponse(InversionGround(ground, rho), survey, forward);
        std::mt19937 random(static_cast<unsigned>(300 + t));
        std::normal_distribution<double> noise(0.0, 0.02);
        TMeasuredData data;
        data.Electrodes = survey.Electrodes;
        data.Configurations = survey.Configurations;
        for (size_t i = 0; i < truth.Resistivities.size(); ++i) {
            data.Resistivities.push_back(truth.Resistivities[i] * (1.0 + noise(random)));
            data.GeometricFactors.push_back(truth.GeometricFactors[i]);
        }
        surveys.push_back(data);
    }
    double deepest = 0.0;
    for (const TConfiguration& c : survey.Configurations)
        deepest = std::max(deepest, MedianDepth(survey, c));
    const TInversionMesh mesh =
        DefaultInversionMesh(x, -2 * spacing, x.back() + 2 * spacing, {{-2 * spacing, 0.0}, {x.back() + 2 * spacing, 0.0}}, deepest);
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    options.Forward.Threads = 2;
    const TTimeLapseInversion lapse = InvertTimeLapse(surveys, mesh, options);
    ASSERT_EQ(lapse.Steps.size(), surveys.size() - 1);
    // The baseline's: its starting model's and one per iteration.
    const int inversion = static_cast<int>(lapse.Baseline.Steps.size());
    std::printf("forward computations: the baseline %d, the %zu difference steps %d\n", inversion, lapse.Steps.size(),
                lapse.Responses);
    EXPECT_GT(inversion, 2);
    EXPECT_LE(inversion + lapse.Responses, 3 * inversion);
    for (const TTimeLapseStep& step : lapse.Steps) {
        std::printf("  step: chi-square of the change %.3f from %.3f, lambda %g, the block's cell %.1f %%; %s\n",
                    step.Inversion.Steps.back().ChiSquare, step.Inversion.Steps.front().ChiSquare,
                    step.Inversion.Steps.back().Lambda,
                    *std::min_element(step.ChangePercent.begin(), step.ChangePercent.end()), step.Inversion.Stop.c_str());
        EXPECT_LE(step.Inversion.Steps.back().ChiSquare, 1.0) << step.Inversion.Stop;
        // The block's cell the most: the change is where it happened.
        const auto most = std::min_element(step.ChangePercent.begin(), step.ChangePercent.end());
        const TGeometryPoint where = CellCentre(mesh, static_cast<int>(most - step.ChangePercent.begin()));
        EXPECT_NEAR(where.x, centre, 4.0);
        EXPECT_LT(*most, -3.0);
    }
}

TEST(TimeLapseInversion, AnErrorCommonToEverySurveyCancelsInTheDifferenceNotInSeparateInversions)
{
    // 3 % of every datum repeated in every survey, beside the 2 % of each.
    const TPlumeSeries series(0.03);
    TTimeLapseInversion lapse;
    const TSeriesScores scores = InvertBothWays(series, lapse, "independent 2 % noise and a common 3 % error");
    for (size_t k = 0; k < scores.Lapse.size(); ++k) {
        EXPECT_LE(std::fabs(scores.Lapse[k].PlumeChange - scores.Truth[k]), 0.25 * std::fabs(scores.Truth[k]))
            << "step " << k + 1;
        EXPECT_LT(scores.Lapse[k].FalseShare, scores.Separate[k].FalseShare) << "step " << k + 1;
    }
}

// A datum removed from one later survey (its cleaning, or a reading it
// lacks) was left out of every step and of the baseline's image: it is
// left out of that survey's step alone.
TEST(TimeLapseInversion, ADatumRemovedFromOneSurveyIsLeftOutOfThatStepAlone)
{
    const TPlumeSeries& series = test::PlumeSeries();
    const size_t count = series.Surveys[0].Size();
    const std::vector<size_t> removed{5, 40, 77, 150, 222, 300};
    std::vector<bool> marked(count, false);
    for (size_t i : removed)
        marked[i] = true;
    std::vector<TMeasuredData> surveys{series.Surveys[0], series.Surveys[1], KeepData(series.Surveys[2], marked)};
    const TCommonData common = CommonData(surveys, {"monday.dat", "tuesday.dat", "wednesday.dat"});
    EXPECT_EQ(common.Common(), count);
    for (const std::vector<size_t>& left : common.LeftOut)
        EXPECT_TRUE(left.empty());
    EXPECT_TRUE(common.Lacking(0).empty());
    EXPECT_TRUE(common.Lacking(1).empty());
    EXPECT_EQ(common.Lacking(2), removed);
    // What survey 2 lacks holds the baseline's values; its own data are its own.
    EXPECT_EQ(common.Surveys[2].Resistivities[40], series.Surveys[0].Resistivities[40]);
    EXPECT_EQ(common.Surveys[2].Resistivities[41], series.Surveys[2].Resistivities[41]);

    TSurveyInversionOptions options;
    options.Forward.Threads = 2;
    const TTimeLapseInversion lapse = InvertTimeLapse(common, series.Mesh, options);
    ASSERT_EQ(lapse.Steps.size(), 2u);
    // The baseline and step 1, whose surveys hold every datum, are those of
    // the series without survey 2.
    const TTimeLapseInversion pair = InvertTimeLapse({series.Surveys[0], series.Surveys[1]}, series.Mesh, options);
    ASSERT_EQ(pair.Steps.size(), 1u);
    for (size_t j = 0; j < pair.Steps[0].ChangePercent.size(); ++j) {
        EXPECT_NEAR(lapse.Baseline.Resistivities[j], pair.Baseline.Resistivities[j], 1e-9 * pair.Baseline.Resistivities[j]);
        EXPECT_NEAR(lapse.Steps[0].ChangePercent[j], pair.Steps[0].ChangePercent[j], 1e-9) << j;
    }
    EXPECT_EQ(lapse.Steps[0].Used, std::vector<bool>(count, true));
    // Step 2 compares the rest, and recovers its change as well.
    const TTimeLapseStep& second = lapse.Steps[1];
    std::vector<bool> used(count, true);
    for (size_t i : removed)
        used[i] = false;
    EXPECT_EQ(second.Used, used);
    ASSERT_EQ(second.Inversion.Measured.size(), count);
    ASSERT_EQ(second.Inversion.Response.size(), count);
    for (size_t i = 0; i < count; ++i) {
        ASSERT_TRUE(std::isfinite(second.Inversion.Response[i]) && second.Inversion.Response[i] > 0.0) << i;
        if (marked[i])
            EXPECT_EQ(second.Inversion.Measured[i], second.Inversion.Response[i]) << i;
        else
            EXPECT_NEAR(second.Inversion.Measured[i], series.Surveys[2].Resistivities[i],
                        1e-9 * series.Surveys[2].Resistivities[i]) << i;
    }
    const TChangeScore score = ScoreChange(series, 2, second.ChangePercent);
    EXPECT_LE(std::fabs(score.PlumeChange + 70.0), 0.25 * 70.0) << score.PlumeChange;
    const double chi = second.Inversion.Steps.back().ChiSquare;
    EXPECT_GT(chi, 0.5);
    EXPECT_LE(chi, 1.0) << second.Inversion.Stop;
}

// The baseline surveyed again over the same ground, with 2 % noise of its
// own: the step invents no change, and its χ² of the change is measured by
// the change's error, derived (√2 × 2 %, about twice the variance of
// what the difference holds) or set with ChangeErrorPercent.
TEST(TimeLapseInversion, ARepeatOverAnUnchangedGroundInventsNoChangeAndTheChangeErrorMeasuresItsFit)
{
    const TPlumeSeries& series = test::PlumeSeries();
    TMeasuredData repeat = series.Surveys[0];
    std::mt19937 random(77);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (double& rho : repeat.Resistivities)
        rho *= 1.0 + noise(random);
    TSurveyInversionOptions options;
    options.Forward.Threads = 2;
    const TTimeLapseInversion derived = InvertTimeLapse({series.Surveys[0], repeat}, series.Mesh, options);
    options.ChangeErrorPercent = 2.0;
    const TTimeLapseInversion set = InvertTimeLapse({series.Surveys[0], repeat}, series.Mesh, options);
    ASSERT_EQ(derived.Steps.size(), 1u);
    ASSERT_EQ(set.Steps.size(), 1u);
    for (const TTimeLapseInversion* lapse : {&derived, &set}) {
        const TTimeLapseStep& step = lapse->Steps.front();
        EXPECT_LT(step.ChangedShare, 5.0);
        EXPECT_EQ(step.ChangedShare, ChangedShare(step.ChangePercent, step.Inversion.Coverage));
        EXPECT_EQ(step.ChangeChiSquare, step.Inversion.Steps.back().ChiSquare);
    }
    EXPECT_LT(derived.Steps.front().ChangeChiSquare, 0.7);
    EXPECT_GT(set.Steps.front().ChangeChiSquare, 0.8);
    EXPECT_LT(set.Steps.front().ChangeChiSquare, 1.2);
}

TEST(TimeLapseInversion, CancelKeepsTheFinishedSteps)
{
    const TPlumeSeries& series = test::PlumeSeries();
    TSurveyInversionOptions options;
    options.Forward.Threads = 2;
    int finished = 0;
    TTimeLapseCallbacks callbacks;
    callbacks.Finished = [&](int, const TSurveyInversion&) { ++finished; };
    // Stopped as soon as the baseline and the first step are finished.
    const TTimeLapseInversion lapse =
        InvertTimeLapse(series.Surveys, series.Mesh, options, callbacks, [&] { return finished < 2; });
    EXPECT_TRUE(lapse.Cancelled);
    ASSERT_EQ(lapse.Steps.size(), 1u);
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(lapse.Steps[0].ChangePercent.size(), static_cast<size_t>(series.Mesh.Cells()));
    EXPECT_FALSE(lapse.Baseline.Cancelled);
}

} // namespace
} // namespace lp
