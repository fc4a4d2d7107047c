#include "section/dialogs/ModelSetupDialog.h"

#include "components/PictureButton.h"
#include "components/SuperLabel.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLineEdit>

namespace lp {

namespace {

std::unique_ptr<TuiSuperLabel> MakeSuperLabel(const QString& Caption, QWidget* Parent)
{
    auto label = std::make_unique<TuiSuperLabel>();
    label->SetCaption(Caption);
    label->SetBounds(0, 0, 80, 22);
    // On the dialog's face, level with the edit beside it.
    label->SetColor(clBtnFace);
    label->SetVerticalAlignment(TuiSuperLabel::vaCenter);
    QWidget* widget = label->Widget(Parent);
    widget->setMinimumSize(80, 22);
    // A caption only: Tab goes from field to field.
    widget->setFocusPolicy(Qt::NoFocus);
    return label;
}

} // namespace

Tboxsetup::Tboxsetup(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Model setup"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Edit1 = new QLineEdit(this);
    Edit1->setToolTip(QStringLiteral("Left border of modelling area."));
    Edit2 = new QLineEdit(this);
    Edit2->setToolTip(QStringLiteral("Right border of modelling area."));
    Edit3 = new QLineEdit(this);
    Edit3->setToolTip(QStringLiteral("Bottom depths of last layer."));
    LabelLeft = MakeSuperLabel(QStringLiteral("  Left, m"), this);
    LabelRight = MakeSuperLabel(QStringLiteral(" Right, m"), this);
    LabelBottom = MakeSuperLabel(QStringLiteral(" Bottom, m"), this);
    LabelRight->Widget()->setToolTip(QStringLiteral("Bottom depths of last layer."));
    LabelBottom->Widget()->setToolTip(QStringLiteral("Bottom depths of last layer."));

    uiPicBtn3 = std::make_unique<TuiPicBtn>();
    TuiPicBtn& applyButton = *uiPicBtn3;
    applyButton.SetCaption(QStringLiteral("Apply"));
    applyButton.SetStyle(TuiPicBtn::absRecessedBlackHighlight);
    applyButton.SetModalResult(mrOk);
    applyButton.SetDisabledShadow(false);
    applyButton.OnClick = [this](TControl*) { ApplyClick(); };
    QWidget* apply = applyButton.Widget(this);
    apply->setFixedSize(applyButton.Width(), applyButton.Height());
    apply->setFocusPolicy(Qt::StrongFocus);
    apply->setToolTip(QStringLiteral("Bottom border of modelling area."));

    auto* grid = new QGridLayout(this);
    grid->addWidget(LabelLeft->Widget(), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(LabelRight->Widget(), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(LabelBottom->Widget(), 2, 0);
    grid->addWidget(Edit3, 2, 1);
    grid->addWidget(apply, 3, 1, Qt::AlignRight);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, apply);
}

QWidget* Tboxsetup::ApplyWidget() const
{
    return uiPicBtn3->Widget();
}

bool Tboxsetup::ApplyAndReport()
{
    const QString problem = OnApply ? OnApply() : QString();
    if (problem.isEmpty()) {
        FApplied = true;
        return true;
    }
    MessageDlg(problem, TMsgDlgType::mtError, mbOK);
    return false;
}

void Tboxsetup::ApplyClick()
{
    if (ApplyAndReport())
        done(QDialog::Accepted);
}

void Tboxsetup::reject()
{
    if (!FApplied)
        ApplyAndReport();
    QDialog::reject();
}

void Tboxsetup::keyPressEvent(QKeyEvent* Event)
{
    // "Apply" is the default button; a field passes Return on.
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        Event->accept();
        ApplyClick();
        return;
    }
    QDialog::keyPressEvent(Event);
}

// The labels and the button go first, each taking its window out of the dialog.
Tboxsetup::~Tboxsetup() = default;

} // namespace lp
