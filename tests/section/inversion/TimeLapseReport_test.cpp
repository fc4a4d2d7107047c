// A step's numbers as it ends and its cell table with the change's
// uncertainty: the numbers formed from the Finished callback are the
// series' own, the uncertainty column is written only when given and
// refused when it cannot be right.

#include "section/inversion/TimeLapseReport.h"

#include "section/survey/ModellingError.h"
#include "section/survey/Survey.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

// The table test's two by two cells.
TInversionMesh FourCells()
{
    TInversionMesh mesh;
    mesh.ColumnEdges = {0.0, 1.0, 2.5};
    mesh.Elevations = {0.0, 0.0, 0.0};
    mesh.RowDepths = {0.0, 0.5, 1.0};
    mesh.Bottom = -3.0;
    return mesh;
}

TTimeLapseStep FourCellStep()
{
    TTimeLapseStep step;
    step.Inversion.Resistivities = {100.0, 50.0, 100.0, 80.0};
    step.Inversion.Coverage = {1.0, 0.5, 0.25, 0.125};
    step.ChangePercent = {0.0, -50.0, 0.0, -20.0};
    return step;
}

TEST(TimeLapseReport, TheUncertaintyColumnIsWrittenOnlyWhenTheStepGivesOne)
{
    const TInversionMesh mesh = FourCells();
    TTimeLapseStep step = FourCellStep();
    EXPECT_EQ(FormatStepTable(mesh, step), FormatChangeTable(mesh, step));
    step.ChangeUncertainty = {1.5, 12.25, 0.0, 3.0};
    EXPECT_EQ(FormatStepTable(mesh, step), "x1,x2,z1,z2,resistivity,change_percent,coverage,change_sd_percent\n"
                                           "0,1,0,0.5,100,0,1,1.5\n1,2.5,0,0.5,50,-50,0.5,12.25\n"
                                           "0,1,0.5,3,100,0,0.25,0\n1,2.5,0.5,3,80,-20,0.125,3\n");
}

TEST(TimeLapseReport, AnUncertaintyThatCannotBeRightIsRefused)
{
    const TInversionMesh mesh = FourCells();
    const std::vector<std::vector<double>> refused{{1.0, 2.0, 3.0},
                                                   {1.0, 2.0, 3.0, 4.0, 5.0},
                                                   {1.0, std::numeric_limits<double>::quiet_NaN(), 3.0, 4.0},
                                                   {1.0, 2.0, std::numeric_limits<double>::infinity(), 4.0},
                                                   {1.0, -2.0, 3.0, 4.0}};
    for (const std::vector<double>& deviation : refused) {
        TTimeLapseStep step = FourCellStep();
        step.ChangeUncertainty = deviation;
        EXPECT_THROW(FormatStepTable(mesh, step), EForwardError) << deviation.size();
    }
    // The change table's own refusals stand.
    TTimeLapseStep step = FourCellStep();
    step.ChangeUncertainty = {1.0, 2.0, 3.0, 4.0};
    step.ChangePercent[1] = std::numeric_limits<double>::infinity();
    EXPECT_THROW(FormatStepTable(mesh, step), EForwardError);
}

// Twelve electrodes 1 m apart, dipole-dipole n = 1 .. 4: ρa 100 + i in
// the baseline, the later surveys the shallow data 20 and 40 % lower.
std::vector<TMeasuredData> SmallSeries()
{
    TMeasuredData data;
    for (int e = 0; e < 12; ++e)
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
    data.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 12, 4);
    for (size_t i = 0; i < data.Configurations.size(); ++i)
        data.Resistivities.push_back(100.0 + static_cast<double>(i % 7));
    std::vector<TMeasuredData> series{data, data, data};
    for (size_t t = 1; t < series.size(); ++t)
        for (size_t i = 0; i < data.Configurations.size(); ++i) {
            const TConfiguration& c = data.Configurations[i];
            if (c.m - c.b <= 2)
                series[t].Resistivities[i] *= 1.0 - 0.2 * static_cast<double>(t);
        }
    return series;
}

// The numbers a step shows as it ends are those the series returns.
TEST(TimeLapseReport, TheFinishedStepsNumbersAreTheSeriesOwn)
{
    const std::vector<TMeasuredData> surveys = SmallSeries();
    std::vector<double> x;
    for (const TElectrode& e : surveys.front().Electrodes)
        x.push_back(e.x);
    const TInversionMesh mesh = DefaultInversionMesh(x, -2.0, 13.0, {{-2.0, 0.0}, {13.0, 0.0}}, 3.0);
    TSurveyInversionOptions options;
    options.Settings.Iterations = 3;
    options.Forward.Threads = 1;
    options.Start.assign(static_cast<size_t>(mesh.Cells()), 100.0);
    TSurveyInversion baseline;
    std::vector<TTimeLapseStep> finished;
    TTimeLapseCallbacks callbacks;
    callbacks.Finished = [&](int Step, const TSurveyInversion& Inversion) {
        if (Step == 0)
            baseline = Inversion;
        else
            finished.push_back(FinishedStep(baseline, Inversion));
    };
    const TTimeLapseInversion series = InvertTimeLapse(surveys, mesh, options, callbacks);
    ASSERT_EQ(series.Steps.size(), 2u);
    ASSERT_EQ(finished.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const TTimeLapseStep& own = series.Steps[k];
        EXPECT_EQ(finished[k].ChangePercent, own.ChangePercent) << "step " << k + 1;
        EXPECT_EQ(finished[k].ChangeChiSquare, own.ChangeChiSquare) << "step " << k + 1;
        EXPECT_EQ(finished[k].ChangedShare, own.ChangedShare) << "step " << k + 1;
        EXPECT_TRUE(finished[k].ChangeUncertainty.empty());
    }
    // The shallow fall seen: the second step changed more cells.
    EXPECT_GT(series.Steps[1].ChangedShare, 0.0);
    EXPECT_GE(series.Steps[1].ChangedShare, series.Steps[0].ChangedShare);
    // Images of other cells are no step.
    TSurveyInversion other = baseline;
    other.Resistivities.pop_back();
    EXPECT_THROW(FinishedStep(baseline, other), EForwardError);
}

} // namespace
} // namespace lp
