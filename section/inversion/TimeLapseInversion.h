#pragma once
// Monitoring: a series of surveys of one line, inverted for the change of
// the ground between them.
//
//   surveys (TMeasuredData, in time order) ──CommonData──> the data every survey holds, in the baseline's order
//       ──InvertTimeLapse──> the baseline's image + one difference image per later survey
//       ──FormatBaselineTable / FormatChangeTable──> CSV
//
// The data: a datum takes part when every survey holds it (the same four
// electrodes: A and B, and M and N, in either order within their pair,
// which changes the sign of k and of ΔU alike). The electrodes are matched
// by place (x; z too when both files give elevations): a later survey
// naming an electrode where the baseline has none has another layout and
// is refused, naming the survey; so is a survey of which fewer than half
// the data are common to all. Repeated data in one survey: the first
// counts. The data left out are listed per survey.
//
// The method (d = ln ρa as the single inversion's, m = ln ρ per cell):
//   - the baseline, survey 0, is inverted on its own as InvertSurvey does:
//     m_0, its response f(m_0) and Jacobian J(m_0);
//   - each later survey t by a difference inversion on the same mesh and
//     forward problem, minimising
//         ‖W_t((d_t − d_0) − (f(m_t) − f(m_0)))‖² + λ‖C(m_t − m_0)‖²
//     from m_t = m_0 (or from m_{t−1} when the previous step's model
//     explains d'_t better: a change growing step by step then takes fewer
//     iterations; the reference stays m_0). It is the single inversion (Inversion.h) of the data
//     d'_t = f(m_0) + (d_t − d_0) with the reference model m_0: what both
//     surveys share in error (electrode contacts, the mesh's error, what
//     the baseline's model could not explain) cancels, and the smoothness
//     acts on the change, so the image shows the change the data need and
//     no more. W_t = diag(1/ε), ε per datum the error of the difference of
//     two independent readings: √(ε_0² + ε_t²), each survey's ε its file's
//     where given, else ErrorPercent / 100 (as the single inversion's);
//   - the same λ rule and stop rule as the single inversion (its Settings:
//     first λ, iterations, limits, fixed cells, reference weight);
//   - the start's response and Jacobian (the baseline's, or the previous
//     step's) serve the step's first iteration without a forward
//     computation, and every step runs on the baseline's forward problem
//     (its mesh, geometric factors and symbolic factorisation).
// Change per cell: 100 (ρ_t / ρ_0 − 1) per cent.
//
// Progress and cancelling: Callbacks.Iteration after every iteration of
// every step (Step 0 the baseline), Callbacks.Finished after each step;
// Continue returning false cancels: the steps finished stay, the cancelled
// one is dropped and Cancelled set.

#include "section/inversion/SurveyInversion.h"

#include <functional>
#include <string>
#include <vector>

namespace lp {

// The data of a series reduced to those all surveys share.
struct TCommonData {
    // Per survey, the common data in the baseline's order, the electrodes
    // the baseline's (so that datum i is the same configuration in each).
    std::vector<TMeasuredData> Surveys;
    // Per survey, the data left out (indices into the survey as given).
    std::vector<std::vector<size_t>> LeftOut;
    size_t Common() const { return Surveys.empty() ? 0 : Surveys.front().Size(); }
};

// The data common to every survey (at least two). Names name the surveys
// in refusals (one per survey). Raises EDataFileError "The survey "NAME"
// ..." for another electrode layout or fewer than half its data common.
TCommonData CommonData(const std::vector<TMeasuredData>& Surveys, const std::vector<std::string>& Names);

struct TTimeLapseStep {
    TSurveyInversion Inversion;        // the survey's image (its steps the difference inversion's iterations)
    std::vector<double> ChangePercent; // per cell, against the baseline
};

struct TTimeLapseInversion {
    TSurveyInversion Baseline;
    std::vector<TTimeLapseStep> Steps; // the later surveys, in order; fewer when cancelled
    bool Cancelled = false;
    int Responses = 0; // forward computations of the difference steps together
};

struct TTimeLapseCallbacks {
    // Step 0 the baseline, K the K-th later survey.
    std::function<void(int Step, const TInversionStep& Iteration)> Iteration;
    std::function<void(int Step, const TSurveyInversion& Inversion)> Finished;
};

// Surveys: the common data (CommonData's Surveys), at least two. Options
// as InvertSurvey's, for every step (Options.Start the baseline's start).
// Raises EForwardError as InvertSurvey does, and for surveys of other
// configurations than the baseline's.
TTimeLapseInversion InvertTimeLapse(const std::vector<TMeasuredData>& Surveys, const TInversionMesh& Mesh,
                                    const TSurveyInversionOptions& Options = {},
                                    const TTimeLapseCallbacks& Callbacks = {},
                                    const std::function<bool()>& Continue = {});

// Per cell, 100 (Later / Baseline − 1) per cent (the baseline as long
// as Later at least).
std::vector<double> ChangePercent(const std::vector<double>& Baseline, const std::vector<double>& Later);

// "x1,x2,z1,z2,resistivity,coverage", one row per cell (as
// FormatInversionTable writes them).
std::string FormatBaselineTable(const TInversionMesh& Mesh, const TSurveyInversion& Baseline);
// "x1,x2,z1,z2,resistivity,change_percent,coverage".
// Both raise EForwardError when the values do not match the mesh or one is
// not a finite number.
std::string FormatChangeTable(const TInversionMesh& Mesh, const TTimeLapseStep& Step);

} // namespace lp
