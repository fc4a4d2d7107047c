#include "section/dialogs/BodyParametersDialog.h"

#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotMapSeries.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/BodyParameters.h"
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
#include <utility>
#include <vector>

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

// The slots of every ring, to tell whether an Apply changed any.
std::vector<TPolygonParams> AllParams(const AllSpolygon& Model)
{
    std::vector<TPolygonParams> params;
    for (const SPolygon& body : Model)
        for (const Polygon& ring : body)
            params.push_back(ring.params);
    return params;
}

// Whether any slot but the map id differs in meaning.
bool ParamsDiffer(const std::vector<TPolygonParams>& Before, const AllSpolygon& Model)
{
    size_t i = 0;
    for (const SPolygon& body : Model)
        for (const Polygon& ring : body) {
            if (i >= Before.size())
                return true;
            for (int slot = psId + 1; slot < ParamSlotCount; ++slot)
                if (!SameParameter(Before[i][slot], ring.params[slot]))
                    return true;
            ++i;
        }
    return i != Before.size();
}

QLabel* AddCaption(QGridLayout& Grid, int Row, const QString& Caption, QWidget* Buddy)
{
    auto* label = new QLabel(Caption, Buddy->parentWidget());
    label->setBuddy(Buddy);
    Grid.addWidget(label, Row, 0);
    return label;
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

    Edit5 = new QLineEdit(this);
    AddCaption(*grid, 4, QStringLiteral("&Label:"), Edit5);
    grid->addWidget(Edit5, 4, 1, 1, 2);

    Edit1 = new QLineEdit(this);
    AddCaption(*grid, 5, QStringLiteral("&Resistivity:"), Edit1);
    grid->addWidget(Edit1, 5, 1);
    grid->addWidget(new QLabel(QStringLiteral("ohm-m"), this), 5, 2);
    Edit2 = new QLineEdit(this);
    AddCaption(*grid, 6, QStringLiteral("Polari&zability:"), Edit2);
    grid->addWidget(Edit2, 6, 1);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 6, 2);
    PhaseEdit = new QLineEdit(this);
    PhaseEdit->setObjectName(QStringLiteral("PhaseEdit"));
    PhaseEdit->setToolTip(QStringLiteral("The phase of a frequency-domain survey: the voltage's, negative over a "
                                         "polarizable ground (-20 for a phase of 20 mrad)"));
    AddCaption(*grid, 7, QStringLiteral("P&hase:"), PhaseEdit);
    grid->addWidget(PhaseEdit, 7, 1);
    grid->addWidget(new QLabel(QStringLiteral("mrad"), this), 7, 2);
    ComboBox1 = new QComboBox(this);
    ComboBox1->addItems(LabelModeNames());
    AddCaption(*grid, 8, QStringLiteral("Label &mode:"), ComboBox1);
    grid->addWidget(ComboBox1, 8, 1);
    CheckBox5 = new QCheckBox(QStringLiteral("to all bodies"), this);
    grid->addWidget(CheckBox5, 8, 2);
    for (QLineEdit* field : {Edit1, Edit2, PhaseEdit})
        connect(field, &QLineEdit::textEdited, this, [this, field] {
            MarkField(field, false);
            ErrorLabel->clear();
        });
    ErrorLabel = new QLabel(this);
    ErrorLabel->setObjectName(QStringLiteral("ErrorLabel"));
    ErrorLabel->setWordWrap(true);
    ErrorLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    // Room for the longest reason, kept empty: the layout does not jump.
    ErrorLabel->setMinimumHeight(ErrorLabel->fontMetrics().lineSpacing() * 3);
    ErrorLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(ErrorLabel, 9, 0, 1, 3);

    Button3 = MakeButton(QStringLiteral("&Apply"), this);
    Button8 = MakeButton(QStringLiteral("As &default"), this);
    Button4 = MakeButton(QStringLiteral("Cl&ose"), this);
    // Enter does what Close does, as Esc and the close box.
    Button4->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addWidget(Button8);
    buttons->addWidget(Button4);
    grid->addLayout(buttons, 10, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    // Top to bottom, each look button before its copy box.
    QWidget* const chain[] = {Button7, CheckBox1, Button5, CheckBox2, Button1, CheckBox3, Button2, CheckBox4, Edit5,
                              Edit1,   Edit2,     PhaseEdit, ComboBox1, CheckBox5, Button3, Button8, Button4};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);

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
    if (isVisible() && Chart && !Apply())
        return;
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

void TBsetup::EnableLookControls(bool On)
{
    for (QWidget* control : std::initializer_list<QWidget*>{Button7, Button5, Button1, CheckBox1, CheckBox2, CheckBox3,
                                                            CheckBox4, ComboBox1, CheckBox5, Button8})
        control->setEnabled(On);
    Button2->setEnabled(On && static_cast<bool>(EditGradientEntryPoint()));
}

void TBsetup::MarkField(QLineEdit* Field, bool Refused)
{
    Field->setStyleSheet(Refused ? QStringLiteral("QLineEdit { background: #ffd6d6; }") : QString());
    Field->setToolTip(Refused ? ErrorLabel->text() : QString());
}

void TBsetup::LoadBodyDialog()
{
    const TPolygonParams& params = Chart->Model[Body][Sub].params;
    FLoadedResistivity = ParameterText(params[psResistivity]);
    FLoadedPolarizability = ParameterText(params[psPolarizability]);
    FLoadedPhase = ParameterText(params[psPhase]);
    FLoadedMode = LabelModeOf(params);
    FLoadedLabel = params[psLabelText].IsEmpty() ? QString() : QString::fromStdString(params[psLabelText].AsText());
    Edit1->setText(FLoadedResistivity);
    Edit2->setText(FLoadedPolarizability);
    PhaseEdit->setText(FLoadedPhase);
    ComboBox1->setCurrentIndex(FLoadedMode);
    Edit5->setText(FLoadedLabel);
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5})
        box->setChecked(false);
    ErrorLabel->clear();
    MarkField(Edit1, false);
    MarkField(Edit2, false);
    MarkField(PhaseEdit, false);
    EnableLookControls(!IsHostRing(Body, Sub));
    setWindowTitle(IsHostRing(Body, Sub) ? QStringLiteral("Body parameters: host medium")
                                         : QStringLiteral("Body parameters"));
    Edit1->setFocus();
    Edit1->selectAll();
}

bool TBsetup::CheckFields()
{
    const std::pair<QLineEdit*, TBodyQuantity> fields[] = {{Edit1, TBodyQuantity::Resistivity},
                                                           {Edit2, TBodyQuantity::Polarizability},
                                                           {PhaseEdit, TBodyQuantity::Phase}};
    const QString loaded[] = {FLoadedResistivity, FLoadedPolarizability, FLoadedPhase};
    for (size_t i = 0; i < std::size(fields); ++i) {
        const auto& [field, quantity] = fields[i];
        // A field left as loaded leaves its slot as it is.
        if (field->text() == loaded[i])
            continue;
        const TParameterEntry entry = ReadParameterText(quantity, field->text());
        if (entry.Valid)
            continue;
        ErrorLabel->setText(entry.Error);
        MarkField(field, true);
        field->setFocus();
        field->selectAll();
        return false;
    }
    ErrorLabel->clear();
    MarkField(Edit1, false);
    MarkField(Edit2, false);
    MarkField(PhaseEdit, false);
    return true;
}

void TBsetup::StoreBodyDialog(bool& CopyAny)
{
    TPolygonParams& params = Chart->Model[Body][Sub].params;
    if (Edit1->text() != FLoadedResistivity)
        params[psResistivity] = ReadParameterText(TBodyQuantity::Resistivity, Edit1->text()).Value;
    if (Edit2->text() != FLoadedPolarizability)
        params[psPolarizability] = ReadParameterText(TBodyQuantity::Polarizability, Edit2->text()).Value;
    if (PhaseEdit->text() != FLoadedPhase)
        params[psPhase] = ReadParameterText(TBodyQuantity::Phase, PhaseEdit->text()).Value;
    // A slot that held no mode keeps what it held until one is chosen.
    if (ComboBox1->currentIndex() >= 0 && ComboBox1->currentIndex() != FLoadedMode)
        params[psLabelMode] = ParamValue(static_cast<int32_t>(ComboBox1->currentIndex()));
    if (Edit5->text() != FLoadedLabel) {
        if (Edit5->text().isEmpty())
            Edit5->setText(QStringLiteral(" "));
        params[psLabelText] = ParamValue(Edit5->text().toStdString());
    }

    const QCheckBox* boxes[] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5};
    CopyAny = false;
    for (const QCheckBox* box : boxes)
        CopyAny = CopyAny || (box->isChecked() && box->isEnabled());
    if (!CopyAny)
        return;
    const TPolygonParams source = params;
    for (int body = 0; body < Chart->Model.Length(); ++body)
        for (int sub = 0; sub < Chart->Model[body].Length(); ++sub) {
            if (IsHostRing(body, sub))
                continue; // the host frame keeps its look
            TPolygonParams& target = Chart->Model[body][sub].params;
            for (int i = 0; i < 5; ++i)
                if (boxes[i]->isChecked())
                    target[CopiedSlots[i]] = source[CopiedSlots[i]];
        }
}

bool TBsetup::Apply()
{
    if (!CheckFields())
        return false;
    // A change from outside the chart's mouse editing: a finished edit that
    // no later drop of an edit in hand rolls back.
    Chart->ChangeFromOutside([this] {
        MapIndex = Chart->FindMapPolygon(Body, Sub);
        RefreshMap();
        const std::vector<TPolygonParams> before = AllParams(Chart->Model);
        // The look goes into the slots only when the polygon shows another
        // one than they hold: texts equal in meaning stay as the file had them.
        if (MapIndex >= 0 && Chart->PolygonLookChanged(Body, Sub, MapIndex))
            Chart->StorePolygonAppearance(Body, Sub, MapIndex);
        bool copyAny = false;
        StoreBodyDialog(copyAny);
        FLoadedResistivity = Edit1->text();
        FLoadedPolarizability = Edit2->text();
        FLoadedPhase = PhaseEdit->text();
        FLoadedMode = ComboBox1->currentIndex();
        FLoadedLabel = Edit5->text();
        return ParamsDiffer(before, Chart->Model);
    });
    MapIndex = Chart->FindMapPolygon(Body, Sub);
    return true;
}

void TBsetup::ApplyAsDefault()
{
    if (!Apply())
        return;
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
