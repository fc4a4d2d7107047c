#include "chart/editors/data/PlotSourceEdit.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QCloseEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace lp {

TBaseSourceEditor::TBaseSourceEditor(QWidget* Parent)
    : TEditorPage(Parent)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    Pan = TPageBuilder::Named(new QWidget(this), "Pan");
    LLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Source:")), "LLabel");
    LLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CBSources = TPageBuilder::Named(new QComboBox, "CBSources");
    CBSources->setMinimumContentsLength(12);
    LLabel->setBuddy(CBSources);
    BApply = TPageBuilder::Named(new QPushButton(QStringLiteral("&Apply")), "BApply");
    BApply->setAutoDefault(false);
    BApply->setEnabled(false);
    auto* Bar = new QHBoxLayout(Pan);
    Bar->setContentsMargins(8, 6, 8, 2);
    Bar->addWidget(LLabel);
    Bar->addWidget(CBSources, 1);
    Bar->addWidget(BApply);

    Body = TPageBuilder::Named(new QWidget(this), "Body");
    auto* Column = new QVBoxLayout(this);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(0);
    Column->addWidget(Pan);
    Column->addWidget(Body, 1);

    connect(CBSources, &QComboBox::activated, this, [this] { SetPending(true); });
    connect(BApply, &QPushButton::clicked, this, [this] { ApplyClicked(); });
}

TChartSeries* TBaseSourceEditor::TheSeries() const
{
    return TargetAs<TChartSeries>();
}

bool TBaseSourceEditor::Pending() const
{
    return BApply->isEnabled();
}

void TBaseSourceEditor::SetPending(bool Value)
{
    BApply->setEnabled(Value);
}

void TBaseSourceEditor::showEvent(QShowEvent* Event)
{
    const bool First = Creating();
    TEditorPage::showEvent(Event);
    if (First)
        SetPending(false);
}

void TBaseSourceEditor::ApplyEdits()
{
    ApplyClicked();
}

void TBaseSourceEditor::ApplyClicked()
{
    try {
        ApplyChanges();
    } catch (const std::exception& Error) {
        // The changes stay pending: the user may correct them and retry.
        TApplication::Instance().HandleException(Error);
    }
}

bool TBaseSourceEditor::MayLeave()
{
    if (!Pending())
        return true;
    switch (MessageDlg(PlotMsg_SureToApply, TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel)) {
    case mrYes:
        ApplyClicked();
        return !Pending();
    case mrNo:
        SetPending(false);
        return true;
    default:
        return false;
    }
}

void TBaseSourceEditor::closeEvent(QCloseEvent* Event)
{
    if (MayLeave())
        TEditorPage::closeEvent(Event);
    else
        Event->ignore();
}

void TBaseSourceEditor::reject()
{
    if (MayLeave())
        TEditorPage::reject();
}

} // namespace lp
