// The tool types the extensions register at start-up: each listed, made by
// its class name, with its description and its editor page; the paging
// page's page-number class and the 3-D drawing panel's class.

#include "chart/extensions/tools/PlotDragPointTool.h"
#include "chart/extensions/tools/PlotGanttTool.h"
#include "chart/extensions/tools/PlotGridTransposeTool.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "chart/extensions/tools/PlotPageNumTool.h"
#include "chart/extensions/tools/PlotPieTool.h"
#include "chart/extensions/tools/PlotSeriesBandTool.h"
#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ToolTypes, EachUnitRegistersItsToolType)
{
    const struct {
        const QMetaObject* Class;
        const char* Description;
        const char* Editor;
    } Rows[] = {
        {&TLightTool::staticMetaObject, "2D Lighting", "TLightToolEditor"},
        {&TSeriesBandTool::staticMetaObject, "Series Band", "TSeriesBandToolEdit"},
        {&TPieTool::staticMetaObject, "Pie Slices", "TPieToolEditor"},
        {&TSurfaceNearestTool::staticMetaObject, "Surface Nearest", "TSurfaceNearest"},
        {&TDragPointTool::staticMetaObject, "Drag Point", "TDragPointToolEdit"},
        {&TGanttTool::staticMetaObject, "Gantt Drag", "TGanttToolEditor"},
        {&TPageNumTool::staticMetaObject, "Page Number", "TAnnotationToolEdit"},
        {&TGridTransposeTool::staticMetaObject, "3D Grid Transpose", "TGridTransposeToolEdit"},
    };
    for (const auto& Row : Rows) {
        const QString Name = TPersistent::ClassNameOf(*Row.Class);
        EXPECT_GE(PlotToolTypes()->IndexOf(Row.Class), 0) << qPrintable(Name);
        std::unique_ptr<TPersistent> Made = CreateObject(Name);
        auto* Tool = qobject_cast<TPlotCustomTool*>(Made.get());
        ASSERT_NE(Tool, nullptr) << qPrintable(Name);
        EXPECT_EQ(Tool->Description(), QString::fromUtf8(Row.Description));
        EXPECT_EQ(Tool->GetEditorClassName(), QString::fromUtf8(Row.Editor));
    }
    EXPECT_EQ(PageNumToolClass, &TPageNumTool::staticMetaObject);
    // The 3-D drawing panel streams by its class name.
    EXPECT_NE(GetClass(QStringLiteral("TDraw3D")), nullptr);
}

} // namespace
} // namespace lp
