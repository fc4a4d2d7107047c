#include "section/site/LineImageSampler.h"

#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

TImageSample BlendSamples(const TImageSample& A, const TImageSample& B, double T)
{
    return {A.LogResistivity + T * (B.LogResistivity - A.LogResistivity), A.Coverage + T * (B.Coverage - A.Coverage)};
}

} // namespace

void CheckLineImage(const TLineImage& Image, const std::string& Label)
{
    try {
        CheckInversionMesh(Image.Mesh);
    } catch (const EForwardError& error) {
        throw EForwardError(Label + ": " + error.what());
    }
    const auto cells = static_cast<size_t>(Image.Mesh.Cells());
    if (Image.Resistivities.size() != cells)
        throw EForwardError(Label + ": the image has " + std::to_string(Image.Resistivities.size()) +
                            " resistivities for " + std::to_string(cells) + " cells.");
    if (!Image.Coverage.empty() && Image.Coverage.size() != cells)
        throw EForwardError(Label + ": the image has " + std::to_string(Image.Coverage.size()) +
                            " coverages for " + std::to_string(cells) + " cells.");
    for (double resistivity : Image.Resistivities)
        if (!std::isfinite(resistivity) || !(resistivity > 0.0))
            throw EForwardError(Label + ": a resistivity of the image is not a finite number above 0.");
}

double CellCoverage(const TLineImage& Image, int Cell)
{
    if (Image.Coverage.empty())
        return 1.0;
    const double value = Image.Coverage.at(static_cast<size_t>(Cell));
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

TLineImageSampler::TLineImageSampler(const TLineImage& Image, const std::string& Label)
{
    CheckLineImage(Image, Label);
    const TInversionMesh& mesh = Image.Mesh;
    FColumns.resize(static_cast<size_t>(mesh.Columns()));
    for (int c = 0; c < mesh.Columns(); ++c) {
        TColumn& column = FColumns[static_cast<size_t>(c)];
        column.Middle = (mesh.ColumnEdges[static_cast<size_t>(c)] + mesh.ColumnEdges[static_cast<size_t>(c) + 1]) / 2.0;
        for (int r = 0; r < mesh.Rows(); ++r) {
            const int cell = r * mesh.Columns() + c;
            double top = 0.0, bottom = 0.0;
            CellDepths(mesh, cell, top, bottom);
            column.Depths.push_back((top + bottom) / 2.0);
            column.Samples.push_back({std::log10(Image.Resistivities[static_cast<size_t>(cell)]), CellCoverage(Image, cell)});
            FDeepest = std::max(FDeepest, bottom);
        }
    }
}

TImageSample TLineImageSampler::AtDepth(const TColumn& Column, double Depth)
{
    const std::vector<double>& depths = Column.Depths;
    if (Depth <= depths.front())
        return Column.Samples.front();
    if (Depth >= depths.back())
        return Column.Samples.back();
    const auto below = static_cast<size_t>(std::upper_bound(depths.begin(), depths.end(), Depth) - depths.begin());
    const double t = (Depth - depths[below - 1]) / (depths[below] - depths[below - 1]);
    return BlendSamples(Column.Samples[below - 1], Column.Samples[below], t);
}

TImageSample TLineImageSampler::At(double Distance, double Depth) const
{
    if (Distance <= FColumns.front().Middle)
        return AtDepth(FColumns.front(), Depth);
    if (Distance >= FColumns.back().Middle)
        return AtDepth(FColumns.back(), Depth);
    const auto after = static_cast<size_t>(
        std::upper_bound(FColumns.begin(), FColumns.end(), Distance,
                         [](double D, const TColumn& C) { return D < C.Middle; }) -
        FColumns.begin());
    const TColumn& a = FColumns[after - 1];
    const TColumn& b = FColumns[after];
    return BlendSamples(AtDepth(a, Depth), AtDepth(b, Depth), (Distance - a.Middle) / (b.Middle - a.Middle));
}

} // namespace lp
