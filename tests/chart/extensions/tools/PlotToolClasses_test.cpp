// The standard tools are registered as tool types in the gallery's order,
// each created by its class name (as stored charts recreate them) with its
// description and editor page; start-up and shut-down are counted.

#include "chart/extensions/tools/PlotToolClasses.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/PlotExtensions.h"
#include "platform/core/ClassRegistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace lp {
namespace {

struct TToolRow {
    const char* Name;
    const char* Description;
    const char* Editor;
};

const TToolRow StandardTools[] = {
    {"TCursorTool", "Cursor", "TCursorToolEditor"},
    {"TDragMarksTool", "Drag Marks", "TDragMarksToolEditor"},
    {"TAxisArrowTool", "Axis Arrows", "TAxisArrowToolEditor"},
    {"TDrawLineTool", "Draw Line", "TDrawLineEdit"},
    {"TNearestTool", "Nearest Point", "TNearestToolEdit"},
    {"TColorBandTool", "Color Band", "TColorBandToolEditor"},
    {"TColorLineTool", "Color Line", "TColorLineToolEditor"},
    {"TRotateTool", "Rotate", "TRotateToolEditor"},
    {"TChartImageTool", "Image", "TChartImageToolEditor"},
    {"TMarksTipTool", "Mark Tips", "TMarksTipToolEdit"},
    {"TAnnotationTool", "Annotation", "TAnnotationToolEdit"},
    {"TSeriesAnimationTool", "Series Animation", "TSeriesAnimToolEditor"},
    {"TGridBandTool", "Grid Band", "TGridBandToolEdit"},
    {"TAxisScrollTool", "Axis Scroll", "TAxisToolEditor"},
    {"TRectangleTool", "Rectangle", "TAnnotationToolEdit"},
    {"TClipSeriesTool", "Clip Series", "TSeriesToolEditor"},
};

// The tool types of the extensions in registration order, with what each
// reports; further units add their tools after the standard sixteen.
const TToolRow ExtensionTools[] = {
    {"TDataTableTool", "Data Table", "TDataTableEditor"},
    {"TLegendScrollBar", "Legend Scrollbar", "TScrollBarEditor"},
    {"TSelectorTool", "Selector", "TSelectorToolEditor"},
    {"TExtraLegendTool", "Extra Legend", "TExtraLegendEditor"},
};

QStringList RegisteredNames()
{
    QStringList Names;
    for (int I = 0; I < PlotToolTypes()->Count(); ++I)
        Names << TPersistent::ClassNameOf(*PlotToolTypes()->Items(I));
    return Names;
}

void ExpectCreatedByName(const TToolRow& Row)
{
    const std::unique_ptr<TPersistent> Made = CreateObject(QString::fromLatin1(Row.Name));
    auto* Tool = qobject_cast<TPlotCustomTool*>(Made.get());
    ASSERT_NE(Tool, nullptr) << Row.Name;
    EXPECT_EQ(Tool->Description(), QString::fromLatin1(Row.Description)) << Row.Name;
    EXPECT_EQ(Tool->GetEditorClassName(), QString::fromLatin1(Row.Editor)) << Row.Name;
    EXPECT_TRUE(Tool->Active());
}

TEST(ToolClasses, TheSixteenStandardToolsComeFirstInOrderAndAreCreatedByName)
{
    const QStringList Names = RegisteredNames();
    ASSERT_GE(Names.size(), 16);
    for (int I = 0; I < 16; ++I)
        EXPECT_EQ(Names[I], QString::fromLatin1(StandardTools[I].Name)) << I;
    for (const TToolRow& Row : StandardTools)
        ExpectCreatedByName(Row);
}

TEST(ToolClasses, EachExtensionToolRegistersItsOwnTypeAndIsCreatedByName)
{
    const QStringList Names = RegisteredNames();
    for (const TToolRow& Row : ExtensionTools) {
        EXPECT_EQ(Names.count(QString::fromLatin1(Row.Name)), 1) << Row.Name;
        ExpectCreatedByName(Row);
    }
}

TEST(ToolClasses, ASecondStartUpAddsNothingAndTheLastShutDownRemovesEveryTool)
{
    const QStringList Before = RegisteredNames();
    InitializeChartExtensions();
    EXPECT_EQ(RegisteredNames(), Before);
    FinalizeChartExtensions();
    EXPECT_EQ(RegisteredNames(), Before);
    // The suite's own start-up is the last one: shut it down and start again.
    FinalizeChartExtensions();
    EXPECT_EQ(PlotToolTypes()->Count(), 0);
    InitializeChartExtensions();
    EXPECT_EQ(RegisteredNames(), Before);
}

} // namespace
} // namespace lp
