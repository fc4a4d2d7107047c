// The "3D" gallery page: the grid family registered in its order, and every
// type on the page created, prepared as the gallery prepares it and painted.

#include "chart/extensions/grid3d/PlotGrid3DGallery.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

QStringList ThreeDPage()
{
    QStringList Names;
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int I = 0; I < Types.Count(); ++I)
        if (Types[I]->GalleryPageText() == QLatin1String("3D")) {
            EXPECT_EQ(Types[I]->NumGallerySeries, 1) << Types[I]->DescriptionText().toStdString();
            Names << Types[I]->DescriptionText();
        }
    return Names;
}

TEST(Grid3DGallery, TheFamilyIsRegisteredInOrder)
{
    EXPECT_EQ(ThreeDPage().mid(0, 7), (QStringList{"Surface", "Contour", "Water Fall", "Color Grid", "Vector 3D",
                                                   "Tower", "Triangle Surf."}));
}

// The number of pixels that differ between two pictures of one size.
int ChangedPixels(const QImage& A, const QImage& B)
{
    int Count = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            Count += A.pixel(X, Y) != B.pixel(X, Y);
    return Count;
}

TEST(Grid3DGallery, EveryTypeOnThePagePaintsItsGallerySample)
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int I = 0; I < Types.Count(); ++I) {
        const TPlotSeriesType& Type = *Types[I];
        if (Type.GalleryPageText() != QLatin1String("3D") || !Type.SeriesClass)
            continue;
        SCOPED_TRACE(Type.DescriptionText().toStdString());
        TChart Chart;
        test::SetUpTiltedPictureChart(Chart);
        Chart.LeftAxis()->SetVisible(false);
        Chart.BottomAxis()->SetVisible(false);
        Chart.DepthAxis()->SetVisible(false);
        Chart.SetView3DWalls(false);
        const QImage Empty = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Type.SeriesClass, nullptr);
        ASSERT_NE(Series, nullptr);
        Series->FillSampleValues(Series->NumSampleValues());
        Series->PrepareForGallery(true);
        const QImage Painted = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
        EXPECT_GT(ChangedPixels(Painted, Empty), 300);
        EXPECT_GE(Series->Clicked(200, 150), -1);
    }
}

} // namespace
} // namespace lp
