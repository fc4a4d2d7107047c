// The images of a site's lines placed on the map, on lines and images made
// by hand: the fence's cells on straight, diagonal and bent tracks over
// relief, the volume between parallel lines (a layering carried between
// them, a block under one line fading toward the other, nothing beyond
// half a line spacing, the ground's relief), slices at typed depths, every
// file read back, and no number that is not finite whatever the coverage.
// (meshio reads the VTK file in tests/section/pygimli/SiteVolumeVtk_test.py.)

#include "section/site/SiteVolume.h"

#include "tests/section/VtkLegacyHeader.h"
#include "tests/section/site/SiteFixtures.h"

#include "section/survey/ModellingError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace lp::site_volume_test {

using namespace site_fixtures;

double Layered(double, double Depth)
{
    return Depth < 3.0 ? 10.0 : 100.0;
}

double Host(double, double)
{
    return 100.0;
}

// The volume's points by their map point and depth.
using TPlace = std::tuple<double, double, double>;
std::map<TPlace, TVolumePoint> ByPlace(const TSiteVolume& Volume)
{
    std::map<TPlace, TVolumePoint> places;
    for (const TVolumePoint& p : Volume.Points)
        places[{p.X, p.Y, p.Depth}] = p;
    return places;
}

// The distance from a map point to the segment A..B, by its own arithmetic.
double SegmentDistance(double X, double Y, double Ax, double Ay, double Bx, double By)
{
    const double dx = Bx - Ax, dy = By - Ay;
    const double t = std::clamp(((X - Ax) * dx + (Y - Ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(X - Ax - t * dx, Y - Ay - t * dy);
}

TEST(SiteVolume, FenceCellsStandOnTheirTracksAtTheirDepths)
{
    // A track at 45° climbing 0.3 m per metre and one bending north half way
    // over a hill; where a cell lies along it is told by its own geometry.
    const double root = std::sqrt(0.5);
    struct TCase {
        const char* Name;
        TSiteLine Line;
        std::function<std::pair<double, double>(double)> MapPoint;
    };
    const std::vector<TCase> cases = {
        {"diagonal", TrackLine("diagonal", 10.0, 20.0, {Pi / 4.0}, [](double d) { return 100.0 + 0.3 * d; }),
         [root](double d) { return std::pair{10.0 + root * d, 20.0 + root * d}; }},
        {"bent", TrackLine("bent", 5.0, -5.0, {0, 0, 0, 0, 0, 0, 0, Pi / 2.0}, [](double d) { return 80.0 + 3.0 * std::sin(d / 8.0); }),
         [](double d) { return d <= 14.0 ? std::pair{5.0 + d, -5.0} : std::pair{19.0, -5.0 + d - 14.0}; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TSiteLine other = EastLine("other", 100.0);
        const TSiteImages images = ImagesOf({other, c.Line}, {Host, [](double d, double z) { return 10.0 + d + z; }});
        const std::vector<TFenceCell> cells = FenceCells({other, c.Line}, images);
        const TLineImage& image = images.Images[1];
        const auto count = static_cast<size_t>(images.Images[0].Mesh.Cells() + image.Mesh.Cells());
        ASSERT_EQ(cells.size(), count);
        const auto first = static_cast<size_t>(images.Images[0].Mesh.Cells());
        for (size_t n = first; n < count; ++n) {
            const TFenceCell& cell = cells[n];
            ASSERT_EQ(cell.Line, 1u);
            ASSERT_EQ(cell.Cell, static_cast<int>(n - first));
            // Beyond the track's ends the image's padding stands at its end points.
            const double along = std::clamp(cell.Distance, 0.0, (Electrodes - 1) * Spacing);
            const auto [x, y] = c.MapPoint(along);
            EXPECT_NEAR(cell.X, x, 1e-9);
            EXPECT_NEAR(cell.Y, y, 1e-9);
            const TGeometryPoint centre = CellCentre(image.Mesh, cell.Cell);
            EXPECT_DOUBLE_EQ(cell.Distance, centre.x);
            // The mesh's surface is the track's ground: within the track the
            // cell's elevation is its centre's.
            if (cell.Distance > 0.0 && cell.Distance < (Electrodes - 1) * Spacing) {
                EXPECT_NEAR(cell.Z, centre.y, 1e-9);
            }
            EXPECT_GT(cell.Depth, 0.0);
            EXPECT_DOUBLE_EQ(cell.Resistivity, 10.0 + centre.x + cell.Depth);
            EXPECT_EQ(cell.Coverage, 1.0);
        }
    }
}

TEST(SiteVolume, LayeringOnTwoLinesCarriedBetweenThem)
{
    const std::vector<TSiteLine> lines = {EastLine("south", 0.0), EastLine("north", 8.0)};
    const TSiteVolume volume = InterpolateVolume(lines, ImagesOf(lines, {Layered, Layered}));
    EXPECT_EQ(volume.Step, Spacing);
    ASSERT_FALSE(volume.Points.empty());
    EXPECT_LT(volume.Depths.front(), 1e-12);
    EXPECT_GE(volume.Depths.back(), 8.0); // the images reach twice the 4 m given
    const auto places = ByPlace(volume);
    int between = 0;
    for (const TVolumePoint& p : volume.Points) {
        EXPECT_DOUBLE_EQ(p.Z, 50.0 - p.Depth);
        EXPECT_DOUBLE_EQ(p.Weight, 1.0);
        // The same at every y as on the south line.
        const auto south = places.find({p.X, 0.0, p.Depth});
        ASSERT_NE(south, places.end()) << p.X << " " << p.Depth;
        EXPECT_NEAR(p.Resistivity, south->second.Resistivity, 1e-9 * p.Resistivity);
        // Away from the boundary (the cells' centres above 2.92 m and below
        // 4.5 m) the layers' own values.
        if (p.Depth <= 2.9) {
            EXPECT_NEAR(p.Resistivity, 10.0, 1e-9) << p.Depth;
        }
        if (p.Depth >= 4.5) {
            EXPECT_NEAR(p.Resistivity, 100.0, 1e-9) << p.Depth;
        }
        between += p.Y > 0.0 && p.Y < 8.0;
    }
    EXPECT_GT(between, 0);
}

TEST(SiteVolume, BlockUnderOneLineFadesTowardTheOther)
{
    const std::vector<TSiteLine> lines = {EastLine("block", 0.0), EastLine("host", 8.0)};
    const TValue block = [](double d, double z) { return d > 10.0 && d < 20.0 && z > 2.0 && z < 6.0 ? 10.0 : 100.0; };
    const TSiteVolume volume = InterpolateVolume(lines, ImagesOf(lines, {block, Host}));
    const auto places = ByPlace(volume);
    const double depth = *std::min_element(volume.Depths.begin(), volume.Depths.end(),
                                           [](double a, double b) { return std::abs(a - 4.0) < std::abs(b - 4.0); });
    std::vector<double> across;
    for (double y = 0.0; y <= 8.0; y += Spacing)
        across.push_back(places.at({16.0, y, depth}).Resistivity);
    EXPECT_LT(across.front(), 12.0);
    EXPECT_NEAR(across.back(), 100.0, 1.0);
    for (size_t n = 1; n < across.size(); ++n)
        EXPECT_GT(across[n], across[n - 1]) << n;
    // Half way, the lines weigh alike: the geometric mean.
    EXPECT_NEAR(std::log10(across[2]), (std::log10(across.front()) + std::log10(across.back())) / 2.0, 0.01);
    // Outside the block's reach the host everywhere.
    EXPECT_NEAR(places.at({2.0, 4.0, depth}).Resistivity, 100.0, 1e-9);
}

TEST(SiteVolume, BlockUnderTwoOfFiveLinesFoundBetweenThem)
{
    // Five lines of 32 electrodes 8 m apart, the third bending north-east
    // half way; a block 10 ohm-m in 100 from 3 to 6 m deep (the cells of
    // 3.64 to 5.37 m), 24 to 36 m along, under the second and third lines
    // (6 to 18 m north). The conductive part of the volume centres on it.
    std::vector<TSiteLine> lines;
    for (int l = 0; l < 5; ++l) {
        const std::vector<double> headings = l == 2 ? std::vector<double>(16, 0.0) : std::vector<double>{0.0};
        lines.push_back(TrackLine("line" + std::to_string(l), 0.0, 8.0 * l, headings, [](double) { return 20.0; }, 32));
        if (l == 2)
            lines.back() = TrackLine("bent", 0.0, 16.0, [] {
                std::vector<double> h(15, 0.0);
                h.push_back(Pi / 8.0);
                return h;
            }(), [](double d) { return 20.0 + 0.05 * d; }, 32);
    }
    const TValue block = [](double d, double z) { return d > 24.0 && d < 36.0 && z > 3.0 && z < 6.0 ? 10.0 : 100.0; };
    const TSiteImages images = ImagesOf(lines, {Host, block, block, Host, Host});
    const TSiteVolume volume = InterpolateVolume(lines, images);
    double x = 0.0, y = 0.0, depth = 0.0, count = 0.0;
    for (const TVolumePoint& p : volume.Points)
        if (p.Resistivity < 30.0) {
            x += p.X, y += p.Y, depth += p.Depth, count += 1.0;
        }
    ASSERT_GT(count, 0.0);
    EXPECT_NEAR(x / count, 30.0, 1.0);
    EXPECT_NEAR(y / count, 12.0, 2.0);
    EXPECT_NEAR(depth / count, 4.5, 0.5);
    // Under the first line (the bent one turns toward the last two) nothing of it.
    for (const TVolumePoint& p : volume.Points)
        if (p.Y <= 0.0) {
            ASSERT_GT(p.Resistivity, 99.0) << p.X << " " << p.Y << " " << p.Depth;
        }
}

TEST(SiteVolume, NothingBeyondHalfALineSpacing)
{
    // Lines 8 m and 22 m apart: the spacing is 8 m; the gap between the
    // second and third line holds nothing further than 4 m from both.
    const std::vector<TSiteLine> lines = {EastLine("a", 0.0), EastLine("b", 8.0), EastLine("c", 30.0)};
    const TSiteVolume volume = InterpolateVolume(lines, ImagesOf(lines, {Host, Host, Host}));
    std::set<std::pair<double, double>> columns;
    for (const TVolumePoint& p : volume.Points) {
        double nearest = 1e9;
        for (const TSiteLine& line : lines)
            nearest = std::min(nearest, SegmentDistance(p.X, p.Y, 0.0, line.Track[0].Y, 30.0, line.Track[0].Y));
        EXPECT_LE(nearest, 4.0 + 1e-9) << p.X << " " << p.Y;
        columns.insert({p.X, p.Y});
    }
    // Every grid point within 4 m of a line is there.
    size_t expected = 0;
    for (int j = 0; j < volume.Ny; ++j)
        for (int i = 0; i < volume.Nx; ++i) {
            const double x = volume.X0 + i * volume.Step, y = volume.Y0 + j * volume.Step;
            double nearest = 1e9;
            for (const TSiteLine& line : lines)
                nearest = std::min(nearest, SegmentDistance(x, y, 0.0, line.Track[0].Y, 30.0, line.Track[0].Y));
            expected += nearest <= 4.0 + 1e-9;
        }
    EXPECT_EQ(columns.size(), expected);
    EXPECT_EQ(volume.Points.size(), expected * volume.Depths.size());
    for (double y : {-4.0, 12.0, 26.0, 34.0})
        EXPECT_EQ(columns.count({10.0, y}), 1u) << y;
    EXPECT_EQ(columns.count({10.0, 14.0}), 0u);
    EXPECT_EQ(columns.count({10.0, -6.0}), 0u);
    EXPECT_EQ(columns.count({34.0, 0.0}), 1u);
    EXPECT_EQ(columns.count({34.0, 2.0}), 0u);
}

TEST(SiteVolume, ReliefCarriedBetweenTheLines)
{
    const std::vector<TSiteLine> lines = {EastLine("low", 0.0, [](double d) { return 100.0 + 0.2 * d; }),
                                          EastLine("high", 8.0, [](double d) { return 104.0 + 0.2 * d; })};
    const TSiteVolume volume = InterpolateVolume(lines, ImagesOf(lines, {Layered, Layered}));
    std::map<std::pair<double, double>, double> grounds; // by x, y
    for (const TVolumePoint& p : volume.Points) {
        const double along = std::clamp(p.X, 0.0, 30.0), ground = p.Z + p.Depth;
        grounds[{p.X, p.Y}] = ground;
        EXPECT_TRUE(ground >= 100.0 + 0.2 * along - 1e-9 && ground <= 104.0 + 0.2 * along + 1e-9) << p.X << " " << p.Y;
        // On a line its own ground (the other line weighs a 10⁻⁵ there), half
        // way between them their mean.
        if (p.X >= 0.0 && p.X <= 30.0 && p.Y == 0.0) {
            EXPECT_NEAR(ground, 100.0 + 0.2 * along, 1e-3);
        } else if (p.X >= 0.0 && p.X <= 30.0 && p.Y == 8.0) {
            EXPECT_NEAR(ground, 104.0 + 0.2 * along, 1e-3);
        } else if (p.Y == 4.0) {
            EXPECT_NEAR(ground, 102.0 + 0.2 * along, 1e-9);
        }
        // Depth below the ground, not elevation: the layering follows the
        // relief (the cells' depths shift a little over it).
        if (p.Depth <= 1.5) {
            EXPECT_NEAR(p.Resistivity, 10.0, 1e-9);
        }
    }
    // The ground rises from the low line to the high one.
    for (const auto& [place, ground] : grounds) {
        const auto north = grounds.find({place.first, place.second + volume.Step});
        if (north != grounds.end()) {
            EXPECT_GE(north->second, ground - 1e-9) << place.first << " " << place.second;
        }
    }
}

TEST(SiteVolume, SlicesAtTypedDepths)
{
    const std::vector<TSiteLine> lines = {EastLine("low", 0.0, [](double d) { return 100.0 + 0.2 * d; }),
                                          TrackLine("tie", 4.0, -6.0, {Pi / 2.0}, [](double) { return 101.0; })};
    const TSiteImages images = ImagesOf(lines, {Layered, [](double d, double z) { return 20.0 + d + z; }});
    const TSiteVolume volume = InterpolateVolume(lines, images);
    const auto places = ByPlace(volume);
    // A depth of the volume's grid: its points exactly.
    const double onGrid = volume.Depths.at(5);
    const std::vector<TVolumePoint> same = VolumeSlice(lines, images, onGrid);
    size_t columns = 0;
    for (const TVolumePoint& p : volume.Points)
        columns += p.Depth == 0.0;
    ASSERT_EQ(same.size(), columns);
    for (const TVolumePoint& p : same) {
        const TVolumePoint& q = places.at({p.X, p.Y, onGrid});
        EXPECT_EQ(p.Z, q.Z);
        EXPECT_EQ(p.Resistivity, q.Resistivity);
        EXPECT_EQ(p.Weight, q.Weight);
    }
    // Typed depths between the grid's: the depth as typed below each ground.
    for (double depth : {0.0, 0.35, 2.7, 7.125}) {
        const std::vector<TVolumePoint> slice = VolumeSlice(lines, images, depth);
        ASSERT_EQ(slice.size(), columns) << depth;
        for (const TVolumePoint& p : slice) {
            EXPECT_EQ(p.Depth, depth);
            EXPECT_NEAR(p.Z, places.at({p.X, p.Y, 0.0}).Z - depth, 1e-9);
            EXPECT_GT(p.Resistivity, 0.0);
        }
    }
    // The slice's grid is the volume's.
    const TSiteVolume grid = VolumeSliceGrid(lines, images, 2.7);
    EXPECT_EQ(std::tie(grid.X0, grid.Y0, grid.Step, grid.Nx, grid.Ny), std::tie(volume.X0, volume.Y0, volume.Step, volume.Nx, volume.Ny));
    EXPECT_EQ(grid.Depths, std::vector<double>{2.7});
    // Below every image: nothing; above the ground or not a number: refused.
    EXPECT_TRUE(VolumeSlice(lines, images, 1000.0).empty());
    EXPECT_THROW(VolumeSlice(lines, images, -0.5), EForwardError);
    EXPECT_THROW(VolumeSlice(lines, images, std::nan("")), EForwardError);
}

// Splits a CSV text into rows of fields, quoted fields unquoted.
std::vector<std::vector<std::string>> CsvRows(const std::string& Text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t n = 0; n < Text.size(); ++n) {
        const char c = Text[n];
        if (quoted && c == '"' && n + 1 < Text.size() && Text[n + 1] == '"')
            rows.back().back() += '"', ++n;
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            rows.back().emplace_back();
        else if (!quoted && c == '\n')
            rows.emplace_back(1);
        else
            rows.back().back() += c;
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the text ends with a line's end";
    rows.pop_back();
    return rows;
}

double Number(const std::string& Field)
{
    size_t used = 0;
    const double value = std::stod(Field, &used);
    EXPECT_EQ(used, Field.size()) << Field;
    return value;
}

// A site of two lines, one at 45° crossing the other, over relief, named
// as files may be, in map coordinates of a national grid (metres in the
// millions: the grid's places must still be told apart exactly).
struct TCrossedSite {
    std::vector<TSiteLine> Lines = {
        TrackLine("line, \"one\"", 512000.3, 5123000.7, {0.0}, [](double d) { return 30.0 + 0.1 * d; }),
        TrackLine("diagonal", 512006.3, 5122994.7, {Pi / 4.0}, [](double d) { return 29.0 + 0.2 * d; })};
    TSiteImages Images = ImagesOf(Lines, {[](double d, double z) { return 5.0 + d / 3.0 + z; }, Layered});
};

TEST(SiteVolume, CsvFilesReadBack)
{
    const TCrossedSite site;
    const std::vector<TFenceCell> cells = FenceCells(site.Lines, site.Images);
    const auto fence = CsvRows(FormatFenceCsv(site.Lines, cells));
    ASSERT_EQ(fence.size(), cells.size() + 1);
    EXPECT_EQ(fence[0], (std::vector<std::string>{"line", "distance", "depth", "x", "y", "z", "resistivity", "coverage"}));
    for (size_t n = 0; n < cells.size(); ++n) {
        const TFenceCell& c = cells[n];
        const auto& row = fence[n + 1];
        ASSERT_EQ(row.size(), 8u);
        EXPECT_EQ(row[0], site.Lines[c.Line].Name);
        const double values[] = {c.Distance, c.Depth, c.X, c.Y, c.Z, c.Resistivity, c.Coverage};
        for (size_t f = 0; f < 7; ++f)
            EXPECT_EQ(Number(row[f + 1]), values[f]) << n << " " << f;
    }
    const TSiteVolume volume = InterpolateVolume(site.Lines, site.Images);
    const auto rows = CsvRows(FormatVolumeCsv(volume));
    ASSERT_EQ(rows.size(), volume.Points.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"x", "y", "z", "depth", "resistivity"}));
    for (size_t n = 0; n < volume.Points.size(); ++n) {
        const TVolumePoint& p = volume.Points[n];
        ASSERT_EQ(rows[n + 1].size(), 5u);
        const double values[] = {p.X, p.Y, p.Z, p.Depth, p.Resistivity};
        for (size_t f = 0; f < 5; ++f)
            EXPECT_EQ(Number(rows[n + 1][f]), values[f]);
    }
    const std::vector<TVolumePoint> slice = VolumeSlice(site.Lines, site.Images, 1.3);
    const auto sliceRows = CsvRows(FormatSliceCsv(slice));
    ASSERT_EQ(sliceRows.size(), slice.size() + 1);
    EXPECT_EQ(sliceRows[0], (std::vector<std::string>{"x", "y", "z", "resistivity"}));
    for (size_t n = 0; n < slice.size(); ++n) {
        const double values[] = {slice[n].X, slice[n].Y, slice[n].Z, slice[n].Resistivity};
        for (size_t f = 0; f < 4; ++f)
            EXPECT_EQ(Number(sliceRows[n + 1].at(f)), values[f]);
    }
}

// A legacy VTK unstructured grid read back token by token.
struct TVtkGrid {
    std::vector<std::array<double, 3>> Points;
    std::vector<std::vector<long>> Cells;
    std::vector<int> Types;
    std::map<std::string, std::vector<double>> PointData;
};

TVtkGrid ReadVtk(const std::string& Text)
{
    std::istringstream in(Text);
    std::string line, word;
    TVtkGrid grid;
    ReadVtkUnstructuredHeader(in);
    size_t count = 0, entries = 0;
    in >> word >> count >> line;
    EXPECT_EQ(word, "POINTS");
    grid.Points.resize(count);
    for (auto& p : grid.Points)
        in >> p[0] >> p[1] >> p[2];
    in >> word >> count >> entries;
    EXPECT_EQ(word, "CELLS");
    size_t read = 0;
    for (size_t c = 0; c < count; ++c) {
        size_t size = 0;
        in >> size;
        grid.Cells.emplace_back(size);
        for (long& n : grid.Cells.back())
            in >> n;
        read += size + 1;
    }
    EXPECT_EQ(read, entries);
    in >> word >> count;
    EXPECT_EQ(word, "CELL_TYPES");
    grid.Types.resize(count);
    for (int& t : grid.Types)
        in >> t;
    in >> word >> count;
    EXPECT_EQ(word, "POINT_DATA");
    std::string name, type, size, table, tableName;
    while (in >> word >> name >> type >> size >> table >> tableName) {
        EXPECT_EQ(word + type + size + table + tableName, "SCALARSdouble1LOOKUP_TABLEdefault");
        std::vector<double>& values = grid.PointData[name];
        values.resize(count);
        for (double& v : values)
            in >> v;
    }
    EXPECT_TRUE(in.eof());
    return grid;
}

TEST(SiteVolume, VtkFileReadBack)
{
    const TCrossedSite site;
    const TSiteVolume volume = InterpolateVolume(site.Lines, site.Images);
    const TVtkGrid grid = ReadVtk(FormatVolumeVtk(volume));
    ASSERT_EQ(grid.Points.size(), volume.Points.size());
    for (size_t n = 0; n < volume.Points.size(); ++n) {
        const TVolumePoint& p = volume.Points[n];
        EXPECT_EQ(grid.Points[n], (std::array<double, 3>{p.X, p.Y, p.Z}));
        EXPECT_EQ(grid.PointData.at("resistivity").at(n), p.Resistivity);
        EXPECT_EQ(grid.PointData.at("weight").at(n), p.Weight);
    }
    ASSERT_EQ(grid.Types.size(), grid.Cells.size());
    std::vector<bool> used(volume.Points.size(), false);
    size_t hexahedra = 0;
    for (size_t c = 0; c < grid.Cells.size(); ++c) {
        const std::vector<long>& k = grid.Cells[c];
        for (long n : k) {
            ASSERT_TRUE(n >= 0 && n < static_cast<long>(used.size()));
            used[static_cast<size_t>(n)] = true;
        }
        if (grid.Types[c] == 1) {
            EXPECT_EQ(k.size(), 1u);
            continue;
        }
        ASSERT_EQ(grid.Types[c], 12);
        ASSERT_EQ(k.size(), 8u);
        ++hexahedra;
        // A grid step's cube: its lower face counter-clockwise seen from
        // above, then the upper face in the same order, one depth step up.
        const TVolumePoint& o = volume.Points[static_cast<size_t>(k[0])];
        const double dx[] = {0, 1, 1, 0}, dy[] = {0, 0, 1, 1};
        const auto deeper = std::find(volume.Depths.begin(), volume.Depths.end(), o.Depth);
        ASSERT_TRUE(deeper != volume.Depths.begin() && deeper != volume.Depths.end());
        for (size_t corner = 0; corner < 8; ++corner) {
            const TVolumePoint& p = volume.Points[static_cast<size_t>(k[corner])];
            EXPECT_NEAR(p.X, o.X + dx[corner % 4] * volume.Step, 1e-6);
            EXPECT_NEAR(p.Y, o.Y + dy[corner % 4] * volume.Step, 1e-6);
            EXPECT_EQ(p.Depth, corner < 4 ? *deeper : *(deeper - 1));
        }
    }
    EXPECT_GT(hexahedra, volume.Points.size() / 4);
    EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool u) { return u; }));
}

TEST(SiteVolume, NoNumberThatIsNotFiniteWhateverTheCoverage)
{
    const std::vector<TSiteLine> lines = {EastLine("bare", 0.0), EastLine("covered", 8.0)};
    struct TCase {
        const char* Name;
        TValue BareCoverage;
        double Weight; // of every point between the lines, -1: any in 0 .. 1
    };
    const std::vector<TCase> cases = {
        {"zero coverage", [](double, double) { return 0.0; }, -1.0},
        {"not a number", [](double, double) { return std::nan(""); }, -1.0},
        {"beyond one", [](double, double) { return 7.0; }, 1.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSiteImages images;
        images.Images = {ImageOf(lines[0], Layered, c.BareCoverage), ImageOf(lines[1], Host)};
        const TSiteVolume volume = InterpolateVolume(lines, images);
        ASSERT_FALSE(volume.Points.empty());
        for (const TVolumePoint& p : volume.Points) {
            ASSERT_TRUE(std::isfinite(p.Resistivity) && p.Resistivity >= 10.0 - 1e-9 && p.Resistivity <= 100.0 + 1e-9);
            ASSERT_TRUE(p.Weight >= 0.0 && p.Weight <= 1.0);
            if (c.Weight >= 0.0) {
                EXPECT_EQ(p.Weight, c.Weight);
            }
        }
        for (const std::string& text : {FormatVolumeVtk(volume), FormatVolumeCsv(volume),
                                        FormatFenceCsv(lines, FenceCells(lines, images))})
            for (const char* word : {"nan", "inf"})
                EXPECT_EQ(text.find(word), std::string::npos) << word;
    }
    // Every image without coverage: the points are still there, weighing 0.
    TSiteImages bare;
    bare.Images = {ImageOf(lines[0], Layered, [](double, double) { return 0.0; }),
                   ImageOf(lines[1], Host, [](double, double) { return 0.0; })};
    const TSiteVolume volume = InterpolateVolume(lines, bare);
    ASSERT_FALSE(volume.Points.empty());
    for (const TVolumePoint& p : volume.Points) {
        ASSERT_EQ(p.Weight, 0.0);
        ASSERT_TRUE(std::isfinite(p.Resistivity));
    }
}

TEST(SiteVolume, UnusableLinesAndImagesRefused)
{
    const std::vector<TSiteLine> lines = {EastLine("a", 0.0), EastLine("b", 8.0)};
    const TSiteImages images = ImagesOf(lines, {Host, Host});
    struct TCase {
        const char* Name;
        std::function<void(std::vector<TSiteLine>&, TSiteImages&)> Spoil;
        const char* Said; // in the message
    };
    const std::vector<TCase> cases = {
        {"an image missing", [](auto&, TSiteImages& I) { I.Images.pop_back(); }, "images for 2 lines"},
        {"one track point", [](std::vector<TSiteLine>& L, auto&) { L[1].Track.resize(1); }, "/site/b.dat"},
        {"a track going back", [](std::vector<TSiteLine>& L, auto&) { L[0].Track[3].Distance = 1.0; }, "/site/a.dat"},
        {"a track point not a number", [](std::vector<TSiteLine>& L, auto&) { L[0].Track[2].Z = std::nan(""); },
         "/site/a.dat"},
        {"a resistivity too few", [](auto&, TSiteImages& I) { I.Images[1].Resistivities.pop_back(); }, "/site/b.dat"},
        {"a resistivity of 0", [](auto&, TSiteImages& I) { I.Images[0].Resistivities[4] = 0.0; }, "/site/a.dat"},
        {"a resistivity not a number", [](auto&, TSiteImages& I) { I.Images[0].Resistivities[4] = std::nan(""); },
         "/site/a.dat"},
        {"a coverage too many", [](auto&, TSiteImages& I) { I.Images[1].Coverage.push_back(1.0); }, "/site/b.dat"},
        {"no mesh", [](auto&, TSiteImages& I) { I.Images[1] = TLineImage(); }, "/site/b.dat"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TSiteLine> spoiltLines = lines;
        TSiteImages spoiltImages = images;
        c.Spoil(spoiltLines, spoiltImages);
        for (const std::function<void()>& call : std::vector<std::function<void()>>{
                 [&] { FenceCells(spoiltLines, spoiltImages); }, [&] { InterpolateVolume(spoiltLines, spoiltImages); },
                 [&] { VolumeSlice(spoiltLines, spoiltImages, 1.0); }}) {
            try {
                call();
                ADD_FAILURE() << "accepted";
            } catch (const EForwardError& error) {
                EXPECT_NE(std::string(error.what()).find(c.Said), std::string::npos) << error.what();
            }
        }
    }
    EXPECT_THROW(InterpolateVolume({}, {}), EForwardError);
    // A cell of no line, a point off the grid or not a number: nothing is written.
    TFenceCell stray;
    stray.Line = 2;
    EXPECT_THROW(FormatFenceCsv(lines, {stray}), EForwardError);
    TSiteVolume volume = InterpolateVolume(lines, images);
    volume.Points[3].X += volume.Step / 3.0;
    EXPECT_THROW(FormatVolumeVtk(volume), EForwardError);
    volume.Points[3].X -= volume.Step / 3.0;
    volume.Points[5].Resistivity = std::numeric_limits<double>::infinity();
    EXPECT_THROW(FormatVolumeCsv(volume), EForwardError);
    EXPECT_THROW(FormatVolumeVtk(volume), EForwardError);
    EXPECT_THROW(FormatSliceCsv(volume.Points), EForwardError);
}

} // namespace lp::site_volume_test
