#include "chart/editors/effects/GradientEditor.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int RadialLimit = 300;

const char* const DirectionNames[] = {"Top Bottom",    "Bottom Top",       "Left Right", "Right Left",
                                      "From Center",   "From Top Left",    "From Bottom Left",
                                      "Radial",        "Diagonal Up",      "Diagonal Down"};

// The directions without a middle colour: from a centre or a corner.
bool TakesMiddleColor(TGradientDirection Direction)
{
    return Direction != gdFromCenter && Direction != gdFromTopLeft && Direction != gdFromBottomLeft &&
           Direction != gdRadial;
}

QSlider* NamedSlider(const char* Name, int Min, int Max, QWidget* Parent)
{
    auto* slider = TPageBuilder::Named(new QSlider(Qt::Horizontal, Parent), Name);
    slider->setRange(Min, Max);
    return slider;
}

} // namespace

const std::vector<TGradientPreset>& GradientPresets()
{
    static const std::vector<TGradientPreset> presets = {
        {"Caribe Sun", 0xDDDFD2, 0xF50A97, 0x0B80F4, gdTopBottom, 50},
        {"Business", 0xC0C0C0, 0xFFFFFF, 0x808080, gdTopBottom, 50},
        {"Hot", 0x0000FF, clNone, 0x00FFFF, gdTopBottom, 50},
        {"Ace", 0x000000, 0xFF8080, 0x000000, gdBottomTop, 74},
        {"Farm", 0x006AD5, 0xFFFFFF, 0x0062C4, gdBottomTop, 4},
        {"Sea", 0xFFFF80, 0xFF8080, 0x800000, gdBottomTop, 55},
        {"Night", 0xFFFFFF, 0x800040, 0x000000, gdTopBottom, 40},
        {"Space", 0xA50320, 0x800040, 0xFFFFFF, gdFromTopLeft, 50},
        {"Golf", 0x159902, 0xC0C0C0, 0xD9F986, gdTopBottom, 50},
        {"Funky", 0xBD3881, 0x87607A, 0x52EB85, gdTopBottom, 50},
        {"Sunset", 0xB85A06, 0xA7D8AF, 0x001042, gdTopBottom, 50},
        {"Rainbow", 0xA11EE8, 0x0F8355, 0xDD011A, gdTopBottom, 50},
        {"Pastel", 0x247489, 0x9491F6, 0xFD8B9D, gdTopBottom, 50},
        {"Tropical", 0x9A414B, 0x732FF3, 0x20D761, gdTopBottom, 50},
        {"Sea 2", 0x4C031C, 0xBACBE1, 0x291EF9, gdTopBottom, 50},
        {"Desert", 0x265FB7, 0xCE7185, 0x604457, gdTopBottom, 50},
        {"Clear day", 0xFFF3EA, 0xE0E6E9, 0xCEDBFF, gdTopBottom, 50},
    };
    return presets;
}

// --- TPreviewGradient --------------------------------------------------------------------------------

TPreviewGradient::TPreviewGradient(TComponent* AOwner) : TCustomPlotPanelExtended(AOwner)
{
    SetBevelOuter(bvNone);
}

void TPreviewGradient::InternalDraw(const TRect& UserRectangle)
{
    PaintPanelBackground(UserRectangle);
}

// --- TPlotGradientEditor ----------------------------------------------------------------------------

TPlotGradientEditor::TPlotGradientEditor(QWidget* Parent) :
    TEditorPage(Parent), FPreview(std::make_unique<TPreviewGradient>())
{
    setWindowTitle(QStringLiteral("Gradient Editor"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);

    auto* top = new QHBoxLayout;
    CBVisible = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Visible"), this), "CBVisible");
    CBDirection = TPageBuilder::Named(new QComboBox(this), "CBDirection");
    for (const char* name : DirectionNames)
        CBDirection->addItem(QString::fromLatin1(name));
    auto* directionLabel = new QLabel(QStringLiteral("&Direction:"), this);
    directionLabel->setBuddy(CBDirection);
    top->addWidget(CBVisible);
    top->addSpacing(12);
    top->addWidget(directionLabel);
    top->addWidget(CBDirection);
    top->addStretch();
    outer->addLayout(top);

    PageControl1 = TPageBuilder::Named(new QTabWidget(this), "PageControl1");
    for (const char* caption : {"Default", "Colors", "Options", "Directions"}) {
        auto* tab = new QWidget(PageControl1);
        PageControl1->addTab(tab, QString::fromLatin1(caption));
    }
    BuildDefaultTab(PageControl1->widget(0));
    BuildColorsTab(PageControl1->widget(1));
    BuildOptionsTab(PageControl1->widget(2));
    BuildDirectionsTab(PageControl1->widget(3));
    outer->addWidget(PageControl1, 1);

    Panel1 = TPageBuilder::Named(new QWidget(this), "Panel1");
    BOk = TPageBuilder::Named(new QPushButton(QStringLiteral("OK"), Panel1), "BOk");
    BCancel = TPageBuilder::Named(new QPushButton(QStringLiteral("Cancel"), Panel1), "BCancel");
    QHBoxLayout* bar = OkCancelRow(BOk, BCancel);
    bar->setContentsMargins(0, 0, 0, 0);
    Panel1->setLayout(bar);
    outer->addWidget(Panel1);
    for (QWidget* tab : {PageControl1->widget(0), PageControl1->widget(1), PageControl1->widget(2)})
        SetReadingTabOrder(*tab);
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &TPlotGradientEditor::CancelClick);
    resize(460, 330);

    Binder().Bind(CBVisible, QStringLiteral("Visible"));
    Binder().Bind(CBDirection, QStringLiteral("Direction"));
    Binder().Bind(BStart, QStringLiteral("StartColor"));
    Binder().Bind(BMid, QStringLiteral("MidColor"));
    Binder().Bind(BEnd, QStringLiteral("EndColor"));
    Binder().Bind(
        CBMid, [this]() -> QVariant { return Gradient() && Gradient()->MidColor() == clNone; },
        [this](const QVariant& Value) {
            if (!Gradient())
                return;
            if (Value.toBool()) {
                Gradient()->SetMidColor(clNone);
                return;
            }
            Gradient()->UseMiddleColor();
            if (Gradient()->MidColor() == clNone)
                Gradient()->SetMidColor(clWhite);
        });
    Binder().Bind(SBBalance, QStringLiteral("Balance"));
    Binder().Bind(TrackBar1, QStringLiteral("RadialX"));
    Binder().Bind(LRadialX, QStringLiteral("RadialX"));
    Binder().Bind(TrackBar2, QStringLiteral("RadialY"));
    Binder().Bind(LRadialY, QStringLiteral("RadialY"));
}

TPlotGradientEditor::~TPlotGradientEditor()
{
    Unhook();
    // The direction charts go before the preview and the backup.
    delete Directions;
}

void TPlotGradientEditor::BuildDefaultTab(QWidget* Tab)
{
    auto* layout = new QHBoxLayout(Tab);
    Gallery = TPageBuilder::Named(new QListWidget(Tab), "Gallery");
    const auto& presets = GradientPresets();
    for (int i = 0; i < static_cast<int>(presets.size()); ++i) {
        auto* item = new QListWidgetItem(QString::fromLatin1(presets[static_cast<size_t>(i)].Name), Gallery);
        item->setData(Qt::UserRole, i);
    }
    Gallery->sortItems();
    Gallery->setMaximumWidth(140);
    layout->addWidget(Gallery);
    FPreviewHost = FPreview->Widget(Tab);
    FPreviewHost->setObjectName(QStringLiteral("Preview"));
    FPreviewHost->setMinimumSize(120, 80);
    layout->addWidget(FPreviewHost, 1);
    FPreview->Gradient()->SetVisible(true);
    connect(Gallery, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* Item) { ApplyPreset(Item->data(Qt::UserRole).toInt()); });
    connect(Gallery, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* Item) {
        if (Item && !Loading() && !FUpdating)
            ApplyPreset(Item->data(Qt::UserRole).toInt());
    });
}

void TPlotGradientEditor::BuildColorsTab(QWidget* Tab)
{
    TPageBuilder build(*Tab);
    BStart = build.ColorButton("BStart", QStringLiteral("&Start..."));
    BMid = build.ColorButton("BMid", QStringLiteral("&Middle..."));
    BEnd = build.ColorButton("BEnd", QStringLiteral("&End..."));
    CBMid = build.CheckBox("CBMid", QStringLiteral("&No Middle"));
    BSwap = build.Button("BSwap", QStringLiteral("S&wap"));
    // One width for the colour buttons, so their swatches line up.
    for (QPushButton* button : std::initializer_list<QPushButton*>{BStart, BMid, BEnd, BSwap})
        button->setMinimumWidth(110);
    build.Line({BStart});
    build.Line({BMid, CBMid});
    build.Line({BEnd});
    build.Line({BSwap});
    build.Stretch();
    connect(BSwap, &QPushButton::clicked, this, &TPlotGradientEditor::SwapClick);
}

void TPlotGradientEditor::BuildOptionsTab(QWidget* Tab)
{
    TPageBuilder build(*Tab);
    SBBalance = NamedSlider("SBBalance", MinGradientBalance, MaxGradientBalance, Tab);
    SBBalance->setMinimumWidth(200);
    LabelBalance = TPageBuilder::Named(new QLabel(QStringLiteral("50 %"), Tab), "LabelBalance");
    LabelBalance->setMinimumWidth(LabelBalance->fontMetrics().horizontalAdvance(QStringLiteral("100 %")) + 4);
    auto* balance = new QWidget(Tab);
    auto* balanceLayout = new QHBoxLayout(balance);
    balanceLayout->setContentsMargins(0, 0, 0, 0);
    balanceLayout->addWidget(SBBalance, 1);
    balanceLayout->addWidget(LabelBalance);
    build.Row(QStringLiteral("&Balance:"), balance)->setBuddy(SBBalance);

    auto* group = TPageBuilder::Named(new QGroupBox(QStringLiteral("Radial offset:"), Tab), "GroupBox1");
    auto* grid = new QGridLayout(group);
    TrackBar1 = NamedSlider("TrackBar1", -RadialLimit, RadialLimit, group);
    TrackBar2 = NamedSlider("TrackBar2", -RadialLimit, RadialLimit, group);
    LRadialX = TPageBuilder::Named(new QSpinBox(group), "LRadialX");
    LRadialY = TPageBuilder::Named(new QSpinBox(group), "LRadialY");
    for (QSlider* slider : {TrackBar1, TrackBar2}) {
        slider->setTickInterval(50);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setMinimumWidth(200);
    }
    for (QSpinBox* spin : {LRadialX, LRadialY})
        spin->setRange(-RadialLimit, RadialLimit);
    LabelHoriz = new QLabel(QStringLiteral("&Horiz:"), group);
    LabelVert = new QLabel(QStringLiteral("&Vert:"), group);
    LabelHoriz->setBuddy(TrackBar1);
    LabelVert->setBuddy(TrackBar2);
    grid->addWidget(LabelHoriz, 0, 0);
    grid->addWidget(TrackBar1, 0, 1);
    grid->addWidget(LRadialX, 0, 2);
    grid->addWidget(LabelVert, 1, 0);
    grid->addWidget(TrackBar2, 1, 1);
    grid->addWidget(LRadialY, 1, 2);
    build.Full(group);
    build.Stretch();
}

void TPlotGradientEditor::BuildDirectionsTab(QWidget* Tab)
{
    auto* layout = new QVBoxLayout(Tab);
    layout->setContentsMargins(2, 2, 2, 2);
    Directions = TPageBuilder::Named(new TChartGalleryPanel(Tab), "Directions");
    Directions->StoreSmooth = false;
    Directions->SetSmooth(false);
    Directions->SetDisplaySub(false);
    Directions->SetFocusRotation(false);
    Directions->SetNumRows(2);
    Directions->SetNumCols(5);
    for (int i = 0; i < 10; ++i) {
        TGalleryChart* chart = Directions->AppendChart();
        chart->Widget()->setToolTip(QString::fromLatin1(DirectionNames[i]));
        chart->SetView3D(false);
        chart->SetAxisVisible(false);
        // Walls are drawn for charts with a series on the axes: an empty one.
        CreateNewSeries(chart, chart, &TLineSeries::staticMetaObject);
        chart->BackWall()->SetTransparent(false);
        chart->BackWall()->Gradient()->SetVisible(true);
        chart->BackWall()->Gradient()->SetDirection(static_cast<TGradientDirection>(i));
        chart->SetMarginLeft(16);
        chart->SetMarginTop(22);
        chart->SetMarginRight(16);
        chart->SetMarginBottom(22);
        chart->OnMouseDown = [this, chart](TControl*, TMouseButton, TShiftState, int, int) {
            Directions->SelectChart(chart);
        };
        chart->OnEnter = [this, chart](TControl*) { Directions->SelectChart(chart); };
        chart->OnKeyDown = [this](TControl*, int& Key, TShiftState Shift) { Directions->HandleKey(Key, Shift); };
    }
    layout->addWidget(Directions);
    Directions->OnChangeChart = [this](TChartGalleryPanel*) { DirectionsChangeChart(); };
}

TPlotGradient* TPlotGradientEditor::Gradient() const
{
    return TargetAs<TPlotGradient>();
}

void TPlotGradientEditor::Unhook()
{
    if (auto* gradient = qobject_cast<TPlotGradient*>(FHooked.data()))
        gradient->OnChange = FHeldOnChange;
    FHooked = nullptr;
    FHeldOnChange = nullptr;
}

void TPlotGradientEditor::BindGradient(TPlotGradient* Gradient)
{
    Unhook();
    FUpdating = true;
    FBackup = std::make_unique<TPlotGradient>();
    if (Gradient) {
        FBackup->Assign(Gradient);
        // Every change of the gradient, by any control, marks it modified;
        // its holder still hears of each change.
        FHooked = Gradient;
        FHeldOnChange = Gradient->OnChange;
        Gradient->OnChange = [this](TPersistent* Sender) {
            FModified = true;
            if (FHeldOnChange)
                FHeldOnChange(Sender);
        };
    }
    SetTarget(Gradient);
    FModified = false;
    FUpdating = false;
}

void TPlotGradientEditor::showEvent(QShowEvent* Event)
{
    if (Gradient() && FHooked != Gradient())
        BindGradient(Gradient());
    TEditorPage::showEvent(Event);
}

void TPlotGradientEditor::SetNoEndColor(bool Value)
{
    FNoEndColor = Value;
    BEnd->setVisible(!Value);
    BSwap->setVisible(!Value);
    UpdateEnabled();
}

void TPlotGradientEditor::HideButtonBar()
{
    Panel1->hide();
    resize(width(), height() - Panel1->sizeHint().height());
}

void TPlotGradientEditor::FillControls()
{
    if (!Gradient())
        return;
    LabelBalance->setText(QStringLiteral("%1 %").arg(Gradient()->Balance()));
    RefreshPreview();
    if (Directions->Count() > Gradient()->Direction()) {
        const bool updating = FUpdating;
        FUpdating = true;
        Directions->SelectChart(Directions->Chart(Gradient()->Direction()));
        FUpdating = updating;
    }
}

void TPlotGradientEditor::RefreshPreview()
{
    TPlotGradient* gradient = Gradient();
    if (!gradient)
        return;
    TPlotGradient* shown = FPreview->Gradient();
    shown->SetVisible(gradient->Visible());
    shown->SetDirection(gradient->Direction());
    shown->SetStartColor(gradient->StartColor());
    shown->SetMidColor(gradient->MidColor());
    shown->SetEndColor(gradient->EndColor());
    shown->SetBalance(gradient->Balance());
    shown->SetRadialX(gradient->RadialX());
    shown->SetRadialY(gradient->RadialY());
    for (int i = 0; i < Directions->Count(); ++i) {
        TPlotGradient* wall = Directions->Chart(i)->BackWall()->Gradient();
        wall->SetStartColor(gradient->StartColor());
        wall->SetMidColor(gradient->MidColor());
        wall->SetEndColor(gradient->EndColor());
    }
}

void TPlotGradientEditor::UpdateEnabled()
{
    TPlotGradient* gradient = Gradient();
    const bool visible = gradient && gradient->Visible();
    const bool colors = FNoEndColor || visible;
    for (QWidget* control : std::initializer_list<QWidget*>{CBDirection, BStart, BEnd, BSwap, Gallery})
        control->setEnabled(colors);
    const bool middle = FNoEndColor || (visible && TakesMiddleColor(gradient->Direction()));
    BMid->setEnabled(middle);
    CBMid->setEnabled(middle);
    const bool radial = gradient && gradient->Direction() == gdRadial;
    for (QWidget* control : std::initializer_list<QWidget*>{LabelHoriz, LabelVert, TrackBar1, TrackBar2, LRadialX, LRadialY})
        control->setEnabled(radial);
    // A preset is a linear look: another direction leaves none chosen.
    if (gradient && gradient->Direction() > gdRightLeft && Gallery->currentItem()) {
        const bool updating = FUpdating;
        FUpdating = true;
        Gallery->setCurrentItem(nullptr);
        FUpdating = updating;
    }
}

void TPlotGradientEditor::ApplyPreset(int Index)
{
    TPlotGradient* gradient = Gradient();
    const auto& presets = GradientPresets();
    if (!CanWrite() || !gradient || Index < 0 || Index >= static_cast<int>(presets.size()))
        return;
    const TGradientPreset& preset = presets[static_cast<size_t>(Index)];
    gradient->SetStartColor(preset.Start);
    gradient->SetMidColor(preset.Middle);
    gradient->SetEndColor(preset.End);
    gradient->SetDirection(preset.Direction);
    gradient->SetBalance(preset.Balance);
    AfterUserChange(Gallery);
}

void TPlotGradientEditor::SwapClick()
{
    TPlotGradient* gradient = Gradient();
    if (!CanWrite() || !gradient)
        return;
    const TColor start = gradient->StartColor();
    gradient->SetStartColor(gradient->EndColor());
    gradient->SetEndColor(start);
    AfterUserChange(BSwap);
}

void TPlotGradientEditor::DirectionsChangeChart()
{
    TPlotGradient* gradient = Gradient();
    if (FUpdating || Loading() || !CanWrite() || !gradient)
        return;
    const int index = Directions->IndexOf(Directions->SelectedChart());
    if (index < 0 || index == gradient->Direction())
        return;
    gradient->SetDirection(static_cast<TGradientDirection>(index));
    AfterUserChange(Directions);
}

void TPlotGradientEditor::CancelClick()
{
    TPlotGradient* gradient = Gradient();
    if (FModified && gradient && FBackup) {
        gradient->Assign(FBackup.get());
        FModified = false;
        if (FHeldOnChange)
            FHeldOnChange(gradient);
        Refresh();
    }
    QDialog::reject();
}

void TPlotGradientEditor::reject()
{
    // Escape and the close box cancel like the button.
    if (Panel1->isHidden()) {
        QDialog::reject();
        return;
    }
    CancelClick();
}

bool EditGradientExtended(QWidget* Owner, TPlotGradient& Gradient, bool NoEndColor, bool HideVisible)
{
    TPlotGradientEditor editor(Owner);
    editor.setWindowFlag(Qt::Dialog);
    editor.BindGradient(&Gradient);
    editor.SetNoEndColor(NoEndColor);
    editor.CBVisible->setVisible(!HideVisible);
    return editor.exec() == QDialog::Accepted;
}

bool EditGradientDialog(QWidget* Owner, TPlotGradient& Gradient)
{
    return EditGradientExtended(Owner, Gradient, false, false);
}

TPlotGradientEditor* InsertGradientEditor(QWidget* Parent, TPlotGradient* Gradient)
{
    auto* editor = InsertEditorPage<TPlotGradientEditor>(Parent);
    editor->HideButtonBar();
    editor->BindGradient(Gradient);
    return editor;
}

// --- TButtonGradient ---------------------------------------------------------------------------------

TButtonGradient::TButtonGradient(const QString& Caption, QWidget* Parent) : TPlotButton(Caption, Parent)
{
    connect(this, &QPushButton::clicked, this, &TButtonGradient::Clicked);
}

void TButtonGradient::LinkGradient(TPlotGradient* Gradient)
{
    FGradient = Gradient;
    update();
}

void TButtonGradient::DrawSymbol(TPlotCanvas& Canvas)
{
    auto* canvas = dynamic_cast<TCanvas3D*>(&Canvas);
    if (!isEnabled() || !FGradient || !canvas)
        return;
    const TRect rect = GetSymbolRect();
    FGradient->Draw(*canvas, rect);
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetColor(FGradient->Visible() ? clBlack : clGray);
    Canvas.RectangleRect(rect);
}

void TButtonGradient::Clicked()
{
    if (FGradient) {
        TPlotGradientEditor editor(this);
        FEditor = &editor;
        editor.setWindowFlag(Qt::Dialog);
        editor.BindGradient(FGradient);
        editor.SetNoEndColor(NoEndColor);
        const bool ok = editor.exec() == QDialog::Accepted;
        FEditor = nullptr;
        if (!ok)
            return;
        update();
    }
    if (OnClick)
        OnClick(this);
}

} // namespace lp
