#pragma once
// The axis arrow tool: small filled arrows at the ends of an axis, pointing
// outwards; a press on one scrolls the axis by a share of its range (and
// the paired axis of a series drawn against both). The chart's
// OnAllowScroll may veto a scroll.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

class TAxisArrowTool : public TPlotCustomToolAxis {
    Q_OBJECT
public:
    enum TAxisArrowToolPosition { aaStart, aaEnd, aaBoth };
    Q_ENUM(TAxisArrowToolPosition)

private:
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int HeadWidth READ HeadWidth WRITE SetHeadWidth)
    Q_CLASSINFO("default:HeadWidth", "8")
    Q_PROPERTY(int Length READ Length WRITE SetLength)
    Q_CLASSINFO("default:Length", "16")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(TAxisArrowToolPosition Position READ Position WRITE SetPosition)
    Q_CLASSINFO("default:Position", "aaBoth")
    Q_PROPERTY(bool ScrollInverted READ ScrollInverted WRITE SetScrollInverted)
    Q_CLASSINFO("default:ScrollInverted", "false")
    Q_PROPERTY(int ScrollPercent READ ScrollPercent WRITE SetScrollPercent)
    Q_CLASSINFO("default:ScrollPercent", "10")
    Q_PROPERTY(int SizePercent READ SizePercent WRITE SetSizePercent)
    Q_CLASSINFO("default:SizePercent", "50")

public:
    // Sender, and whether the start arrow was pressed.
    using TAxisArrowClickEvent = std::function<void(TAxisArrowTool* Sender, bool AtStart)>;
    enum TArrowHit { ahNoArrow = -1, ahStartArrow = 0, ahEndArrow = 1 };

    explicit TAxisArrowTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TAxisArrowToolEditor"); }
    // "Axis Arrows".
    QString Description() const override;

    int HeadWidth() const { return FHeadWidth; }
    void SetHeadWidth(int Value) { SetIntegerProperty(FHeadWidth, Value); }
    int Length() const { return FLength; }
    void SetLength(int Value) { SetIntegerProperty(FLength, Value); }
    TAxisArrowToolPosition Position() const { return FPosition; }
    void SetPosition(TAxisArrowToolPosition Value);
    bool ScrollInverted() const { return FScrollInverted; }
    void SetScrollInverted(bool Value) { FScrollInverted = Value; }
    // Per cent of the axis range per press; 0 never scrolls.
    int ScrollPercent() const { return FScrollPercent; }
    void SetScrollPercent(int Value) { FScrollPercent = Value; }
    int SizePercent() const { return FSizePercent; }
    void SetSizePercent(int Value) { SetIntegerProperty(FSizePercent, Value); }

    // The arrow under (X, Y).
    int ClickedArrow(int X, int Y) const;
    // Scrolls the axis by Delta (in axis values) unless the chart's
    // OnAllowScroll refuses; the paired axis of a series drawn against both
    // follows; the chart's OnScroll is told.
    void ScrollAxis(double Delta);

    // Draws the arrows after the whole chart (event 0).
    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TAxisArrowClickEvent OnClick;

private:
    void DrawArrows();
    void DrawArrow(int Position, int Length, int Z);
    TChartAxis* PairedAxis() const;

    int FHeadWidth = 8;
    int FLength = 16;
    TAxisArrowToolPosition FPosition = aaBoth;
    bool FScrollInverted = false;
    int FScrollPercent = 10;
    int FSizePercent = 50;
};

using TAxisArrowToolPosition = TAxisArrowTool::TAxisArrowToolPosition;
inline constexpr TAxisArrowToolPosition aaStart = TAxisArrowTool::aaStart;
inline constexpr TAxisArrowToolPosition aaEnd = TAxisArrowTool::aaEnd;
inline constexpr TAxisArrowToolPosition aaBoth = TAxisArrowTool::aaBoth;

} // namespace lp
