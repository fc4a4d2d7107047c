#include "chart/editors/seriestypes/StackBarSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotBarSeries.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int StackGroupLimit = 9999;

} // namespace

TStackBarSeriesEditor::TStackBarSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Stack"));
    TPageBuilder build(*this);
    GBMultiBar = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Multiple Bar:"), this), "GBMultiBar");
    RGMultiBar = TPageBuilder::RadioGroup(
        this, GBMultiBar, "RGMultiBar", {"None", "Side", "Stacked", "Stacked 100%", "Side All", "Self Stack"},
        Qt::Vertical);
    CBYOrigin = build.CheckBox("CBYOrigin", QStringLiteral("Use &Origin:"));
    EYOrigin = TPageBuilder::Named(new QLineEdit(this), "EYOrigin");
    UDGroup = build.SpinBox("UDGroup", 0, StackGroupLimit);
    build.Full(GBMultiBar);
    build.Line({CBYOrigin, EYOrigin});
    LGroup = build.Row(QStringLiteral("&Stack Group:"), UDGroup, "LGroup");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(RGMultiBar, QStringLiteral("MultiBar"));
    Binder().Bind(CBYOrigin, QStringLiteral("UseYOrigin"));
    Binder().Bind(UDGroup, QStringLiteral("StackGroup"));
    connect(CBYOrigin, &QCheckBox::clicked, this, [this](bool Checked) {
        if (Checked && CanWrite())
            EYOrigin->setFocus();
    });
    // A text that is no number (yet) keeps the origin.
    BindSeriesReal<TCustomBarSeries>(*this, EYOrigin, &TCustomBarSeries::YOrigin, &TCustomBarSeries::SetYOrigin);
}

TCustomBarSeries* TStackBarSeriesEditor::Series() const
{
    return TargetAs<TCustomBarSeries>();
}

void TStackBarSeriesEditor::UpdateEnabled()
{
    TCustomBarSeries* series = Series();
    EYOrigin->setEnabled(series && series->UseYOrigin());
    const bool stacked =
        series && (series->MultiBar() == TCustomBarSeries::mbStacked || series->MultiBar() == TCustomBarSeries::mbStacked100);
    LGroup->setEnabled(stacked);
    UDGroup->setEnabled(stacked);
}

} // namespace lp
