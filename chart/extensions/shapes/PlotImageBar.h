#pragma once
// Bars with a picture inside, stretched over each bar or repeated in rows
// (ImageTiled) from the bar's base towards its value. A bar series whose
// picture is empty draws plain bars.

#include "chart/engine/PlotBarSeries.h"
#include "platform/graphics/Picture.h"

#include <memory>

namespace lp {

class TImageBarSeries : public TBarSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TPicture* Image READ Image WRITE SetImage)
    Q_PROPERTY(bool ImageTiled READ ImageTiled WRITE SetImageTiled)
    Q_CLASSINFO("default:ImageTiled", "false")

public:
    // The picture starts as the "PlotMoney" bitmap.
    explicit TImageBarSeries(TComponent* AOwner = nullptr);
    ~TImageBarSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TImageBarSeriesEditor"); }
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    void PrepareForGallery(bool IsEnabled) override;

    TPicture* Image() const { return FImage.get(); }
    void SetImage(const TPicture* Value) { FImage->Assign(Value); }
    bool ImageTiled() const { return FImageTiled; }
    void SetImageTiled(bool Value) { SetBooleanProperty(FImageTiled, Value); }

private:
    // The picture repeated in rows across R, clipped to R; rows run up
    // from R's bottom, or down from its top for a bar below its origin.
    void DrawTiled(const TRect& R, bool Downwards);

    std::unique_ptr<TPicture> FImage;
    bool FImageTiled = false;
};

// "ImageBar" on the "Other" gallery page; the unregistering undoes it.
void RegisterImageBarSeries();
void UnregisterImageBarSeries();

} // namespace lp
