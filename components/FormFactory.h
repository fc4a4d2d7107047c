#pragma once
// The registry of replaceable form classes: code asks for a form by the
// name of its class and gets the class registered under that name, which
// may be a descendant put in its place.
//
// One process-wide factory, created on first use and freed at the end of
// the process. Registered classes are also registered for streaming.

#include "platform/ui/Forms.h"

#include <QtCore/QString>

#include <functional>
#include <map>
#include <memory>

namespace lp {

using TFormFactoryFunction = std::function<TForm*(TComponent* AOwner)>;

struct TFormClassEntry {
    const QMetaObject* MetaObject = nullptr;
    TFormFactoryFunction Create;
};

class TuiFormFactory {
public:
    static TuiFormFactory& Instance();

    // Registers a form class under its own name.
    void RegisterForm(const QMetaObject& Class, TFormFactoryFunction Create);
    // Registers Class under the name of Replaced, whose earlier
    // registration goes; Class must inherit from Replaced, else Exception
    // "Form Factory error: <Class> does not inherit from <Replaced>" and the
    // earlier registration stays.
    void RegisterReplacement(const QMetaObject& Replaced, const QMetaObject& Class, TFormFactoryFunction Create);
    void Unregister(const QString& ClassName);
    // The class registered under a class name, or nullptr.
    const TFormClassEntry* Find(const QString& ClassName) const;
    // A new form of the class registered under that name, owned by AOwner;
    // nullptr when nothing is registered.
    TForm* CreateForm(const QString& ClassName, TComponent* AOwner) const;

    template <class T>
    void RegisterForm()
    {
        RegisterForm(T::staticMetaObject, [](TComponent* AOwner) -> TForm* { return new T(AOwner); });
    }

private:
    TuiFormFactory() = default;
    std::map<QString, TFormClassEntry> FClasses; // sorted by class name
};

// The name a class is registered under: its name without namespace.
QString FormClassName(const QMetaObject& Class);

} // namespace lp
