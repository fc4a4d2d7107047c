#pragma once
// The marks tip tool: the mark text of the series point under the mouse
// shown as the chart's pop-up hint, while the mouse moves or on a press.
// The text is built with the tool's marks style, borrowed from the series
// for the moment; the hint itself goes through the platform's hint
// service (platform/ui/Hints.h).

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

class TMarksTipTool : public TPlotCustomToolSeries {
    Q_OBJECT
public:
    enum TMarkToolMouseAction { mtmMove, mtmClick };
    Q_ENUM(TMarkToolMouseAction)

private:
    Q_PROPERTY(TMarkToolMouseAction MouseAction READ MouseAction WRITE SetMouseAction)
    Q_CLASSINFO("default:MouseAction", "mtmMove")
    Q_PROPERTY(int MouseDelay READ MouseDelay WRITE SetMouseDelay)
    Q_CLASSINFO("default:MouseDelay", "500")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(lp::TSeriesMarks::TSeriesMarksStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "smsLabel")

public:
    using TMarksTipGetText = std::function<void(TMarksTipTool* Sender, QString& Text)>;

    explicit TMarksTipTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TMarksTipToolEdit"); }
    // "Mark Tips".
    QString Description() const override;

    // Switching the tool off hides the hint.
    void SetActive(bool Value) override;
    TMarkToolMouseAction MouseAction() const { return FMouseAction; }
    // Hides the hint.
    void SetMouseAction(TMarkToolMouseAction Value);
    // The application's hint pause (the tool keeps no value of its own).
    int MouseDelay() const;
    void SetMouseDelay(int Value);
    TSeriesMarks::TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarks::TSeriesMarksStyle Value) { FStyle = Value; }

    // The chart whose hint is used: the series' chart, else the tool's.
    TCustomAxisPanel* HintChart() const;
    // Tells OnCancelHint, empties the chart's hint text and, when there
    // was one, cancels the hint shown.
    void HideHint();

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnCancelHint;
    TMarksTipGetText OnGetText;

private:
    // The series and point under (X, Y); false when none.
    bool FindPoint(int X, int Y, TChartSeries*& Found, int& Index) const;
    // The point's mark text in the tool's style, the series' style and
    // the chart's repainting left as they were.
    QString TipText(TChartSeries& Series, int Index);
    void ShowTip(const QString& Text, int X, int Y);
    bool OtherTipToolOnChart() const;

    TMarkToolMouseAction FMouseAction = mtmMove;
    TSeriesMarks::TSeriesMarksStyle FStyle = TSeriesMarks::smsLabel;
};

using TMarkToolMouseAction = TMarksTipTool::TMarkToolMouseAction;
inline constexpr TMarkToolMouseAction mtmMove = TMarksTipTool::mtmMove;
inline constexpr TMarkToolMouseAction mtmClick = TMarksTipTool::mtmClick;

} // namespace lp
