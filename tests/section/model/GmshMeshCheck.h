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

inline std::filesystem::path GmshFolder()
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "gmsh-check";
    std::filesystem::create_directories(folder);
    return folder;
}

// The mesh gmsh wrote for Name (its .msh, .log and .rc files in GmshFolder).
inline TGmshMesh ReadGmshResult(const std::string& name)
{
    const std::filesystem::path base = GmshFolder() / name;
    TGmshMesh mesh;
    mesh.exitCode = std::atoi(ReadWholeFile(base.string() + ".rc").c_str());
    if (ReadWholeFile(base.string() + ".rc").empty())
        mesh.exitCode = -1;
    mesh.log = ReadWholeFile(base.string() + ".log");
    std::istringstream in(ReadWholeFile(base.string() + ".msh"));
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

// Runs "gmsh -2 -format msh2" on each (geometry text, name), four at a
// time (gmsh's start-up is most of the time a small model takes), and
// reads the meshes.
inline std::vector<TGmshMesh> MeshAllWithGmsh(const std::vector<std::pair<std::string, std::string>>& geometries)
{
    const std::filesystem::path folder = GmshFolder();
    std::string names;
    for (const auto& [text, name] : geometries) {
        std::ofstream(folder / (name + ".geo"), std::ios::binary) << text;
        for (const char* extension : {".msh", ".log", ".rc"})
            std::filesystem::remove(folder / (name + extension));
        names += name + "\n";
    }
    std::ofstream(folder / "names.txt", std::ios::binary) << names;
    const std::string command = "cd '" + folder.string() +
                                "' && xargs -P 4 -I{} sh -c 'gmsh -2 -format msh2 -o {}.msh {}.geo > {}.log 2>&1; "
                                "echo $? > {}.rc' < names.txt";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<TGmshMesh> meshes;
    for (const auto& entry : geometries)
        meshes.push_back(ReadGmshResult(entry.second));
    return meshes;
}

inline TGmshMesh MeshWithGmsh(const std::string& geometryText, const std::string& name)
{
    return MeshAllWithGmsh({{geometryText, name}}).front();
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

// Checks gmsh's mesh of the geometry; Context names the model in failures.
inline void ExpectMeshMatchesModel(const TModelGeometry& geometry, const TGmshMesh& mesh, const std::string& context)
{
    SCOPED_TRACE(context);
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

// Meshes the geometry and checks the mesh.
inline void ExpectMeshMatchesModel(const TModelGeometry& geometry, const std::string& name,
                                   const std::string& context)
{
    ExpectMeshMatchesModel(geometry, MeshWithGmsh(FormatGmshGeometry(geometry), name), context);
}

} // namespace lp::test
