#pragma once
// Shared by the tests of the section's editor windows, which check that
// every control still offered changes what the section file keeps.

#include <QtCore/QVariant>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabWidget>

#include <algorithm>

namespace lp::test {

// Whether Control (a widget, or a button group by its first button) is
// offered on its window: enabled and not hidden (a tab that is not current
// counts as shown).
inline bool OfferedControl(const QObject* Control)
{
    auto* widget = qobject_cast<const QWidget*>(Control);
    if (auto* group = qobject_cast<const QButtonGroup*>(Control))
        widget = group->buttons().isEmpty() ? nullptr : group->buttons().first();
    if (!widget || !widget->isEnabled())
        return false;
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
        auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs ? !tabs->isTabVisible(tabs->indexOf(const_cast<QWidget*>(w))) : w->isHidden())
            return false;
    }
    return true;
}

// Another value of the kind Value holds, for Control to be set to.
inline QVariant OtherValue(const QVariant& Value, const QObject* Control)
{
    if (Value.typeId() == QMetaType::Bool)
        return !Value.toBool();
    if (auto* combo = qobject_cast<const QComboBox*>(Control))
        return (Value.toInt() + 1) % std::max(combo->count(), 1);
    if (auto* spin = qobject_cast<const QSpinBox*>(Control))
        return Value.toInt() < spin->maximum() ? Value.toInt() + 1 : Value.toInt() - 1;
    if (Value.typeId() == QMetaType::QString)
        return Value.toString() + QStringLiteral("x");
    // Colours and other integers.
    return Value.toInt() ^ 0x102030;
}

} // namespace lp::test
