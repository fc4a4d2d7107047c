#pragma once
// The extended chart panel: background gradient and picture, zoom settings
// with the rubber band, panning mode and the background painting sequence
// every chart, 3-D drawing panel and print preview panel share.
//
//   TCustomPlotPanelExtended (TCustomPlotPanel)
//     ├─owns─> TPlotZoom        zoom settings and the rubber-band corners
//     │          └─owns, on first read─> TPlotZoomPen, TPlotZoomBrush
//     ├─owns, on first read─> TPlotGradient   background gradient
//     └─owns, on first read─> TBackImage      background picture
//
// Background order (PaintPanelBackground): shadow, fill (gradient or
// colour), picture (unless inside the back wall), frame and bevels.

#include "chart/canvas/PlotPanel.h"

#include "platform/graphics/Picture.h"

#include <QtCore/QList>
#include <QtCore/QPair>

namespace lp {

// The rubber band's pen: white by default (stored only when it differs).
class TPlotZoomPen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0xFFFFFF")
public:
    explicit TPlotZoomPen(TGraphicsChangeEvent OnChange = {});
};

// The rubber band's brush: white and clear by default.
class TPlotZoomBrush : public TChartBrush {
    Q_OBJECT
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_CLASSINFO("default:Style", "bsClear")
public:
    explicit TPlotZoomBrush(TGraphicsChangeEvent OnChange = {});
};

class TPlotZoom : public TZoomPanning {
    Q_OBJECT
public:
    enum TPlotZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };
    Q_ENUM(TPlotZoomDirection)

private:
    Q_PROPERTY(bool Allow READ Allow WRITE SetAllow)
    Q_CLASSINFO("default:Allow", "true")
    Q_PROPERTY(bool Animated READ Animated WRITE SetAnimated)
    Q_CLASSINFO("default:Animated", "false")
    Q_PROPERTY(int AnimatedSteps READ AnimatedSteps WRITE SetAnimatedSteps)
    Q_CLASSINFO("default:AnimatedSteps", "8")
    Q_PROPERTY(lp::TPlotZoomBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(TPlotZoomDirection Direction READ Direction WRITE SetDirection)
    Q_CLASSINFO("default:Direction", "tzdBoth")
    Q_PROPERTY(lp::TControl::TShiftState KeyShift READ KeyShift WRITE SetKeyShift)
    Q_CLASSINFO("default:KeyShift", "")
    Q_PROPERTY(int MinimumPixels READ MinimumPixels WRITE SetMinimumPixels)
    Q_CLASSINFO("default:MinimumPixels", "16")
    Q_PROPERTY(lp::TControl::TMouseButton MouseButton READ MouseButton WRITE SetMouseButton)
    Q_CLASSINFO("default:MouseButton", "mbLeft")
    Q_PROPERTY(lp::TPlotZoomPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool UpLeftZooms READ UpLeftZooms WRITE SetUpLeftZooms)
    Q_CLASSINFO("default:UpLeftZooms", "false")

public:
    TPlotZoom();
    ~TPlotZoom() override;

    // From another zoom: everything but MinimumPixels and UpLeftZooms.
    void Assign(const TPersistent* Source) override;

    bool Allow() const { return FAllow; }
    void SetAllow(bool value) { FAllow = value; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool value) { FAnimated = value; }
    int AnimatedSteps() const { return FAnimatedSteps; }
    void SetAnimatedSteps(int value) { FAnimatedSteps = value; }
    // Created on first read; nullptr frees it, an object is copied.
    TPlotZoomBrush* Brush() const;
    void SetBrush(const TPlotZoomBrush* value);
    bool HasBrush() const { return FBrush != nullptr; }
    TPlotZoomDirection Direction() const { return FDirection; }
    void SetDirection(TPlotZoomDirection value) { FDirection = value; }
    TShiftState KeyShift() const { return FKeyShift; }
    void SetKeyShift(TShiftState value) { FKeyShift = value; }
    int MinimumPixels() const { return FMinimumPixels; }
    void SetMinimumPixels(int value) { FMinimumPixels = value; }
    TMouseButton MouseButton() const { return FMouseButton; }
    void SetMouseButton(TMouseButton value) { FMouseButton = value; }
    // Created on first read; nullptr frees it, an object is copied.
    TPlotZoomPen* Pen() const;
    void SetPen(const TPlotZoomPen* value);
    bool HasPen() const { return FPen != nullptr; }
    bool UpLeftZooms() const { return FUpLeftZooms; }
    void SetUpLeftZooms(bool value) { FUpLeftZooms = value; }

private:
    bool FAllow = true;
    bool FAnimated = false;
    int FAnimatedSteps = 8;
    mutable std::unique_ptr<TPlotZoomBrush> FBrush;
    TPlotZoomDirection FDirection = tzdBoth;
    TShiftState FKeyShift;
    int FMinimumPixels = 16;
    TMouseButton FMouseButton = mbLeft;
    mutable std::unique_ptr<TPlotZoomPen> FPen;
    bool FUpLeftZooms = false;
};

using TPlotZoomDirection = TPlotZoom::TPlotZoomDirection;

// A background picture and where it goes.
class TBackImage : public TPicture {
    Q_OBJECT
public:
    enum TPlotBackImageMode { pbmStretch, pbmTile, pbmCenter, pbmCustom };
    Q_ENUM(TPlotBackImageMode)

private:
    Q_PROPERTY(bool Inside READ Inside WRITE SetInside)
    Q_CLASSINFO("default:Inside", "false")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("default:Left", "0")
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("default:Top", "0")
    Q_PROPERTY(TPlotBackImageMode Mode READ Mode WRITE SetMode)
    Q_CLASSINFO("default:Mode", "pbmStretch")

public:
    TBackImage();

    // From another back image: Inside, Left, Mode, Top, then the picture.
    void Assign(const TPersistent* Source) override;

    // Only the chart's back wall area (drawn by the chart), not the panel.
    bool Inside() const { return FInside; }
    void SetInside(bool value);
    // Offsets of pbmCustom.
    int Left() const { return FLeft; }
    void SetLeft(int value);
    int Top() const { return FTop; }
    void SetTop(int value);
    TPlotBackImageMode Mode() const { return FMode; }
    void SetMode(TPlotBackImageMode value);

private:
    void NotifyChange();

    bool FInside = false;
    int FLeft = 0;
    int FTop = 0;
    TPlotBackImageMode FMode = pbmStretch;
};

using TPlotBackImageMode = TBackImage::TPlotBackImageMode;
inline constexpr TPlotBackImageMode pbmStretch = TBackImage::pbmStretch;
inline constexpr TPlotBackImageMode pbmTile = TBackImage::pbmTile;
inline constexpr TPlotBackImageMode pbmCenter = TBackImage::pbmCenter;
inline constexpr TPlotBackImageMode pbmCustom = TBackImage::pbmCustom;

class TCustomPlotPanelExtended : public TCustomPlotPanel {
    Q_OBJECT
public:
    enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
    Q_ENUM(TPanningMode)

private:
    Q_PROPERTY(TPanningMode AllowPanning READ AllowPanning WRITE SetAllowPanning)
    Q_CLASSINFO("default:AllowPanning", "pmBoth")
    Q_PROPERTY(lp::TBackImage* BackImage READ BackImage WRITE SetBackImage)
    Q_PROPERTY(bool BackImageInside READ BackImageInside WRITE SetBackImageInside)
    Q_CLASSINFO("default:BackImageInside", "false")
    Q_PROPERTY(lp::TBackImage::TPlotBackImageMode BackImageMode READ BackImageMode WRITE SetBackImageMode)
    Q_CLASSINFO("default:BackImageMode", "pbmStretch")
    Q_PROPERTY(bool BackImageTransp READ BackImageTransp WRITE SetBackImageTransp)
    Q_CLASSINFO("default:BackImageTransp", "false")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TPlotZoom* Zoom READ Zoom WRITE SetZoom)

public:
    explicit TCustomPlotPanelExtended(TComponent* AOwner = nullptr);
    ~TCustomPlotPanelExtended() override;

    // From another extended panel: back image, gradient (a source without
    // one frees this one), panning mode and zoom; then the base panel.
    void Assign(const TPersistent* Source) override;
    // Besides "BorderStyle": "AllowZoom", "AnimatedZoom",
    // "AnimatedZoomSteps" (into the zoom) and "PrintMargins" (a list of four
    // integers left, top, right, bottom).
    bool ReadOldProperty(const QString& Name, const QVariant& Value) override;
    // The earlier names above, read only, and "PrintMargins", written
    // unless all four are 15.
    void DefineProperties(TFiler& Filer) override;

    TPanningMode AllowPanning() const { return FAllowPanning; }
    void SetAllowPanning(TPanningMode value) { FAllowPanning = value; }
    // Created on first read.
    TBackImage* BackImage() const;
    void SetBackImage(const TBackImage* value);
    bool BackImageInside() const { return BackImage()->Inside(); }
    void SetBackImageInside(bool value) { BackImage()->SetInside(value); }
    TPlotBackImageMode BackImageMode() const { return BackImage()->Mode(); }
    void SetBackImageMode(TPlotBackImageMode value) { BackImage()->SetMode(value); }
    // The transparent flag of the picture; false (and ignored when written)
    // without a picture.
    bool BackImageTransp() const;
    void SetBackImageTransp(bool value);
    // Created on first read; nullptr frees it.
    TPlotGradient* Gradient() const;
    void SetGradient(const TPlotGradient* value);
    bool HasGradient() const { return FGradient != nullptr; }
    TPlotZoom* Zoom() const { return FZoom.get(); }
    void SetZoom(const TPlotZoom* value) { FZoom->Assign(value); }
    bool AllowZoom() const { return FZoom->Allow(); }
    void SetAllowZoom(bool value) { FZoom->SetAllow(value); }
    bool Zoomed() const { return FZoomed; }
    void SetZoomed(bool value) { FZoomed = value; }

    // True when a back image with a graphic exists.
    bool HasBackImage() const;

    std::function<void(TCustomPlotPanelExtended* Sender)> OnAfterDraw;
    std::function<void(TCustomPlotPanelExtended* Sender)> OnScroll;
    std::function<void(TCustomPlotPanelExtended* Sender)> OnUndoZoom;
    std::function<void(TCustomPlotPanelExtended* Sender)> OnZoom;

    // Fills Rect with the panel background (gradient, else colour).
    virtual void FillPanelRect(const TRect& Rect);
    // Shadow, fill, picture, frame and bevels.
    virtual void PaintPanelBackground(const TRect& Rect);
    // Fires OnUndoZoom, invalidates and clears Zoomed.
    virtual void UndoZoom();
    // The back picture into Rect at depth Z (0: the panel background).
    void DrawBackImage(const TRect& Rect, int Z);
    // The rubber band of Zoom on the window canvas (nothing without a
    // window); drawing it twice restores the pixels.
    void DrawZoomRectangle();
    // The same on a given canvas.
    void DrawZoomRectangleOn(TCanvas& Target);

private:
    TPanningMode FAllowPanning = pmBoth;
    mutable std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TPlotZoom> FZoom;
    bool FZoomed = false;
    mutable std::unique_ptr<TBackImage> FBackImage;
};

using TPanningMode = TCustomPlotPanelExtended::TPanningMode;

} // namespace lp
