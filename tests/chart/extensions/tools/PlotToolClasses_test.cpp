// Every tool of the folder is created by its class name (as stored charts
// recreate them) and reports its description and editor page.

#include "chart/extensions/tools/PlotToolClasses.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace lp {
namespace {

TEST(ToolClasses, EachToolIsCreatedByName)
{
    const struct {
        const char* Name;
        const char* Description;
        const char* Editor;
    } Rows[] = {
        {"TCursorTool", "Cursor", "TCursorToolEditor"},
        {"TColorLineTool", "Color Line", "TColorLineToolEditor"},
        {"TColorBandTool", "Color Band", "TColorBandToolEditor"},
        {"TNearestTool", "Nearest Point", "TNearestToolEdit"},
        {"TSeriesAnimationTool", "Series Animation", "TSeriesAnimToolEditor"},
        {"TGridBandTool", "Grid Band", "TGridBandToolEdit"},
        {"TClipSeriesTool", "Clip Series", "TSeriesToolEditor"},
    };
    for (const auto& Row : Rows) {
        const std::unique_ptr<TPersistent> Made = CreateObject(QString::fromLatin1(Row.Name));
        auto* Tool = qobject_cast<TPlotCustomTool*>(Made.get());
        ASSERT_NE(Tool, nullptr) << Row.Name;
        EXPECT_EQ(Tool->Description(), QString::fromLatin1(Row.Description));
        EXPECT_EQ(Tool->GetEditorClassName(), QString::fromLatin1(Row.Editor));
        EXPECT_TRUE(Tool->Active());
    }
}

} // namespace
} // namespace lp
