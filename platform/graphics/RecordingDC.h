#pragma once
// A device context that draws nothing and logs every call with its
// arguments, one text line per call ("Rectangle(1,2,30,40)"), while keeping
// the whole state as any device does. Tests of drawing code read the log.
//
// Colours are logged as 0xBBGGRR in hex, everything else in decimal.

#include "platform/graphics/DeviceContext.h"

#include <QtCore/QStringList>

namespace lp {

class TRecordingDC : public TNullEngineDC {
public:
    explicit TRecordingDC(int width = 1000, int height = 1000, int dpi = 96);

    const QStringList& Calls() const { return FCalls; }
    void ClearCalls() { FCalls.clear(); }
    // The calls whose text starts with the prefix ("SetBkMode").
    QStringList CallsStartingWith(const QString& prefix) const;

    void SelectPen(const TLogPen& pen) override;
    void SelectBrush(const TLogBrush& brush) override;
    void SelectFont(const TLogFont& font) override;
    TColor SetTextColor(TColor color) override;
    TColor SetBkColor(TColor color) override;
    int SetBkMode(int mode) override;
    unsigned SetTextAlign(unsigned align) override;
    int SetROP2(int rop) override;
    int SetPolyFillMode(int mode) override;
    int SetArcDirection(int direction) override;
    int SetTextCharacterExtra(int extra) override;
    TColor SetDCBrushColor(TColor color) override;
    void SetBrushOrg(int x, int y) override;
    int SetMapMode(int mode) override;
    void SetWindowOrg(int x, int y) override;
    void SetWindowExt(int cx, int cy) override;
    void SetViewportOrg(int x, int y) override;
    void SetViewportExt(int cx, int cy) override;
    int GetDeviceCaps(int index) const override;
    QRect DeviceBounds() const override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const TPoint* points, int count) override;
    void PolylineTo(const TPoint* points, int count) override;
    void PolyBezier(const TPoint* points, int count) override;
    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override;
    void ArcTo(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override;
    void Rectangle(int l, int t, int r, int b) override;
    void RoundRect(int l, int t, int r, int b, int width, int height) override;
    void Ellipse(int l, int t, int r, int b) override;
    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override;
    void Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override;
    void Polygon(const TPoint* points, int count) override;
    void PolyPolygon(const TPoint* points, const int* counts, int polygons) override;
    void FillRect(const TRect& rect, const TLogBrush& brush) override;
    void FillRgn(const TRegion& region, const TLogBrush& brush) override;
    void PatBlt(int x, int y, int width, int height, uint32_t rop) override;
    void TextOut(int x, int y, const QString& text) override;
    void SetPixel(int x, int y, TColor color) override;
    TColor GetPixel(int x, int y) const override;
    bool ExtFloodFill(int x, int y, TColor color, int type) override;
    void BitBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy,
                uint32_t rop) override;
    void StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw,
                    int sh, uint32_t rop) override;
    void DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent) override;
    int SelectClipRgn(const TRegion* region) override;
    int ExtSelectClipRgn(const TRegion* region, int mode) override;
    int IntersectClipRect(int l, int t, int r, int b) override;
    void BeginPath() override;
    void EndPath() override;
    void AbortPath() override;
    void CloseFigure() override;
    void StrokePath() override;
    void FillPath() override;
    void StrokeAndFillPath() override;
    void WidenPath() override;
    int SelectClipPath(int mode) override;

private:
    void Log(const QString& name, std::initializer_list<QString> args = {});

    QStringList FCalls;
    int FWidth;
    int FHeight;
    int FDpi;
};

// Argument texts of the log.
QString LogColor(TColor color);
QString LogPoints(const TPoint* points, int count);

} // namespace lp
