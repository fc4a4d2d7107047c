#include "chart/editors/seriestypes/GanttSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/extensions/planning/PlotGantt.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QSpinBox>

namespace lp {

TGanttSeriesEditor::TGanttSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    UDPointVertSize = build.SpinBox("UDPointVertSize", 1, 1000);
    BConnLines = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Co&nnecting Lines..."), this), "BConnLines");
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BColor = build.ColorButton("BColor", QStringLiteral("&Color..."));
    UpDown1 = build.SpinBox("UpDown1", 0, 100);
    build.Row(QStringLiteral("&Height:"), UDPointVertSize, "LHeight");
    build.Line({BConnLines});
    build.Line({CBColorEach, BColor});
    build.Row(QStringLiteral("&Transparency:"), UpDown1, "LTransp");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDPointVertSize, QStringLiteral("Pointer.VertSize"));
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(BColor, QStringLiteral("SeriesColor"));
    Binder().Bind(UpDown1, QStringLiteral("Transparency"));
    BConnLines->OnClick = [this](TButtonPen*) { AfterUserChange(BConnLines); };
}

TGanttSeries* TGanttSeriesEditor::Series() const
{
    return TargetAs<TGanttSeries>();
}

void TGanttSeriesEditor::FillControls()
{
    if (!Series())
        return;
    BConnLines->LinkPen(Series()->ConnectingPen());
    TTabAddingSeriesPage::FillControls();
}

void TGanttSeriesEditor::UpdateEnabled()
{
    BColor->setEnabled(Series() && !Series()->ColorEachPoint());
}

void TGanttSeriesEditor::AddTabs()
{
    // The bars' height is edited here: the tab leaves out the sizes.
    if (Series())
        PointerEditor = AddSeriesEditorTab(
            this,
            [](QWidget* Parent) -> TEditorPage* {
                auto* page = new TSeriesPointerEditor(Parent);
                page->HideSizeControls();
                return page;
            },
            Series(), PlotMsg_GalleryGantt, 1);
}

} // namespace lp
