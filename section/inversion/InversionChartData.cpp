#include "section/inversion/InversionChartData.h"

#include <algorithm>
#include <limits>

namespace lp {
namespace {

double Elevation(const TInversionChartData& Chart, double x)
{
    const std::vector<double>& X = Chart.ReliefX;
    const std::vector<double>& Z = Chart.ReliefZ;
    if (X.empty())
        return 0.0;
    const auto after = std::upper_bound(X.begin(), X.end(), x);
    if (after == X.begin())
        return Z.front();
    if (after == X.end())
        return Z.back();
    const auto i = static_cast<size_t>(after - X.begin());
    return Z[i - 1] + (Z[i] - Z[i - 1]) * (x - X[i - 1]) / (X[i] - X[i - 1]);
}

template <typename T>
void CheckTable(const std::vector<std::vector<T>>& Table, size_t Columns, size_t Rows, bool Optional)
{
    if (Optional && Table.empty())
        return;
    bool fits = Table.size() == Columns;
    for (const std::vector<T>& column : Table)
        fits = fits && column.size() == Rows;
    if (!fits)
        throw EForwardError("The mesh chart's cell tables do not match its columns and rows.");
}

} // namespace

TInversionMesh ChartInversionMesh(const TInversionChartData& Chart)
{
    if (Chart.ReliefX.size() != Chart.ReliefZ.size() ||
        !std::is_sorted(Chart.ReliefX.begin(), Chart.ReliefX.end(), std::less_equal<>()))
        throw EForwardError("The mesh chart's relief table must have ascending distances, one elevation each.");
    if (Chart.RowBounds.empty())
        throw EForwardError("The parameter mesh needs at least one column and one row.");
    TInversionMesh mesh;
    mesh.ColumnEdges = Chart.ColBounds;
    const double top = Chart.RowBounds.front();
    for (double depth : Chart.RowBounds)
        mesh.RowDepths.push_back(depth - top);
    for (double x : Chart.ColBounds)
        mesh.Elevations.push_back(Elevation(Chart, x) - top);
    mesh.Level = mesh.Elevations.empty() ? 0.0 : *std::min_element(mesh.Elevations.begin(), mesh.Elevations.end());
    mesh.Bottom = mesh.Level - mesh.RowDepths.back();
    mesh.FadeTop = Chart.FadeTop;
    mesh.FadeBottom = Chart.FadeBottom;
    if (!Chart.RowShifts.empty()) {
        if (Chart.RowShifts.size() != mesh.ColumnEdges.size())
            throw EForwardError("The mesh chart's row shifts do not match its columns and rows.");
        mesh.Shifts.assign(Chart.RowBounds.size() * mesh.ColumnEdges.size(), 0.0);
        for (size_t c = 0; c < Chart.RowShifts.size(); ++c) {
            if (Chart.RowShifts[c].size() != Chart.RowBounds.size())
                throw EForwardError("The mesh chart's row shifts do not match its columns and rows.");
            for (size_t k = 0; k < Chart.RowBounds.size(); ++k)
                mesh.Shifts[k * mesh.ColumnEdges.size() + c] = -Chart.RowShifts[c][k];
        }
    }
    CheckInversionMesh(mesh);
    return mesh;
}

std::vector<double> ChartStartingModel(const TInversionChartData& Chart, TInversionSettings& Settings)
{
    const TInversionMesh mesh = ChartInversionMesh(Chart);
    const auto columns = static_cast<size_t>(mesh.Columns()), rows = static_cast<size_t>(mesh.Rows());
    CheckTable(Chart.Values, columns, rows, false);
    CheckTable(Chart.Fixed, columns, rows, true);
    CheckTable(Chart.Limits, columns, rows, true);
    const size_t cells = columns * rows;
    std::vector<double> start(cells);
    Settings.Fixed.assign(cells, false);
    Settings.Lower.assign(cells, 0.0);
    Settings.Upper.assign(cells, std::numeric_limits<double>::infinity());
    for (size_t c = 0; c < columns; ++c)
        for (size_t r = 0; r < rows; ++r) {
            const size_t cell = r * columns + c;
            start[cell] = Chart.Values[c][r];
            Settings.Fixed[cell] = !Chart.Fixed.empty() && Chart.Fixed[c][r];
            if (!Chart.Limits.empty() && Chart.Limits[c][r].first < Chart.Limits[c][r].second) {
                Settings.Lower[cell] = Chart.Limits[c][r].first;
                Settings.Upper[cell] = Chart.Limits[c][r].second;
            }
        }
    return start;
}

TInversionChartData ChartDataOf(const TInversionMesh& Mesh, const std::vector<double>& Values)
{
    CheckInversionMesh(Mesh);
    if (Values.size() != static_cast<size_t>(Mesh.Cells()))
        throw EForwardError("The parameter mesh needs one value per cell.");
    TInversionChartData chart;
    chart.ColBounds = Mesh.ColumnEdges;
    chart.RowBounds = Mesh.RowDepths;
    chart.ReliefX = Mesh.ColumnEdges;
    chart.ReliefZ = Mesh.Elevations;
    chart.FadeTop = Mesh.FadeTop;
    chart.FadeBottom = Mesh.FadeBottom;
    if (!Mesh.Shifts.empty()) {
        chart.RowShifts.assign(Mesh.ColumnEdges.size(), std::vector<double>(Mesh.RowDepths.size()));
        for (size_t c = 0; c < Mesh.ColumnEdges.size(); ++c)
            for (size_t k = 0; k < Mesh.RowDepths.size(); ++k)
                chart.RowShifts[c][k] = -Mesh.Shifts[k * Mesh.ColumnEdges.size() + c];
    }
    const auto columns = static_cast<size_t>(Mesh.Columns()), rows = static_cast<size_t>(Mesh.Rows());
    chart.Values.assign(columns, std::vector<double>(rows));
    for (size_t c = 0; c < columns; ++c)
        for (size_t r = 0; r < rows; ++r)
            chart.Values[c][r] = Values[r * columns + c];
    return chart;
}

} // namespace lp
