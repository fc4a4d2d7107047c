#include "section/site/SiteInversion.h"

#include "section/inversion/InversionSetup.h"
#include "section/site/CrossingTies.h"
#include "section/survey/ModellingError.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace lp {

namespace {

// A line's inversion failed: said with its file.
[[noreturn]] void LineFailed(const TSiteLine& Line, const std::exception& Error)
{
    throw EForwardError("The line " + Line.File + " cannot be inverted: " + Error.what());
}

// Not one step taken from a start that does not explain the data (as
// --invert refuses it): the uniform start is no image of the ground.
void RefuseUnmoved(const TSiteLine& Line, const TSurveyInversion& Inversion, bool Robust)
{
    const TInversionStep& last = Inversion.Steps.back();
    const double judged = Robust && last.FullWeightData > 0 ? last.FullWeightChiSquare : last.ChiSquare;
    if (Inversion.Steps.size() < 2 && judged > 1.0)
        throw EForwardError("The inversion of the line " + Line.File + " did not move from its starting model " +
                            "(chi-square " + ReadableNumber(last.ChiSquare) + "): " + Inversion.Stop);
}

// The image of an inversion, its coverage by the depth of investigation
// where one was computed.
TLineImage ImageOf(const TSiteLine& Line, const TInversionMesh& Mesh, TSurveyInversion Inversion)
{
    TLineImage image;
    image.Mesh = Mesh;
    image.Resistivities = Inversion.Resistivities;
    if (Inversion.DepthOfInvestigation.empty()) {
        image.Coverage = Inversion.Coverage;
    } else {
        for (double doi : Inversion.DepthOfInvestigation)
            image.Coverage.push_back(CoverageOfDepthOfInvestigation(doi));
    }
    image.Data = Line.Data.Size();
    if (!Inversion.Steps.empty()) {
        image.ChiSquare = Inversion.Steps.back().ChiSquare;
        image.Rrms = Inversion.Steps.back().Rrms;
    }
    image.Stop = Inversion.Stop;
    image.Inversion = std::move(Inversion);
    return image;
}

TTieImage TieImageOf(const TLineImage& Image)
{
    return {&Image.Mesh, &Image.Resistivities, &Image.Coverage};
}

// The logs that tie line L's first image to the others at its crossings.
std::vector<TWellLog> TieLogs(const std::vector<TSiteLine>& Lines, const std::vector<TLineImage>& First,
                              const std::vector<TCrossing>& Crossings, size_t L)
{
    std::vector<TWellLog> logs;
    for (const TCrossing& crossing : Crossings) {
        if (crossing.LineA != L && crossing.LineB != L)
            continue;
        const bool a = crossing.LineA == L;
        const size_t other = a ? crossing.LineB : crossing.LineA;
        TWellLog log = TieLog("crossing with " + Lines[other].Name, TieImageOf(First[L]),
                              a ? crossing.DistanceA : crossing.DistanceB, TieImageOf(First[other]),
                              a ? crossing.DistanceB : crossing.DistanceA);
        if (!log.Elevations.empty())
            logs.push_back(std::move(log));
    }
    return logs;
}

// A line's first pass: its inverter (kept for the tie and the depth of
// investigation) and its image.
struct TFirstPass {
    std::unique_ptr<TSurveyInverter> Inverter;
    TLineImage Image;
    bool Cancelled = false;
};

TFirstPass InvertLine(const TSiteLine& Line, const TSurveyInversionOptions& Options, const TSiteCallbacks& Callbacks)
{
    TFirstPass pass;
    try {
        const TInversionMesh mesh = InversionMeshFor(Line.Data, nullptr);
        pass.Inverter = std::make_unique<TSurveyInverter>(Line.Data, mesh, Options, Callbacks.Continue);
        TSurveyInversion inversion = pass.Inverter->Invert();
        if (inversion.Cancelled) {
            pass.Cancelled = true;
            return pass;
        }
        RefuseUnmoved(Line, inversion, Options.Settings.Robust);
        pass.Image = ImageOf(Line, mesh, std::move(inversion));
    } catch (const EForwardError& error) {
        if (std::string(error.what()).find(Line.File) != std::string::npos)
            throw;
        LineFailed(Line, error);
    }
    return pass;
}

// The depth of investigation of a line's first pass, and the image's
// coverage from it. False when cancelled.
bool AddDepthOfInvestigation(const TSiteLine& Line, TFirstPass& Pass, TLineImage& Image)
{
    try {
        TSurveyInversion first = Pass.Image.Inversion;
        if (!Pass.Inverter->AddDepthOfInvestigation(first))
            return false;
        Image.Inversion.DepthOfInvestigation = first.DepthOfInvestigation;
        Image.Coverage.clear();
        for (double doi : first.DepthOfInvestigation)
            Image.Coverage.push_back(CoverageOfDepthOfInvestigation(doi));
    } catch (const EForwardError& error) {
        LineFailed(Line, error);
    }
    return true;
}

// The image tied (TieStep), as its inversion would say it.
TLineImage TiedImageOf(const TLineImage& First, const TTiedImage& Tied, size_t Logs)
{
    TLineImage image = First;
    image.Tied = true;
    image.Resistivities = Tied.Resistivities;
    image.ChiSquare = Tied.ChiSquare;
    image.Rrms = Tied.Rrms;
    image.Inversion.Resistivities = Tied.Resistivities;
    image.Inversion.Response = Tied.Response;
    TInversionStep step = image.Inversion.Steps.back();
    step.Iteration += 1;
    step.ChiSquare = Tied.ChiSquare;
    step.Rrms = Tied.Rrms;
    step.Lambda = Tied.Lambda;
    image.Inversion.Steps.push_back(step);
    const std::string at = Logs == 1 ? "its crossing" : "its " + std::to_string(Logs) + " crossings";
    image.Stop = First.Stop + (Tied.Moved ? " Tied at " + at + (Tied.Share < 1.0 ? " (a shortened step)." : ".")
                                          : " The tie at " + at + " would not lower the misfit: the image stays.");
    image.Inversion.Stop = image.Stop;
    return image;
}

} // namespace

double CoverageOfDepthOfInvestigation(double Doi)
{
    if (!std::isfinite(Doi))
        return 0.0;
    return std::clamp((DoiGone - Doi) / (DoiGone - DoiLimit), 0.0, 1.0);
}

TSiteImages InvertSite(const std::vector<TSiteLine>& Lines, const TSurveyInversionOptions& Options,
                       const TSiteCallbacks& Callbacks, bool DepthOfInvestigation)
{
    TSiteImages site;
    site.Crossings = FindCrossings(Lines);
    TSurveyInversionOptions options = Options;
    options.Start.clear();
    options.WellLogs.clear();
    // The first pass: each line on its own.
    std::vector<TFirstPass> first;
    for (size_t l = 0; l < Lines.size(); ++l) {
        if (Callbacks.Progress)
            Callbacks.Progress(l, "inverting");
        first.push_back(InvertLine(Lines[l], options, Callbacks));
        if (first.back().Cancelled) {
            site.Cancelled = true;
            return site;
        }
    }
    std::vector<TLineImage> images;
    for (const TFirstPass& pass : first)
        images.push_back(pass.Image);
    // The ties: every crossing line one step from its first image toward
    // the columns both first images hold at its crossings.
    for (size_t l = 0; l < Lines.size(); ++l) {
        const std::vector<TWellLog> logs = TieLogs(Lines, images, site.Crossings, l);
        TLineImage image = images[l];
        if (!logs.empty()) {
            if (Callbacks.Progress)
                Callbacks.Progress(l, "tying at the crossings");
            TTiedImage tied;
            try {
                tied = TieStep(*first[l].Inverter, image.Mesh, Lines[l].Data, logs,
                               TieErrorFactor * options.ErrorPercent, TieReach);
            } catch (const EForwardError& error) {
                LineFailed(Lines[l], error);
            }
            if (tied.Cancelled) {
                site.Cancelled = true;
                return site;
            }
            image = TiedImageOf(image, tied, logs.size());
        }
        if (DepthOfInvestigation) {
            if (Callbacks.Progress)
                Callbacks.Progress(l, "computing the depth of investigation");
            if (!AddDepthOfInvestigation(Lines[l], first[l], image)) {
                site.Cancelled = true;
                return site;
            }
        }
        site.Images.push_back(std::move(image));
        first[l].Inverter.reset(); // its forward problem's memory
    }
    return site;
}

} // namespace lp
