#include "chart/export/PlotChartImage.h"

#include "chart/canvas/PlotConst.h"
#include "chart/export/PlotChartFile.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/Picture.h"

#include <cstdlib>

namespace lp {

TChartImage::TChartImage() = default;

TChartImage::~TChartImage() = default;

TChart* TChartImage::Chart() const
{
    if (!FChart && !FOwnedChart) {
        FOwnedChart = std::make_unique<TChart>();
        FOwnedChart->SetBufferedDisplay(false);
        FOwnsChart = true;
    }
    return FChart ? FChart : FOwnedChart.get();
}

void TChartImage::SetChart(TChart* Value)
{
    FChart = Value;
    FOwnedChart.reset();
    FOwnsChart = false;
    Changed();
}

void TChartImage::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TChartImage*>(Source)) {
        if (!Other->Empty())
            Chart()->Assign(Other->Chart());
        return;
    }
    TGraphic::Assign(Source);
}

void TChartImage::Draw(TCanvas& Canvas, const TRect& Rect) const
{
    const long long width = std::llabs(static_cast<long long>(Rect.Right) - Rect.Left);
    const long long height = std::llabs(static_cast<long long>(Rect.Bottom) - Rect.Top);
    const TPixelSize drawn = ScaledIntoLimits(width, height, MaxDrawnPictureSide, MaxDrawnPicturePixels);
    if (drawn.Width < width || drawn.Height < height) {
        // Laid out across so many pixels the chart would take minutes to
        // draw: drawn at the bounded size and stretched.
        const std::unique_ptr<TBitmap> bitmap = Chart()->CreateBitmap(clWhite, TRect{0, 0, drawn.Width, drawn.Height});
        Canvas.StretchDraw(Rect, bitmap.get());
        return;
    }
    Canvas.Brush().SetStyle(TBrush::bsSolid);
    Canvas.Brush().SetColor(clWhite);
    Canvas.FillRect(Rect);
    Chart()->DrawToCanvas(&Canvas, Rect);
}

bool TChartImage::Empty() const
{
    return !FChart && !FOwnedChart;
}

int TChartImage::Width() const
{
    return Chart()->Width();
}

int TChartImage::Height() const
{
    return Chart()->Height();
}

void TChartImage::SetWidth(int Value)
{
    Chart()->SetWidth(Value);
}

void TChartImage::SetHeight(int Value)
{
    Chart()->SetHeight(Value);
}

void TChartImage::SetTransparent(bool Value)
{
    (void)Value;
    Chart()->SetColor(clNone);
}

void TChartImage::LoadFromStream(QIODevice& Stream)
{
    TCustomChart* Target = Chart();
    LoadChartFromStream(Target, Stream);
    Chart()->SetBufferedDisplay(false);
}

void TChartImage::SaveToStream(QIODevice& Stream) const
{
    SaveChartToStream(Chart(), Stream, true, false);
}

void TChartImage::SaveToFile(const QString& FileName) const
{
    SaveChartToFile(Chart(), FileName, true, false);
}

TPixelSize TChartImage::ImageSize() const
{
    if (Width() <= 0 || Height() <= 0)
        return {};
    return ScaledIntoLimits(Width(), Height(), MaxDrawnPictureSide, MaxDrawnPicturePixels);
}

QImage TChartImage::ToImage() const
{
    const TPixelSize size = ImageSize();
    return Chart()->CreateBitmap(clWhite, TRect{0, 0, size.Width, size.Height})->ToImage();
}

void RegisterChartImage()
{
    RegisterFileFormat(PlotFileExtension, QStringLiteral("VudEvevu"), [] { return std::make_unique<TChartImage>(); });
}

void UnRegisterChartImage()
{
    UnregisterFileFormat(PlotFileExtension);
}

} // namespace lp
