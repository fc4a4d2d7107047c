#pragma once
// A picture stretched over a rectangle of the chart given in data
// coordinates: the extent of a bound series' points (a two-point series pins
// the picture to real-world corner coordinates) or, without a series, the
// current range of the tool's axes. The rectangle is recomputed at every
// paint, so the picture follows zooming, scrolling and point edits.
//
// Paint order: drawn at event 1 (before the series) or, with DrawInFront, at
// event 4 (after them); clipped to the chart rectangle when the chart may
// clip; optionally translucent. A reversed rectangle (Left > Right or
// Top > Bottom, from the reverse settings or an inverted axis) draws the
// picture mirrored on that side.

#include "chart/engine/PlotTools.h"
#include "platform/graphics/Picture.h"

#include <functional>
#include <memory>

namespace lp {

class TChartImageTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TPicture* Picture READ Picture WRITE SetPicture)
    Q_CLASSINFO("stored:Picture", "IsPictureStored")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    // Stored too: the mesh chart and the well-log pictures set
    // ReverseVertical, and a picture would otherwise reopen upside down; a
    // program may make a picture translucent, which must not reopen opaque.
    Q_PROPERTY(bool ReverseVertical READ ReverseVertical WRITE SetReverseVertical)
    Q_CLASSINFO("default:ReverseVertical", "false")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    using TImageClickEvent =
        std::function<void(TChartImageTool* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

    // Creates the owned picture, whose changes repaint the chart.
    explicit TChartImageTool(TComponent* AOwner = nullptr);
    ~TChartImageTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TChartImageToolEditor"); }
    // "Image".
    QString Description() const override;

    // The owned picture (never nullptr; it may hold no graphic).
    TPicture* Picture() const { return FPicture.get(); }
    // Copies Value's graphic into the owned picture; nullptr empties it.
    void SetPicture(const TPicture* Value);
    Q_INVOKABLE bool IsPictureStored() const { return FPicture->Graphic() != nullptr; }

    // With a series: the rectangle's top at the series' minimum Y and its
    // bottom at the maximum Y (for a vertical axis growing downward).
    bool ReverseVertical() const { return FReverseVertical; }
    void SetReverseVertical(bool Value) { SetBooleanProperty(FReverseVertical, Value); }
    // With a series: the rectangle's left at the maximum X, its right at the
    // minimum X.
    bool ReverseHorizontal() const { return FReverseHorizontal; }
    void SetReverseHorizontal(bool Value) { SetBooleanProperty(FReverseHorizontal, Value); }
    // Per cent, 0 (opaque) .. 100; anything else raises ERangeError and
    // changes nothing.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    // Pixels of the last drawing (not normalised: reversed settings give
    // Left > Right or Top > Bottom).
    TRect ImageRect() const { return FImageRect; }
    // The rectangle the picture would take now, from the series or the axes;
    // an empty rectangle without a chart or axes.
    TRect CalcImageRect() const;

    // Repaints after the base's bookkeeping.
    void SetSeries(TChartSeries* Value) override;

    // Draws at event 1, or at event 4 with DrawInFront.
    void ChartEvent(int Event) override;
    // A press strictly inside ImageRect calls OnImageClick.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // After ImageRect is computed, before the picture is drawn.
    TNotifyEvent OnBeforeDrawImage;
    TImageClickEvent OnImageClick;

private:
    void DrawImage();

    std::unique_ptr<TPicture> FPicture;
    bool FReverseVertical = false;
    bool FReverseHorizontal = false;
    TRect FImageRect;
    int FTransparency = 0;
};

} // namespace lp
