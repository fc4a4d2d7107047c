#include "chart/editors/axis/AxisIncrementDialogs.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QRegularExpression>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

namespace lp {

namespace {

constexpr double SecondsPerDay = 86400;

const char* const StepNames[DateTimeStepCount] = {
    "One Microsecond", "One Millisecond", "One Second",     "Five Seconds",    "Ten Seconds",   "Fifteen Seconds",
    "Thirty Seconds",  "One Minute",      "Five Minutes",   "Ten Minutes",     "Fifteen Minutes",
    "Thirty Minutes",  "One Hour",        "Two Hours",      "Six Hours",       "Twelve Hours",  "One Day",
    "Two Days",        "Three Days",      "One Week",       "Half Month",      "One Month",     "Two Months",
    "Three Months",    "Four Months",     "Six Months",     "One Year"};

[[noreturn]] void NotA(const QString& What, const QString& Text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid %2").arg(Text, What).toStdString());
}

// Whole numbers separated by Separators, each within its range.
bool ReadFields(const QString& Text, const QString& Separators, int MinCount, std::vector<int>& Fields)
{
    const QStringList parts = Text.split(QRegularExpression(QLatin1Char('[') + Separators + QLatin1Char(']')));
    if (parts.size() < MinCount)
        return false;
    Fields.clear();
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || part.isEmpty() || !part.front().isDigit())
            return false;
        Fields.push_back(value);
    }
    return true;
}

} // namespace

QString DateTimeStepName(int Index)
{
    if (Index < 0 || Index >= DateTimeStepCount)
        throw ERangeError("Date-time step index out of range");
    return QString::fromLatin1(StepNames[Index]);
}

QString TimeText(double Days)
{
    const double fraction = std::fabs(Days - std::trunc(Days));
    const bool millis = std::fmod(std::round(fraction * SecondsPerDay * 1000), 1000.0) != 0;
    return FormatDateTime(millis ? QStringLiteral("hh:nn:ss.zzz") : QStringLiteral("hh:nn:ss"), fraction);
}

QString DateText(double Days)
{
    return FormatDateTime(QStringLiteral("dd/mm/yyyy"), Days);
}

QString DateTimeLimitText(double Days)
{
    return Days >= 1.0 ? DateText(Days) + QLatin1Char(' ') + TimeText(Days) : TimeText(Days);
}

QString IncrementCustomText(double Days)
{
    if (Days <= 0)
        return TimeText(1 / SecondsPerDay);
    if (Days < 1.0)
        return TimeText(Days);
    const double whole = std::floor(Days);
    QString text = QString::number(whole, 'f', 0);
    if (Days - whole >= 0.5 / (SecondsPerDay * 1000))
        text += QLatin1Char(' ') + TimeText(Days - whole);
    return text;
}

QString AxisIncrementText(bool IsDateTime, bool ExactDateTime, const QString& ValueFormat, double Increment,
                          const TFormatSettings& Settings)
{
    if (IsDateTime) {
        const int step = FindDateTimeStep(Increment);
        if (ExactDateTime && step != dtNone)
            return DateTimeStepName(step);
        // One whole day reads "1", as the custom text does, not "00:00:00".
        return IncrementCustomText(Increment);
    }
    const QString formatted = FormatFloat(ValueFormat, Increment, Settings);
    double readBack = 0;
    try {
        QString plain = formatted;
        plain.remove(Settings.ThousandSeparator);
        readBack = ReadNumber(plain, Settings);
    } catch (const EConvertError&) {
        readBack = 0;
    }
    if (readBack == Increment)
        return formatted;
    return PlainNumberText(Increment, Settings);
}

QString PlainNumberText(double Value, const TFormatSettings& Settings)
{
    QString text = QString::number(Value, 'g', 15);
    text.replace(QLatin1Char('.'), Settings.DecimalSeparator);
    return text;
}

double ReadNumber(const QString& Text, const TFormatSettings& Settings)
{
    QString text = Text.trimmed();
    text.replace(Settings.DecimalSeparator, QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        NotA(QStringLiteral("floating point value"), Text);
    return value;
}

double ReadTime(const QString& Text)
{
    const QString text = Text.trimmed();
    QString whole = text;
    int millis = 0;
    if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) {
        bool ok = false;
        millis = text.mid(dot + 1).toInt(&ok);
        if (!ok || millis < 0 || millis > 999)
            NotA(QStringLiteral("time"), Text);
        whole = text.left(dot);
    }
    std::vector<int> fields;
    if (!ReadFields(whole, QStringLiteral(":"), 2, fields) || fields.size() > 3)
        NotA(QStringLiteral("time"), Text);
    const int hours = fields[0], minutes = fields[1], seconds = fields.size() > 2 ? fields[2] : 0;
    if (hours > 23 || minutes > 59 || seconds > 59)
        NotA(QStringLiteral("time"), Text);
    return (hours * 3600.0 + minutes * 60.0 + seconds + millis / 1000.0) / SecondsPerDay;
}

double ReadDate(const QString& Text)
{
    std::vector<int> fields;
    if (!ReadFields(Text.trimmed(), QStringLiteral("/.\\-"), 3, fields) || fields.size() != 3)
        NotA(QStringLiteral("date"), Text);
    try {
        return EncodeDateTime(fields[2], fields[1], fields[0], 0, 0, 0, 0);
    } catch (const EConvertError&) {
        NotA(QStringLiteral("date"), Text);
    }
}

double ReadDateTime(const QString& Text)
{
    const QString text = Text.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return ReadDate(text);
    const double date = ReadDate(text.left(blank));
    const double time = ReadTime(text.mid(blank + 1));
    // Before day 0 the fraction still counts forward within the day.
    return date < 0 ? date - time : date + time;
}

double ReadIncrementText(const QString& Text, const TFormatSettings& Settings)
{
    const QString text = Text.trimmed();
    if (const qsizetype blank = text.indexOf(QLatin1Char(' ')); blank >= 0)
        return ReadNumber(text.left(blank), Settings) + ReadTime(text.mid(blank + 1));
    try {
        return ReadNumber(text, Settings);
    } catch (const EConvertError&) {
    }
    try {
        return ReadTime(text);
    } catch (const EConvertError&) {
    }
    return ReadNumber(text, Settings);
}

namespace {

void ShowIncorrectValue(const Exception& Error)
{
    ShowMessage(QStringLiteral("Incorrect value. Reason: %1").arg(QString::fromStdString(Error.Message())));
}

} // namespace

// --- TAxisIncrement ------------------------------------------------------------------------

TAxisIncrement::TAxisIncrement(QWidget* Parent) : TFieldDialog(Parent)
{
    setWindowTitle(QStringLiteral("Axis Increment"));
    TPageBuilder build(*this);
    RadioGroup1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Increment:"), this), "RadioGroup1");
    auto* group = new QGridLayout(RadioGroup1);
    RBStandard = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Standard:"), RadioGroup1), "RBStandard");
    RBCustom = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Custom:"), RadioGroup1), "RBCustomIncrement");
    CBSteps = TPageBuilder::Named(new QComboBox(RadioGroup1), "CBSteps");
    for (int i = 0; i < DateTimeStepCount; ++i)
        CBSteps->addItem(DateTimeStepName(i));
    CBSteps->setMaxVisibleItems(18);
    group->addWidget(RBStandard, 0, 0);
    group->addWidget(CBSteps, 0, 1);
    group->addWidget(RBCustom, 1, 0);
    auto* choices = new QButtonGroup(this);
    choices->addButton(RBStandard, 0);
    choices->addButton(RBCustom, 1);
    build.Full(RadioGroup1);
    ECustom = TPageBuilder::Named(new QLineEdit(this), "ECustom");
    ECustom->setMinimumWidth(180);
    Label1 = build.Row(QStringLiteral("&Increment:"), ECustom, "Label1");
    CBExact = build.CheckBox("CBExact", QStringLiteral("&Exact Date Time"));
    build.Full(CBExact);
    BOk = build.Button("BOk", QStringLiteral("OK"));
    BCancel = build.Button("BCancel", QStringLiteral("Cancel"));
    build.Grid().addLayout(OkCancelRow(BOk, BCancel), build.Grid().rowCount(), 0, 1, 2);
    build.Stretch();
    SetReadingTabOrder(*this);

    connect(choices, &QButtonGroup::idClicked, this, [this] { ChoiceClicked(); });
    connect(CBExact, &QCheckBox::clicked, this, [this] { ExactClicked(); });
    connect(CBSteps, &QComboBox::activated, this, [this](int Index) { StepIndex = Index; });
    connect(BOk, &QPushButton::clicked, this, [this] { OkClicked(); });
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFieldDialog::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FPrepared)
        Prepare();
    FPrepared = true;
}

void TAxisIncrement::Prepare()
{
    CBExact->setVisible(IsDateTime);
    CBExact->setChecked(ExactDateTime);
    if (IsDateTime) {
        ECustom->setToolTip(QStringLiteral("Enter [Number of Days] [hh:nn:ss]"));
        ECustom->setText(IncrementCustomText(Increment));
        if (ExactDateTime && StepIndex != dtNone) {
            RBStandard->setChecked(true);
            CBSteps->setCurrentIndex(StepIndex);
            ECustom->clear();
            ECustom->setEnabled(false);
            CBSteps->setFocus();
        } else {
            RBCustom->setChecked(true);
            CBSteps->setCurrentIndex(-1);
            CBSteps->setEnabled(false);
            ECustom->setFocus();
        }
    } else {
        // A plain number: the custom box alone, where the steps were.
        RadioGroup1->hide();
        RBCustom->setChecked(true);
        ECustom->setToolTip({});
        ECustom->setText(PlainNumberText(Increment, Settings));
        ECustom->setFocus();
    }
    CBExact->setEnabled(RBStandard->isChecked());
    adjustSize();
}

void TAxisIncrement::ChoiceClicked()
{
    const bool standard = RBStandard->isChecked();
    ECustom->setEnabled(!standard);
    CBSteps->setEnabled(standard);
    CBExact->setEnabled(standard);
    CBExact->setChecked(standard);
    ExactDateTime = standard;
    if (standard) {
        if (StepIndex < 0 || StepIndex >= DateTimeStepCount)
            StepIndex = 0;
        CBSteps->setCurrentIndex(StepIndex);
        CBSteps->setFocus();
    } else {
        ECustom->setText(IncrementCustomText(Increment));
        ECustom->setFocus();
    }
}

void TAxisIncrement::ExactClicked()
{
    ExactDateTime = CBExact->isChecked();
    if (!ExactDateTime) {
        RBCustom->setChecked(true);
        ChoiceClicked();
    }
}

void TAxisIncrement::OkClicked()
{
    try {
        if (!IsDateTime)
            Increment = ReadNumber(ECustom->text(), Settings);
        else if (RBStandard->isChecked())
            Increment = DateTimeStep(CBSteps->currentIndex());
        else
            Increment = ReadIncrementText(ECustom->text(), Settings);
    } catch (const Exception& Error) {
        ShowIncorrectValue(Error);
        return;
    }
    accept();
}

// --- TAxisMaxMin ---------------------------------------------------------------------------

TAxisMaxMin::TAxisMaxMin(QWidget* Parent) : TFieldDialog(Parent)
{
    setWindowTitle(QStringLiteral("Axis Maximum and Minimum"));
    TPageBuilder build(*this);
    EMaximum = TPageBuilder::Named(new QLineEdit(this), "EMaximum");
    EMinimum = TPageBuilder::Named(new QLineEdit(this), "EMinimum");
    EMaximum->setMinimumWidth(160);
    EMaximum->setToolTip(QStringLiteral("Enter Date"));
    EMinimum->setToolTip(QStringLiteral("Enter Time"));
    Label1 = build.Row(QStringLiteral("&Date:"), EMaximum, "Label1");
    Label2 = build.Row(QStringLiteral("&Time:"), EMinimum, "Label2");
    BitBtn1 = build.Button("BitBtn1", QStringLiteral("OK"));
    BitBtn2 = build.Button("BitBtn2", QStringLiteral("Cancel"));
    build.Grid().addLayout(OkCancelRow(BitBtn1, BitBtn2), build.Grid().rowCount(), 0, 1, 2);
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { OkClicked(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TAxisMaxMin::Prepare()
{
    if (IsDateTime) {
        const bool hasDate = MaxMin >= 1.0;
        if (hasDate)
            EMaximum->setText(DateText(MaxMin));
        EMaximum->setVisible(hasDate);
        Label1->setVisible(hasDate);
        EMinimum->setText(TimeText(MaxMin));
        (hasDate ? EMaximum : EMinimum)->setFocus();
    } else {
        EMaximum->setToolTip({});
        EMinimum->setToolTip({});
        Label1->setText(QStringLiteral("Value:"));
        EMaximum->setText(PlainNumberText(MaxMin, Settings));
        EMinimum->hide();
        Label2->hide();
        EMaximum->setFocus();
    }
    adjustSize();
}

void TAxisMaxMin::OkClicked()
{
    try {
        if (!IsDateTime)
            MaxMin = ReadNumber(EMaximum->text(), Settings);
        else if (EMaximum->isVisible())
            MaxMin = ReadDateTime(EMaximum->text().trimmed() + QLatin1Char(' ') + EMinimum->text().trimmed());
        else
            MaxMin = ReadTime(EMinimum->text());
    } catch (const Exception& Error) {
        ShowIncorrectValue(Error);
        return;
    }
    accept();
}

// --- Entry routines ------------------------------------------------------------------------

QString AxisTitleOrName(const TChartAxis& Axis)
{
    if (!Axis.Title()->Caption().isEmpty())
        return Axis.Title()->Caption();
    if (auto* chart = dynamic_cast<TCustomChart*>(Axis.ParentChart())) {
        const QString name = chart->GetAxisTitleOrName(&Axis);
        if (!name.isEmpty())
            return name;
        return PlotMsg_Custom + QString::number(chart->AxesList().IndexOf(&Axis) - 6);
    }
    return {};
}

bool EditAxisIncrement(QWidget* Owner, TChartAxis& Axis)
{
    auto dialog = CreateDialogForm<TAxisIncrement>(Owner);
    dialog->setWindowTitle(QStringLiteral("Desired %1 Increment").arg(AxisTitleOrName(Axis)));
    dialog->IsDateTime = Axis.IsDateTime();
    dialog->ExactDateTime = Axis.ExactDateTime();
    dialog->Increment = Axis.Increment();
    dialog->StepIndex = FindDateTimeStep(Axis.Increment());
    CallControlHook(dialog.get());
    if (dialog->exec() != QDialog::Accepted)
        return false;
    Axis.SetIncrement(dialog->Increment);
    Axis.SetExactDateTime(dialog->ExactDateTime);
    return true;
}

bool EditAxisLimit(QWidget* Owner, TChartAxis& Axis, bool Maximum)
{
    auto dialog = CreateDialogForm<TAxisMaxMin>(Owner);
    dialog->setWindowTitle(AxisTitleOrName(Axis) + (Maximum ? QStringLiteral(" Maximum") : QStringLiteral(" Minimum")));
    dialog->IsDateTime = Axis.IsDateTime();
    dialog->MaxMin = Maximum ? Axis.Maximum() : Axis.Minimum();
    CallControlHook(dialog.get());
    if (dialog->exec() != QDialog::Accepted)
        return false;
    if (Maximum) {
        Axis.SetMaximum(dialog->MaxMin);
        Axis.SetAutomaticMaximum(false);
    } else {
        Axis.SetMinimum(dialog->MaxMin);
        Axis.SetAutomaticMinimum(false);
    }
    return true;
}

} // namespace lp
