#pragma once
// Monitoring: a series of surveys of one line, inverted for the change of
// the ground between them.
//
//   surveys (TMeasuredData, in time order) ──CommonData──> the data every survey holds, in the baseline's order
//       ──InvertTimeLapse──> the baseline's image + one difference image per later survey
//       ──FormatBaselineTable / FormatChangeTable──> CSV
//
// The data: a datum of the baseline takes part when a later survey holds
// it too (the same four electrodes: A and B, and M and N, in either order
// within their pair, which changes the sign of k and of ΔU alike); these
// are the series' common data. Each survey is cleaned on its own before:
// a datum a later survey lacks (not measured, unusable, or removed by its
// cleaning) is left out of that survey's step only, the others keep it; a
// datum the baseline lacks is in no step (every difference needs d_0).
// The electrodes are matched by place (x; z too when both files give
// elevations): a later survey naming an electrode where the baseline has
// none has another layout and is refused, naming the survey; so is a
// survey of which fewer than half the data are common, and a later survey
// holding fewer than half of the common data. Repeated data in one
// survey: the first counts. The data left out are listed per survey.
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
//     no more. W_t = diag(1/ε), ε per datum the error of the change: by
//     default that of the difference of two independent readings,
//     √(ε_0² + ε_t²), each survey's ε its file's own (err, or the errors
//     its reciprocals gave) where given, else ErrorPercent / 100 (as the
//     single inversion's); ChangeErrorPercent / 100 for every datum when
//     set. An error both surveys share cancels in the difference and
//     costs nothing;
//   - each step linearises the forward problem about its model m_k
//     (f(m) ≈ f(m_k) + J(m_k)(m − m_k)) and solves the linear problem of
//     the change z = m − m_0 exactly (LinearisedChange.h), for λ chosen
//     for this change: the λ minimising the unbiased estimate of the
//     predictive risk with the change's errors taken as known. A change
//     above its noise is always started (the risk falls with the first
//     change the data hold); one within it gets a λ that keeps it near 0;
//     the fit ends near χ² = 1 − trace / n rather than at 1, so that a
//     change near the noise level is not damped away. λ is not inherited
//     from the baseline, whose λ measured another problem;
//   - the change's roughness is then measured nearly in the L1 norm
//     (iteratively reweighted least squares, SharpeningPasses passes on
//     the first linearisation): row i of C weighted by √w_i,
//     w_i = ε / √(r_i² + ε²), r = C z of the change before, ε = 0.02 in
//     ln ρ (a datum's noise), λ chosen anew for each reweighting (a
//     reweighted smoothness is a weaker one: at the smooth λ the noise
//     would come through). A smooth norm smears a true change into the
//     ground around it and overshoots beyond its edges; the reweighted
//     one keeps the edges and smooths the noise's ripples. The sharpened
//     change is kept only where it keeps what the smooth one found: its
//     largest change over the cells where the smooth change passes 4 %
//     must be at least three quarters of the smooth one's there, so the
//     reweighting never makes a found change vanish; else the smooth
//     change stays. Later linearisations of the step reweight once from
//     the change reached;
//   - one forward computation at the new model (halved toward m_k, three
//     times at most, while Φ = ‖W(d' − f)‖² + λ zᵀRz does not fall) tells
//     the true χ² and serves the next linearisation. The step ends when
//     the linearisation held (Φ within 1 % of its prediction: one forward
//     computation for a step of a small change), Φ fell by less than 1 %,
//     no step lowered Φ, or the iteration limit;
//   - the start's response and Jacobian (the baseline's, or the previous
//     step's) serve the step's first linearisation without a forward
//     computation, and every step runs on the baseline's forward problem
//     (its mesh, geometric factors and symbolic factorisation);
//   - the change's uncertainty per cell (TTimeLapseStep::ChangeUncertainty):
//     the standard deviation the data's noise gives the change of the last
//     linearisation, the noise at the level the fit shows it (errors set
//     too large or too small corrected by it); not the smoothing's bias,
//     which a cell the data barely see carries instead.
// Change per cell: 100 (ρ_t / ρ_0 − 1) per cent.
//
// Dates: a survey's date is the earliest time of its data where its file
// tells them (TMeasuredData::Times); a series is put in time order by them
// when every survey has one (TimeOrder), else kept in the order given.
//
// Progress and cancelling: Callbacks.Iteration after every iteration of
// every step (Step 0 the baseline), Callbacks.Finished after each step;
// Continue returning false cancels: the steps finished stay, the cancelled
// one is dropped and Cancelled set.

#include "section/inversion/SurveyInversion.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lp {

// The data of a series reduced to those all surveys share.
struct TCommonData {
    // Per survey, the common data in the baseline's order, the electrodes
    // the baseline's (so that datum i is the same configuration in each).
    // A datum the survey lacks (Held false) holds the baseline's values.
    std::vector<TMeasuredData> Surveys;
    // Per survey, the data left out (indices into the survey as given).
    std::vector<std::vector<size_t>> LeftOut;
    // Per survey, per common datum: whether the survey holds it (the
    // baseline every one); a datum a later survey lacks is left out of its step.
    std::vector<std::vector<bool>> Held;
    size_t Common() const { return Surveys.empty() ? 0 : Surveys.front().Size(); }
    // The common data survey S lacks (indices into the common data).
    std::vector<size_t> Lacking(size_t Survey) const;
};

// The survey's date: the earliest time of its data (TMeasuredData::Times,
// seconds since 1970-01-01); none when its file tells none.
std::optional<double> SurveyTime(const TMeasuredData& Data);
// The surveys' time order (indices into Surveys): by SurveyTime when
// every survey has one (equal dates keep the order given), else as given.
std::vector<size_t> TimeOrder(const std::vector<TMeasuredData>& Surveys);
// "2020-03-01 10:02:11" (to the second) of a SurveyTime.
std::string FormatSurveyTime(double Seconds);

// The data common to every survey (at least two). Names name the surveys
// in refusals (one per survey). Raises EDataFileError "The survey "NAME"
// ..." for another electrode layout or fewer than half its data common.
TCommonData CommonData(const std::vector<TMeasuredData>& Surveys, const std::vector<std::string>& Names);

struct TTimeLapseStep {
    TSurveyInversion Inversion;        // the survey's image (its steps the difference inversion's iterations)
    std::vector<double> ChangePercent; // per cell, against the baseline
    // Per common datum, whether the step compared it (false: the survey
    // lacks it; its Inversion.Measured then holds the response).
    std::vector<bool> Used;
    // χ² of the change: the step's data against its response, measured by
    // the change's errors (the last iteration's χ²).
    double ChangeChiSquare = 0.0;
    // The share, in per cent, of the well-covered cells (the best-covered
    // WellCoveredShare of them by the step's coverage) whose change lies beyond ±ChangedLimit per cent.
    double ChangedShare = 0.0;
    // Per cell, the change's standard deviation in per cent of ρ_0 (from
    // the step's linearised problem); empty when the step gives none.
    std::vector<double> ChangeUncertainty;
};

// A change beyond this (per cent either way) counts as a change in
// TTimeLapseStep::ChangedShare.
inline constexpr double ChangedLimit = 5.0;
inline constexpr double WellCoveredShare = 0.6;

// The share, in per cent, of the best-covered WellCoveredShare of the
// cells whose Change (per cent) lies beyond ±ChangedLimit.
double ChangedShare(const std::vector<double>& Change, const std::vector<double>& Coverage);

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

// Data: CommonData's result; each later survey's step leaves out the
// data it lacks (Held). Options as InvertSurvey's, for every step
// (Options.Start the baseline's start). Raises EForwardError as
// InvertSurvey does, for surveys of other configurations than the
// baseline's, and for a step holding no datum.
TTimeLapseInversion InvertTimeLapse(const TCommonData& Data, const TInversionMesh& Mesh,
                                    const TSurveyInversionOptions& Options = {},
                                    const TTimeLapseCallbacks& Callbacks = {},
                                    const std::function<bool()>& Continue = {});
// Surveys: the common data (CommonData's Surveys), at least two, every
// datum held by every survey (a series with data lacking in a survey goes
// through the overload above, which leaves them out of its step).
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
