#include "chart/editors/seriestypes/WindRoseSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/extensions/circular/PlotRoseSeries.h"

#include <QtWidgets/QCheckBox>

namespace lp {

TWindRoseEditor::TWindRoseEditor(QWidget* Parent) : TPolarSeriesEditor(Parent)
{
    ShowControls(false, {CBClockWise});
    CBMirror = LabelsRows().CheckBox("CBMirror", QStringLiteral("Mirr&ored"));
    LabelsRows().Full(CBMirror);
    SetReadingTabOrder(*this);
    BindSeriesSetting<TWindRoseSeries, bool>(*this, CBMirror, &TWindRoseSeries::MirrorLabels,
                                             &TWindRoseSeries::SetMirrorLabels);
}

} // namespace lp
