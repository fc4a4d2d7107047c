// The count and cumulative functions.

#include "chart/extensions/functions/PlotCountCumulative.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"

namespace lp {

double TCountPlotFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    if (FirstIndex == -1)
        return ValueList(Source)->Count();
    return LastIndex - FirstIndex + 1;
}

double TCountPlotFunction::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    int Result = 0;
    for (TChartSeries* S : SourceList)
        if (ValueList(S)->Count() > ValueIndex)
            ++Result;
    return Result;
}

TCumulative::TCumulative(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
}

double TCumulative::ParentValue(int Index) const
{
    const TChartSeries* Parent = ParentSeries();
    if (!Parent || Index < 0 || Index >= Parent->Count())
        return 0;
    return Parent->MandatoryValues()->Value(Index);
}

double TCumulative::Calculate(TChartSeries* Source, int FirstIndex, int)
{
    double Result = 0;
    if (FirstIndex >= 1 && ParentSeries())
        Result = ParentValue(ParentSeries()->Count() - 1);
    const TChartValueList& Values = *ValueList(Source);
    if (FirstIndex >= 0 && FirstIndex < Values.Count())
        Result += Values.Value(FirstIndex);
    return Result;
}

double TCumulative::CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex)
{
    double Result = ValueIndex != 0 ? ParentValue(ValueIndex - 1) : 0;
    for (TChartSeries* S : SourceList) {
        const TChartValueList& Values = *ValueList(S);
        if (Values.Count() > ValueIndex)
            Result += Values.Value(ValueIndex);
    }
    return Result;
}

void RegisterCountCumulativeFunctions()
{
    RegisterPlotBasicFunction<TCountPlotFunction>(&PlotMsg_FunctionCount);
    RegisterPlotFunction<TCumulative>(&PlotMsg_FunctionCumulative, &PlotMsg_GalleryExtended, 2);
}

void UnregisterCountCumulativeFunctions()
{
    UnRegisterPlotFunctions({&TCountPlotFunction::staticMetaObject, &TCumulative::staticMetaObject});
}

} // namespace lp
