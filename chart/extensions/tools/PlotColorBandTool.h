#pragma once
// The colour band tool: fills the stretch of the chart rectangle between two
// values of an axis with a colour, a gradient and a frame, optionally
// translucent, behind or in front of the series or behind the axes. Its two
// edges are private colour line tools (never in any chart's tools list)
// that can be made draggable.
//
//   TColorBandTool ─owns─> start edge, end edge (TColorLineTool, no owner,
//                  │        no parent chart, owner chart = the band's chart)
//                  └─owns─> Gradient
//
// Paint order: after drawing (event 0) by default, before the series
// (event 1) with DrawBehind, before the axes (event 3) with DrawBehindAxes;
// DrawBehind also puts the band at the chart's full depth in 3-D.

#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "platform/ui/Application.h"

#include <functional>
#include <memory>

namespace lp {

class TPlotGradient;

class TColorBandTool : public TPlotCustomToolAxis {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")
    Q_PROPERTY(bool DrawBehind READ DrawBehind WRITE SetDrawBehind)
    Q_CLASSINFO("default:DrawBehind", "true")
    Q_PROPERTY(bool DrawBehindAxes READ DrawBehindAxes WRITE SetDrawBehindAxes)
    Q_CLASSINFO("default:DrawBehindAxes", "false")
    Q_PROPERTY(lp::TChartPen* EndLinePen READ EndLinePen WRITE SetEndLinePen)
    Q_PROPERTY(double EndValue READ EndValue WRITE SetEndValue)
    Q_CLASSINFO("default:EndValue", "0")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool ResizeEnd READ ResizeEnd WRITE SetResizeEnd)
    Q_CLASSINFO("default:ResizeEnd", "false")
    Q_PROPERTY(bool ResizeStart READ ResizeStart WRITE SetResizeStart)
    Q_CLASSINFO("default:ResizeStart", "false")
    Q_PROPERTY(lp::TChartPen* StartLinePen READ StartLinePen WRITE SetStartLinePen)
    Q_PROPERTY(double StartValue READ StartValue WRITE SetStartValue)
    Q_CLASSINFO("default:StartValue", "0")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    using TBandClickEvent =
        std::function<void(TColorBandTool* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

    explicit TColorBandTool(TComponent* AOwner = nullptr);
    ~TColorBandTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TColorBandToolEditor"); }
    // "Color Band".
    QString Description() const override;

    // The edges draw on, and set the cursor of, the band's chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    // The edges take the axis but stay off the chart's tools list.
    void SetAxis(TChartAxis* Value) override;
    void Loaded() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetColorProperty(FColor, Value); }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    bool DrawBehindAxes() const { return FDrawBehindAxes; }
    void SetDrawBehindAxes(bool Value) { SetBooleanProperty(FDrawBehindAxes, Value); }
    double StartValue() const { return FStartValue; }
    void SetStartValue(double Value);
    double EndValue() const { return FEndValue; }
    void SetEndValue(double Value);
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    TChartPen* StartLinePen() const { return FStartLine->Pen(); }
    void SetStartLinePen(const TChartPen* Value) { FStartLine->SetPen(Value); }
    TChartPen* EndLinePen() const { return FEndLine->Pen(); }
    void SetEndLinePen(const TChartPen* Value) { FEndLine->SetPen(Value); }
    bool ResizeStart() const { return FStartLine->Active(); }
    void SetResizeStart(bool Value);
    bool ResizeEnd() const { return FEndLine->Active(); }
    void SetResizeEnd(bool Value);
    // Per cent, 0 .. 100; anything else raises ERangeError and changes
    // nothing.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    TColorLineTool* StartLine() const { return FStartLine.get(); }
    TColorLineTool* EndLine() const { return FEndLine.get(); }

    // The band's rectangle in pixels at depth 0; empty without an axis or
    // when the band lies wholly outside the axis' range.
    TRect BoundsRect() const;
    // Whether (X, Y) lies within the band's corners projected at its depth.
    bool Clicked(int X, int Y) const;

    void ChartEvent(int Event) override;
    // The edges first (start, then end unless the start took the mouse),
    // then clicks and the band's cursor.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TBandClickEvent OnClick;

private:
    int BandDepth() const;
    void DrawBand();
    void DrawEdge(TColorLineTool& Edge, double Value);
    // Copies a dragged edge's value into StartValue or EndValue.
    void TakeEdgeValue(TColorLineTool* Edge);
    void SyncEdges();

    TColor FColor = 0xFFFFFF;
    TCursor FCursor = crDefault;
    bool FDrawBehind = true;
    bool FDrawBehindAxes = false;
    double FStartValue = 0;
    double FEndValue = 0;
    int FTransparency = 0;
    std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TColorLineTool> FStartLine;
    std::unique_ptr<TColorLineTool> FEndLine;
};

} // namespace lp
