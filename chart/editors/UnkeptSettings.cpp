#include "chart/editors/UnkeptSettings.h"

#include "chart/editors/EditorPage.h"

#include <QtCore/QEvent>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <vector>

namespace lp {

namespace {

// Sits on a locked control: it puts the lock back whenever something
// enables the control or gives it another tooltip, and remembers what the
// control had of its own for the unlock.
class TUnkeptLock : public QObject {
public:
    TUnkeptLock(QWidget& Control, const QString& Reason)
        : QObject(&Control), FControl(Control), FReason(Reason), FOwnTip(Control.toolTip()),
          FOwnEnabled(!Control.testAttribute(Qt::WA_ForceDisabled))
    {
        setObjectName(QStringLiteral("UnkeptLock"));
        Control.installEventFilter(this);
        Apply();
    }

    void Release()
    {
        FControl.removeEventFilter(this);
        FControl.setToolTip(FOwnTip);
        FControl.setEnabled(FOwnEnabled);
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == &FControl) {
            if (Event->type() == QEvent::EnabledChange && FControl.isEnabled()) {
                FOwnEnabled = true;
                FControl.setEnabled(false);
            } else if (Event->type() == QEvent::ToolTipChange && FControl.toolTip() != FReason) {
                FOwnTip = FControl.toolTip();
                FControl.setToolTip(FReason);
            }
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    void Apply()
    {
        FControl.setEnabled(false);
        FControl.setToolTip(FReason);
    }

    QWidget& FControl;
    QString FReason;
    QString FOwnTip;
    bool FOwnEnabled;
};

TUnkeptLock* LockOf(const QWidget& Control)
{
    for (QObject* child : Control.children())
        if (child->objectName() == QLatin1String("UnkeptLock"))
            if (auto* lock = dynamic_cast<TUnkeptLock*>(child))
                return lock;
    return nullptr;
}

QString ClassName(const QObject& Object)
{
    const QString name = QString::fromLatin1(Object.metaObject()->className());
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

} // namespace

TUnkeptSettingsQuery& UnkeptSettingsQuery()
{
    static TUnkeptSettingsQuery Query;
    return Query;
}

TUnkeptSettings UnkeptSettingsOf(const QObject* Edited)
{
    if (Edited == nullptr || !UnkeptSettingsQuery())
        return {};
    return UnkeptSettingsQuery()(*Edited);
}

QString UnkeptSettingName(const QWidget& Control)
{
    for (const QWidget* page = Control.parentWidget(); page; page = page->parentWidget())
        if (qobject_cast<const TEditorPage*>(page))
            return ClassName(*page) + QLatin1Char('.') + Control.objectName();
    return Control.objectName();
}

bool IsNamedUnkept(const QWidget& Control, const QStringList& Controls)
{
    if (qobject_cast<const TEditorPage*>(&Control) && Controls.contains(ClassName(Control)))
        return true;
    return !Control.objectName().isEmpty() && Controls.contains(UnkeptSettingName(Control));
}

void LockUnkeptControls(QWidget& Root, const TUnkeptSettings& Unkept, const QTabWidget& Tabs)
{
    std::vector<QWidget*> locked;
    if (Unkept.Nothing)
        for (int i = 0; i < Tabs.count(); ++i)
            locked.push_back(Tabs.widget(i));
    if (!Unkept.Controls.isEmpty())
        for (QWidget* control : Root.findChildren<QWidget*>())
            if (IsNamedUnkept(*control, Unkept.Controls))
                locked.push_back(control);
    for (QWidget* control : Root.findChildren<QWidget*>())
        if (IsLockedUnkept(*control) && std::find(locked.begin(), locked.end(), control) == locked.end())
            UnlockUnkept(*control);
    for (QWidget* control : locked)
        LockUnkept(*control, Unkept.Reason);
}

void LockUnkeptInDialog(QWidget& Dialog, const QWidget* Owner)
{
    // The object of the nearest page around Owner that the query knows (a
    // page for a part of it, a pointer or a pen, edits no object of its
    // own).
    TUnkeptSettings unkept;
    for (const QWidget* page = Owner; page && unkept.Empty(); page = page->parentWidget())
        if (const auto* editor = qobject_cast<const TEditorPage*>(page))
            unkept = UnkeptSettingsOf(editor->Target());
    LockUnkeptInDialog(Dialog, unkept);
}

void LockUnkeptInDialog(QWidget& Dialog, const TUnkeptSettings& Unkept)
{
    if (Unkept.Controls.isEmpty())
        return;
    const QString prefix = ClassName(Dialog) + QLatin1Char('.');
    for (QWidget* control : Dialog.findChildren<QWidget*>())
        if (!control->objectName().isEmpty() && Unkept.Controls.contains(prefix + control->objectName()))
            LockUnkept(*control, Unkept.Reason);
}

void LockUnkept(QWidget& Control, const QString& Reason)
{
    if (!LockOf(Control))
        new TUnkeptLock(Control, Reason);
}

void UnlockUnkept(QWidget& Control)
{
    if (TUnkeptLock* lock = LockOf(Control)) {
        lock->Release();
        delete lock;
    }
}

bool IsLockedUnkept(const QWidget& Control)
{
    return LockOf(Control) != nullptr;
}

} // namespace lp
