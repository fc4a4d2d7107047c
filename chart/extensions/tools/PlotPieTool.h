#pragma once
// The pie slice tool: the slice of a pie series under the mouse is
// outlined with a thick pen (ptFocus) or animated out of the pie
// (ptExplode).
//
// The outline is drawn at the end of every chart paint while a slice is
// focused, so it never paints outside a paint and survives repaints; a
// change of slice asks for one repaint. Exploding runs 30 frames, each
// repainting the chart at once.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

namespace lp {

class TPieSeries;

class TPieTool : public TPlotCustomToolSeries {
    Q_OBJECT
public:
    enum TPieToolStyle { ptFocus, ptExplode };
    Q_ENUM(TPieToolStyle)

private:
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(TPieToolStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "ptFocus")

public:
    // The largest explode offset and the number of animation frames.
    static constexpr int ExplodeOffset = 40;
    static constexpr int ExplodeFrames = 30;

    // A solid pen of width 4.
    explicit TPieTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TPieToolEditor"); }
    // "Pie Slices".
    QString Description() const override;

    TPieToolStyle Style() const { return FStyle; }
    void SetStyle(TPieToolStyle Value) { FStyle = Value; }
    // The highlighted slice, -1 for none.
    int Slice() const { return FSlice; }
    // Milliseconds between animation frames (1).
    int Delay() const { return FDelay; }
    void SetDelay(int Value) { FDelay = Value; }
    // The offset of frame K (1 .. ExplodeFrames) of an explosion.
    static int FrameOffset(int K);

    // A new series starts with no slice highlighted.
    void SetSeries(TChartSeries* Value) override;
    // Series as a pie series; null for any other series.
    TPieSeries* Pie() const;
    // The pen colour a slice of SliceColor is outlined with: Pen's, or
    // black where they clash (white when Pen is black).
    TColor OutlineColor(TColor SliceColor) const;

    // Draws the focused slice's outline after the chart (event 0).
    void ChartEvent(int Event) override;
    // A move to another slice un-highlights the old one, then highlights
    // the new one.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void Highlight(int Index);
    void Unhighlight(int Index);
    void ShowFrame(TPieSeries& Series, int Index, int Offset);
    void DrawOutline();

    TPieToolStyle FStyle = ptFocus;
    int FSlice = -1;
    int FDelay = 1;
};

using TPieToolStyle = TPieTool::TPieToolStyle;
inline constexpr TPieToolStyle ptFocus = TPieTool::ptFocus;
inline constexpr TPieToolStyle ptExplode = TPieTool::ptExplode;

void RegisterPieTool();
void UnregisterPieTool();

} // namespace lp
