#include "chart/editors/seriestypes/LinePenSeriesEditor.h"

#include "chart/canvas/PlotPens.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotEngine.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QPushButton>

namespace lp {

namespace {

// The pen editor as a part of a page: its Escape goes to the window
// around it instead of putting the pen back, since the page's edits count
// at once.
class TEmbeddedPenDialog : public TPenDialog {
public:
    using TPenDialog::TPenDialog;
    void reject() override
    {
        if (auto* window = qobject_cast<QDialog*>(parentWidget() ? parentWidget()->window() : nullptr))
            window->reject();
    }
};

} // namespace

TLinePenSeriesEditor::TLinePenSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    Options = TPageBuilder::Named(new QWidget(this), "Options");
    column->addWidget(Options);
    column->addStretch(1);
}

void TLinePenSeriesEditor::FillControls()
{
    TChartPen* pen = LinePen();
    if (FPenDialog && FPenDialog->ThePen == pen)
        return;
    delete FPenDialog.data();
    if (!pen)
        return;
    auto* dialog = new TEmbeddedPenDialog(this);
    dialog->setObjectName(QStringLiteral("PenDialog"));
    dialog->setWindowFlags(Qt::Widget);
    dialog->ThePen = pen;
    dialog->BOk->hide();
    dialog->BCancel->hide();
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, dialog);
    FPenDialog = dialog;
    dialog->BColor->OnClick = [this, bound = dialog->BColor->OnClick](TButtonColor* Sender) {
        if (bound)
            bound(Sender);
        ColorChosen();
    };
    dialog->show();
    QWidget::setTabOrder(dialog->BCancel, Options);
}

void TLinePenSeriesEditor::ColorChosen()
{
    // The pen's colour is the series' colour.
    auto* series = TargetAs<TChartSeries>();
    if (!series || !FPenDialog || !FPenDialog->ThePen)
        return;
    series->SetSeriesColor(FPenDialog->ThePen->Color());
    series->Repaint();
}

} // namespace lp
