#include "section/survey/HoleSurvey.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/ReadableNumbers.h"

#include <cmath>

namespace lp {

namespace {

// Dipole-dipole along a hole: up to this many dipole lengths apart.
constexpr size_t SingleHoleLevels = 6;

class THoleSurveyMaker {
public:
    THoleSurveyMaker(const THoleLayout& layout, const std::function<double(double)>& surfaceAt)
        : FLayout(layout), FSurfaceAt(surfaceAt)
    {
        FMade.Survey.Array = HoleArrayKindName(layout.Kind);
        FMade.Survey.HasElevations = true;
    }

    THoleSurvey Make()
    {
        Check();
        switch (FLayout.Kind) {
        case THoleArrayKind::Crosshole: {
            const std::vector<int> first = AddHole(FLayout.Holes[0]), second = AddHole(FLayout.Holes[1]);
            BipoleBipole(first, second);
            for (size_t d = 1; d <= MaxDipoleSpacings; ++d)
                for (size_t i = 0; i + d < first.size(); ++i)
                    for (size_t j = 0; j + d < second.size(); ++j)
                        Add({first[i], second[j], first[i + d], second[j + d]});
            PoleBipole(first, second);
            PoleBipole(second, first);
            break;
        }
        case THoleArrayKind::SurfaceHole: {
            const std::vector<int> line = AddLine();
            const std::vector<int> hole = AddHole(FLayout.Holes[0]);
            BipoleBipole(line, hole);
            PoleBipole(line, hole);
            PoleBipole(hole, line);
            break;
        }
        case THoleArrayKind::SingleHole: {
            const std::vector<int> hole = AddHole(FLayout.Holes[0]);
            for (size_t d = 1; d <= MaxDipoleSpacings; ++d)
                for (size_t n = 1; n <= SingleHoleLevels; ++n)
                    for (size_t i = 0; i + (n + 2) * d < hole.size(); ++i)
                        Add({hole[i], hole[i + d], hole[i + (n + 1) * d], hole[i + (n + 2) * d]});
            for (size_t d = 1; d <= MaxDipoleSpacings; ++d)
                for (size_t n = 1; n <= SingleHoleLevels; ++n)
                    for (size_t i = 0; i + n + d < hole.size(); ++i)
                        Add({hole[i], -1, hole[i + n], hole[i + n + d]});
            break;
        }
        }
        if (FMade.Survey.Configurations.empty())
            RefuseAllDropped();
        return std::move(FMade);
    }

private:
    void Check() const
    {
        const size_t needed = FLayout.Kind == THoleArrayKind::Crosshole ? 2 : 1;
        if (FLayout.Holes.size() != needed)
            throw EForwardError("A " + HoleArrayKindName(FLayout.Kind) + " survey needs " +
                                (needed == 2 ? "two holes" : "one hole") + ", not " +
                                std::to_string(FLayout.Holes.size()) + ".");
        for (double x : FLayout.Holes)
            if (!std::isfinite(x))
                throw EForwardError("A hole's x is not a finite number.");
        if (needed == 2 && FLayout.Holes[0] == FLayout.Holes[1])
            throw EForwardError("The two holes stand at one x (" + FormatExactReal(FLayout.Holes[0]) + ").");
        const int fewest = FLayout.Kind == THoleArrayKind::SingleHole ? MinSingleHoleElectrodes : 2;
        if (FLayout.HoleElectrodes < fewest || FLayout.HoleElectrodes > MaxHoleElectrodes)
            throw EForwardError("A hole " + std::string(fewest > 2 ? "alone " : "") + "has " + std::to_string(fewest) +
                                " to " + std::to_string(MaxHoleElectrodes) + " electrodes, not " +
                                std::to_string(FLayout.HoleElectrodes) +
                                (fewest > 2 ? " (its smallest configuration, pole-bipole, takes A, M and N in it)."
                                            : "."));
        if (!(std::isfinite(FLayout.HoleSpacing) && FLayout.HoleSpacing > 0.0))
            throw EForwardError("The hole spacing " + FormatExactReal(FLayout.HoleSpacing) +
                                " is not a finite number above 0.");
        if (needed == 2) {
            const double apart = std::fabs(FLayout.Holes[1] - FLayout.Holes[0]);
            const double least = LeastHoleDistance(FLayout.HoleSpacing);
            if (apart < least * (1.0 - 1e-9)) // 100.1 - 100 is 0.1 less a rounding
                throw EForwardError("The two holes stand " + ReadableNumber(apart, 3) +
                                    " m apart, closer than the computation tells electrodes apart: at least " +
                                    FormatExactReal(least) + " m (a tenth of the hole spacing).");
        }
        if (FLayout.Kind == THoleArrayKind::SurfaceHole) {
            if (FLayout.SurfaceElectrodes < 2 || FLayout.SurfaceElectrodes > MaxArrayElectrodes)
                throw EForwardError("The surface line has 2 to " + std::to_string(MaxArrayElectrodes) +
                                    " electrodes, not " + std::to_string(FLayout.SurfaceElectrodes) + ".");
            if (!(std::isfinite(FLayout.SurfaceSpacing) && FLayout.SurfaceSpacing > 0.0) ||
                !std::isfinite(FLayout.SurfaceFirst))
                throw EForwardError("The surface line's first electrode and spacing must be finite numbers, the "
                                    "spacing above 0.");
        }
        if (!(FLayout.MaxGeometricFactor > 0.0))
            throw EForwardError("The geometric factor's limit must be a number above 0.");
    }

    int AddElectrode(double x, double depth)
    {
        FMade.Survey.Electrodes.push_back({x, FSurfaceAt(x) - depth, 0.0, depth});
        return static_cast<int>(FMade.Survey.Electrodes.size()) - 1;
    }

    std::vector<int> AddHole(double x)
    {
        std::vector<int> hole;
        for (int i = 1; i <= FLayout.HoleElectrodes; ++i)
            hole.push_back(AddElectrode(x, i * FLayout.HoleSpacing));
        return hole;
    }

    std::vector<int> AddLine()
    {
        std::vector<int> line;
        for (int i = 0; i < FLayout.SurfaceElectrodes; ++i)
            line.push_back(AddElectrode(FLayout.SurfaceFirst + i * FLayout.SurfaceSpacing, 0.0));
        return line;
    }

    // A B a dipole of Current, M N one of Potential, of one length.
    void BipoleBipole(const std::vector<int>& Current, const std::vector<int>& Potential)
    {
        for (size_t d = 1; d <= MaxDipoleSpacings; ++d)
            for (size_t i = 0; i + d < Current.size(); ++i)
                for (size_t j = 0; j + d < Potential.size(); ++j)
                    Add({Current[i], Current[i + d], Potential[j], Potential[j + d]});
    }

    // A in Current (B at infinity), M N a dipole of Potential.
    void PoleBipole(const std::vector<int>& Current, const std::vector<int>& Potential)
    {
        for (size_t d = 1; d <= MaxDipoleSpacings; ++d)
            for (int a : Current)
                for (size_t j = 0; j + d < Potential.size(); ++j)
                    Add({a, -1, Potential[j], Potential[j + d]});
    }

    void Add(const TConfiguration& c)
    {
        const double k = FlatGeometricFactor(FMade.Survey, c);
        if (std::isfinite(k) && std::fabs(k) <= FLayout.MaxGeometricFactor) {
            FMade.Survey.Configurations.push_back(c);
        } else {
            ++FMade.Dropped;
            if (std::isfinite(k))
                FSmallestDropped = std::min(FSmallestDropped, std::fabs(k));
        }
    }

    // No configuration left: every one made exceeded the geometric
    // factor's limit (said with the smallest factor, the limit that would
    // keep one), or the layout made none.
    [[noreturn]] void RefuseAllDropped() const
    {
        if (FMade.Dropped == 0)
            throw EForwardError("The " + HoleArrayKindName(FLayout.Kind) + " layout makes no configuration.");
        throw EForwardError(
            "Every one of the " + std::to_string(FMade.Dropped) + " configurations has a geometric factor above " +
            FormatExactReal(FLayout.MaxGeometricFactor) + " m" +
            (std::isfinite(FSmallestDropped)
                 ? " (the smallest " + ReadableNumber(FSmallestDropped, 3) + " m): raise the limit to that at least."
                 : ", or none that is finite."));
    }

    const THoleLayout& FLayout;
    const std::function<double(double)>& FSurfaceAt;
    THoleSurvey FMade;
    double FSmallestDropped = INFINITY; // the smallest |k| of a configuration dropped, m
};

} // namespace

std::string HoleArrayKindName(THoleArrayKind Kind)
{
    switch (Kind) {
    case THoleArrayKind::Crosshole:
        return "crosshole";
    case THoleArrayKind::SurfaceHole:
        return "surface-hole";
    case THoleArrayKind::SingleHole:
        return "single-hole";
    }
    return {};
}

std::optional<THoleArrayKind> HoleArrayKindFromName(const std::string& Name)
{
    for (THoleArrayKind kind : {THoleArrayKind::Crosshole, THoleArrayKind::SurfaceHole, THoleArrayKind::SingleHole})
        if (HoleArrayKindName(kind) == Name)
            return kind;
    return std::nullopt;
}

double LeastHoleDistance(double HoleSpacing)
{
    return BuriedShare * HoleSpacing;
}

THoleSurvey MakeHoleSurvey(const THoleLayout& Layout, const std::function<double(double)>& SurfaceAt)
{
    return THoleSurveyMaker(Layout, SurfaceAt).Make();
}

} // namespace lp
