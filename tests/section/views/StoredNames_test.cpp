// The names the mesh-model and pseudo-section charts store in a chart file
// (the chart editor's export saves them as it saves any chart), against the
// stored-names table of the chart file's test
// (tests/chart/export/StoredNamesTable.h): each chart, with the series and
// tools it makes for itself, walked as the writer walks it. A class the
// table does not know, or a name it stores beyond its row, fails.

#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"

#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "tests/chart/export/StoredNamesTable.h"
#include "tests/chart/export/StoredNamesWalk.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(SectionChartStoredNames, TheMeshAndPseudoSectionChartsStoreWhatTheirClassesPublish)
{
    TTModelSection2d Mesh;
    TPseudoSection2d Pseudo;
    Pseudo.SetDefaultSettings();
    test::TStoredNamesWalk Walk;
    Walk.WalkChart(Mesh);
    Walk.WalkChart(Pseudo);
    ASSERT_EQ(Walk.Classes().count(QStringLiteral("TTModelSection2d")), 1u);
    ASSERT_EQ(Walk.Classes().count(QStringLiteral("TPseudoSection2d")), 1u);
    // The mesh chart's own picture tool and its two point series.
    EXPECT_EQ(Walk.Classes().count(QStringLiteral("TChartImageTool")), 1u);
    EXPECT_EQ(Walk.Classes().count(QStringLiteral("TPointSeries")), 1u);
    const QStringList Differences = test::CompareWalkWithTable(Walk.Classes());
    EXPECT_TRUE(Differences.isEmpty()) << Differences.size() << " differences:\n"
                                       << Differences.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace lp
