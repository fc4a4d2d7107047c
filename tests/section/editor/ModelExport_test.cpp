// Exporting the section model: both files or neither, names, refusals,
// and the example section meshed by gmsh.

#include "section/editor/ModelExport.h"

#include "section/model/ModelGeometryText.h"
#include "tests/section/model/GmshMeshCheck.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace lp {
namespace {

QByteArray FileBytes(const QString& Name)
{
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TSectionModel ExportSampleSection()
{
    TSectionModel section;
    section.ModelArea = TModelArea{0.0, 0.0, 200.0, 100.0};
    BuildFrameModel(section.Nodes, section.Model, {}, false, 100.0, 0.0, 200.0, 0.0);
    arofcomplexM square{{20, 20}, {60, 20}, {60, 60}, {20, 60}};
    EXPECT_TRUE(AddPolygon(square, section.Model, section.Nodes));
    return section;
}

TEST(ModelExport, NamesGetTheirExtensions)
{
    EXPECT_EQ(ModelGeometryFileName("/tmp/model"), "/tmp/model.geo");
    EXPECT_EQ(ModelGeometryFileName("/tmp/model.GEO"), "/tmp/model.GEO");
    EXPECT_EQ(ModelGeometryFileName("/tmp/model.v2"), "/tmp/model.v2.geo");
    EXPECT_EQ(ModelTableFileName("/tmp/model"), "/tmp/model.csv");
    EXPECT_EQ(ModelTableFileName("/tmp/a.b.geo"), "/tmp/a.b.csv");
    TModelExportSummary summary;
    summary.Regions = 5;
    summary.Points = 14;
    EXPECT_EQ(ModelExportStatusText(summary), "Model exported: 5 regions, 14 points");
    summary.Regions = 1;
    summary.Warnings = {"Line \"A\" does not lie inside one region: it is written but not embedded."};
    EXPECT_EQ(ModelExportStatusText(summary), "Model exported: 1 region, 14 points Line \"A\" does not lie inside "
                                              "one region: it is written but not embedded.");
}

TEST(ModelExport, WritesTheGeometryAndItsTableReplacingOldFiles)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("model");
    QFile old(folder.filePath("model.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old table");
    old.close();
    const TSectionModel section = ExportSampleSection();
    const TModelExportSummary summary = ExportModel(name, section);
    EXPECT_EQ(summary.GeometryFile, folder.filePath("model.geo"));
    EXPECT_EQ(summary.Regions, 2);
    EXPECT_EQ(summary.Points, 8);
    const TModelGeometry geometry = BuildModelGeometry(section.Model, section.Nodes, section.Lines);
    EXPECT_EQ(FileBytes(folder.filePath("model.geo")), QByteArray::fromStdString(FormatGmshGeometry(geometry)));
    EXPECT_EQ(FileBytes(folder.filePath("model.csv")), QByteArray::fromStdString(FormatRegionTable(geometry)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(ModelExport, ABadModelOrAFailedWriteLeavesNothing)
{
    QTemporaryDir folder;
    TSectionModel crossing = ExportSampleSection();
    // A second square drawn over the first without a node in common.
    const int first = crossing.Nodes.Length();
    for (auto [x, y] : {std::pair{40.0, 40.0}, {80.0, 40.0}, {80.0, 80.0}, {40.0, 80.0}}) {
        Tnode node;
        node.x = x;
        node.y = y;
        crossing.Nodes.Add(node);
    }
    SPolygon body;
    Polygon ring;
    ring.ring = {first, first + 1, first + 2, first + 3};
    body.Add(ring);
    crossing.Model.Add(body);
    try {
        ExportModel(folder.filePath("bad.geo"), crossing);
        ADD_FAILURE() << "a model with crossing rings was exported";
    } catch (const EModelExportError& error) {
        EXPECT_NE(error.Message().find("crosses"), std::string::npos) << error.Message();
    }
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    EXPECT_THROW(ExportModel(folder.filePath("no/such/folder/model.geo"), ExportSampleSection()), EModelExportError);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST(ModelExport, TheExampleSectionMeshesWithGmsh)
{
    if (!test::GmshAvailable())
        GTEST_FAIL() << "gmsh is not installed (scripts/install-deps.sh installs it)";
    QTemporaryDir folder;
    // The picture is not needed: the section is read from a copy without it.
    const QString copy = folder.filePath("example.sec");
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), copy));
    const TModelExportSummary summary = ExportSectionFileModel(copy, folder.filePath("example"));
    EXPECT_EQ(summary.Regions, 4); // the host medium and three rings
    EXPECT_EQ(summary.Points, 19); // 14 nodes and the line's 5 points
    EXPECT_TRUE(summary.Warnings.empty());
    TSectionModel section;
    const QByteArray bytes = FileBytes(copy);
    ASSERT_TRUE(ParseSectionModelBlock(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), section));
    const TModelGeometry geometry = BuildModelGeometry(section.Model, section.Nodes, section.Lines);
    EXPECT_EQ(FileBytes(folder.filePath("example.csv")), QByteArray::fromStdString(FormatRegionTable(geometry)));
    test::ExpectMeshMatchesModel(geometry, "example", "example section");
    const test::TGmshMesh mesh = test::MeshWithGmsh(FormatGmshGeometry(geometry), "example-count");
    std::printf("example section: %zu regions, %zu points, %d lines (%zu in all), %zu triangles at the default lc\n",
                geometry.Regions.size(), geometry.Points.size(), geometry.ModelEdgeCount, geometry.Edges.size(),
                mesh.triangles.size());
}

} // namespace
} // namespace lp
