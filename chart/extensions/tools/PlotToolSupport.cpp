#include "chart/extensions/tools/PlotToolSupport.h"

#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <string>

namespace lp {

void VisibleRange(const TChartSeries& Series, int& First, int& Last)
{
    const int Count = Series.Count();
    First = std::max(Series.FirstVisibleIndex(), 0);
    Last = Series.LastVisibleIndex() >= 0 && Series.LastVisibleIndex() < Count ? Series.LastVisibleIndex() : Count - 1;
}

TChartValueList* ZValueList(const TChartSeries& Series)
{
    for (TChartValueList* List : Series.ValuesList())
        if (List->Name().compare(QLatin1String("Z"), Qt::CaseInsensitive) == 0)
            return List;
    return nullptr;
}

void CheckTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
}

} // namespace lp
