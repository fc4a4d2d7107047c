#pragma once
// What the extension series' pages share: pen and pattern buttons that
// write at once, the series colour swatch, transparency up-downs, numbers
// typed in plain edits, and further tabs made from registered pages.

#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace lp {

class TButtonColor;
class TButtonPen;
class TChartBrush;
class TPageBuilder;

// A pen button captioned Caption named Name on Page; after its dialog the
// page refreshes and Then (when given) runs.
TButtonPen* MakePenButton(TEditorPage& Page, const QString& Caption, const char* Name,
                          std::function<void()> Then = {});
// A button opening the brush dialog for the brush Brush gives (none: no
// dialog); after an OK the page refreshes and Then (when given) runs.
QPushButton* MakePatternButton(TEditorPage& Page, TPageBuilder& Build, const char* Name, const QString& Caption,
                               std::function<TChartBrush*()> Brush, std::function<void()> Then = {});
// The series colour swatch, bound to the target series' colour as drawn.
TButtonColor* MakeSeriesColorButton(TEditorPage& Page, TPageBuilder& Build, const char* Name,
                                    const QString& Caption);
// A transparency up-down (0 .. 100, step 5) bound to Path of the target.
QSpinBox* MakeTransparencyUpDown(TEditorPage& Page, TPageBuilder& Build, const char* Name, const QString& Path);
// An edit for a real property of the target at Path: shown as a number,
// written while it holds one; a text that is none (empty, "-", "abc")
// keeps the value, with no message.
QLineEdit* MakeNumberEdit(TEditorPage& Page, const char* Name, const QString& Path);
// The same for a number Read and Write reach (Read gives nothing while
// there is none to edit: the edit is then left as it is), shown as Text
// makes it (the plain number text when none is given).
QLineEdit* MakeNumberEdit(TEditorPage& Page, const char* Name, std::function<std::optional<double>()> Read,
                          std::function<void(double)> Write, std::function<QString(double)> Text = {});
// The same, written only when typing is done (Return, leaving the field):
// for a number whose check refuses values a user passes on the way to the
// one meant ("0" and "0." on the way to "0.5").
QLineEdit* MakeNumberEditWhenDone(TEditorPage& Page, const char* Name, std::function<std::optional<double>()> Read,
                                  std::function<void(double)> Write);

// Puts Added right after Existing on the line of Page's layout that holds
// Existing (a descendant page adding a control beside its base's); at the
// end of Page's layout when no line holds it.
void InsertBeside(QWidget& Page, QWidget* Existing, QWidget* Added);

// A tab made from the page registered as ClassName, added to the series
// page hosting Owner at Index with Target; nullptr while no page of that
// class is registered.
TEditorPage* AddRegisteredSeriesTab(QWidget* Owner, const QString& ClassName, QObject* Target,
                                    const QString& Caption, int Index);

} // namespace lp
