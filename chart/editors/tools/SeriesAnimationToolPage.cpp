#include "chart/editors/tools/SeriesAnimationToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/extensions/tools/PlotSeriesAnimation.h"

#include <QtGui/QCloseEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

const char* const ExecuteCaption = "&Execute !";
const char* const StopCaption = "Stop";

} // namespace

TSeriesAnimToolEditor::TSeriesAnimToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    SBSteps = TPageBuilder::Named(new QSlider(Qt::Horizontal, body), "SBSteps");
    SBSteps->setRange(1, 1000);
    SBSteps->setMinimumWidth(140);
    Label3 = TPageBuilder::Named(new QLabel(body), "Label3");
    Label3->setMinimumWidth(Label3->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    CBStartMin = build.CheckBox("CBStartMin", QStringLiteral("St&art at Min. value"));
    EStart = NumberEdit(body, "EStart");
    UpDown1 = ToolSpin(body, "UpDown1", 0, 1000);
    ComboFlat1 = TPageBuilder::Combo(body, "ComboFlat1", {QStringLiteral("No"), QStringLiteral("One way"), QStringLiteral("Circular")});
    Button1 = build.Button("Button1", QString::fromLatin1(ExecuteCaption));
    Button1->setProperty("Tag", 0);

    auto* steps = TPageBuilder::Named(new QLabel(QStringLiteral("S&teps:"), body), "Label2");
    steps->setBuddy(SBSteps);
    build.Line({steps, SBSteps, Label3});
    build.Line({CBStartMin});
    build.Row(QStringLiteral("Start &Value:"), EStart, "Label4");
    build.Row(QStringLiteral("&Draw every:"), UpDown1, "Label5");
    build.Row(QStringLiteral("&Loop:"), ComboFlat1, "Label6");
    build.Line({Button1});
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.BindField(SBSteps, QStringLiteral("Steps"));
    bind.BindField(CBStartMin, QStringLiteral("StartAtMin"));
    BindNumberField(
        *this, EStart,
        [this]() -> std::optional<double> {
            return AnimationTool() ? std::optional(AnimationTool()->StartValue()) : std::nullopt;
        },
        [this](double Value) { AnimationTool()->SetStartValue(Value); });
    bind.BindField(UpDown1, QStringLiteral("DrawEvery"));
    bind.BindField(ComboFlat1, QStringLiteral("Loop"));
    connect(SBSteps, &QSlider::valueChanged, Label3, [this](int Value) { Label3->setNum(Value); });
    connect(Button1, &QPushButton::clicked, this, &TSeriesAnimToolEditor::Button1Click);
    SetReadingTabOrder(*this);
}

TSeriesAnimToolEditor::~TSeriesAnimToolEditor()
{
    // The page goes while its animation runs (the host freed it from an
    // event handled during a step): the animation ends with it.
    if (FRunning)
        FRunning->Stop();
    if (Animating())
        AnimationTool()->Stop();
}

TSeriesAnimationTool* TSeriesAnimToolEditor::AnimationTool() const
{
    return TargetAs<TSeriesAnimationTool>();
}

bool TSeriesAnimToolEditor::Animating() const
{
    return AnimationTool() && AnimationTool()->Running();
}

void TSeriesAnimToolEditor::ResetButton()
{
    if (TSeriesAnimationTool* tool = AnimationTool())
        tool->Stop();
    Button1->setProperty("Tag", 0);
    Button1->setText(QString::fromLatin1(ExecuteCaption));
}

void TSeriesAnimToolEditor::Button1Click()
{
    TSeriesAnimationTool* tool = AnimationTool();
    if (!tool)
        return;
    if (Button1->property("Tag").toInt() == 1) {
        ResetButton();
        return;
    }
    Button1->setProperty("Tag", 1);
    Button1->setText(QString::fromLatin1(StopCaption));
    // Execute handles the application's events between steps: the page or
    // the tool may be freed before it returns.
    const QPointer<TSeriesAnimToolEditor> self(this);
    FRunning = tool;
    tool->Execute();
    if (!self)
        return;
    FRunning = nullptr;
    // The tool is reached again through the page's target, which a freed
    // tool has cleared.
    ResetButton();
    UpdateEnabled();
}

bool TSeriesAnimToolEditor::MayLeave()
{
    return !Animating();
}

void TSeriesAnimToolEditor::closeEvent(QCloseEvent* Event)
{
    if (!MayLeave()) {
        Event->ignore();
        return;
    }
    TSeriesToolEditor::closeEvent(Event);
}

void TSeriesAnimToolEditor::reject()
{
    // Escape closes the dialog form too.
    if (MayLeave())
        TSeriesToolEditor::reject();
}

void TSeriesAnimToolEditor::FillControls()
{
    // Another tool shown while this page's animation runs: it ends.
    if (FRunning && FRunning != AnimationTool())
        FRunning->Stop();
    TSeriesToolEditor::FillControls();
    Label3->setNum(SBSteps->value());
    if (Animating()) {
        Button1->setProperty("Tag", 1);
        Button1->setText(QString::fromLatin1(StopCaption));
    }
}

void TSeriesAnimToolEditor::UpdateEnabled()
{
    TSeriesToolEditor::UpdateEnabled();
    TSeriesAnimationTool* tool = AnimationTool();
    Button1->setEnabled(tool && tool->Series());
    EStart->setEnabled(!CBStartMin->isChecked());
}

} // namespace lp
