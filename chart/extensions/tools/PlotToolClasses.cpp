#include "chart/extensions/tools/PlotToolClasses.h"

#include "chart/extensions/tools/PlotClipSeriesTool.h"
#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/extensions/tools/PlotCursorTool.h"
#include "chart/extensions/tools/PlotGridBandTool.h"
#include "chart/extensions/tools/PlotNearestTool.h"
#include "chart/extensions/tools/PlotSeriesAnimation.h"
#include "platform/core/ClassRegistry.h"

namespace lp {

void RegisterToolClasses()
{
    RegisterClass<TCursorTool>();
    RegisterClass<TColorLineTool>();
    RegisterClass<TColorBandTool>();
    RegisterClass<TNearestTool>();
    RegisterClass<TSeriesAnimationTool>();
    RegisterClass<TGridBandTool>();
    RegisterClass<TClipSeriesTool>();
}

void UnregisterToolClasses()
{
    for (const char* Name : {"TClipSeriesTool", "TGridBandTool", "TSeriesAnimationTool", "TNearestTool",
                             "TColorBandTool", "TColorLineTool", "TCursorTool"})
        UnRegisterClass(QString::fromLatin1(Name));
}

} // namespace lp
