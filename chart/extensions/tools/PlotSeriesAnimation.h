#pragma once
// The series animation tool: grows the values of its series from a start
// value to their stored values over a number of steps, refreshing the chart
// after each step; point group by point group (DrawEvery) and optionally
// in an endless loop until Stop. It draws nothing itself.
//
// Execute runs the whole animation before it returns. Each refresh repaints
// the chart at once and lets the application handle pending events, so the
// window stays responsive and Stop can be called from an event handler.
// There is no timer: the speed is that of the repaints. The stored values
// are kept in a backup series of the same class for the time of the
// animation and are always put back at the end.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

#include <functional>

namespace lp {

class TChartValueList;

class TSeriesAnimationTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(int DrawEvery READ DrawEvery WRITE SetDrawEvery)
    Q_CLASSINFO("default:DrawEvery", "0")
    Q_PROPERTY(TSeriesAnimationLoop Loop READ Loop WRITE SetLoop)
    Q_CLASSINFO("default:Loop", "salNo")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(bool StartAtMin READ StartAtMin WRITE SetStartAtMin)
    Q_CLASSINFO("default:StartAtMin", "true")
    Q_PROPERTY(double StartValue READ StartValue WRITE SetStartValue)
    Q_CLASSINFO("default:StartValue", "0")
    Q_PROPERTY(int Steps READ Steps WRITE SetSteps)
    Q_CLASSINFO("default:Steps", "100")

public:
    enum TSeriesAnimationLoop : quint8 { salNo, salOneWay, salCircular };
    Q_ENUM(TSeriesAnimationLoop)

    using TSeriesAnimationStep = std::function<void(TSeriesAnimationTool* Sender, int Step)>;
    // Brings the chart on screen up to date after a step.
    using TAnimationRefresh = std::function<void(TCustomAxisPanel& Chart)>;

    explicit TSeriesAnimationTool(TComponent* AOwner = nullptr);
    ~TSeriesAnimationTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TSeriesAnimToolEditor"); }
    // "Series Animation".
    QString Description() const override;

    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value) { FDrawEvery = Value; }
    TSeriesAnimationLoop Loop() const { return FLoop; }
    void SetLoop(TSeriesAnimationLoop Value) { FLoop = Value; }
    bool StartAtMin() const { return FStartAtMin; }
    void SetStartAtMin(bool Value) { FStartAtMin = Value; }
    double StartValue() const { return FStartValue; }
    void SetStartValue(double Value) { FStartValue = Value; }
    // Values below 1 animate as 1 step.
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { FSteps = Value; }

    // Runs the animation (nothing without a series or while one runs).
    virtual void Execute();
    bool Running() const { return !FStopped; }
    // Ends the animation at the present step; the stored values come back.
    void Stop() { FStopped = true; }

    // The refresh after each step; by default the chart repaints at once and
    // the application processes its pending events. Replaceable (tests
    // count the steps with it).
    TAnimationRefresh RefreshChart;
    static void DefaultRefresh(TCustomAxisPanel& Chart);

    TSeriesAnimationStep OnStep;

private:
    // One pass; false when the series or the tool went away during it.
    bool RunPass(TChartSeries& Series, const TChartValueList& Saved, bool Forward, const bool& Alive);
    // False when the series is no longer this tool's (freed during a step)
    // or the tool itself was freed (Alive cleared): then nothing of the
    // tool may be touched any more.
    bool Refresh(TChartSeries& Series, const bool& Alive);
    static void Restore(TChartValueList& List, const TChartValueList& Saved);

    int FDrawEvery = 0;
    TSeriesAnimationLoop FLoop = salNo;
    bool FStartAtMin = true;
    double FStartValue = 0;
    int FSteps = 100;
    bool FStopped = true;
    // The series being animated, while it lives.
    QPointer<TChartSeries> FAnimated;
    // While Execute runs: its flag, cleared when the tool is freed by an
    // event handled during a step.
    bool* FAlive = nullptr;
};

} // namespace lp
