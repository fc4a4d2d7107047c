#pragma once
// Smoothness-constrained Gauss–Newton inversion of apparent resistivities
// for one resistivity per parameter (a cell of the parameter mesh), the
// linear inversion of apparent chargeabilities that follows it, and the
// depth of investigation of its image.
//
// Resistivity: the data d = ln ρa with relative errors ε (weights
// W = diag(1/ε)); the model m = ln ρ per parameter, seen through a bounded
// transform u(m) per parameter (identity without limits; ln(m − a) −
// ln(b − m) between a = ln ρ_lo and b = ln ρ_hi, one-sided forms with one
// limit), so every step stays inside the limits. Minimised:
//     Φ(u) = ‖W(d − f(u))‖² + λ‖C(u − u_r)‖² + λ α_s ‖W_s(u − u_r)‖²
// u_r the reference model (the starting model unless one is given), C the
// smoothness operator (InversionMesh.h), α_s the reference weight (0 by
// default: no smallness term) and W_s = diag(√s_j) the smallness weights
// (1 each unless given; the survey inversion gives each cell its area over
// the smallest cell's, see SurveyInversion.h). The smallness is scaled by
// λ, as the roughness is, so that it keeps its share of the regularisation
// while λ is chosen anew each iteration: α_s is a ratio, not a strength.
// Each iteration: the response and the Jacobian J = ∂f/∂m at the model
// (one forward computation), the Gauss–Newton step of the free parameters
//     (JᵤᵀWᵀWJᵤ + λR) Δu = JᵤᵀWᵀW(d − f) − λR(u − u_r),  R = CᵀC + α_s W_s²
// solved for the λ of one rule, the same from any first λ, in the window
// and on the command line alike. Where the linearised problem is small
// enough for its closed form (the smaller of the data and the free
// parameters at most 3,000: LinearisedChange.h tells every λ at O(size)
// after one reduction; the step itself is the exact solution):
//     λ = max(λ_aim, λ_cv, λ_prev / fall)
//   - λ_aim: the largest λ whose step's predicted χ² reaches the
//     iteration's aim max(1, χ²/16): far from the data the steps stay
//     smooth; near them it is the discrepancy principle, χ² 1 where the
//     errors are the data's;
//   - λ_cv: the minimum of the generalised cross-validation of the step's
//     model, ‖W(d − f − JΔu)‖² / (n − trace)², the λ whose model best
//     predicts a datum left out, with no error level assumed. Real lines
//     rarely fit χ² 1 at the errors users give (3-D ground, positions,
//     contacts, outliers): there χ² 1 is reached only by fitting that
//     remainder with roughness, at λ far below λ_cv, the aim lies beyond
//     it and λ_cv holds (a rule that kept lowering λ while a halving
//     bought a few per cent ran a real slope line to its floor, cells of
//     1.5 to 297,018 ohm-m, its end depending on the first λ). Where the
//     errors are the data's, λ_cv lies at or below the discrepancy's λ
//     (its fit ends near χ² = 1 − trace/n) and the aim decides;
//   - the promise: λ may fall by 8 only after a step whose χ² came within
//     1.25 times its prediction; within 2 times λ holds, beyond it λ
//     doubles (the linearisation did not hold at the step's size).
// Where λ_cv decided the last step and χ² stays above 1 (by a noise level
// above 1.1), the result says so (Stop, LambdaFromNoise) with the factor
// on the errors at which the misfit would be the noise's, the noise level
// the fit shows, √(‖r‖² / (n − trace)) (ErrorScale).
// Larger problems take trial λ on conjugate-gradient solves sharing one
// Jacobian (NormalEquations.h): λ_prev × 2^k from k = 1 down to k = −3,
// the largest λ whose linearised χ² reaches the aim taken (upwards to 64
// λ_prev when 2λ_prev already reaches it), a halving of λ kept only where
// it buys 3 % of the predicted χ² or half of what is left of the way to
// the aim (waived below a predicted χ² of 2), the promise as above, and
// while χ² is above 2 λ stays at or above a hundredth of the first λ.
// Then a line search: a step that raises Φ is halved (three times at
// most; one changing a cell's ln ρ by more than ln 10⁴ counts as raising
// it, not computed); where no halving lowers Φ the step of 4 and then 16
// times λ (the same Jacobian) is tried before the inversion ends with the
// model before it. Fixed parameters keep their start value. Stop: χ² ≤ 1, χ² fell by
// less than 1 % in an iteration (over the last two after a λ raised by a
// broken promise or a retry; not after a step that broke its promise),
// or the iteration limit. The inversion ends with the iterate of the
// lowest χ² unless the last one lies within 1 % of it: a step accepted on
// Φ at a raised λ (a retry) smooths the model and may raise χ² (1.00 to
// 2.48 on a survey whose iteration 4 was already at the noise); such a
// step's model is not returned: the best one is, with its response and
// Jacobian (one more forward computation), its steps the ones that led to
// it, and Stop says which iteration was kept and why. With HoldLambda, λ
// stays the given one and the inversion minimises Φ for it: no χ² ≤ 1
// stop, no retry, and the 1 % test is on Φ.
//
// Sharp boundaries (Blocky): the roughness's norm of power ½ by iteratively
// reweighted least squares. C's rows are scaled by √w_k, w_k =
// (Δ_k² + ε²)^(−3/4) with Δ_k the ln ρ step the row measures
// (|(C(u − u_r))_k| over the row's largest coefficient) and ε
// BlockyEpsilon (0.02 by default: a 2 % change between neighbours, below
// what data of a few per cent resolve, counts as smooth; a smaller ε only
// sharpens slower and conditions the solves worse), the weights scaled to
// a mean of 1 so that λ keeps its meaning (a uniform model's rows all
// weigh 1). Then Σ w_k (CΔu)_k² ≈ Σ |Δ_k|^½ (× a constant) where the steps
// pass ε: an edge costs by the square root of its height, so a block keeps
// its contrast. The L1 norm (an edge costing by its height) shaved a
// buried 400 ohm-m block in 50 ohm-m to 288 and left one of its edges
// without a step; the norm of power ½ reaches 374 with every edge a step,
// and still ends within a correlation of 0.98 whatever the first λ (the
// support's count, power 0, reached 395 but ended differently from each
// start). The weights come from the current model at each iteration's
// start and again, twice, from the model the chosen step reaches (the λ
// chosen anew each time; solves on the same Jacobian, no forward
// computation), so that each iteration takes the reweighted roughness's
// step.
// Robust to bad data (Robust): the misfit's L1 norm beyond a threshold
// (Huber's), reweighted each iteration from the current response: with
// z_i = (d_i − f_i)/ε_i and the misfits' scale s (RobustScale: from the
// median |z|, at least 1, at least what keeps 90 % at full weight), datum
// i's weight is (1/ε_i) / √max(|z_i| / (1.5 s), 1): within 1.5 s it keeps
// its weight (Huber's 1.5: 96 % of the efficiency of least squares on
// normal errors), beyond it its squared weighted misfit grows as |z| only.
// The scale keeps the uniform start, whose misfits are all large, and
// structure not yet fitted from being down-weighted as bad data. The λ rule and the stop rule follow the
// χ² of the data at full weight, divided by its value at the noise level
// (E[z² | |z| ≤ 1.5 s] for normal z: 0.55 at s = 1), so that its aim of 1
// is the noise for them too; the stop at 1 is judged with the weights of
// the new model (the next iteration's start), and the best iterate kept
// (below) is the one of the lowest Huber misfit at s = 1. The steps' χ²
// stays the data's own on their errors (ε_i, not the reweighted ones);
// FullWeightData and FullWeightChiSquare give the data at full weight and
// their χ².
//
// χ² = (1/N) Σ ((d_i − f_i)/ε_i)², rrms = 100 √(mean((ρa,calc/ρa,meas − 1)²)) %,
// both over the measured data (the prior data's χ² apart: PriorData).
//
// Chargeability (Seigel, small η): ηa_i ≈ Σ_j J_ij η_j with J = ∂ln ρa/∂ln ρ
// at the final model: a linear least-squares problem with the same
// smoothness, bounded to 0 ≤ η < 1 by fixing values that leave the range
// at the bound and solving again, its λ by the linear inversions' rule
// (LinearInversion.h).
//
// Depth of investigation (after Oldenburg and Li, 1999): two more
// inversions of the same data, each with a reference model a Factor
// (10) below and above the starting model and a small reference weight,
// held at the main result's last λ; the first starts from the main result,
// the second from the first's result mirrored about the main result in
// ln ρ (where it would end in a linear problem: from the main result it
// spent its share on line-search halvings before the unseen cells came
// near their reference). Where the data
// decide a cell, both end near the main result; where they do not, each
// follows its reference. Per cell
//     DOI_j = |m1_j − m2_j| / |ln F − ln (1/F)|      (m = ln ρ)
// is near 0 where the image is the data's and near 1 where it is the
// reference's. Read 0.2 as the usual limit: a cell above it owes more
// than a fifth of its value to what the inversion was told to expect, and
// its value should not be read as measured. The two inversions reuse the
// main one's problem (its mesh and factorisation; the main result's
// response and Jacobian serve their first iteration) and together take at
// most TimeShare (1.5) times the main inversion's forward computations
// less one (they are the bulk of its time; the one left for the solves;
// but one each at least): the first is cut after
// half of them, the second after the rest, each keeping its last finished
// iteration. Counted, not timed, so that the index does not depend on the
// machine's load.
//
// Progress and cancelling: Callbacks.Iteration is called after every
// finished iteration with its numbers and model; a forward computation
// cancelled (EForwardCancelled from the problem) ends the inversion with
// the last finished iteration's model and Cancelled set. A forward
// computation that fails raises its EForwardError.

#include "section/forward/ForwardModel.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include <functional>
#include <string>
#include <vector>

namespace lp {

// The forward problem the inversion runs against.
class TInversionProblem {
public:
    virtual ~TInversionProblem() = default;
    // The response ln ρa for ln ρ per parameter and, when asked, the
    // Jacobian ∂ln ρa_i / ∂ln ρ_j (data × parameters).
    virtual Eigen::VectorXd Respond(const Eigen::VectorXd& LogResistivities, Eigen::MatrixXd* Jacobian) = 0;
    // The same for a model responded to before: the inversion frees an
    // iterate's Jacobian during its line search and makes it again where a
    // retry or the end needs it. A problem that counts its computations
    // need not count these.
    virtual Eigen::VectorXd Recompute(const Eigen::VectorXd& LogResistivities, Eigen::MatrixXd* Jacobian)
    {
        return Respond(LogResistivities, Jacobian);
    }
};

// The range of the regularisation strength λ, the start and every trial
// alike. Φ weighs λ‖CΔu‖² against the data's squared misfits measured by
// their errors, so the data's scale is in it already: below MinLambda the
// smoothness no longer holds the cells the data do not see, and the image
// runs off to resistivities no ground has (a vanishing λ fitted its data
// with cells from 1e-7 to 1e15 ohm-m); above MaxLambda no step moves the
// model from its start.
inline constexpr double MinLambda = 1e-4;
inline constexpr double MaxLambda = 1e6;

// The most a step may change a cell's ln ρ (a factor 10⁴): a longer one is
// not computed and counts as not lowering the objective. A cell that
// neither a datum nor a neighbour holds (a zone cut off by a drawn
// boundary, unseen) is all but free in the normal equations, and a large λ
// could send it to a resistivity no forward computation takes.
inline constexpr double MaxLogStep = 9.21;

// The ln ρ step between neighbouring cells below which the sharp
// boundaries' reweighting treats the roughness as smooth (BlockyRowWeights).
inline constexpr double DefaultBlockyEpsilon = 0.02;
// The misfit, in the datum's errors, beyond which the robust reweighting
// lowers a datum's weight (RobustDataWeights).
inline constexpr double RobustThreshold = 1.5;
// The largest share of the data the robust reweighting lowers at once.
inline constexpr double RobustShare = 0.1;

struct TInversionSettings {
    double Lambda = 20.0;   // the first iteration's regularisation strength, MinLambda .. MaxLambda
    int Iterations = 20;    // at most
    // Per parameter; empty for none. Limits in ohm-m: 0 for no lower
    // limit, infinity for no upper one.
    std::vector<bool> Fixed;
    std::vector<double> Lower;
    std::vector<double> Upper;
    // The smallness term: α_s (finite, 0 or above; 0 for none), the
    // reference model in ohm-m per parameter (finite, above 0; empty: the
    // start; the roughness too is then measured from it) and s_j = W_s,j²
    // per parameter (finite, 0 or above; empty: 1 each).
    double ReferenceWeight = 0.0;
    std::vector<double> Reference;
    std::vector<double> SmallnessWeights;
    bool HoldLambda = false; // λ stays Lambda; Φ, not χ², decides the end
    // The last PriorData data are prior data (a well log's ln ρ of a cell),
    // not measurements: in Φ with their errors like the rest, but χ² and
    // rrms, which choose λ and stop the inversion, are the measured data's
    // alone (a log that disagrees with the survey must not drive the
    // survey's fit below its noise); their χ² is reported apart.
    int PriorData = 0;
    // Sharp boundaries: the roughness's rows reweighted each iteration
    // (BlockyRowWeights) so that Φ measures the roughness's norm of power ½.
    bool Blocky = false;
    double BlockyEpsilon = DefaultBlockyEpsilon; // ln ρ, finite, above 0
    // Robust to bad data: the measured data's weights lowered each
    // iteration where their misfit passes RobustThreshold errors
    // (RobustDataWeights): the misfit's L1 norm beyond it.
    bool Robust = false;
};

struct TInversionStep {
    int Iteration = 0; // 0: the starting model
    double ChiSquare = 0.0;
    double Rrms = 0.0;  // per cent
    double Lambda = 0.0; // the λ of the step that led here (the first λ for the starting model)
    double PriorChiSquare = 0.0; // of the prior data (TInversionSettings::PriorData); 0 without
    // With Robust: the data within RobustThreshold errors of the response
    // (those at their full weight) and their χ²; 0 without.
    int FullWeightData = 0;
    double FullWeightChiSquare = 0.0;
};

struct TInversionCallbacks {
    std::function<void(const TInversionStep& Step, const Eigen::VectorXd& Resistivities)> Iteration;
};

struct TInversionResult {
    Eigen::VectorXd Resistivities; // ohm-m per parameter
    Eigen::VectorXd Response;      // ρa calculated, ohm-m
    Eigen::MatrixXd Jacobian;      // at the returned model, every parameter
    std::vector<TInversionStep> Steps;
    std::string Stop;              // why it stopped, one sentence
    bool Cancelled = false;
    int Responses = 0;             // forward computations run
    // χ² 1 out of reach: the last λ was the generalised cross-validation's
    // and the errors would have to be ErrorScale times larger for the
    // misfit to be the noise's (1 otherwise).
    bool LambdaFromNoise = false;
    double ErrorScale = 1.0;
};

// Raises EForwardError "The regularisation strength λ must be a number
// from 0.0001 to 1e6, not 1e-300." for a λ outside MinLambda .. MaxLambda.
void RequireLambdaInRange(double Lambda);

// A free cell starting on or beyond a limit starts just inside it (a
// thousandth in ln ρ); a fixed cell keeps its start, whatever its limits.
// Raises EForwardError for inconsistent sizes, errors that are not finite
// and above 0, a start not finite and above 0, limits with lower ≥ upper,
// a λ outside MinLambda .. MaxLambda, a reference weight not finite and 0
// or above, a reference or smallness weights not as described above.
TInversionResult InvertResistivity(TInversionProblem& Problem, const Eigen::VectorXd& Measured,
                                   const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness,
                                   const Eigen::VectorXd& Start, const TInversionSettings& Settings = {},
                                   const TInversionCallbacks& Callbacks = {});

struct TDepthOfInvestigationSettings {
    double ReferenceWeight = 0.05; // α_s of the two inversions
    double Factor = 10.0;          // the references: the start / Factor and × Factor
    double TimeShare = 1.5;        // both together, in forward computations of the main inversion
};

struct TDepthOfInvestigation {
    Eigen::VectorXd Index;     // per parameter, 0 to 1 (beyond the references' spread: 1); empty when cancelled
    Eigen::VectorXd Low, High; // ohm-m: the results with the lower and the higher reference
    std::vector<TInversionStep> Steps; // of both, numbered on from the first to the second
    bool Cancelled = false;
};

// The depth of investigation of Main, the result of InvertResistivity with
// the same Problem, Measured, Errors, Smoothness, Start and Settings (its
// fixed cells, limits and smallness weights are kept; its reference weight
// and reference are replaced). Callbacks.Iteration is called after every
// finished iteration of the two inversions (iteration 0 not), numbered on
// from the first to the second. Cancelled as InvertResistivity is (then
// Cancelled is set and Index is empty). Raises EForwardError as
// InvertResistivity does, and for a Main without steps or with another
// count of parameters, a Factor not finite and above 1, a TimeShare not
// finite and above 0.
TDepthOfInvestigation DepthOfInvestigation(TInversionProblem& Problem, const Eigen::VectorXd& Measured,
                                           const Eigen::VectorXd& Errors,
                                           const Eigen::SparseMatrix<double>& Smoothness,
                                           const Eigen::VectorXd& Start, const TInversionSettings& Settings,
                                           const TInversionResult& Main,
                                           const TDepthOfInvestigationSettings& Doi = {},
                                           const TInversionCallbacks& Callbacks = {});

// The largest chargeability a cell takes (a fraction: below 1).
inline constexpr double MaxCellChargeability = 0.999;

struct TChargeabilityResult {
    Eigen::VectorXd Chargeabilities; // per parameter, fraction 0 .. < 1
    Eigen::VectorXd Response;        // ηa calculated, fraction
    double ChiSquare = 0.0;
    double Lambda = 0.0;
    bool FromNoise = false;          // χ² 1 out of reach (LinearInversion.h: TLambdaChoice)
    double ErrorScale = 1.0;
};

// Measured ηa and absolute Errors as fractions, nan where a datum has
// none (left out). Raises EForwardError for inconsistent sizes or no
// usable datum.
TChargeabilityResult InvertChargeability(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Measured,
                                         const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness);

// Σ_i |J_ij| / Areas_j, scaled to a largest value of 1 (all 0 without
// sensitivity).
Eigen::VectorXd Coverage(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Areas);

double ChiSquare(const Eigen::VectorXd& Measured, const Eigen::VectorXd& Calculated, const Eigen::VectorXd& Errors);

// The square roots of the sharp boundaries' row weights (the factors on
// C's rows) from the roughness C(u − u_r) and each row's largest
// |coefficient| (a row of none keeps 1): for a row between two cells its
// ln ρ step Δ_k = |(C(u − u_r))_k| / RowScales_k, its weight
// w_k = (Δ_k² + Epsilon²)^(−3/4), scaled so that the rows' mean weight is 1
// (λ keeps its meaning: a smooth model's rows all weigh 1). Then
// Σ w_k (CΔ)_k² ≈ Σ |(CΔ)_k|^½ × const where steps pass Epsilon: an edge
// costs by the square root of its height, not its square, and stays sharp.
Eigen::VectorXd BlockyRowWeights(const Eigen::VectorXd& Roughness, const Eigen::VectorXd& RowScales, double Epsilon);

// The misfits' scale for residuals r_i (ln ρa) and weights 1/ε_i:
// s = max(1, 1.4826 median |z_i|, q₉₀ / RobustThreshold), z_i = r_i/ε_i,
// q₉₀ the 90th percentile of |z| (1 − RobustShare): the standard deviation
// of normal misfits, at least the errors' own, and at least what leaves
// nine data in ten at full weight. While the model is far from the data
// (the uniform start, structure not yet fitted) many misfits are large
// and s with them, so only the data far off the bulk are down-weighted,
// not the structure the model has yet to explain.
double RobustScale(const Eigen::VectorXd& Residuals, const Eigen::VectorXd& Weights);

// The factors on the data weights 1/ε_i: 1 / √max(|z_i| / (RobustThreshold
// s), 1), s = RobustScale, so that a datum's squared weighted misfit grows
// as z² within RobustThreshold s and as RobustThreshold s |z| beyond it:
// the misfit's L1 norm for the data far off.
Eigen::VectorXd RobustDataWeights(const Eigen::VectorXd& Residuals, const Eigen::VectorXd& Weights);

// χ² over the data RobustDataWeights leaves at their full weight
// (|z_i| ≤ RobustThreshold s) and their count (0 and 0 without one).
void FullWeightChiSquare(const Eigen::VectorXd& Residuals, const Eigen::VectorXd& Weights, double& ChiSquare,
                         int& Count);

// The shortest share of a step the line search tries, and the index of a
// share tried (1: 0, 1/2: 1, ...).
inline constexpr double ShortestHalving = 0.125;
size_t HalvingOf(double Length);

// The line search of an iteration: From + t·Direction tried for t = 1, 1/2,
// 1/4 and 1/8 until Accept(model, response) holds. Respond gives a model's
// response and Jacobian; Responses counts its calls. The last model tried
// comes back with its response and Jacobian, accepted or not (a trial's
// Jacobian is freed before the next one is computed); a cancellation (EForwardCancelled)
// passes through.
struct THalvedStep {
    bool Accepted = false;
    double Length = 0.0; // of the last model tried, a share of Direction
    Eigen::VectorXd Model, Response;
    Eigen::MatrixXd Jacobian;
};
THalvedStep HalvedStep(const Eigen::VectorXd& From, const Eigen::VectorXd& Direction,
                       const std::function<Eigen::VectorXd(const Eigen::VectorXd&, Eigen::MatrixXd*)>& Respond,
                       const std::function<bool(const Eigen::VectorXd&, const Eigen::VectorXd&)>& Accept,
                       int& Responses);
// Both as ln ρa.
double RelativeRms(const Eigen::VectorXd& Measured, const Eigen::VectorXd& Calculated);

} // namespace lp
