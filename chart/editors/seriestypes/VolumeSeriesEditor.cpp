#include "chart/editors/seriestypes/VolumeSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/extensions/financial/PlotCandleSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace lp {

TVolumeSeriesEditor::TVolumeSeriesEditor(QWidget* Parent) : TLinePenSeriesEditor(Parent)
{
    TPageBuilder build(*Options);
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    CBUseOrigin = build.CheckBox("CBUseOrigin", QStringLiteral("&Use Origin"));
    EOrigin = TPageBuilder::Named(new QLineEdit(Options), "EOrigin");
    auto* originLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Origin:"), Options), "LOrigin");
    originLabel->setBuddy(EOrigin);
    build.Line({CBColorEach});
    build.Line({CBUseOrigin, originLabel, EOrigin});
    SetReadingTabOrder(*Options);

    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(CBUseOrigin, QStringLiteral("UseYOrigin"));
    // A text that is no number (yet) keeps the origin.
    BindSeriesReal<TVolumeSeries>(*this, EOrigin, &TVolumeSeries::YOrigin, &TVolumeSeries::SetYOrigin);
}

TVolumeSeries* TVolumeSeriesEditor::Series() const
{
    return TargetAs<TVolumeSeries>();
}

TChartPen* TVolumeSeriesEditor::LinePen() const
{
    return Series() ? Series()->LinePen() : nullptr;
}

void TVolumeSeriesEditor::UpdateEnabled()
{
    TVolumeSeries* series = Series();
    EOrigin->setEnabled(series && series->UseYOrigin());
    if (PenDialog())
        PenDialog()->BColor->setEnabled(series && !series->ColorEachPoint());
}

} // namespace lp
