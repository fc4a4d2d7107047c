#include "chart/editors/EditorPageRegistry.h"

#include "chart/editors/EditorPage.h"

#include <map>

namespace lp {

namespace {

std::map<QString, TEditorPageFactory>& Factories()
{
    static std::map<QString, TEditorPageFactory> factories;
    return factories;
}

} // namespace

void RegisterEditorPage(const QString& ClassName, TEditorPageFactory Factory)
{
    Factories()[ClassName] = std::move(Factory);
}

void UnregisterEditorPage(const QString& ClassName)
{
    Factories().erase(ClassName);
}

bool IsEditorPageRegistered(const QString& ClassName)
{
    return Factories().count(ClassName) > 0;
}

TEditorPageFactory EditorPageFactory(const QString& ClassName)
{
    const auto found = Factories().find(ClassName);
    return found == Factories().end() ? TEditorPageFactory() : found->second;
}

TEditorPage* CreateEditorPage(const QString& ClassName, QWidget* Parent)
{
    const auto found = Factories().find(ClassName);
    if (found == Factories().end() || !found->second)
        return nullptr;
    TEditorPage* page = found->second(Parent);
    if (page && page->objectName().isEmpty())
        page->setObjectName(ClassName);
    return page;
}

QStringList RegisteredEditorPages()
{
    QStringList names;
    for (const auto& entry : Factories())
        names.append(entry.first);
    return names;
}

} // namespace lp
