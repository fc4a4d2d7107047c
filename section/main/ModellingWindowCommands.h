#pragma once
// What the modelling windows beside the editor share: their keys, Ctrl+Z
// undoing the section's last edit from there too (the window often has the
// keyboard; text fields keep their own) and Escape stopping a run under
// way, else closing the window, as it leaves a dialog; the save dialog of
// their results; the picture export of a chart.

#include <QtCore/QString>

#include <functional>

class QWidget;

namespace lp {

class TCustomPlotPanel;

// Undo is read when the key is pressed (the owner may set it later); Busy
// and Cancel are the window's run.
void AddModellingWindowKeys(QWidget& Window, const std::function<void()>* Undo, std::function<bool()> Busy,
                            std::function<void()> Cancel);

// The save dialog (Name its object name; Filter as the common dialogs take
// it), then Save; a refusal is shown as a message naming the file.
void AskSaveResult(QWidget& Owner, const QString& Name, const QString& Title, const QString& Filter,
                   const QString& DefaultExt, const std::function<bool(const QString& FileName, QString& Error)>& Save);

// The program's picture export for Chart, over Owner.
void ExportChartPicture(QWidget& Owner, TCustomPlotPanel& Chart);

} // namespace lp
