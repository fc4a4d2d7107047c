// The analysis functions are registered at start-up with their gallery
// texts and pages and are created by class name with their editor pages.

#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/financial/PlotCompress.h"
#include "chart/extensions/financial/PlotOscillators.h"
#include "chart/extensions/financial/PlotVolumeIndicators.h"
#include "chart/extensions/functions/PlotCountCumulative.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "platform/core/ClassRegistry.h"

#include <memory>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TExpected {
    const QMetaObject* Class;
    const char* Description;
    const char* Page;
    int GallerySeries;
    const char* Editor;
};

const TExpected Expected[] = {
    {&TDownSamplingFunction::staticMetaObject, "Downsampling", "Extended", 1, "TPlotFunctionEditor"},
    {&TCompressFunction::staticMetaObject, "Compression", "Financial", 1, "TCompressFuncEditor"},
    {&TCLVFunction::staticMetaObject, "Close Location\rValue", "Financial", 1, "TCLVFuncEditor"},
    {&TOBVFunction::staticMetaObject, "On Balance\rVolume", "Financial", 1, "TOBVFuncEditor"},
    {&TCCIFunction::staticMetaObject, "Commodity\rChannel Index", "Financial", 1, "TCCIFuncEditor"},
    {&TPVOFunction::staticMetaObject, "Volume\rOscillator", "Financial", 1, "TPVOFuncEditor"},
    {&TCountPlotFunction::staticMetaObject, "Count", "Standard", 2, "TPlotFunctionEditor"},
    {&TCumulative::staticMetaObject, "Cumulative", "Extended", 2, "TPlotFunctionEditor"},
    {&TCurveFittingFunction::staticMetaObject, "Curve Fitting", "Extended", 1, "TPlotFunctionEditor"},
    {&TTrendFunction::staticMetaObject, "Trend", "Extended", 1, "TPlotFunctionEditor"},
    {&TExpTrendFunction::staticMetaObject, "Exponential\rTrend", "Extended", 1, "TPlotFunctionEditor"},
    {&TCorrelationFunction::staticMetaObject, "Correlation", "Extended", 1, "TPlotFunctionEditor"},
};

const TPlotSeriesType* EntryOf(const QMetaObject* Class)
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int I = 0; I < Types.Count(); ++I)
        if (Types[I]->FunctionClass == Class && !Types[I]->SeriesClass)
            return Types[I];
    return nullptr;
}

TEST(AnalysisFunctions, RegisteredWithTheirTextsPagesAndEditors)
{
    for (const TExpected& E : Expected) {
        const TPlotSeriesType* Entry = EntryOf(E.Class);
        ASSERT_NE(Entry, nullptr) << E.Description;
        EXPECT_EQ(Entry->DescriptionText(), QString::fromLatin1(E.Description));
        EXPECT_EQ(Entry->GalleryPageText(), QString::fromLatin1(E.Page)) << E.Description;
        EXPECT_EQ(Entry->NumGallerySeries, E.GallerySeries) << E.Description;
        const std::unique_ptr<TPersistent> Instance = CreateObject(TPersistent::ClassNameOf(*E.Class));
        auto* F = qobject_cast<TPlotFunction*>(Instance.get());
        ASSERT_NE(F, nullptr) << E.Description;
        EXPECT_EQ(F->GetEditorClassName(), QString::fromLatin1(E.Editor));
    }
}

} // namespace
} // namespace lp
