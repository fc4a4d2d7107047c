#pragma once
// Settings a series' document cannot keep. A program that saves its series
// in a format of its own (the section editor keeps a line's look as one
// settings text) says, per series, which controls of the series page and
// of the pages in its tabs set something that format does not keep. The
// series page keeps those controls disabled, whatever the pages' own
// enabling rules do later, with the reason as their tooltip; a whole page
// or tab named so is disabled as one (its tab stays selectable, so what it
// shows can still be read).
//
// A control is named by the class of the editor page it lies on and its
// object name, "TCustomSeriesEditor.CBStairs"; the series page's own
// controls and tabs by "TFormPlotSeries.Name". A class name alone stands
// for every page of that class.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class QWidget;

namespace lp {

class TChartSeries;

struct TUnkeptSettings {
    // Nothing of the series is kept: every tab of the series page is
    // disabled.
    bool Nothing = false;
    QStringList Controls;
    QString Reason;

    bool Empty() const { return !Nothing && Controls.isEmpty(); }
};

using TUnkeptSettingsQuery = std::function<TUnkeptSettings(const TChartSeries& Series)>;
// The query the series page asks; unset: every setting is kept.
TUnkeptSettingsQuery& UnkeptSettingsQuery();
// What the query says of Series (nothing for nullptr or without a query).
TUnkeptSettings UnkeptSettingsOf(const TChartSeries* Series);

// The name a control is known by in TUnkeptSettings: the class of its
// nearest enclosing editor page (without the namespace), a dot, its object
// name.
QString UnkeptSettingName(const QWidget& Control);
// Whether Controls names Control (by that name, or an editor page by its
// class name alone).
bool IsNamedUnkept(const QWidget& Control, const QStringList& Controls);

// A dialog Owner opened from a series page (the brush dialog of its
// "Pattern..." button): the controls of Dialog named, by the dialog's
// class and their object names, among the unkept settings of the series
// the page edits are locked for as long as the dialog lives.
void LockUnkeptInDialog(QWidget& Dialog, const QWidget* Owner);

// Keeps Control disabled with Reason as its tooltip until UnlockUnkept.
void LockUnkept(QWidget& Control, const QString& Reason);
// The lock taken off: the control gets the tooltip it had and the enabled
// state last asked of it.
void UnlockUnkept(QWidget& Control);
bool IsLockedUnkept(const QWidget& Control);

} // namespace lp
