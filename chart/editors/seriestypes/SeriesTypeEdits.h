#pragma once
// What the series type pages share: reading a real number a user types
// (a text that is no number yet leaves the value alone, without a
// message), showing one, and binding a control to a setting of the
// page's series by two member functions.

#include "chart/editors/EditorPage.h"
#include "chart/editors/TypedNumberEdit.h"

#include <functional>
#include <optional>

class QLineEdit;

namespace lp {

// Value as the shortest text that reads back the same.
QString RealText(double Value);

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

// Shows Value in Edit, unless Edit is the one being typed into (its text,
// perhaps half-typed, stays).
void ShowReal(QLineEdit* Edit, double Value);

// Writes each number typed into Edit through Write (which says whether it
// changed something) once the page may write; a text that is no number
// yet writes nothing and shows no message.
void ConnectRealEdit(TEditorPage& Page, QLineEdit* Edit, std::function<bool(double)> Write);

// ConnectRealEdit for a real setting of the page's target as a TSeries.
template <class TSeries>
void ConnectSeriesReal(TEditorPage& Page, QLineEdit* Edit, double (TSeries::*Get)() const,
                       void (TSeries::*Set)(double))
{
    ConnectRealEdit(Page, Edit, [&Page, Get, Set](double Value) {
        auto* series = Page.TargetAs<TSeries>();
        if (!series || (series->*Get)() == Value)
            return false;
        (series->*Set)(Value);
        return true;
    });
}

} // namespace lp
