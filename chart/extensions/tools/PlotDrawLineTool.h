#pragma once
// The draw-line tool: the user draws straight lines (or pairs of parallel
// lines) with the mouse, selects one, moves it or either of its ends. The
// lines are kept in axis values, so they follow zoom and scroll, and are
// stored with the tool.
//
//   TDrawLineTool (TPlotCustomToolSeries) ─owns─> TDrawLines ─> TDrawLine ×N
//                                                                └ own pen (optional)
//
// While the mouse draws or drags, a rubber band is drawn with a
// not-exclusive-or pen into the chart's buffered picture (PlotBufferOverlay);
// the lines themselves are drawn after the whole chart (paint event 0),
// the selected one with a handle at each end.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotBufferOverlay.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/Collections.h"

#include <functional>
#include <memory>

namespace lp {

class TChartPen;
class TDrawLineTool;
class TDrawLines;

class TDrawLine : public TCollectionItem {
    Q_OBJECT
public:
    enum TDrawLineStyle { dlLine, dlHorizParallel, dlVertParallel };
    Q_ENUM(TDrawLineStyle)

private:
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_CLASSINFO("stored:Pen", "HasPen")
    Q_PROPERTY(TDrawLineStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "dlLine")
    Q_PROPERTY(double X0 READ X0 WRITE SetX0)
    Q_CLASSINFO("default:X0", "0")
    Q_PROPERTY(double Y0 READ Y0 WRITE SetY0)
    Q_CLASSINFO("default:Y0", "0")
    Q_PROPERTY(double X1 READ X1 WRITE SetX1)
    Q_CLASSINFO("default:X1", "0")
    Q_PROPERTY(double Y1 READ Y1 WRITE SetY1)
    Q_CLASSINFO("default:Y1", "0")

public:
    explicit TDrawLine(TCollection* Collection);
    ~TDrawLine() override;

    // Both points, Style and the pen (none when the source has none).
    void Assign(const TPersistent* Source) override;

    double X0() const { return FX0; }
    void SetX0(double Value) { SetValue(FX0, Value); }
    double Y0() const { return FY0; }
    void SetY0(double Value) { SetValue(FY0, Value); }
    double X1() const { return FX1; }
    void SetX1(double Value) { SetValue(FX1, Value); }
    double Y1() const { return FY1; }
    void SetY1(double Value) { SetValue(FY1, Value); }
    TDrawLineStyle Style() const { return FStyle; }
    void SetStyle(TDrawLineStyle Value);
    // The line's own pen, made on first read as a copy of the tool's pen.
    TChartPen* Pen();
    // nullptr frees the own pen (the tool's pen draws the line then).
    void SetPen(const TChartPen* Value);
    Q_INVOKABLE bool HasPen() const { return FPen != nullptr; }
    // The own pen, or nullptr (never creates it).
    TChartPen* OwnPen() const { return FPen.get(); }

    TDrawLineTool* Tool() const;

private:
    void SetValue(double& Field, double Value);
    void RepaintTool() const;

    double FX0 = 0;
    double FY0 = 0;
    double FX1 = 0;
    double FY1 = 0;
    TDrawLineStyle FStyle = dlLine;
    std::unique_ptr<TChartPen> FPen;
};

using TDrawLineStyle = TDrawLine::TDrawLineStyle;
inline constexpr TDrawLineStyle dlLine = TDrawLine::dlLine;
inline constexpr TDrawLineStyle dlHorizParallel = TDrawLine::dlHorizParallel;
inline constexpr TDrawLineStyle dlVertParallel = TDrawLine::dlVertParallel;

class TDrawLines : public TOwnedCollection {
    Q_OBJECT
public:
    explicit TDrawLines(TDrawLineTool* AOwner);
    ~TDrawLines() override;
    TDrawLine* Add() { return static_cast<TDrawLine*>(TCollection::Add()); }
    // ERangeError outside 0 .. Count - 1.
    TDrawLine* Items(int Index) const { return static_cast<TDrawLine*>(TCollection::Items(Index)); }
    TDrawLineTool* Tool() const { return FTool; }

protected:
    // A line going away stops being the selected one.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    TDrawLineTool* FTool;
};

class TDrawLineTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TControl::TMouseButton Button READ Button WRITE SetButton)
    Q_CLASSINFO("default:Button", "mbLeft")
    Q_PROPERTY(int ClickTolerance READ ClickTolerance WRITE SetClickTolerance)
    Q_CLASSINFO("default:ClickTolerance", "0")
    Q_PROPERTY(bool EnableDraw READ EnableDraw WRITE SetEnableDraw)
    Q_CLASSINFO("default:EnableDraw", "true")
    Q_PROPERTY(bool EnableSelect READ EnableSelect WRITE SetEnableSelect)
    Q_CLASSINFO("default:EnableSelect", "true")
    Q_PROPERTY(lp::TDrawLines* Lines READ Lines WRITE SetLines)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool SelectNewLines READ SelectNewLines WRITE SetSelectNewLines)
    Q_CLASSINFO("default:SelectNewLines", "true")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    // The parts of a line a point can hit, and what a drag moves.
    enum TLinePart { lpNone = 0, lpStart = 1, lpEnd = 2, lpWhole = 3 };

    using TDrawLineSelecting = std::function<void(TDrawLineTool* Sender, TDrawLine* Line, bool& AllowSelect)>;

    explicit TDrawLineTool(TComponent* AOwner = nullptr);
    ~TDrawLineTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TDrawLineEdit"); }
    // "Draw Line".
    QString Description() const override;

    TMouseButton Button() const { return FButton; }
    void SetButton(TMouseButton Value) { FButton = Value; }
    int ClickTolerance() const { return FClickTolerance; }
    void SetClickTolerance(int Value) { FClickTolerance = Value; }
    bool EnableDraw() const { return FEnableDraw; }
    void SetEnableDraw(bool Value) { FEnableDraw = Value; }
    bool EnableSelect() const { return FEnableSelect; }
    // Switching it off clears the selection.
    void SetEnableSelect(bool Value);
    TDrawLines* Lines() const { return FLines.get(); }
    void SetLines(const TDrawLines* Value) { FLines->Assign(Value); }
    bool SelectNewLines() const { return FSelectNewLines; }
    void SetSelectNewLines(bool Value) { FSelectNewLines = Value; }
    TDrawLine* Selected() const { return FSelected; }
    // Repaints when a line was selected before; else draws the new
    // selection's handles at once.
    void SetSelected(TDrawLine* Value);

    // Pixels of a point in axis values, and back.
    TPoint AxisPoint(double X, double Y) const;
    void ScreenPoint(const TPoint& P, double& X, double& Y) const;
    // Whether the pixel point P (already on the canvas's depth-0 plane)
    // hits Part of Line (lpNone: the line itself).
    bool ClickedLine(const TDrawLine& Line, int Part, const TPoint& P) const;
    // The line whose Part lies under (X, Y): the selected line when it is
    // hit, else the first in collection order; nullptr when none.
    TDrawLine* LineUnder(int Part, int X, int Y) const;
    // The line under (X, Y) by its body, then its start, then its end
    // handles; Part receives what was hit.
    TDrawLine* AnyLineUnder(int X, int Y, int& Part) const;

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // Called by a line going away.
    void LineRemoved(const TDrawLine* Line);

    TNotifyEvent OnDraggedLine;
    TNotifyEvent OnDragLine;
    TNotifyEvent OnNewLine;
    TNotifyEvent OnSelect;
    TDrawLineSelecting OnSelecting;

private:
    TChartAxis* HorizAxis() const { return GetHorizAxis(); }
    TChartAxis* VertAxis() const { return GetVertAxis(); }
    void DrawLines();
    void DrawLine(TPlotCanvas3D& Canvas, const TPoint& P0, const TPoint& P1, TDrawLineStyle Style) const;
    void DrawHandles(TPlotCanvas3D& Canvas, const TDrawLine& Line) const;
    TRect ClipRect() const;
    void DrawRubberBand(TPlotCanvas3D& Canvas) const;
    void ShowRubberBand();
    void HideRubberBand();
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp();
    void PickLine(TDrawLine* Line, int Part, int X, int Y);

    TMouseButton FButton = mbLeft;
    int FClickTolerance = 0;
    bool FEnableDraw = true;
    bool FEnableSelect = true;
    std::unique_ptr<TDrawLines> FLines;
    bool FSelectNewLines = true;
    TDrawLine* FSelected = nullptr;
    int FDragPart = lpNone;
    bool FDrawing = false;
    bool FMoved = false;
    TPoint FBandStart;
    TPoint FBandEnd;
    TPoint FLastPoint;
    TBufferOverlay FBand;
};

} // namespace lp
