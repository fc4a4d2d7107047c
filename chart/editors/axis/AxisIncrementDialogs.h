#pragma once
// The two small dialogs of the axis page's Scales tab: "Axis Increment"
// (the step between labels, as a number or, on a date-time axis, as a
// standard time step or a number of days and a time) and "Axis Maximum and
// Minimum" (one limit, as a number or a date and a time). Also the pure
// functions behind them: the increment's one-line text, and the reading
// and writing of numbers, dates and times typed by the user.
//
// Dates and times are written and read with the chart's default date-time
// settings ("dd/mm/yyyy", "hh:nn:ss"), to the millisecond as dates are
// kept, so what a dialog shows reads back; a value no date text can show
// (years beyond 1 .. 9999, days between -1 and 0, which read as the same
// time after day 0) shows as a plain number. Numbers are shown and read in
// the locale of the page that opened the dialog (TypedReal, NumberText).
// Every reading raises EConvertError with a message that names the text.
// A dialog confirmed with the texts it showed leaves its value as it was.

#include <QtCore/QLocale>
#include <QtWidgets/QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lp {

class TChartAxis;

// The list text of a standard step (0 .. 26): "One Microsecond" ...
QString DateTimeStepName(int Index);

// The time of day of Days as "hh:nn:ss" (".zzz" added when it has
// milliseconds), rounded to the millisecond as dates are.
QString TimeText(double Days);
// A date as "dd/mm/yyyy".
QString DateText(double Days);
// How a date-time limit shows: as a time alone (what rounds to a millisecond
// from 0 up to one day), as a date and a time, or, where neither text
// reads back as Days, as a number.
enum class TDateTimeShown { Time, DateAndTime, Number };
TDateTimeShown DateTimeShownAs(double Days);
// The text of a date-time limit as DateTimeShownAs says (the number in
// Locale's notation).
QString DateTimeLimitText(double Days, const QLocale& Locale = QLocale());
// The custom text of a date-time increment: whole days, a blank and the
// time of the rest; a time alone below one day; one second for 0 or less.
QString IncrementCustomText(double Days);
// The one-line text of an axis increment: a standard step's name when the
// axis keeps exact date-time steps, the days and time text on other
// date-time axes, else the increment formatted with ValueFormat in
// Locale's separators — or the plain number when that text does not read
// back as the increment.
QString AxisIncrementText(bool IsDateTime, bool ExactDateTime, const QString& ValueFormat, double Increment,
                          const QLocale& Locale = QLocale());

// A number typed by the user, in Locale's notation (TypedReal).
double ReadNumber(const QString& Text, const QLocale& Locale = QLocale());
// A time "h:n", "h:n:s" or "h:n:s.fff" (hours 0 .. 23, a decimal fraction
// of a second) in days.
double ReadTime(const QString& Text);
// A date "d/m/yyyy" ('-' and '.' also separate) in days.
double ReadDate(const QString& Text);
// A date, and after a blank an optional time.
double ReadDateTime(const QString& Text);
// A date-time increment typed as days, a blank and a time; or a number of
// days; or a time alone.
double ReadIncrementText(const QString& Text, const QLocale& Locale = QLocale());

// A dialog whose fields are set between making and showing it: Prepare()
// fills the controls from them on the first show.
class TFieldDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    virtual void Prepare() = 0;
    void showEvent(QShowEvent* Event) override;

private:
    bool FPrepared = false;
};

// "Axis Increment".
class TAxisIncrement : public TFieldDialog {
    Q_OBJECT
public:
    explicit TAxisIncrement(QWidget* Parent = nullptr);

    // Set before the dialog shows; Increment and ExactDateTime hold the
    // answer after OK.
    bool IsDateTime = false;
    bool ExactDateTime = false;
    double Increment = 0;
    int StepIndex = 27; // 27: none of the standard steps
    QLocale Locale;     // numbers are shown and read in it
    // Run on OK with the increment read: what it raises refuses the value
    // as an unreadable text is refused, and the dialog stays open.
    std::function<void(double)> Accepting;

    QGroupBox* RadioGroup1;
    QRadioButton* RBStandard;
    QRadioButton* RBCustom;
    QComboBox* CBSteps;
    QLabel* Label1;
    QLineEdit* ECustom;
    QCheckBox* CBExact;
    QPushButton* BOk;
    QPushButton* BCancel;

protected:
    void Prepare() override;

private:
    void ChoiceClicked();
    void ExactClicked();
    void OkClicked();
    double ReadIncrement() const;

    QString FShownCustom; // the custom text as the dialog filled it in
};

// "Axis Maximum and Minimum": one limit.
class TAxisMaxMin : public TFieldDialog {
    Q_OBJECT
public:
    explicit TAxisMaxMin(QWidget* Parent = nullptr);

    bool IsDateTime = false;
    double MaxMin = 0;
    QLocale Locale; // numbers are shown and read in it
    // Run on OK with the value read: what it raises refuses the value as an
    // unreadable text is refused, and the dialog stays open.
    std::function<void(double)> Accepting;

    QLabel* Label1;
    QLineEdit* EMaximum; // the date, or the value
    QLabel* Label2;
    QLineEdit* EMinimum; // the time
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void Prepare() override;

private:
    void OkClicked();
    double ReadValue() const;

    bool FNumber = false;         // the value shows as a number
    QString FShownDate, FShownTime; // the texts as the dialog filled them in
};

// The increment dialog on Axis, titled "Desired <axis> Increment", showing
// numbers in Locale; on OK the axis takes the increment and exact flag (an
// increment the axis refuses keeps the dialog open with the axis's
// reason). True on OK.
bool EditAxisIncrement(QWidget* Owner, TChartAxis& Axis, const QLocale& Locale = QLocale());
// The limit dialog on Axis's minimum or maximum; on OK the axis takes the
// value (one the axis refuses, such as a maximum below the minimum, keeps
// the dialog open with the axis's reason) and that limit stops being
// automatic. True on OK.
bool EditAxisLimit(QWidget* Owner, TChartAxis& Axis, bool Maximum, const QLocale& Locale = QLocale());
// The axis's title, or its name when the title is empty.
QString AxisTitleOrName(const TChartAxis& Axis);

} // namespace lp
