#pragma once
// Meshes an exported model geometry with the gmsh program and checks the
// mesh against the model: every region's triangles cover exactly its area,
// the regions together cover the frame, and the mesh is conforming.

#include "section/model/ModelGeometry.h"
#include "section/model/ModelGeometryText.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace lp::test {

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

struct TGmshMesh {
    int exitCode = -1;
    std::string log;
    std::map<long, std::array<double, 2>> nodes;
    std::vector<std::array<long, 3>> triangles;
    std::vector<int> physical; // per triangle
};

inline bool GmshAvailable()
{
    return std::system("gmsh --version > /dev/null 2>&1") == 0;
}

// Runs "gmsh -2 -format msh2" on the geometry text and reads the mesh.
inline TGmshMesh MeshWithGmsh(const std::string& geometryText, const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "gmsh-check";
    std::filesystem::create_directories(folder);
    const std::filesystem::path geo = folder / (name + ".geo"), msh = folder / (name + ".msh"),
                                log = folder / (name + ".log");
    std::ofstream(geo, std::ios::binary) << geometryText;
    std::filesystem::remove(msh);
    const std::string command = "gmsh -2 -format msh2 -o '" + msh.string() + "' '" + geo.string() + "' > '" +
                                log.string() + "' 2>&1";
    TGmshMesh mesh;
    const int status = std::system(command.c_str());
    mesh.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    mesh.log = ReadWholeFile(log);
    std::istringstream in(ReadWholeFile(msh));
    std::string word;
    while (in >> word) {
        if (word == "$Nodes") {
            long count = 0;
            in >> count;
            for (long i = 0; i < count; ++i) {
                long id;
                double x, y, z;
                in >> id >> x >> y >> z;
                mesh.nodes[id] = {x, y};
            }
        } else if (word == "$Elements") {
            long count = 0;
            in >> count;
            std::string line;
            std::getline(in, line);
            for (long i = 0; i < count; ++i) {
                std::getline(in, line);
                std::istringstream fields(line);
                long id, type, tagCount;
                fields >> id >> type >> tagCount;
                std::vector<long> tags(static_cast<size_t>(tagCount));
                for (long& tag : tags)
                    fields >> tag;
                if (type != 2)
                    continue;
                std::array<long, 3> corners{};
                fields >> corners[0] >> corners[1] >> corners[2];
                mesh.triangles.push_back(corners);
                mesh.physical.push_back(tagCount > 0 ? static_cast<int>(tags[0]) : 0);
            }
        }
    }
    return mesh;
}

// The area column of the region table, by tag.
inline std::map<int, double> TableAreas(const std::string& table)
{
    std::map<int, double> areas;
    std::istringstream in(table);
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        const auto last = line.rfind(',');
        areas[std::atoi(line.c_str())] = std::strtod(line.c_str() + last + 1, nullptr);
    }
    return areas;
}

inline bool PointOnFrame(const TModelGeometry& geometry, const std::array<double, 2>& point)
{
    const double tolerance = 1e-9 * geometry.Width;
    for (int edge : geometry.FrameEdges) {
        const auto& [a, b] = geometry.Edges[static_cast<size_t>(edge - 1)];
        const TGeometryPoint& p = geometry.Points[static_cast<size_t>(a)];
        const TGeometryPoint& q = geometry.Points[static_cast<size_t>(b)];
        const double dx = q.x - p.x, dy = q.y - p.y, length = std::hypot(dx, dy);
        const double along = ((point[0] - p.x) * dx + (point[1] - p.y) * dy) / length;
        const double across = (dx * (point[1] - p.y) - dy * (point[0] - p.x)) / length;
        if (std::fabs(across) <= tolerance && along >= -tolerance && along <= length + tolerance)
            return true;
    }
    return false;
}

// Meshes the geometry and checks the mesh; Context names the model in failures.
inline void ExpectMeshMatchesModel(const TModelGeometry& geometry, const std::string& name,
                                   const std::string& context)
{
    SCOPED_TRACE(context);
    const TGmshMesh mesh = MeshWithGmsh(FormatGmshGeometry(geometry), name);
    ASSERT_EQ(mesh.exitCode, 0) << mesh.log;
    ASSERT_EQ(mesh.log.find("Error"), std::string::npos) << mesh.log;
    ASSERT_FALSE(mesh.triangles.empty()) << mesh.log;
    std::map<int, double> covered;
    double total = 0.0;
    std::map<std::pair<long, long>, int> edgeUses;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const auto& [a, b, c] = mesh.triangles[t];
        const auto& p = mesh.nodes.at(a);
        const auto& q = mesh.nodes.at(b);
        const auto& r = mesh.nodes.at(c);
        const double area = std::fabs((q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])) / 2;
        covered[mesh.physical[t]] += area;
        total += area;
        for (auto [u, v] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}})
            ++edgeUses[{std::min(u, v), std::max(u, v)}];
    }
    const std::map<int, double> table = TableAreas(FormatRegionTable(geometry));
    for (const TGeometryRegion& region : geometry.Regions) {
        const double meshed = covered.count(region.tag) ? covered.at(region.tag) : 0.0;
        EXPECT_NEAR(meshed, region.area, 1e-9 * geometry.FrameArea) << region.name;
        if (region.area > 0) {
            EXPECT_LT(std::fabs(meshed - region.area) / region.area, 1e-9) << region.name;
            EXPECT_LT(std::fabs(meshed - table.at(region.tag)) / region.area, 1e-9) << region.name;
        }
    }
    EXPECT_LT(std::fabs(total - geometry.FrameArea) / geometry.FrameArea, 1e-9);
    int onFrame = 0;
    for (const auto& [edge, uses] : edgeUses) {
        const bool frame = uses == 1 && PointOnFrame(geometry, mesh.nodes.at(edge.first)) &&
                           PointOnFrame(geometry, mesh.nodes.at(edge.second));
        onFrame += frame;
        EXPECT_TRUE(uses == 2 || frame) << "triangle edge " << edge.first << "-" << edge.second << " used " << uses
                                        << " times";
    }
    EXPECT_GT(onFrame, 0);
}

} // namespace lp::test
