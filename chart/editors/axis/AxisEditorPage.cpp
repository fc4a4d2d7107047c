#include "chart/editors/axis/AxisEditorPage.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/UnkeptSettings.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/editors/axis/FormatEditor.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <cmath>
#include <numbers>

namespace lp {

// --- The axes list -------------------------------------------------------------------------

namespace {

constexpr int StandardAxisCount = 6;

TChartAxis* StandardAxis(const TCustomAxisPanel& Chart, int Line)
{
    switch (Line) {
    case 0: return Chart.LeftAxis();
    case 1: return Chart.RightAxis();
    case 2: return Chart.TopAxis();
    case 3: return Chart.BottomAxis();
    case 4: return Chart.DepthAxis();
    case 5: return Chart.DepthTopAxis();
    default: return nullptr;
    }
}

} // namespace

void FillAxesList(const TCustomAxisPanel& Chart, QStringList& Items, bool IncludeDepth)
{
    Items.clear();
    Items << PlotMsg_LeftAxis << PlotMsg_RightAxis << PlotMsg_TopAxis << PlotMsg_BottomAxis;
    if (IncludeDepth)
        Items << PlotMsg_DepthRightAxis << PlotMsg_DepthTopAxis;
    for (int i = StandardAxisCount; i < Chart.AxesList().Count(); ++i)
        Items << PlotMsg_Custom + QString::number(i - StandardAxisCount);
}

TChartAxis* AxisOfListLine(const TCustomAxisPanel& Chart, int Line)
{
    if (Line < 0)
        return nullptr;
    if (Line < StandardAxisCount)
        return StandardAxis(Chart, Line);
    return Line < Chart.AxesList().Count() ? Chart.AxesList().Items(Line) : nullptr;
}

int ListLineOfAxis(const TCustomAxisPanel& Chart, const TChartAxis* Axis)
{
    for (int line = 0; line < StandardAxisCount; ++line)
        if (StandardAxis(Chart, line) == Axis)
            return line;
    const int index = Chart.AxesList().IndexOf(Axis);
    return index >= StandardAxisCount ? index : -1;
}

// --- Building --------------------------------------------------------------------------------

namespace {

QSpinBox* StepSpin(TPageBuilder& Build, const char* Name, int Min, int Max, int Step)
{
    QSpinBox* spin = Build.ClampingSpinBox(Name, Min, Max);
    spin->setSingleStep(Step);
    return spin;
}

QLabel* ValueLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    auto* label = TPageBuilder::Named(new QLabel(Text, Parent), Name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")));
    return label;
}

} // namespace

TFormPlotAxis::TFormPlotAxis(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Axis"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    BuildLeftPanel();
    PageAxis = TPageBuilder::WideTabs(this, "PageAxis");
    TabScales = TPageBuilder::AddTab(PageAxis, "TabScales", QStringLiteral("Scales"));
    TabTitle = TPageBuilder::AddTab(PageAxis, "TabTitle", QStringLiteral("Title"));
    TabLabels = TPageBuilder::AddTab(PageAxis, "TabLabels", QStringLiteral("Labels"));
    TabTicks = TPageBuilder::AddTab(PageAxis, "TabTicks", QStringLiteral("Ticks"));
    TabMinorTicks = TPageBuilder::AddTab(PageAxis, "TabMinorTicks", QStringLiteral("Minor"));
    TabPositions = TPageBuilder::AddTab(PageAxis, "TabPositions", QStringLiteral("Position"));
    BuildScales();
    BuildTitle();
    BuildLabels();
    BuildTicks();
    BuildMinor();
    BuildPositions();
    layout->addWidget(Panel1);
    layout->addWidget(PageAxis, 1);
    for (QWidget* tab : {TabScales, TabTitle, TabLabels, TabTicks, TabMinorTicks, TabPositions})
        SetReadingTabOrder(*tab);
    BindControls();
    ConnectHandlers();
    FLocale.setNumberOptions(QLocale::OmitGroupSeparator);
}

void TFormPlotAxis::BuildLeftPanel()
{
    Panel1 = TPageBuilder::Named(new QWidget(this), "Panel1");
    auto* column = new QVBoxLayout(Panel1);
    column->setContentsMargins(0, 0, 0, 0);
    LBAxes = TPageBuilder::Named(new QListWidget(Panel1), "LBAxes");
    auto* caption = new QLabel(QStringLiteral("A&xes:"), Panel1);
    caption->setBuddy(LBAxes);
    CBShow = TPageBuilder::Named(new QCheckBox(QStringLiteral("Visible"), Panel1), "CBShow");
    CBAxisBeh = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Behind"), Panel1), "CBAxisBeh");
    BAdd = TPageBuilder::Named(new QPushButton(QStringLiteral("+"), Panel1), "BAdd");
    BDelete = TPageBuilder::Named(new QPushButton(QStringLiteral("-"), Panel1), "BDelete");
    BDelete->setEnabled(false);
    LBAxes->setMaximumWidth(LBAxes->fontMetrics().horizontalAdvance(QStringLiteral("Bottom Axis  ")) + 40);
    column->addWidget(CBShow);
    column->addWidget(CBAxisBeh);
    column->addWidget(caption);
    column->addWidget(LBAxes, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BAdd);
    buttons->addWidget(BDelete);
    column->addLayout(buttons);
}

void TFormPlotAxis::BuildScales()
{
    TPageBuilder build(*TabScales);
    QWidget* tab = TabScales;
    CBAutomatic = build.CheckBox("CBAutomatic", QStringLiteral("Auto"));
    CBVisible = build.CheckBox("CBVisible", QStringLiteral("Visible"));
    CBInverted = build.CheckBox("CBInverted", QStringLiteral("Inverted"));
    build.Line({CBAutomatic, CBVisible, CBInverted});
    BIncre = build.Button("BIncre", QStringLiteral("&Change..."));
    LAxisIncre = ValueLabel(tab, "LAxisIncre", QStringLiteral("(increment)"));
    build.Line({new QLabel(QStringLiteral("Increment:"), tab), BIncre, LAxisIncre});
    CBLogarithmic = build.CheckBox("CBLogarithmic", QStringLiteral("Logarithmic"));
    ELogBase = TPageBuilder::Named(new QLineEdit(QStringLiteral("10"), tab), "ELogBase");
    ELogBase->setMaximumWidth(ELogBase->fontMetrics().horizontalAdvance(QStringLiteral("2.718281828459")) + 12);
    auto* baseLabel = new QLabel(QStringLiteral("Base:"), tab);
    baseLabel->setBuddy(ELogBase);
    LogE = build.CheckBox("LogE", QStringLiteral("e"));
    build.Line({CBLogarithmic, baseLabel, ELogBase, LogE});

    PageControl1 = TPageBuilder::WideTabs(tab, "PageControl1");
    for (bool maximum : {false, true}) {
        QWidget* page = TPageBuilder::AddTab(PageControl1, maximum ? "TabMaximum" : "TabMinimum",
                               maximum ? QStringLiteral("Maximum") : QStringLiteral("Minimum"));
        TPageBuilder limit(*page);
        QCheckBox* autoBox = limit.CheckBox(maximum ? "CBAutoMax" : "CBAutoMin",
                                            maximum ? QStringLiteral("A&uto") : QStringLiteral("Aut&o"));
        QPushButton* change = limit.Button(maximum ? "BAxisMax" : "BAxisMin",
                                           maximum ? QStringLiteral("C&hange...") : QStringLiteral("Cha&nge..."));
        QLabel* value = ValueLabel(page, maximum ? "LAxisMax" : "LAxisMin",
                                   maximum ? QStringLiteral("(max)") : QStringLiteral("(min)"));
        QSpinBox* offset = limit.ClampingSpinBox(maximum ? "UDMaxOff" : "UDMinOff", -10000, 10000);
        limit.Line({autoBox, change, value});
        limit.Row(QStringLiteral("Offset:"), offset);
        limit.Stretch();
        (maximum ? CBAutoMax : CBAutoMin) = autoBox;
        (maximum ? BAxisMax : BAxisMin) = change;
        (maximum ? LAxisMax : LAxisMin) = value;
        (maximum ? UDMaxOff : UDMinOff) = offset;
    }
    build.Full(PageControl1);
    build.Grid().setColumnStretch(1, 1);

    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("LinLog options"), tab), "GroupBox1");
    auto* linLog = new QHBoxLayout(GroupBox1);
    SpinEdit1 = TPageBuilder::Named(new QSpinBox(GroupBox1), "SpinEdit1");
    SpinEdit1->setRange(1, 15);
    SpinEdit1->setValue(1);
    Label8 = TPageBuilder::Named(new QLabel(QStringLiteral("Dec shift"), GroupBox1), "Label8");
    Label8->setBuddy(SpinEdit1);
    CheckBox1 = TPageBuilder::Named(new QCheckBox(QStringLiteral("Min dec"), GroupBox1), "CheckBox1");
    Edit3 = TPageBuilder::Named(new QLineEdit(GroupBox1), "Edit3");
    Edit3->setMaximumWidth(Edit3->fontMetrics().horizontalAdvance(QStringLiteral("0.000001")) + 16);
    for (QWidget* control : std::initializer_list<QWidget*>{Label8, SpinEdit1, CheckBox1, Edit3})
        linLog->addWidget(control);
    linLog->addStretch();
    build.Full(GroupBox1);
    GroupBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    CheckBox2 = build.CheckBox("CheckBox2", QStringLiteral("Rounded limits"));
    build.Full(CheckBox2);
    build.Stretch();
}

void TFormPlotAxis::BuildTitle()
{
    auto* column = new QVBoxLayout(TabTitle);
    PageTitle = TPageBuilder::WideTabs(TabTitle, "PageTitle");
    column->addWidget(PageTitle);
    TabTitleStyle = TPageBuilder::AddTab(PageTitle, "TabTitleStyle", QStringLiteral("Style"));
    TabTitleFont = TPageBuilder::AddTab(PageTitle, "TabTitleFont", QStringLiteral("Text"));
    TPageBuilder build(*TabTitleStyle);
    ETitle = TPageBuilder::Named(new QLineEdit(TabTitleStyle), "ETitle");
    ETitle->setMinimumWidth(160);
    UDTitleAngle = StepSpin(build, "UDTitleAngle", 0, 360, 90);
    UDTitleSize = build.ClampingSpinBox("UDTitleSize", 0, 1000);
    CBTitleVisible = build.CheckBox("CBTitleVisible", QStringLiteral("&Visible"));
    build.Row(QStringLiteral("T&itle:"), ETitle);
    build.Row(QStringLiteral("&Angle:"), UDTitleAngle);
    build.Row(QStringLiteral("Si&ze:"), UDTitleSize);
    build.Full(CBTitleVisible);
    build.Stretch();
    (new QVBoxLayout(TabTitleFont))->setContentsMargins(0, 0, 0, 0);
    TitleFontEditor = new TPlotFontEditor(TabTitleFont);
    TitleFontEditor->setObjectName(QStringLiteral("TitleFontEditor"));
    TitleFontEditor->setWindowFlags(Qt::Widget);
    TabTitleFont->layout()->addWidget(TitleFontEditor);
}

void TFormPlotAxis::BuildLabels()
{
    auto* column = new QVBoxLayout(TabLabels);
    PageLabels = TPageBuilder::WideTabs(TabLabels, "PageLabels");
    column->addWidget(PageLabels);
    TabLabStyle = TPageBuilder::AddTab(PageLabels, "TabLabStyle", QStringLiteral("Style"));
    TabLabFormat = TPageBuilder::AddTab(PageLabels, "TabLabFormat", QStringLiteral("Format"));
    TabLabelsFont = TPageBuilder::AddTab(PageLabels, "TabLabelsFont", QStringLiteral("Text"));

    TPageBuilder style(*TabLabStyle);
    CBLabels = style.CheckBox("CBLabels", QStringLiteral("V&isible"));
    CBMultiline = style.CheckBox("CBMultiline", QStringLiteral("Multi-lin&e"));
    CBOnAxis = style.CheckBox("CBOnAxis", QStringLiteral("Label On A&xis"));
    CBRoundFirst = style.CheckBox("CBRoundFirst", QStringLiteral("Ro&und First"));
    CBAlternate = style.CheckBox("CBAlternate", QStringLiteral("&Alternate"));
    UDLabelsSize = style.ClampingSpinBox("UDLabelsSize", -1, 1000);
    UDLabelsAngle = StepSpin(style, "UDLabelsAngle", 0, 360, 90);
    UDSepar = StepSpin(style, "UDSepar", 0, 100, 10);
    CBLabelStyle = TPageBuilder::Named(new QComboBox(TabLabStyle), "CBLabelStyle");
    CBLabelStyle->addItems({QStringLiteral("Auto"), QStringLiteral("None"), QStringLiteral("Value"),
                            QStringLiteral("Mark"), QStringLiteral("Text")});
    style.Line({CBLabels, CBMultiline});
    style.Line({CBOnAxis, CBRoundFirst, CBAlternate});
    style.Row(QStringLiteral("Si&ze:"), UDLabelsSize);
    style.Row(QStringLiteral("An&gle:"), UDLabelsAngle);
    style.Row(QStringLiteral("Min. Se&paration %:"), UDSepar);
    Label3 = style.Row(QStringLiteral("&Style:"), CBLabelStyle, "Label3");
    style.Stretch();

    TPageBuilder format(*TabLabFormat);
    CBFormat = TPageBuilder::Named(new QComboBox(TabLabFormat), "CBFormat");
    CBFormat->setEditable(true);
    CBFormat->setInsertPolicy(QComboBox::NoInsert);
    CBFormat->setMinimumWidth(CBFormat->fontMetrics().horizontalAdvance(QStringLiteral("#,##0.00;(#,##0.00)")) + 40);
    Button1 = format.Button("Button1", QStringLiteral("..."));
    Button1->setMaximumWidth(Button1->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    auto* formatLine = new QWidget(TabLabFormat);
    auto* line = new QHBoxLayout(formatLine);
    line->setContentsMargins(0, 0, 0, 0);
    CBFormat->setParent(formatLine);
    Button1->setParent(formatLine);
    line->addWidget(CBFormat, 1);
    line->addWidget(Button1);
    LabelAxisFormat = format.Row(QStringLiteral("Values For&mat:"), formatLine, "LabelAxisFormat");
    LabelAxisFormat->setBuddy(CBFormat);
    CBExpo = format.CheckBox("CBExpo", QStringLiteral("&Exponential"));
    CBLabelAlign = format.CheckBox("CBLabelAlign", QStringLiteral("&Default Alignment"));
    format.Full(CBExpo);
    format.Full(CBLabelAlign);
    format.Stretch();

    (new QVBoxLayout(TabLabelsFont))->setContentsMargins(0, 0, 0, 0);
    LabelsFontEditor = new TPlotFontEditor(TabLabelsFont);
    LabelsFontEditor->setObjectName(QStringLiteral("LabelsFontEditor"));
    LabelsFontEditor->setWindowFlags(Qt::Widget);
    TabLabelsFont->layout()->addWidget(LabelsFontEditor);
}

void TFormPlotAxis::BuildTicks()
{
    TPageBuilder build(*TabTicks);
    BAxisPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Axis..."), TabTicks), "BAxisPen");
    BTickPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("T&icks..."), TabTicks), "BTickPen");
    BTickInner = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("I&nner..."), TabTicks), "BTickInner");
    BAxisGrid = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Grid..."), TabTicks), "BAxisGrid");
    UDAxisTickLength = build.ClampingSpinBox("UDAxisTickLength", 0, 1000);
    UDInnerTicksLength = build.ClampingSpinBox("UDInnerTicksLength", 0, 1000);
    CBTickOnLabels = build.CheckBox("CBTickOnLabels", QStringLiteral("At Labels Onl&y"));
    CBGridCentered = build.CheckBox("CBGridCentered", QStringLiteral("C&entered"));
    UDGridZ = build.ClampingSpinBox("UDGridZ", 0, 100);
    auto* len1 = new QLabel(QStringLiteral("Len:"), TabTicks);
    len1->setBuddy(UDAxisTickLength);
    auto* len2 = new QLabel(QStringLiteral("Len:"), TabTicks);
    len2->setBuddy(UDInnerTicksLength);
    build.Line({BAxisPen});
    build.Line({BTickPen, len1, UDAxisTickLength});
    build.Line({BTickInner, len2, UDInnerTicksLength});
    build.Line({BAxisGrid, CBGridCentered});
    Label6 = build.Row(QStringLiteral("&Z:"), UDGridZ, "Label6");
    build.Full(CBTickOnLabels);
    build.Stretch();
}

void TFormPlotAxis::BuildMinor()
{
    TPageBuilder build(*TabMinorTicks);
    BTickMinor = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Ticks..."), TabMinorTicks), "BTickMinor");
    BMinorGrid = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Grid..."), TabMinorTicks), "BMinorGrid");
    UDAxisMinorTickLen = build.ClampingSpinBox("UDAxisMinorTickLen", 0, 1000);
    UDMinorCount = build.ClampingSpinBox("UDMinorCount", 0, 1000);
    auto* length = new QLabel(QStringLiteral("Length:"), TabMinorTicks);
    length->setBuddy(UDAxisMinorTickLen);
    build.Line({BTickMinor, length, UDAxisMinorTickLen});
    build.Line({BMinorGrid});
    build.Row(QStringLiteral("&Count:"), UDMinorCount);
    build.Stretch();
}

void TFormPlotAxis::BuildPositions()
{
    TPageBuilder build(*TabPositions);
    UDPos = build.ClampingSpinBox("UDPos", -1000, 1000);
    UDStart = build.ClampingSpinBox("UDStart", 0, 100);
    UDEnd = build.ClampingSpinBox("UDEnd", 0, 100);
    // Start and end must not cross: each is judged when its typing is done
    // (Enter, leaving the box, a step), not on the way ("8" of "80").
    UDStart->setKeyboardTracking(false);
    UDEnd->setKeyboardTracking(false);
    UDZ = build.ClampingSpinBox("UDZ", 0, 100);
    CBPosUnits = TPageBuilder::Named(new QComboBox(TabPositions), "CBPosUnits");
    CBPosUnits->addItems({QStringLiteral("Percent"), QStringLiteral("Pixels")});
    CBOtherSide = build.CheckBox("CBOtherSide", QStringLiteral("&Other side"));
    CBHorizAxis = build.CheckBox("CBHorizAxis", QStringLiteral("&Horizontal"));
    build.Row(QStringLiteral("&Position %:"), UDPos);
    build.Row(QStringLiteral("&Units:"), CBPosUnits);
    build.Row(QStringLiteral("St&art %:"), UDStart);
    build.Row(QStringLiteral("&End %:"), UDEnd);
    LabelZ = build.Row(QStringLiteral("&Z %:"), UDZ, "LabelZ");
    build.Line({CBOtherSide, CBHorizAxis});
    build.Stretch();
}

// --- Bindings ----------------------------------------------------------------------------------

void TFormPlotAxis::BindControls()
{
    TPropertyBinder& bind = Binder();
    auto path = [&bind](QObject* Control, const char* Path) { bind.Bind(Control, QString::fromLatin1(Path)); };
    // A real property shown by a whole-number counter.
    auto rounded = [this, &bind](QSpinBox* Control, double (TChartAxis::*Get)() const,
                                 std::function<void(TChartAxis&, double)> Set) {
        bind.Bind(
            Control, [this, Get]() -> QVariant { return Axis() ? QVariant(int(std::lround((Axis()->*Get)()))) : QVariant(); },
            [this, Get, Set](const QVariant& Value) {
                // The counter shows the value rounded: the same whole number
                // keeps the fine value.
                if (Axis() && std::lround((Axis()->*Get)()) != Value.toInt())
                    Set(*Axis(), Value.toInt());
            });
    };

    // "Auto" off turns both automatic limits off (the axis does that); on
    // recomputes the range.
    bind.Bind(
        CBAutomatic, [this]() -> QVariant { return Axis() ? QVariant(Axis()->Automatic()) : QVariant(); },
        [this](const QVariant& Value) {
            Axis()->SetAutomatic(Value.toBool());
            if (Value.toBool())
                Axis()->AdjustMaxMin();
        });
    path(CBVisible, "Visible");
    path(CBInverted, "Inverted");
    bind.Bind(
        CBLogarithmic, [this]() -> QVariant { return Axis() ? QVariant(Axis()->Logarithmic()) : QVariant(); },
        // A date-time axis refuses: the binder shows the message and the
        // box unticked again.
        [this](const QVariant& Value) { Axis()->SetLogarithmic(Value.toBool()); });
    for (const auto& entry : {std::pair{CBAutoMin, false}, std::pair{CBAutoMax, true}}) {
        const bool maximum = entry.second;
        bind.Bind(
            entry.first,
            [this, maximum]() -> QVariant {
                return Axis() ? QVariant(maximum ? Axis()->AutomaticMaximum() : Axis()->AutomaticMinimum()) : QVariant();
            },
            [this, maximum](const QVariant& Value) {
                if (maximum)
                    Axis()->SetAutomaticMaximum(Value.toBool());
                else
                    Axis()->SetAutomaticMinimum(Value.toBool());
                Axis()->AdjustMaxMin();
            });
    }
    path(UDMinOff, "MinimumOffset");
    path(UDMaxOff, "MaximumOffset");

    path(ETitle, "Title.Caption");
    path(UDTitleAngle, "Title.Angle");
    path(UDTitleSize, "TitleSize");
    path(CBTitleVisible, "Title.Visible");

    path(CBLabels, "Labels");
    path(CBMultiline, "LabelsMultiLine");
    path(CBOnAxis, "LabelsOnAxis");
    path(CBRoundFirst, "RoundFirstLabel");
    path(UDLabelsSize, "LabelsSize");
    path(UDLabelsAngle, "LabelsAngle");
    path(UDSepar, "LabelsSeparation");
    path(CBLabelStyle, "LabelStyle");
    path(CBAlternate, "LabelsAlternate");
    path(CBExpo, "LabelsExponent");
    bind.Bind(
        CBLabelAlign,
        [this]() -> QVariant { return Axis() ? QVariant(Axis()->LabelsAlign() == TChartAxis::alDefault) : QVariant(); },
        [this](const QVariant& Value) {
            Axis()->SetLabelsAlign(Value.toBool() ? TChartAxis::alDefault : TChartAxis::alOpposite);
        });

    path(UDAxisTickLength, "TickLength");
    path(UDInnerTicksLength, "TickInnerLength");
    path(CBTickOnLabels, "TickOnLabelsOnly");
    path(CBGridCentered, "GridCentered");
    bind.Bind(
        UDGridZ, [this]() -> QVariant { return Axis() ? QVariant(int(std::lround(Axis()->Grid()->ZPosition()))) : QVariant(); },
        [this](const QVariant& Value) { Axis()->Grid()->SetZPosition(Value.toInt()); });

    path(UDAxisMinorTickLen, "MinorTickLength");
    path(UDMinorCount, "MinorTickCount");

    rounded(UDPos, &TChartAxis::PositionPercent, [](TChartAxis& A, double V) { A.SetPositionPercent(V); });
    // Start and end never cross: a refused value is put back.
    rounded(UDStart, &TChartAxis::StartPosition, [this](TChartAxis& A, double V) {
        if (V < A.EndPosition())
            A.SetStartPosition(V);
        else
            UDStart->setValue(int(std::lround(A.StartPosition())));
    });
    rounded(UDEnd, &TChartAxis::EndPosition, [this](TChartAxis& A, double V) {
        if (V > A.StartPosition())
            A.SetEndPosition(V);
        else
            UDEnd->setValue(int(std::lround(A.EndPosition())));
    });
    rounded(UDZ, &TChartAxis::ZPosition, [](TChartAxis& A, double V) { A.SetZPosition(V); });
    path(CBPosUnits, "PositionUnits");
    path(CBOtherSide, "OtherSide");
    bind.Bind(
        CBHorizAxis, [this]() -> QVariant { return Axis() ? QVariant(Axis()->Horizontal()) : QVariant(); },
        [this](const QVariant& Value) {
            if (!IsCustomLine())
                return;
            Axis()->SetHorizontal(Value.toBool());
            if (OnChangeHorizAxis)
                OnChangeHorizAxis(Axis());
        });
}

void TFormPlotAxis::ConnectHandlers()
{
    ConnectUserChange(LBAxes, &QListWidget::currentRowChanged, this, [this](int Line) { AxisPicked(Line); });
    ConnectUserChange(BAdd, &QPushButton::clicked, this, [this] { AddClicked(); });
    ConnectUserChange(BDelete, &QPushButton::clicked, this, [this] { DeleteClicked(); });
    connect(CBShow, &QCheckBox::clicked, this, [this](bool On) {
        Apply(CBShow, [On](TChartAxis& A) {
            if (A.ParentChart())
                A.ParentChart()->SetAxisVisible(On);
        });
    });
    connect(CBAxisBeh, &QCheckBox::clicked, this, [this](bool On) {
        Apply(CBAxisBeh, [On](TChartAxis& A) {
            if (A.ParentChart())
                A.ParentChart()->SetAxisBehind(On);
        });
    });
    connect(ELogBase, &QLineEdit::textEdited, this, &TFormPlotAxis::LogBaseEdited);
    connect(LogE, &QCheckBox::clicked, this, &TFormPlotAxis::LogEClicked);
    ConnectUserChange(BIncre, &QPushButton::clicked, this, [this] { IncrementClicked(); });
    ConnectUserChange(BAxisMin, &QPushButton::clicked, this, [this] { LimitClicked(false); });
    ConnectUserChange(BAxisMax, &QPushButton::clicked, this, [this] { LimitClicked(true); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int Value) {
        Apply(SpinEdit1, [Value](TChartAxis& A) { A.SetLinLogDecShift(Value); });
    });
    connect(CheckBox1, &QCheckBox::clicked, this, [this](bool On) {
        Apply(CheckBox1, [On](TChartAxis& A) { A.SetLinLogMinDec(On); });
    });
    connect(Edit3, &QLineEdit::textEdited, this, &TFormPlotAxis::MinDecValueEdited);
    connect(CheckBox2, &QCheckBox::clicked, this, [this](bool On) {
        Apply(CheckBox2, [On](TChartAxis& A) { A.SetRoundedLimits(On); });
    });
    connect(CBFormat, &QComboBox::currentTextChanged, this, &TFormPlotAxis::FormatEdited);
    ConnectUserChange(Button1, &QPushButton::clicked, this, [this] { FormatDialogClicked(); });
    for (TButtonPen* pen : {BAxisPen, BTickPen, BTickInner, BAxisGrid, BTickMinor, BMinorGrid})
        pen->OnClick = [this, pen](TButtonPen*) { AfterUserChange(pen); };
    // Tabs fill as they are shown.
    for (QTabWidget* tabs : {PageAxis, PageTitle, PageLabels})
        connect(tabs, &QTabWidget::currentChanged, this, [this] { Refresh(); });
}

// --- The edited axis -----------------------------------------------------------------------------

TChartAxis* TFormPlotAxis::Axis() const
{
    return TargetAs<TChartAxis>();
}

void TFormPlotAxis::SetAxis(TChartAxis* Axis)
{
    SetTarget(Axis);
    FillAxesLines();
}

void TFormPlotAxis::SetFormatLocale(const QLocale& Locale)
{
    FLocale = Locale;
    // Numbers shown for typing carry no grouping, so they read back.
    FLocale.setNumberOptions(QLocale::OmitGroupSeparator);
    Refresh();
}

bool TFormPlotAxis::IsCustomLine() const
{
    return Axis() && Axis()->ParentChart() && Axis()->ParentChart()->AxesList().IndexOf(Axis()) >= StandardAxisCount;
}

void TFormPlotAxis::Apply(QObject* Control, const std::function<void(TChartAxis&)>& Write)
{
    if (!CanWrite() || !Axis())
        return;
    RunUserChange([&] { Write(*Axis()); });
    AfterUserChange(Control);
}

void TFormPlotAxis::FillAxesLines()
{
    const QSignalBlocker blocker(LBAxes);
    LBAxes->clear();
    if (!Axis() || !Axis()->ParentChart())
        return;
    QStringList lines;
    FillAxesList(*Axis()->ParentChart(), lines, true);
    LBAxes->addItems(lines);
    LBAxes->setCurrentRow(ListLineOfAxis(*Axis()->ParentChart(), Axis()));
}

void TFormPlotAxis::FillControls()
{
    TChartAxis* axis = Axis();
    if (!axis)
        return;
    if (axis->ParentChart() && (LBAxes->count() == 0 || LBAxes->currentRow() != ListLineOfAxis(*axis->ParentChart(), axis)))
        FillAxesLines();
    if (TCustomAxisPanel* chart = axis->ParentChart()) {
        CBShow->setChecked(chart->AxisVisible());
        CBAxisBeh->setChecked(chart->AxisBehind());
    }
    LinkPens();
    FillScales();
    FillFormats();
    RefreshFontEditor(TitleFontEditor, axis->Title()->Font());
    RefreshFontEditor(LabelsFontEditor, axis->LabelsFont());
    LockUnkeptSettings();
}

void TFormPlotAxis::LockUnkeptSettings()
{
    LockUnkeptControls(*this, UnkeptSettingsOf(Axis()), *PageAxis);
}

void TFormPlotAxis::LinkPens()
{
    TChartAxis* axis = Axis();
    BAxisPen->LinkPen(axis->Axis());
    BTickPen->LinkPen(axis->Ticks());
    BTickInner->LinkPen(axis->TicksInner());
    BAxisGrid->LinkPen(axis->Grid());
    BTickMinor->LinkPen(axis->MinorTicks());
    BMinorGrid->LinkPen(axis->MinorGrid());
}

void TFormPlotAxis::FillScales()
{
    TChartAxis* axis = Axis();
    const bool dateTime = axis->IsDateTime();
    LAxisIncre->setText(AxisIncrementText(dateTime, axis->ExactDateTime(), axis->AxisValuesFormat(),
                                          axis->Increment(), FLocale));
    for (auto [label, value] : {std::pair{LAxisMin, axis->Minimum()}, std::pair{LAxisMax, axis->Maximum()}}) {
        try {
            label->setText(dateTime ? DateTimeLimitText(value, FLocale)
                                    : FormatFloat(axis->AxisValuesFormat(), value, NumberFormatSettings(FLocale)));
        } catch (const Exception&) {
            label->setText(NumberText(value, FLocale));
        }
    }
    if (!ELogBase->hasFocus())
        ELogBase->setText(NumberText(axis->LogarithmicBase(), FLocale));
    LogE->setChecked(axis->LogarithmicBase() == std::numbers::e);
    SpinEdit1->setValue(axis->LinLogDecShift());
    CheckBox1->setChecked(axis->LinLogMinDec());
    if (!Edit3->hasFocus())
        Edit3->setText(NumberText(axis->LinLogMinDecValue(), FLocale));
    CheckBox2->setChecked(axis->RoundedLimits());
}

QString TFormPlotAxis::LocalisedFormat(const QString& Format) const
{
    const TFormatSymbols symbols = TFormatSymbols::FromLocale(FLocale);
    QString text = Format;
    for (QChar& c : text) {
        if (c == QLatin1Char(','))
            c = symbols.Thousand;
        else if (c == QLatin1Char('.'))
            c = symbols.Decimal;
    }
    return text;
}

QString TFormPlotAxis::NeutralFormat(const QString& Format) const
{
    const TFormatSymbols symbols = TFormatSymbols::FromLocale(FLocale);
    QString text = Format;
    for (QChar& c : text) {
        if (c == symbols.Thousand)
            c = QLatin1Char(',');
        else if (c == symbols.Decimal)
            c = QLatin1Char('.');
    }
    return text;
}

void TFormPlotAxis::FillFormats()
{
    TChartAxis* axis = Axis();
    const QSignalBlocker blocker(CBFormat);
    CBFormat->clear();
    QStringList formats;
    QString text;
    if (axis->IsDateTime()) {
        LabelAxisFormat->setText(QStringLiteral("DateTime For&mat:"));
        const double range = axis->Maximum() - axis->Minimum();
        if (range <= 1.0)
            formats << DateTimePictureFromLocalePattern(FLocale.timeFormat(QLocale::ShortFormat))
                    << DateTimePictureFromLocalePattern(FLocale.timeFormat(QLocale::LongFormat))
                    << QStringLiteral("hh:nn") << QStringLiteral("hh:nn:ss") << QStringLiteral("hh:nn:ss.zzz");
        else
            formats << DateTimePictureFromLocalePattern(FLocale.dateFormat(QLocale::ShortFormat))
                    << DateTimePictureFromLocalePattern(FLocale.dateFormat(QLocale::LongFormat))
                    << QStringLiteral("yyyy-mm-dd") << QStringLiteral("mm-dd-yyyy") << QStringLiteral("dd-mm-yyyy")
                    << QStringLiteral("ddd") << QStringLiteral("dddd") << QStringLiteral("mmm")
                    << QStringLiteral("mmmm");
        text = axis->DateTimeFormat().isEmpty() ? DefaultDateTimeFormat(range, FLocale) : axis->DateTimeFormat();
    } else {
        LabelAxisFormat->setText(QStringLiteral("Values For&mat:"));
        QStringList neutral;
        AddDefaultValueFormats(neutral);
        for (const QString& format : neutral)
            formats << LocalisedFormat(format);
        text = LocalisedFormat(axis->AxisValuesFormat().isEmpty() ? QStringLiteral("#,##0.###")
                                                                   : axis->AxisValuesFormat());
    }
    formats.removeDuplicates();
    CBFormat->addItems(formats);
    if (!formats.contains(text))
        CBFormat->addItem(text);
    CBFormat->setCurrentIndex(CBFormat->findText(text));
}

void TFormPlotAxis::UpdateEnabled()
{
    TChartAxis* axis = Axis();
    const bool custom = IsCustomLine();
    BDelete->setEnabled(LBAxes->currentRow() >= StandardAxisCount);
    CBOtherSide->setEnabled(custom);
    CBHorizAxis->setEnabled(custom);
    const bool depth = axis && axis->IsDepthAxis();
    CBLogarithmic->setEnabled(!depth);
    const bool logOn = CBLogarithmic->isChecked() && CBLogarithmic->isEnabled();
    ELogBase->setEnabled(logOn);
    LogE->setEnabled(logOn && !LogE->isChecked());
    GroupBox1->setEnabled(CBLogarithmic->isChecked());
    SpinEdit1->setEnabled(!CheckBox1->isChecked());
    Edit3->setEnabled(CheckBox1->isChecked());
    CBLabelAlign->setEnabled(axis && !axis->Horizontal() && !depth);
}

// --- Handlers ----------------------------------------------------------------------------------

void TFormPlotAxis::AxisPicked(int Line)
{
    if (!Axis() || !Axis()->ParentChart())
        return;
    if (TChartAxis* picked = AxisOfListLine(*Axis()->ParentChart(), Line))
        SetTarget(picked);
}

void TFormPlotAxis::AddClicked()
{
    if (!CanWrite() || !Axis() || !Axis()->ParentChart())
        return;
    TCustomAxisPanel* chart = Axis()->ParentChart();
    // Showing the new axis lists it and selects its line.
    SetTarget(new TChartAxis(&chart->CustomAxes()));
    chart->Invalidate();
}

void TFormPlotAxis::DeleteClicked()
{
    const int line = LBAxes->currentRow();
    if (!CanWrite() || !Axis() || line < StandardAxisCount)
        return;
    TCustomAxisPanel* chart = Axis()->ParentChart();
    TChartAxis* doomed = Axis();
    // The line above takes over before the axis goes.
    SetTarget(AxisOfListLine(*chart, line - 1));
    delete doomed;
    {
        // The line above is current already; the deleted axis' line goes.
        const QSignalBlocker blocker(LBAxes);
        delete LBAxes->takeItem(line);
    }
    chart->Invalidate();
}

void TFormPlotAxis::LogBaseEdited(const QString& Text)
{
    // Half-typed or unreadable text, 0 and 1 keep the base.
    double base = 0;
    try {
        base = ReadNumber(Text, FLocale);
    } catch (const EConvertError&) {
        return;
    }
    if (base == 0 || base == 1 || base < 0)
        return;
    Apply(ELogBase, [base](TChartAxis& A) { A.SetLogarithmicBase(base); });
}

void TFormPlotAxis::LogEClicked()
{
    if (!LogE->isChecked())
        return;
    ELogBase->setText(NumberText(std::numbers::e, FLocale));
    Apply(LogE, [](TChartAxis& A) { A.SetLogarithmicBase(std::numbers::e); });
}

void TFormPlotAxis::MinDecValueEdited(const QString& Text)
{
    // Only typing is taken (text filled in code emits no edit). Nothing is stored, and nothing said, until the text is a number; a
    // number outside (0, larger limit) is ignored by the axis.
    double value = 0;
    try {
        value = ReadNumber(Text, FLocale);
    } catch (const EConvertError&) {
        return;
    }
    Apply(Edit3, [value](TChartAxis& A) { A.SetLinLogMinDecValue(value); });
}

void TFormPlotAxis::FormatEdited(const QString& Text)
{
    Apply(CBFormat, [this, Text](TChartAxis& A) {
        if (A.IsDateTime())
            A.SetDateTimeFormat(Text);
        else
            A.SetAxisValuesFormat(NeutralFormat(Text));
    });
}

void TFormPlotAxis::FormatDialogClicked()
{
    if (!CanWrite() || !Axis())
        return;
    const QString chosen = EditFormat(this, CBFormat->currentText(), Axis()->IsDateTime(), FLocale);
    if (chosen == CBFormat->currentText())
        return;
    {
        const QSignalBlocker blocker(CBFormat);
        if (CBFormat->findText(chosen) < 0)
            CBFormat->addItem(chosen);
        CBFormat->setCurrentIndex(CBFormat->findText(chosen));
    }
    FormatEdited(chosen);
}

void TFormPlotAxis::IncrementClicked()
{
    if (CanWrite() && Axis() && EditAxisIncrement(this, *Axis(), FLocale))
        AfterUserChange(BIncre);
}

void TFormPlotAxis::LimitClicked(bool Maximum)
{
    if (CanWrite() && Axis() && EditAxisLimit(this, *Axis(), Maximum, FLocale))
        AfterUserChange(Maximum ? BAxisMax : BAxisMin);
}

// --- The single-axis window -------------------------------------------------------------------

std::unique_ptr<TFormPlotAxis> CreateAxisEditorWindow(TCustomChart* Chart, TChartAxis* Axis)
{
    if (!Chart || !Axis || Axis->ParentChart() != Chart)
        return nullptr;
    // The chart's own window owns the tool window when it has one.
    QWidget* owner = Chart->HandleAllocated() ? Chart->Widget()->window() : nullptr;
    auto form = std::make_unique<TFormPlotAxis>(owner);
    form->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    form->SetAxis(Axis);
    if (Axis->LogAutoFormat())
        form->PageLabels->setTabVisible(form->PageLabels->indexOf(form->TabLabFormat), false);
    QString caption;
    if (Axis == Chart->LeftAxis())
        caption = QStringLiteral("Left axis edit");
    else if (Axis == Chart->RightAxis())
        caption = QStringLiteral("Right axis edit");
    else if (Axis == Chart->TopAxis())
        caption = QStringLiteral("Top axis edit");
    else if (Axis == Chart->BottomAxis())
        caption = QStringLiteral("Bottom axis edit");
    form->setWindowTitle(caption);
    ShowControls(false, {form->Label3, form->CBLabelStyle, form->Panel1, form->Label6, form->UDGridZ, form->LabelZ,
                         form->UDZ});
    // 350 x 250 unless the controls need more with the user's fonts.
    form->resize(form->sizeHint().expandedTo(QSize(350, 250)));
    PlaceDialogForm(*form, nullptr);
    CallControlHook(form.get());
    return form;
}

void ShowAxisEditor(TCustomChart* Chart, TChartAxis* Axis)
{
    if (std::unique_ptr<TFormPlotAxis> form = CreateAxisEditorWindow(Chart, Axis))
        form->exec();
}

} // namespace lp
