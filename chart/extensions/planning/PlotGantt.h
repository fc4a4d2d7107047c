#pragma once
// Task plans: each point is a task drawn as a horizontal bar from its start
// date (the X list, "Start") to its end date ("End") on the row given by
// its Y value, with a link to the successor task named by "NextTask"
// (an index, -1 for none).
//
// Links follow indexes, so the start list keeps the order in which tasks
// were added (no sorting by date), and a link to an index that does not
// exist draws nothing.

#include "chart/engine/PlotSeries.h"

namespace lp {

class TGanttSeries : public TPointSeries {
    Q_OBJECT
    Q_CLASSINFO("unpublished:XValues", "StartValues")
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(lp::TChartPen* ConnectingPen READ ConnectingPen WRITE SetConnectingPen)
    Q_PROPERTY(lp::TChartValueList* EndValues READ EndValues WRITE SetEndValues)
    Q_PROPERTY(lp::TChartValueList* NextTask READ NextTask WRITE SetNextTask)
    Q_PROPERTY(lp::TChartValueList* StartValues READ StartValues WRITE SetStartValues)

public:
    explicit TGanttSeries(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TGanttSeriesEditor"); }

    // The task from AStart to AEnd on row AY; the new index.
    int AddGantt(double AStart, double AEnd, double AY, const QString& ALabel = {});
    int AddGanttColor(double AStart, double AEnd, double AY, const QString& ALabel, TColor AColor);
    // A point gets the pending NextTask value (a reader sets it), which is
    // -1 again after every add: a task added without one has no successor.
    int AddXY(double X, double Y, const QString& Label = {}, TColor Color = clPlotColor) override;

    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // The later of the start and the end dates.
    double MaxXValue() override;
    // Within the task's bar: between its start and end pixels and less
    // than the pointer's vertical size from its row.
    bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    bool IsValidSourceOf(TChartSeries* Source) override;

    TChartPen* ConnectingPen() const { return LinePen(); }
    void SetConnectingPen(const TChartPen* Value) { SetLinePen(Value); }
    TChartValueList* StartValues() const { return XValues(); }
    void SetStartValues(const TChartValueList* Value) { SetValueList(XValues(), Value); }
    TChartValueList* EndValues() const { return FEndValues; }
    void SetEndValues(const TChartValueList* Value) { SetValueList(FEndValues, Value); }
    TChartValueList* NextTask() const { return FNextTask; }
    void SetNextTask(const TChartValueList* Value) { SetValueList(FNextTask, Value); }

private:
    void DrawLink(int ValueIndex, int X1, int Y);

    TChartValueList* FEndValues = nullptr; // owned by the value lists
    TChartValueList* FNextTask = nullptr;  // owned by the value lists
};

// "Gantt" on the "Standard" gallery page; the unregistering undoes it.
void RegisterGanttSeries();
void UnregisterGanttSeries();

} // namespace lp
