#pragma once
// The Gantt page: bar height, connecting lines, colour and transparency.
// On its first show it adds the pointer page, without its sizes, as the
// series page's "Gantt" tab.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

class QCheckBox;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;
class TGanttSeries;

class TGanttSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TGanttSeriesEditor(QWidget* Parent = nullptr);

    TGanttSeries* Series() const;
    // The "Gantt" tab's page while it lives (the series page owns it).
    QPointer<TEditorPage> PointerEditor;

    QSpinBox* UDPointVertSize;
    TButtonPen* BConnLines;
    QCheckBox* CBColorEach;
    TButtonColor* BColor;
    QSpinBox* UpDown1; // transparency

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;

private:
};

} // namespace lp
