#pragma once
// The two small dialogs of the axis page's Scales tab: "Axis Increment"
// (the step between labels, as a number or, on a date-time axis, as a
// standard time step or a number of days and a time) and "Axis Maximum and
// Minimum" (one limit, as a number or a date and a time). Also the pure
// functions behind them: the increment's one-line text, and the reading
// and writing of numbers, dates and times typed by the user.
//
// Dates and times are written and read with the chart's default date-time
// settings ("dd/mm/yyyy", "hh:nn:ss"), so what a dialog shows reads back.
// Every reading raises EConvertError with a message that names the text.

#include "platform/core/NumberFormat.h"

#include <QtWidgets/QDialog>

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

// A time of day as "hh:nn:ss" (milliseconds added when there are any).
QString TimeText(double Days);
// A date as "dd/mm/yyyy".
QString DateText(double Days);
// A date-time limit: the date and time from one day on, else the time.
QString DateTimeLimitText(double Days);
// The custom text of a date-time increment: whole days, a blank and the
// time of the rest; a time alone below one day; one second for 0 or less.
QString IncrementCustomText(double Days);
// The one-line text of an axis increment: a standard step's name when the
// axis keeps exact date-time steps, the days and time text on other
// date-time axes, else the increment formatted with ValueFormat — or the
// plain number when that text does not read back as the increment.
QString AxisIncrementText(bool IsDateTime, bool ExactDateTime, const QString& ValueFormat, double Increment,
                          const TFormatSettings& Settings = {});

// A number typed by the user: the settings' decimal separator or '.',
// surrounding blanks allowed.
// Value as plain text (15 significant digits) with the settings' decimal
// separator: what a typed value that no format reads back shows.
QString PlainNumberText(double Value, const TFormatSettings& Settings = {});
double ReadNumber(const QString& Text, const TFormatSettings& Settings = {});
// A time "h:n", "h:n:s" or "h:n:s.zzz" (hours 0 .. 23) in days.
double ReadTime(const QString& Text);
// A date "d/m/yyyy" ('-' and '.' also separate) in days.
double ReadDate(const QString& Text);
// A date, and after a blank an optional time.
double ReadDateTime(const QString& Text);
// A date-time increment typed as days, a blank and a time; or a number of
// days; or a time alone.
double ReadIncrementText(const QString& Text, const TFormatSettings& Settings = {});

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
    TFormatSettings Settings;

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
};

// "Axis Maximum and Minimum": one limit.
class TAxisMaxMin : public TFieldDialog {
    Q_OBJECT
public:
    explicit TAxisMaxMin(QWidget* Parent = nullptr);

    bool IsDateTime = false;
    double MaxMin = 0;
    TFormatSettings Settings;

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
};

// The increment dialog on Axis, titled "Desired <axis> Increment"; on OK
// the axis takes the increment and exact flag. True on OK.
bool EditAxisIncrement(QWidget* Owner, TChartAxis& Axis);
// The limit dialog on Axis's minimum or maximum; on OK the axis takes the
// value and that limit stops being automatic. True on OK.
bool EditAxisLimit(QWidget* Owner, TChartAxis& Axis, bool Maximum);
// The axis's title, or its name when the title is empty.
QString AxisTitleOrName(const TChartAxis& Axis);

} // namespace lp
