#pragma once
// The registry of classes that are created by name: stored components read
// back from a stream, editor pages found by the class name an object reports.
//
// Units register their classes through explicit Register...() calls made by
// the start-up routine (static initialisers would be dropped by static
// linking) and unregister them in reverse order at shutdown.

#include "platform/core/Component.h"

#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <type_traits>

namespace lp {

// A class name that is not registered, or registered twice for two classes.
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// Creates an instance; components are given their owner (which may be null).
using TClassFactory = std::function<TPersistent*(TComponent* owner)>;

struct TRegisteredClass {
    QString Name;                 // class name without namespace
    const QMetaObject* MetaObject = nullptr;
    TClassFactory Create;
    bool IsComponent() const;
};

// Registers a class under its own name. Registering the same class again is
// harmless; another class under a registered name raises EClassNotFound.
void RegisterClassFactory(const QMetaObject& meta, TClassFactory factory);

template <class T>
void RegisterClass()
{
    RegisterClassFactory(T::staticMetaObject, [](TComponent* owner) -> TPersistent* {
        if constexpr (std::is_base_of_v<TComponent, T>)
            return new T(owner);
        else
            return new T();
    });
}

void UnRegisterClass(const QString& name);

// nullptr when the name is not registered.
const TRegisteredClass* GetClass(const QString& name);
// As GetClass, raising EClassNotFound "Class <name> not found".
const TRegisteredClass& FindClass(const QString& name);
QStringList RegisteredClassNames();

// Creates a registered component owned by AOwner (not null; the owner
// destroys it). Raises when the name is unknown or not a component class.
TComponent* CreateComponent(const QString& className, TComponent* AOwner);
// Creates a registered class without owner; the caller owns the result.
std::unique_ptr<TPersistent> CreateObject(const QString& className);

} // namespace lp
