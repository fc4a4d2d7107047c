#include "platform/core/ClassRegistry.h"

#include <QtCore/QHash>

namespace lp {

namespace {

QHash<QString, TRegisteredClass>& Registry()
{
    static QHash<QString, TRegisteredClass> registry;
    return registry;
}

QString Key(const QString& name)
{
    return name.toLower();
}

} // namespace

bool TRegisteredClass::IsComponent() const
{
    return MetaObject && MetaObject->inherits(&TComponent::staticMetaObject);
}

void RegisterClassFactory(const QMetaObject& meta, TClassFactory factory)
{
    const QString name = TPersistent::ClassNameOf(meta);
    auto found = Registry().find(Key(name));
    if (found != Registry().end()) {
        if (found->MetaObject == &meta)
            return;
        throw EClassNotFound(FormatText("A class named %s already exists", {name.toStdString()}));
    }
    Registry().insert(Key(name), TRegisteredClass{name, &meta, std::move(factory)});
}

void UnRegisterClass(const QString& name)
{
    Registry().remove(Key(name));
}

const TRegisteredClass* GetClass(const QString& name)
{
    const auto found = Registry().constFind(Key(name));
    return found == Registry().constEnd() ? nullptr : &found.value();
}

const TRegisteredClass& FindClass(const QString& name)
{
    const TRegisteredClass* found = GetClass(name);
    if (!found)
        throw EClassNotFound(FormatText("Class %s not found", {name.toStdString()}));
    return *found;
}

QStringList RegisteredClassNames()
{
    QStringList names;
    for (const TRegisteredClass& entry : Registry())
        names << entry.Name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

TComponent* CreateComponent(const QString& className, TComponent* AOwner)
{
    const TRegisteredClass& entry = FindClass(className);
    if (!entry.IsComponent())
        throw EClassNotFound(FormatText("Class %s is not a component", {entry.Name.toStdString()}));
    if (!AOwner)
        throw EComponentError(FormatText("A %s needs an owner here", {entry.Name.toStdString()}));
    return static_cast<TComponent*>(entry.Create(AOwner));
}

std::unique_ptr<TPersistent> CreateObject(const QString& className)
{
    return std::unique_ptr<TPersistent>(FindClass(className).Create(nullptr));
}

} // namespace lp
