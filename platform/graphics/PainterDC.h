#pragma once
// The device context that draws with QPainter: on an image (a raster device
// with pixels to read), a widget or a printer.
//
// The painter is started on first use and ended by Finish() (before the
// image is read as a whole, resized or copied by its owner); the next
// drawing call starts it again and re-applies the state. State is applied
// lazily: only what changed since the last primitive is handed to QPainter.

#include "platform/graphics/DeviceContext.h"

#include <QtCore/QHash>
#include <QtGui/QGlyphRun>
#include <QtGui/QPainter>

#include <memory>
#include <vector>

class QPaintDevice;

namespace lp {

class TPainterDC : public TDeviceContext {
public:
    // Draws on the image (observed; it must outlive this context).
    explicit TPainterDC(QImage& image);
    // Draws on any paint device; technology is DT_RASDISPLAY for widgets,
    // DT_RASPRINTER for printers.
    TPainterDC(QPaintDevice& device, int technology);
    ~TPainterDC() override;

    // Ends the painter; drawing later starts it again.
    void Finish();
    // Starts the painter now (a printer's new page needs an active one).
    void Begin() { Painter(); }
    bool Active() const { return FPainter != nullptr; }

    int GetDeviceCaps(int index) const override;
    QRect DeviceBounds() const override;
    void SetPixel(int x, int y, TColor color) override;
    TColor GetPixel(int x, int y) const override;
    const QImage* Image() const override { return FImage; }

protected:
    void EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill) override;
    void EngineFillRegion(const TRegion& region, const TLogBrush& brush) override;
    void EngineText(int x, int y, const QString& text) override;
    void EngineDrawImage(const QRect& dest, const QImage& image, const QRect& source, uint32_t rop,
                         std::optional<TColor> transparent) override;
    void EnginePatBlt(const QRect& dest, uint32_t rop) override;
    void StateChanged() override { FClipApplied = false; }

public:
    // Faster paths for the most common primitives.
    void LineTo(int x, int y) override;
    void Polyline(const TPoint* points, int count) override;
    void Rectangle(int l, int t, int r, int b) override;
    void Polygon(const TPoint* points, int count) override;
    // A gradient of its own on an SVG file; others paint the bands.
    bool LinearGradientFill(const TRect& rect, const QPointF& start, const QPointF& end,
                            const std::vector<TGradientStop>& stops) override;

private:
    QPainter& Painter();
    void ApplyClip(QPainter& painter);
    QPen MakePen() const;
    QBrush MakeBrush(const TLogBrush& brush) const;
    void FillWithBrush(QPainter& painter, const QPainterPath& path, const TLogBrush& brush);
    bool SupportsRasterOps() const { return FImage != nullptr; }
    // The raster operation and the pen handed to QPainter, when changed.
    void ApplyRopAndPen(QPainter& painter);
    // A one-pixel line from `from` to `to` without its last pixel.
    void DrawCosmeticLine(QPainter& painter, const QPointF& from, const QPointF& to);
    // Whether lines can go straight to QPainter: no path open, no scaling,
    // a plain one-pixel solid pen that draws.
    bool PlainPenLines() const;
    // Whether LineTo to (x, y) with a dotted or dashed one-pixel pen can go
    // straight to QPainter: as PlainPenLines, and the line runs forward
    // along its major axis (QPainter then starts the dashes where the path
    // would).
    bool StyledLineForward(int x, int y) const;
    // Whether a filled shape can go straight to QPainter: no path open, no
    // scaling, copy mode, a null or plain one-pixel pen and a solid, device
    // or null brush.
    bool PlainShape() const;
    // The points in device pixels (MM_TEXT: the origins' offset only).
    const QPolygon& DevicePoints(const TPoint* points, int count);

    QImage* FImage = nullptr;
    QPaintDevice* FDevice = nullptr;
    int FTechnology = DT_RASDISPLAY;
    std::unique_ptr<QPainter> FPainter;
    bool FClipApplied = false;
    // The pen handed to QPainter last, to skip setPen when nothing changed.
    TLogPen FAppliedPen;
    bool FPenApplied = false;
    int FAppliedRop = -1;
    QPolygonF FScratch; // reused corner buffer of Polygon
    QPolygon FIntScratch; // reused point buffer of Polyline

    // The glyphs of texts drawn before, shaped once per font: axis labels
    // and titles come back paint after paint, and shaping a text costs more
    // than drawing its glyphs. Null when the text is not kept (see
    // PainterDC.cpp): it is then drawn by QPainter::drawText.
    const QList<QGlyphRun>* ShapedText(const QFont& font, const QString& text);
    struct TShapedTexts {
        QFont Font;
        QHash<QString, QList<QGlyphRun>> Runs;
    };
    std::vector<TShapedTexts> FShapedTexts;
};

// The composition mode of a pen raster operation (on images).
QPainter::CompositionMode CompositionForRop2(int rop);

// The dash patterns of one-pixel (cosmetic) styled pens, in pixels, as the
// device draws them; empty for solid and other styles.
QList<qreal> CosmeticDashes(int style);

} // namespace lp
