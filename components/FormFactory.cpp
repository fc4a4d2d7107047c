#include "components/FormFactory.h"

#include "platform/core/ClassRegistry.h"

namespace lp {

QString FormClassName(const QMetaObject& Class)
{
    const QString Name = QString::fromLatin1(Class.className());
    const qsizetype Colons = Name.lastIndexOf(QLatin1String("::"));
    return Colons < 0 ? Name : Name.mid(Colons + 2);
}

TuiFormFactory& TuiFormFactory::Instance()
{
    static TuiFormFactory Factory;
    return Factory;
}

void TuiFormFactory::RegisterForm(const QMetaObject& Class, TFormFactoryFunction Create)
{
    RegisterReplacement(Class, Class, std::move(Create));
}

void TuiFormFactory::RegisterReplacement(const QMetaObject& Replaced, const QMetaObject& Class,
                                         TFormFactoryFunction Create)
{
    const QString Name = FormClassName(Replaced);
    if (!Class.inherits(&Replaced))
        throw Exception(("Form Factory error: " + FormClassName(Class) + " does not inherit from " + Name)
                            .toStdString());
    Unregister(Name);
    RegisterClassFactory(Class, [Create](TComponent* AOwner) -> TPersistent* { return Create(AOwner); });
    FClasses[Name] = {&Class, std::move(Create)};
}

void TuiFormFactory::Unregister(const QString& ClassName)
{
    const auto Found = FClasses.find(ClassName);
    if (Found == FClasses.end())
        return;
    UnRegisterClass(FormClassName(*Found->second.MetaObject));
    FClasses.erase(Found);
}

const TFormClassEntry* TuiFormFactory::Find(const QString& ClassName) const
{
    const auto Found = FClasses.find(ClassName);
    return Found == FClasses.end() ? nullptr : &Found->second;
}

TForm* TuiFormFactory::CreateForm(const QString& ClassName, TComponent* AOwner) const
{
    const TFormClassEntry* Entry = Find(ClassName);
    return Entry ? Entry->Create(AOwner) : nullptr;
}

} // namespace lp
