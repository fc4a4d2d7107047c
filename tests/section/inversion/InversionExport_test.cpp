// The inverted cells written for other programs over a sloping surface
// (sheared cells, trapezoids on the flat bottom): the VTK grid read back
// token by token, the x, elevation, resistivity grid checked point by point
// against the cells' corners, the file's format told by its extension.
// (A real VTK reader reads the grid in tests/section/pygimli/InversionExport_test.py.)

#include "section/inversion/InversionExport.h"

#include "tests/section/VtkLegacyHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace lp {
namespace {

// A line of 9 electrodes 1 m apart whose surface falls 0.5 m per metre
// from x = 4 on: cells sheared along the slope.
TInversionMesh SlopeMesh()
{
    std::vector<double> electrodes;
    for (int e = 0; e < 9; ++e)
        electrodes.push_back(e);
    return DefaultInversionMesh(electrodes, -3.0, 11.0, {{-3.0, 0.0}, {4.0, 0.0}, {11.0, -3.5}}, 1.5);
}

TSurveyInversion ValuesFor(const TInversionMesh& Mesh)
{
    TSurveyInversion inversion;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        inversion.Resistivities.push_back(10.0 + cell / 3.0);
        inversion.Coverage.push_back(1.0 / (1.0 + cell));
    }
    return inversion;
}

// Whether P lies in the cell's quadrilateral (or on its border), told by
// its two triangles' barycentric coordinates: no shared code with the
// writer's own test.
bool InQuadrilateral(const std::vector<TGeometryPoint>& K, TGeometryPoint P)
{
    const auto inTriangle = [&](TGeometryPoint A, TGeometryPoint B, TGeometryPoint C) {
        const double d = (B.y - C.y) * (A.x - C.x) + (C.x - B.x) * (A.y - C.y);
        const double a = ((B.y - C.y) * (P.x - C.x) + (C.x - B.x) * (P.y - C.y)) / d;
        const double b = ((C.y - A.y) * (P.x - C.x) + (A.x - C.x) * (P.y - C.y)) / d;
        const double tolerance = 1e-9;
        return a >= -tolerance && b >= -tolerance && 1.0 - a - b >= -tolerance;
    };
    return inTriangle(K.at(0), K.at(1), K.at(2)) || inTriangle(K.at(0), K.at(2), K.at(3));
}

TEST(InversionExport, FormatToldByTheExtension)
{
    EXPECT_EQ(InversionFileFormatOf("cells.csv"), TInversionFileFormat::Table);
    EXPECT_EQ(InversionFileFormatOf("/data/line 1/cells.VTK"), TInversionFileFormat::Vtk);
    EXPECT_EQ(InversionFileFormatOf("grid.Xyz"), TInversionFileFormat::Xyz);
    EXPECT_EQ(InversionFileFormatOf("cells.txt"), std::nullopt);
    EXPECT_EQ(InversionFileFormatOf("/data/run.vtk/cells"), std::nullopt);
    EXPECT_EQ(InversionFileFormatOf("cells"), std::nullopt);
    for (TInversionFileFormat format : {TInversionFileFormat::Table, TInversionFileFormat::Vtk, TInversionFileFormat::Xyz})
        EXPECT_EQ(InversionFileFormatOf("a." + std::string(InversionFileExtension(format))), format);
}

TEST(InversionExport, VtkGridHoldsEveryCellAsItsQuadrilateralWithItsValues)
{
    const TInversionMesh mesh = SlopeMesh();
    TSurveyInversion inversion = ValuesFor(mesh);
    std::istringstream in(FormatInversionVtk(mesh, inversion));
    std::string word;
    ReadVtkUnstructuredHeader(in);
    size_t points = 0, cells = 0, entries = 0;
    in >> word >> points >> word;
    // Shared corners once: a connected grid of (columns + 1) × (rows + 1) corners.
    EXPECT_EQ(points, static_cast<size_t>((mesh.Columns() + 1) * (mesh.Rows() + 1)));
    std::vector<TGeometryPoint> xy(points);
    for (TGeometryPoint& p : xy) {
        double z = 1.0;
        in >> p.x >> p.y >> z;
        EXPECT_EQ(z, 0.0);
    }
    in >> word >> cells >> entries;
    ASSERT_EQ(word, "CELLS");
    ASSERT_EQ(cells, static_cast<size_t>(mesh.Cells()));
    EXPECT_EQ(entries, 5 * cells);
    for (int cell = 0; cell < mesh.Cells(); ++cell) {
        int count = 0;
        in >> count;
        ASSERT_EQ(count, 4);
        std::vector<TGeometryPoint> read;
        for (int k = 0; k < 4; ++k) {
            size_t index = 0;
            in >> index;
            read.push_back(xy.at(index));
        }
        const std::vector<TGeometryPoint> corners = CellCorners(mesh, cell);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(read[k].x, corners[k].x) << "cell " << cell;
            EXPECT_EQ(read[k].y, corners[k].y) << "cell " << cell;
        }
        EXPECT_NEAR(SignedLoopArea(read), CellArea(mesh, cell), 1e-12);
    }
    in >> word >> cells;
    EXPECT_EQ(word, "CELL_TYPES");
    for (size_t cell = 0; cell < cells; ++cell) {
        int type = 0;
        in >> type;
        EXPECT_EQ(type, 9);
    }
    in >> word >> cells;
    EXPECT_EQ(word, "CELL_DATA");
    const auto readScalars = [&](const std::string& Name, const std::vector<double>& Expected) {
        std::string type, table, name;
        int components = 0;
        in >> word >> name >> type >> components >> table >> word;
        EXPECT_EQ(name, Name);
        for (double expected : Expected) {
            double value = 0.0;
            in >> value;
            EXPECT_EQ(value, expected) << Name;
        }
    };
    readScalars("resistivity", inversion.Resistivities);
    readScalars("coverage", inversion.Coverage);
    EXPECT_FALSE(in >> word); // no chargeability, no doi: nothing more

    // With chargeabilities and a depth of investigation: both as cell data.
    inversion.Chargeabilities.assign(inversion.Resistivities.size(), 12.5);
    inversion.DepthOfInvestigation.assign(inversion.Resistivities.size(), 0.125);
    const std::string text = FormatInversionVtk(mesh, inversion);
    EXPECT_NE(text.find("SCALARS chargeability double 1\nLOOKUP_TABLE default\n12.5\n"), std::string::npos);
    EXPECT_NE(text.find("SCALARS doi double 1\nLOOKUP_TABLE default\n0.125\n"), std::string::npos);
    // With phases: their cell data too, in mrad.
    inversion.Phases.assign(inversion.Resistivities.size(), -7.5);
    EXPECT_NE(FormatInversionVtk(mesh, inversion).find("SCALARS phase double 1\nLOOKUP_TABLE default\n-7.5\n"),
              std::string::npos);
}

// With phases each point of the grid carries its cell's phase after the
// resistivity, and the header says so.
TEST(InversionExport, TheXyzFileCarriesThePhases)
{
    const TInversionMesh mesh = SlopeMesh();
    TSurveyInversion inversion = ValuesFor(mesh);
    for (int cell = 0; cell < mesh.Cells(); ++cell)
        inversion.Phases.push_back(-1.0 - cell);
    std::istringstream in(FormatInversionXyz(mesh, inversion));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("# x elevation resistivity phase: x and elevation in m, resistivity in ohm-m, phase in mrad",
                         0),
              0u)
        << line;
    size_t points = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TGeometryPoint p;
        double rho = 0.0, phase = 0.0;
        ASSERT_TRUE(fields >> p.x >> p.y >> rho >> phase) << line;
        ++points;
        bool found = false;
        for (int cell = 0; cell < mesh.Cells() && !found; ++cell)
            found = InQuadrilateral(CellCorners(mesh, cell), p) &&
                    inversion.Resistivities[static_cast<size_t>(cell)] == rho && phase == -1.0 - cell;
        EXPECT_TRUE(found) << line;
    }
    EXPECT_GT(points, 0u);
    // A phase that is not finite is refused, nothing written.
    inversion.Phases.back() = std::nan("");
    EXPECT_THROW(FormatInversionXyz(mesh, inversion), EForwardError);
}

TEST(InversionExport, GridSamplesEveryCellAtHalfTheSmallestCellSizeAndTheXyzFileGivesItsValues)
{
    const TInversionMesh mesh = SlopeMesh();
    const TSurveyInversion inversion = ValuesFor(mesh);
    double width = 1e300, height = 1e300;
    for (int cell = 0; cell < mesh.Cells(); ++cell) {
        const std::vector<TGeometryPoint> k = CellCorners(mesh, cell);
        const double w = std::max({k[0].x, k[1].x, k[2].x, k[3].x}) - std::min({k[0].x, k[1].x, k[2].x, k[3].x});
        width = std::min(width, w);
        height = std::min(height, CellArea(mesh, cell) / w);
    }
    const TCellGrid grid = CellGrid(mesh);
    EXPECT_DOUBLE_EQ(grid.StepX, width / 2.0);
    EXPECT_DOUBLE_EQ(grid.StepY, height / 2.0);
    ASSERT_EQ(grid.Cells.size(), static_cast<size_t>(grid.Columns * grid.Rows));
    // Each point's cell holds it; a point in no cell lies in none (above the slope).
    std::set<int> sampled;
    size_t outside = 0;
    for (int j = 0; j < grid.Rows; ++j)
        for (int i = 0; i < grid.Columns; ++i) {
            const TGeometryPoint p{grid.Left + i * grid.StepX, grid.Top - j * grid.StepY};
            const int cell = grid.Cells[static_cast<size_t>(j * grid.Columns + i)];
            if (cell >= 0) {
                EXPECT_TRUE(InQuadrilateral(CellCorners(mesh, cell), p)) << p.x << " " << p.y;
                sampled.insert(cell);
                continue;
            }
            ++outside;
            for (int other = 0; other < mesh.Cells(); ++other)
                EXPECT_FALSE(InQuadrilateral(CellCorners(mesh, other), p)) << p.x << " " << p.y << " in " << other;
        }
    EXPECT_EQ(sampled.size(), static_cast<size_t>(mesh.Cells()));
    EXPECT_GT(outside, 0u);

    // The file: the header saying the columns, then the points in cells with their cell's resistivity.
    std::istringstream in(FormatInversionXyz(mesh, inversion));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("# x elevation resistivity", 0), 0u) << line;
    size_t points = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TGeometryPoint p;
        double rho = 0.0;
        ASSERT_TRUE(fields >> p.x >> p.y >> rho) << line;
        ++points;
        bool found = false;
        for (int cell = 0; cell < mesh.Cells() && !found; ++cell)
            found = InQuadrilateral(CellCorners(mesh, cell), p) &&
                    inversion.Resistivities[static_cast<size_t>(cell)] == rho;
        EXPECT_TRUE(found) << line;
    }
    EXPECT_EQ(points, grid.Cells.size() - outside);

    // A grid beyond the limit of points: both steps widened alike.
    const TCellGrid coarse = CellGrid(mesh, 500);
    EXPECT_LE(coarse.Columns * coarse.Rows, 500);
    EXPECT_GT(coarse.Columns * coarse.Rows, 400);
    EXPECT_NEAR(coarse.StepX / coarse.StepY, grid.StepX / grid.StepY, 1e-12);
}

TEST(InversionExport, RefusesValuesItCannotWrite)
{
    TInversionMesh mesh = SlopeMesh();
    TSurveyInversion inversion = ValuesFor(mesh);
    for (auto format : {FormatInversionVtk, FormatInversionXyz}) {
        TSurveyInversion bad = inversion;
        bad.Resistivities[3] = std::nan("");
        EXPECT_THROW(format(mesh, bad), EForwardError);
        bad = inversion;
        bad.DepthOfInvestigation.assign(inversion.Resistivities.size(), 0.1);
        bad.DepthOfInvestigation.back() = INFINITY;
        EXPECT_THROW(format(mesh, bad), EForwardError);
        bad = inversion;
        bad.Coverage.pop_back();
        EXPECT_THROW(format(mesh, bad), EForwardError);
        TInversionMesh broken = mesh;
        broken.Elevations[2] = std::nan("");
        EXPECT_THROW(format(broken, inversion), EForwardError);
    }
}

} // namespace
} // namespace lp
