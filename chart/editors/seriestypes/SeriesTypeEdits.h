#pragma once
// What the series type pages share: binding a control to a setting of
// the page's series by two member functions, real numbers typed under the
// typed-number rules (a text that is no number yet leaves the value alone,
// without a message).

#include "chart/editors/EditorPage.h"
#include "chart/editors/TypedNumberEdit.h"

#include <functional>
#include <optional>

class QLineEdit;

namespace lp {

// Binds Control to a setting of the page's target as a TSeries (the
// control shows nothing for a target of another class).
template <class TSeries, class TValue, class TGet, class TSet>
void BindSeriesSetting(TEditorPage& Page, QObject* Control, TGet Get, TSet Set)
{
    Page.Binder().Bind(
        Control,
        [&Page, Get]() -> QVariant {
            auto* series = Page.TargetAs<TSeries>();
            return series ? QVariant::fromValue(static_cast<TValue>((series->*Get)())) : QVariant();
        },
        [&Page, Set](const QVariant& Value) {
            if (auto* series = Page.TargetAs<TSeries>())
                (series->*Set)(Value.value<TValue>());
        });
}

// Binds an up-down to a real setting of the page's target as a TSeries:
// it shows the value rounded and writes the whole number chosen. Get may
// be any member function returning a number (a non-const one is called
// only while filling).
template <class TSeries, class TGet, class TSet>
void BindRoundedSeriesSetting(TEditorPage& Page, QObject* Control, TGet Get, TSet Set)
{
    Page.Binder().Bind(
        Control,
        [&Page, Get]() -> QVariant {
            auto* series = Page.TargetAs<TSeries>();
            return series ? QVariant(RoundedForUpDown(static_cast<double>((series->*Get)()))) : QVariant();
        },
        [&Page, Set](const QVariant& Value) {
            if (auto* series = Page.TargetAs<TSeries>())
                (series->*Set)(Value.toDouble());
        });
}

// Binds Edit to a real setting of the page's target as a TSeries, by two
// member functions, under the typed-number rules of BindNumberEdit.
template <class TSeries>
void BindSeriesReal(TEditorPage& Page, QLineEdit* Edit, double (TSeries::*Get)() const,
                    void (TSeries::*Set)(double))
{
    BindNumberEdit(
        Page, Edit,
        [&Page, Get]() -> std::optional<double> {
            auto* series = Page.TargetAs<TSeries>();
            return series ? std::optional<double>((series->*Get)()) : std::nullopt;
        },
        [&Page, Set](double Value) { (Page.TargetAs<TSeries>()->*Set)(Value); });
}

} // namespace lp
