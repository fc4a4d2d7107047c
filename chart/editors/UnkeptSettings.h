#pragma once
// Settings a chart's document cannot keep. A program that saves its charts
// in a format of its own (the section editor keeps a line's look as one
// settings text, and of its axes only the model area) says, per edited
// object (a series, an axis), which controls of the editor pages set
// something that format does not keep. The series page and the axis page
// keep those controls disabled, whatever the pages' own enabling rules do
// later, with the reason as their tooltip; a whole page or tab named so is
// disabled as one (its tab stays selectable, so what it shows can still be
// read).
//
// A control is named by the class of the editor page it lies on and its
// object name, "TCustomSeriesEditor.CBStairs"; the series page's own
// controls and tabs by "TFormPlotSeries.Name", the axis page's by
// "TFormPlotAxis.Name". A class name alone stands for every page of that
// class.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class QObject;
class QTabWidget;
class QWidget;

namespace lp {

struct TUnkeptSettings {
    // Nothing of the object is kept: every tab of its page is disabled.
    bool Nothing = false;
    QStringList Controls;
    QString Reason;

    bool Empty() const { return !Nothing && Controls.isEmpty(); }
};

// Edited: the object a page edits (a series, an axis).
using TUnkeptSettingsQuery = std::function<TUnkeptSettings(const QObject& Edited)>;
// The query the editor pages ask; unset: every setting is kept.
TUnkeptSettingsQuery& UnkeptSettingsQuery();
// What the query says of Edited (nothing for nullptr or without a query).
TUnkeptSettings UnkeptSettingsOf(const QObject* Edited);

// The name a control is known by in TUnkeptSettings: the class of its
// nearest enclosing editor page (without the namespace), a dot, its object
// name.
QString UnkeptSettingName(const QWidget& Control);
// Whether Controls names Control (by that name, or an editor page by its
// class name alone).
bool IsNamedUnkept(const QWidget& Control, const QStringList& Controls);

// Locks every control under Root that Unkept names, and every tab of Tabs
// (the page's own tab row) when nothing is kept; the controls under Root
// locked before but not named now are given back. A page runs it whenever
// it shows another object or made new pages or tabs for it.
void LockUnkeptControls(QWidget& Root, const TUnkeptSettings& Unkept, const QTabWidget& Tabs);

// A dialog Owner opened from an editor page (the brush dialog of a series
// page's "Pattern..." button): the controls of Dialog named, by the
// dialog's class and their object names, among the unkept settings of the
// object the page edits are locked for as long as the dialog lives.
void LockUnkeptInDialog(QWidget& Dialog, const QWidget* Owner);
// The same for a dialog opened from a window that is no editor page (the
// body dialog's "Brush"), which names the settings of the object it edits.
void LockUnkeptInDialog(QWidget& Dialog, const TUnkeptSettings& Unkept);

// Keeps Control disabled with Reason as its tooltip until UnlockUnkept.
void LockUnkept(QWidget& Control, const QString& Reason);
// The lock taken off: the control gets the tooltip it had and the enabled
// state last asked of it.
void UnlockUnkept(QWidget& Control);
bool IsLockedUnkept(const QWidget& Control);

} // namespace lp
