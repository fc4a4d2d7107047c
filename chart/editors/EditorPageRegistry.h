#pragma once
// The chart editor pages known by class name.
//
// Hosts (the editor frame, the series page, embedding pages) ask for the
// page of an element by the element's GetEditorClassName(); the editors'
// start-up routine fills the registry and its shutdown empties it.

#include <QtCore/QStringList>

#include <functional>

class QWidget;

namespace lp {

class TEditorPage;

// Makes a page with the given parent (may be nullptr: a dialog).
using TEditorPageFactory = std::function<TEditorPage*(QWidget* Parent)>;

// A later registration of the same name replaces the earlier one.
void RegisterEditorPage(const QString& ClassName, TEditorPageFactory Factory);
void UnregisterEditorPage(const QString& ClassName);
bool IsEditorPageRegistered(const QString& ClassName);
// The factory registered under ClassName; empty when none is.
TEditorPageFactory EditorPageFactory(const QString& ClassName);
// A new page of that class, or nullptr when none is registered.
TEditorPage* CreateEditorPage(const QString& ClassName, QWidget* Parent);
// The registered class names, sorted.
QStringList RegisteredEditorPages();

} // namespace lp
