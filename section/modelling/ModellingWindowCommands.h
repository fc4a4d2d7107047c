#pragma once
// What the modelling windows beside the editor share: their keys, Ctrl+Z
// undoing the section's last edit from there too (the window often has the
// keyboard; text fields keep their own) and Escape stopping a run under
// way, else closing the window, as it leaves a dialog; the save dialog of
// their results; the choice of a chart to print or export; the picture
// export of a chart.

#include <QtCore/QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace lp {

class TCustomChart;
class TCustomPlotPanel;

// A number typed into a field, in the user's notation as every editor
// reads it (a decimal comma where the locale has one): empty text is no
// number, anything else must be a finite number (Positive: above 0).
std::optional<double> TypedNumber(const QString& Text, bool Positive, bool& Valid);

// Asks for a number above 0 with an input box (Prompt over the line,
// Default in it); a text that is no such number is said in a message.
// Empty when the user cancels or types no such number.
std::optional<double> AskPositiveNumber(const QString& Caption, const QString& Prompt, const QString& Default);

// A number as the user writes it (a decimal comma where the locale has
// one), Digits significant digits.
QString ShortNumber(double Value, int Digits = 3);

// A count with its noun: "1 iteration", "3 iterations", "1 datum",
// "0 data" (One for exactly one, Many otherwise).
QString CountText(long long Count, const QString& One, const QString& Many);
// The counts these windows name.
QString IterationCount(long long Count);
QString ElectrodeCount(long long Count);
QString DatumCount(long long Count);

// Undo is read when the key is pressed (the owner may set it later); Busy
// and Cancel are the window's run.
void AddModellingWindowKeys(QWidget& Window, const std::function<void()>* Undo, std::function<bool()> Busy,
                            std::function<void()> Cancel);

// The save dialog (Name its object name; Filter as the common dialogs take
// it), then Save; a refusal is shown as a message naming the file. Refusal
// (when given) says why a chosen file cannot be taken, in the dialog,
// before any question of replacing it. WrittenName (when given) makes the
// name written from the chosen name and 1-based filter (an extension the
// filter asks added, say); the dialog asks about replacing that file, and
// Save and Refusal take it.
void AskSaveResult(QWidget& Owner, const QString& Name, const QString& Title, const QString& Filter,
                   const QString& DefaultExt, const std::function<bool(const QString& FileName, QString& Error)>& Save,
                   const std::function<QString(const QString& FileName)>& Refusal = {},
                   const std::function<QString(const QString& FileName, int FilterIndex)>& WrittenName = {});

// The chart to print or export among Shown: the only one, else the one the
// user picks from a menu of their titles at the cursor ("(out of date)"
// left off); nullptr when the menu is left without a choice.
TCustomChart* ChooseChart(QWidget& Owner, const std::vector<TCustomChart*>& Shown);

// The program's picture export for Chart, over Owner.
void ExportChartPicture(QWidget& Owner, TCustomPlotPanel& Chart);

} // namespace lp
