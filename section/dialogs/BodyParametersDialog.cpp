#include "section/dialogs/BodyParametersDialog.h"

#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotMapSeries.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <memory>

namespace lp {

namespace {

// The slots a copy box copies, in the order of the boxes 1 .. 5.
constexpr int CopiedSlots[] = {psColor, psPen, psBrush, psGradient, psLabelMode};

QPushButton* MakeButton(const QString& Caption, QWidget* Parent)
{
    auto* button = new QPushButton(Caption, Parent);
    button->setAutoDefault(false);
    return button;
}

// A slot read as a real; a text that is no number ("*") is the missing value.
double SlotReal(const ParamValue& Slot)
{
    if (Slot.IsEmpty())
        return MissingValue;
    try {
        return Slot.AsReal();
    } catch (const Exception&) {
        return MissingValue;
    }
}

int SlotInteger(const ParamValue& Slot, int Fallback)
{
    if (Slot.GetKind() == ParamValue::Kind::Text && Slot.AsText() == MissingText)
        return Fallback;
    try {
        return Slot.AsInteger();
    } catch (const Exception&) {
        return Fallback;
    }
}

QString RealText(double Value)
{
    return QString::fromStdString(RealToText(2, true, Value));
}

double TextReal(const QString& Text)
{
    return TextToReal(Text.toStdString(), false, 0.0, 0.0);
}

} // namespace

TBsetup::TBsetup(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Body parameters"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* grid = new QGridLayout(this);
    const auto addRow = [&](int Row, const QString& Caption, QPushButton*& Button, QCheckBox*& Box) {
        Button = MakeButton(Caption, this);
        Box = new QCheckBox(QStringLiteral("to all bodies"), this);
        grid->addWidget(Button, Row, 0);
        grid->addWidget(Box, Row, 1, 1, 2);
    };
    addRow(0, QStringLiteral("&Color"), Button7, CheckBox1);
    addRow(1, QStringLiteral("&Pen"), Button5, CheckBox2);
    addRow(2, QStringLiteral("&Brush"), Button1, CheckBox3);
    addRow(3, QStringLiteral("&Gradient"), Button2, CheckBox4);
    Button2->setEnabled(static_cast<bool>(EditGradientEntryPoint()));

    auto* labelCaption = new QLabel(QStringLiteral("&Label:"), this);
    Edit5 = new QLineEdit(this);
    labelCaption->setBuddy(Edit5);
    grid->addWidget(labelCaption, 4, 0);
    grid->addWidget(Edit5, 4, 1, 1, 2);

    // Kept for the electrical parameters; nothing shows them yet.
    Edit1 = new QLineEdit(this);
    FResistivityUnit = new QLabel(QStringLiteral("om m"), this);
    Edit2 = new QLineEdit(this);
    FPolarizabilityUnit = new QLabel(QStringLiteral("%"), this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems({QStringLiteral("None"), QStringLiteral("Resistivity"),
                         QStringLiteral("Resistivity&Polarizability"), QStringLiteral("User text")});
    CheckBox5 = new QCheckBox(this);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Edit1, FResistivityUnit, Edit2, FPolarizabilityUnit,
                                                           ComboBox1, CheckBox5})
        hidden->hide();

    Button3 = MakeButton(QStringLiteral("&Apply"), this);
    Button3->setDefault(true);
    Button8 = MakeButton(QStringLiteral("As &default"), this);
    Button4 = MakeButton(QStringLiteral("Cl&ose"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addWidget(Button8);
    buttons->addWidget(Button4);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Apply(); });
    connect(Button8, &QPushButton::clicked, this, [this] { ApplyAsDefault(); });
    connect(Button4, &QPushButton::clicked, this, [this] { accept(); });
}

void TBsetup::done(int Result)
{
    // The appearance buttons have already changed the map polygon; closing
    // without Apply would leave the screen showing a look the model and the
    // saved file do not have. So every way out applies, as "Close" does.
    if (isVisible() && Chart)
        Apply();
    QDialog::done(Result);
}

TBsetup::~TBsetup() = default;

TPlotPolygon* TBsetup::MapPolygon() const
{
    if (!Chart || !Chart->MapSeries() || MapIndex < 0 || MapIndex >= Chart->MapSeries()->Shapes()->Count())
        return nullptr;
    return Chart->MapSeries()->Shapes()->GetPolygon(MapIndex);
}

void TBsetup::RefreshMap()
{
    if (Chart && Chart->MapSeries())
        Chart->MapSeries()->RefreshSeries();
}

void TBsetup::LoadBodyDialog()
{
    const TPolygonParams& params = Chart->Model[Body][Sub].params;
    Edit1->setText(RealText(SlotReal(params[psResistivity])));
    Edit2->setText(RealText(SlotReal(params[psPolarizability])));
    const int mode = SlotInteger(params[psLabelMode], -1);
    ComboBox1->setCurrentIndex(mode >= 0 && mode < ComboBox1->count() ? mode : -1);
    Edit5->setText(params[psLabelText].IsEmpty() ? QString() : QString::fromStdString(params[psLabelText].AsText()));
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5})
        box->setChecked(false);
    Button2->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
}

void TBsetup::StoreBodyDialog(bool& CopyAny)
{
    TPolygonParams& params = Chart->Model[Body][Sub].params;
    const double resistivity = TextReal(Edit1->text());
    if (resistivity != MissingValue)
        params[psResistivity] = ParamValue(resistivity);
    const double polarizability = TextReal(Edit2->text());
    if (polarizability != MissingValue)
        params[psPolarizability] = ParamValue(polarizability);
    // A slot that held no mode keeps what it held.
    if (ComboBox1->currentIndex() >= 0)
        params[psLabelMode] = ParamValue(static_cast<int32_t>(ComboBox1->currentIndex()));
    if (Edit5->text().isEmpty())
        Edit5->setText(QStringLiteral(" "));
    params[psLabelText] = ParamValue(Edit5->text().toStdString());

    const QCheckBox* boxes[] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5};
    CopyAny = false;
    for (const QCheckBox* box : boxes)
        CopyAny = CopyAny || box->isChecked();
    if (!CopyAny)
        return;
    const TPolygonParams source = params;
    for (int body = 0; body < Chart->Model.Length(); ++body)
        for (int sub = 0; sub < Chart->Model[body].Length(); ++sub) {
            if (body == 0 && sub == 0)
                continue; // the host frame keeps its look
            TPolygonParams& target = Chart->Model[body][sub].params;
            for (int i = 0; i < 5; ++i)
                if (boxes[i]->isChecked())
                    target[CopiedSlots[i]] = source[CopiedSlots[i]];
        }
}

void TBsetup::Apply()
{
    MapIndex = Chart->FindMapPolygon(Body, Sub);
    RefreshMap();
    if (MapIndex >= 0)
        Chart->StorePolygonAppearance(Body, Sub, MapIndex);
    bool copyAny = false;
    StoreBodyDialog(copyAny);
    Chart->RebuildMapSeries();
    MapIndex = Chart->FindMapPolygon(Body, Sub);
    Chart->ChangeNotify();
}

void TBsetup::ApplyAsDefault()
{
    Apply();
    DefaultParameters = Chart->Model[Body][Sub].params;
    // An id belongs to one ring; new rings get theirs from the map.
    DefaultParameters[psId] = ParamValue(-1);
}

void TBsetup::Button7Click()
{
    TPlotPolygon* polygon = MapPolygon();
    if (!polygon)
        return;
    TColor color = polygon->Color();
    // A cancelled or unchanged choice leaves the polygon as it was.
    if (!EditColorDialog(this, color, QStringLiteral("ColorDialog1")))
        return;
    polygon->SetColor(color);
    RefreshMap();
}

void TBsetup::Button5Click()
{
    TPlotPolygon* polygon = MapPolygon();
    if (!polygon)
        return;
    polygon->SetParentPen(false);
    EditChartPen(this, *polygon->Pen(), false);
    RefreshMap();
}

void TBsetup::Button1Click()
{
    TPlotPolygon* polygon = MapPolygon();
    if (!polygon)
        return;
    RefreshMap();
    polygon->SetParentBrush(false);
    // The section keeps a body's brush as its text, which has no picture.
    EditChartBrush(this, *polygon->Brush(), SectionUnkeptSettings(*Chart->MapSeries()));
    RefreshMap();
}

void TBsetup::Button2Click()
{
    TPlotPolygon* polygon = MapPolygon();
    if (!polygon)
        return;
    // OK keeps the gradient, Cancel has put it back: the body shows either.
    EditGradient(this, *polygon->Gradient());
    RefreshMap();
}

// --- The one dialog ----------------------------------------------------------------------------------

namespace {

std::unique_ptr<TBsetup>& BodyDialog()
{
    static std::unique_ptr<TBsetup> dialog;
    return dialog;
}

// A widget must not outlive the application object: destroyed after it,
// its shortcuts and window are released into a torn-down application. So
// the kept dialog goes with UnregisterBodyDialog or, at the latest, when
// the application object does (its post routines run before it takes the
// widgets down); never as a static at the program's end.
void FreeBodyDialog()
{
    qRemovePostRoutine(FreeBodyDialog);
    BodyDialog().reset();
}

} // namespace

void ShowBodyParameters(TPolygonChart* Chart, int MapIndex, int Body, int Sub)
{
    std::unique_ptr<TBsetup>& dialog = BodyDialog();
    if (!dialog) {
        dialog = std::make_unique<TBsetup>();
        PlaceDialogForm(*dialog, nullptr);
        qAddPostRoutine(FreeBodyDialog);
    }
    dialog->Chart = Chart;
    dialog->MapIndex = MapIndex;
    dialog->Body = Body;
    dialog->Sub = Sub;
    dialog->LoadBodyDialog();
    dialog->exec();
}

void RegisterBodyDialog()
{
    BodyParametersEntryPoint() = ShowBodyParameters;
}

void UnregisterBodyDialog()
{
    BodyParametersEntryPoint() = nullptr;
    FreeBodyDialog();
}

} // namespace lp
