#include "chart/editors/axis/AxisIncrementDialogs.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Application.h"
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
#include <limits>

namespace lp {

namespace {

constexpr double SecondsPerDay = 86400;
constexpr double MillisPerDay = 86400000;

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

namespace {

// The time of day of Days in whole milliseconds, rounded as dates are: a
// time that rounds to a whole day is the midnight that starts the next.
qint64 MillisOfDay(double Days)
{
    if (!std::isfinite(Days))
        return 0;
    const double millis = std::round(std::fabs(Days - std::trunc(Days)) * MillisPerDay);
    return millis >= MillisPerDay ? 0 : static_cast<qint64>(millis);
}

QString TimeOfDayText(qint64 Millis)
{
    const qint64 seconds = Millis / 1000;
    const QChar zero = QLatin1Char('0');
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(seconds / 3600, 2, 10, zero)
                       .arg(seconds / 60 % 60, 2, 10, zero)
                       .arg(seconds % 60, 2, 10, zero);
    if (Millis % 1000 != 0)
        text += QStringLiteral(".%1").arg(Millis % 1000, 3, 10, zero);
    return text;
}

// Whether a text read back as Read shows Days: to the half millisecond the
// texts keep, and to the few last bits a large day number cannot hold.
bool ReadsBackAs(double Read, double Days)
{
    return std::fabs(Read - Days) <=
           0.5000001 / MillisPerDay + 8 * std::numeric_limits<double>::epsilon() * std::fabs(Days);
}

} // namespace

QString TimeText(double Days)
{
    return TimeOfDayText(MillisOfDay(Days));
}

QString DateText(double Days)
{
    return FormatDateTime(QStringLiteral("dd/mm/yyyy"), Days);
}

TDateTimeShown DateTimeShownAs(double Days)
{
    if (!std::isfinite(Days))
        return TDateTimeShown::Number;
    // A time of day to the millisecond (a value a hair below 0 included).
    const double millis = std::round(Days * MillisPerDay);
    if (millis >= 0 && millis < MillisPerDay)
        return TDateTimeShown::Time;
    try {
        if (ReadsBackAs(ReadDateTime(DateText(Days) + QLatin1Char(' ') + TimeText(Days)), Days))
            return TDateTimeShown::DateAndTime;
    } catch (const Exception&) {
        // Beyond the calendar's years.
    }
    return TDateTimeShown::Number;
}

QString DateTimeLimitText(double Days, const QLocale& Locale)
{
    switch (DateTimeShownAs(Days)) {
    case TDateTimeShown::Time: return TimeText(Days);
    case TDateTimeShown::DateAndTime: return DateText(Days) + QLatin1Char(' ') + TimeText(Days);
    case TDateTimeShown::Number: break;
    }
    return NumberText(Days, Locale);
}

QString IncrementCustomText(double Days)
{
    if (!std::isfinite(Days))
        return NumberText(Days);
    if (Days <= 0)
        return TimeText(1 / SecondsPerDay);
    // Rounded to the millisecond before the days are counted, so a time
    // that rounds to a whole day counts as one more day.
    double whole = std::floor(Days);
    double millis = std::round((Days - whole) * MillisPerDay);
    if (millis >= MillisPerDay) {
        whole += 1;
        millis = 0;
    }
    if (whole == 0)
        return TimeOfDayText(static_cast<qint64>(millis));
    QString text = QString::number(whole, 'f', 0);
    if (millis != 0)
        text += QLatin1Char(' ') + TimeOfDayText(static_cast<qint64>(millis));
    return text;
}

QString AxisIncrementText(bool IsDateTime, bool ExactDateTime, const QString& ValueFormat, double Increment,
                          const QLocale& Locale)
{
    if (IsDateTime) {
        const int step = FindDateTimeStep(Increment);
        if (ExactDateTime && step != dtNone)
            return DateTimeStepName(step);
        // One whole day reads "1", as the custom text does, not "00:00:00".
        return IncrementCustomText(Increment);
    }
    const TFormatSettings settings = NumberFormatSettings(Locale);
    const QString formatted = FormatFloat(ValueFormat, Increment, settings);
    if (ReadFormattedReal(formatted, settings) == Increment)
        return formatted;
    return NumberText(Increment, Locale);
}

double ReadNumber(const QString& Text, const QLocale& Locale)
{
    const std::optional<double> value = TypedReal(Text, Locale);
    if (!value)
        NotA(QStringLiteral("floating point value"), Text);
    return *value;
}

double ReadTime(const QString& Text)
{
    const QString text = Text.trimmed();
    QString whole = text;
    double fraction = 0; // of a second
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString digits = text.mid(dot + 1);
        static const QRegularExpression Digits(QStringLiteral("^[0-9]{1,9}$"));
        if (!Digits.match(digits).hasMatch())
            NotA(QStringLiteral("time"), Text);
        fraction = QString(QStringLiteral("0.") + digits).toDouble();
        whole = text.left(dot);
    }
    std::vector<int> fields;
    if (!ReadFields(whole, QStringLiteral(":"), 2, fields) || fields.size() > 3 || (dot >= 0 && fields.size() != 3))
        NotA(QStringLiteral("time"), Text);
    const int hours = fields[0], minutes = fields[1], seconds = fields.size() > 2 ? fields[2] : 0;
    if (hours > 23 || minutes > 59 || seconds > 59)
        NotA(QStringLiteral("time"), Text);
    return (hours * 3600.0 + minutes * 60.0 + seconds + fraction) / SecondsPerDay;
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

double ReadIncrementText(const QString& Text, const QLocale& Locale)
{
    const QString text = Text.trimmed();
    if (const qsizetype blank = text.indexOf(QLatin1Char(' ')); blank >= 0)
        return ReadNumber(text.left(blank), Locale) + ReadTime(text.mid(blank + 1));
    try {
        return ReadNumber(text, Locale);
    } catch (const EConvertError&) {
    }
    try {
        return ReadTime(text);
    } catch (const EConvertError&) {
    }
    return ReadNumber(text, Locale);
}

namespace {

void ShowIncorrectValue(const std::exception& Error)
{
    ShowMessage(QStringLiteral("Incorrect value. Reason: %1").arg(TApplication::MessageOf(Error)));
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
    FShownCustom = IsDateTime ? IncrementCustomText(Increment) : NumberText(Increment, Locale);
    if (IsDateTime) {
        ECustom->setToolTip(QStringLiteral("Enter [Number of Days] [hh:nn:ss]"));
        ECustom->setText(FShownCustom);
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
        ECustom->setText(FShownCustom);
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
        ECustom->setText(FShownCustom);
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

double TAxisIncrement::ReadIncrement() const
{
    if (IsDateTime && RBStandard->isChecked())
        return DateTimeStep(CBSteps->currentIndex());
    // The text as it was filled in stands for the increment as it was, to
    // the last digit the text does not show.
    if (ECustom->text() == FShownCustom)
        return Increment;
    return IsDateTime ? ReadIncrementText(ECustom->text(), Locale) : ReadNumber(ECustom->text(), Locale);
}

void TAxisIncrement::OkClicked()
{
    try {
        const double increment = ReadIncrement();
        if (Accepting)
            Accepting(increment);
        Increment = increment;
    } catch (const std::exception& Error) {
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
    // A date-time value no date text shows (beyond the year 9999, or
    // between -1 and 0) shows as a number, as on a value axis.
    const TDateTimeShown shown = IsDateTime ? DateTimeShownAs(MaxMin) : TDateTimeShown::Number;
    FNumber = shown == TDateTimeShown::Number;
    if (!FNumber) {
        const bool hasDate = shown == TDateTimeShown::DateAndTime;
        FShownDate = hasDate ? DateText(MaxMin) : QString();
        FShownTime = TimeText(MaxMin);
        EMaximum->setText(FShownDate);
        EMaximum->setVisible(hasDate);
        Label1->setVisible(hasDate);
        EMinimum->setText(FShownTime);
        (hasDate ? EMaximum : EMinimum)->setFocus();
    } else {
        EMaximum->setToolTip({});
        EMinimum->setToolTip({});
        Label1->setText(QStringLiteral("Value:"));
        FShownDate = NumberText(MaxMin, Locale);
        EMaximum->setText(FShownDate);
        EMinimum->hide();
        Label2->hide();
        EMaximum->setFocus();
    }
    adjustSize();
}

double TAxisMaxMin::ReadValue() const
{
    // The texts as they were filled in stand for the value as it was.
    if (EMaximum->text() == FShownDate && (FNumber || EMinimum->text() == FShownTime))
        return MaxMin;
    if (FNumber && IsDateTime) {
        // A date-time axis shown as a number takes a date and time too.
        try {
            return ReadDateTime(EMaximum->text());
        } catch (const EConvertError&) {
        }
    }
    if (FNumber)
        return ReadNumber(EMaximum->text(), Locale);
    if (!FShownDate.isEmpty())
        return ReadDateTime(EMaximum->text().trimmed() + QLatin1Char(' ') + EMinimum->text().trimmed());
    return ReadTime(EMinimum->text());
}

void TAxisMaxMin::OkClicked()
{
    try {
        const double value = ReadValue();
        if (Accepting)
            Accepting(value);
        MaxMin = value;
    } catch (const std::exception& Error) {
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

bool EditAxisIncrement(QWidget* Owner, TChartAxis& Axis, const QLocale& Locale)
{
    auto dialog = CreateDialogForm<TAxisIncrement>(Owner);
    dialog->setWindowTitle(QStringLiteral("Desired %1 Increment").arg(AxisTitleOrName(Axis)));
    dialog->IsDateTime = Axis.IsDateTime();
    dialog->ExactDateTime = Axis.ExactDateTime();
    dialog->Increment = Axis.Increment();
    dialog->StepIndex = FindDateTimeStep(Axis.Increment());
    dialog->Locale = Locale;
    // The axis judges the increment while the dialog is still open.
    dialog->Accepting = [&Axis](double Increment) { Axis.SetIncrement(Increment); };
    CallControlHook(dialog.get());
    if (dialog->exec() != QDialog::Accepted)
        return false;
    Axis.SetExactDateTime(dialog->ExactDateTime);
    return true;
}

bool EditAxisLimit(QWidget* Owner, TChartAxis& Axis, bool Maximum, const QLocale& Locale)
{
    auto dialog = CreateDialogForm<TAxisMaxMin>(Owner);
    dialog->setWindowTitle(AxisTitleOrName(Axis) + (Maximum ? QStringLiteral(" Maximum") : QStringLiteral(" Minimum")));
    dialog->IsDateTime = Axis.IsDateTime();
    dialog->MaxMin = Maximum ? Axis.Maximum() : Axis.Minimum();
    dialog->Locale = Locale;
    // The axis refuses a maximum below its minimum (and the reverse) while
    // the dialog is still open.
    dialog->Accepting = [&Axis, Maximum](double Value) {
        if (Maximum)
            Axis.SetMaximum(Value);
        else
            Axis.SetMinimum(Value);
    };
    CallControlHook(dialog.get());
    if (dialog->exec() != QDialog::Accepted)
        return false;
    if (Maximum)
        Axis.SetAutomaticMaximum(false);
    else
        Axis.SetAutomaticMinimum(false);
    return true;
}

} // namespace lp
