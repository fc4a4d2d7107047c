#include "chart/extensions/tools/PlotSeriesAnimation.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/ClassRegistry.h"
#include "platform/ui/Application.h"

#include <algorithm>
#include <memory>

namespace lp {

namespace {

// A series of Series' class (the base class when that is not registered by
// name) holding a copy of its points.
std::unique_ptr<TChartSeries> BackupOf(TChartSeries& Series)
{
    std::unique_ptr<TChartSeries> Backup;
    const QString Name = QString::fromLatin1(Series.metaObject()->className()).section(QLatin1String("::"), -1);
    if (const TRegisteredClass* Class = GetClass(Name)) {
        std::unique_ptr<TPersistent> Made(Class->Create(nullptr));
        if (auto* Copy = dynamic_cast<TChartSeries*>(Made.get())) {
            Made.release();
            Backup.reset(Copy);
        }
    }
    if (!Backup)
        Backup = std::make_unique<TChartSeries>();
    Backup->AssignValues(&Series);
    return Backup;
}

// The backup's copy of the series' animated (mandatory) list.
const TChartValueList* SavedList(const TChartSeries& Series, const TChartSeries& Backup)
{
    const int Index = Series.ValuesList().IndexOf(Series.MandatoryValues());
    if (Index >= 0 && Index < Backup.ValuesList().Count())
        return Backup.ValuesList()[Index];
    return Backup.MandatoryValues();
}

} // namespace

TSeriesAnimationTool::TSeriesAnimationTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

TSeriesAnimationTool::~TSeriesAnimationTool()
{
    // Freed by an event handled during a step: the running Execute learns
    // it and leaves without touching the tool.
    if (FAlive)
        *FAlive = false;
}

QString TSeriesAnimationTool::Description() const
{
    return PlotMsg_SeriesAnimation;
}

void TSeriesAnimationTool::DefaultRefresh(TCustomAxisPanel& Chart)
{
    Chart.Invalidate();
    Chart.Repaint();
    Application().ProcessMessages();
}

void TSeriesAnimationTool::Restore(TChartValueList& List, const TChartValueList& Saved)
{
    for (int I = 0; I < List.Count(); ++I)
        List.SetValue(I, Saved.Value(I));
}

bool TSeriesAnimationTool::Refresh(TChartSeries& Series, const bool& Alive)
{
    // Event handlers (OnStep, or any run while pending events are
    // processed) may free the series or the tool; the animation then ends
    // untouched.
    if (FAnimated)
        if (TCustomAxisPanel* Chart = Series.ParentChart()) {
            if (RefreshChart) {
                // A copy: the tool holding the function may go meanwhile.
                const TAnimationRefresh Refresh = RefreshChart;
                Refresh(*Chart);
            } else {
                DefaultRefresh(*Chart);
            }
        }
    if (!Alive)
        return false;
    if (FAnimated)
        return true;
    FStopped = true;
    return false;
}

bool TSeriesAnimationTool::RunPass(TChartSeries& Series, const TChartValueList& Saved, bool Forward,
                                   const bool& Alive)
{
    TChartValueList& List = *Series.MandatoryValues();
    const int Count = List.Count();
    const double Start = FStartAtMin ? List.MinValue() : FStartValue;
    for (int I = 0; I < Count; ++I)
        List.SetValue(I, Start);
    if (!Refresh(Series, Alive))
        return false;
    // Fewer than one step would divide by zero.
    const int Steps = std::max(FSteps, 1);
    const double StepSize = 1.0 / Steps;
    const int GroupSize = FDrawEvery > 0 ? FDrawEvery : Count;
    for (int First = 0; First < Count;) {
        const int End = First + std::min(GroupSize, Count - First);
        for (int Step = 0; Step <= Steps; ++Step) {
            for (int I = First; I < End; ++I) {
                const double SavedValue = Saved.Value(I);
                if (Forward) {
                    const double T = Step * StepSize;
                    List.SetValue(I, T * SavedValue + (Start - Start * T));
                } else {
                    List.SetValue(I, (Steps - Step) * StepSize * SavedValue);
                }
            }
            if (OnStep) {
                const TSeriesAnimationStep StepEvent = OnStep;
                StepEvent(this, Step);
            }
            if (!Refresh(Series, Alive))
                return false;
            if (FStopped) {
                Restore(List, Saved);
                return true;
            }
        }
        First = End;
    }
    Restore(List, Saved);
    return Refresh(Series, Alive);
}

void TSeriesAnimationTool::Execute()
{
    TChartSeries* S = Series();
    if (!S || Running())
        return;
    const std::unique_ptr<TChartSeries> Backup = BackupOf(*S);
    const TChartValueList* Saved = SavedList(*S, *Backup);
    if (!Saved || Saved->Count() != S->MandatoryValues()->Count())
        return;
    // Both may be freed by events handled during a step.
    const QPointer<TChartSeries> Animated = S;
    bool Alive = true;
    FAlive = &Alive;
    FAnimated = S;
    S->BeginUpdate();
    FStopped = false;
    // The series gets its values back and leaves its update; the tool, when
    // it still exists, is ready for the next run.
    const auto Finish = [&](bool RestoreValues) {
        if (Animated) {
            if (RestoreValues)
                Restore(*Animated->MandatoryValues(), *Saved);
            Animated->EndUpdate();
        }
        if (Alive) {
            FStopped = true;
            FAnimated = nullptr;
            FAlive = nullptr;
        }
    };
    try {
        if (FLoop == salNo) {
            RunPass(*S, *Saved, true, Alive);
        } else {
            bool Forward = true;
            while (Alive && !FStopped && RunPass(*S, *Saved, Forward || FLoop != salCircular, Alive))
                Forward = !Forward;
        }
    } catch (...) {
        // A failed step must not leave the series with animated values.
        Finish(true);
        throw;
    }
    // A tool freed during a step left its series animated.
    Finish(!Alive);
}

} // namespace lp
