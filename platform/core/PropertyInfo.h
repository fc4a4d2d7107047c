#pragma once
// Published properties and their stored rules.
//
// A published property is a Q_PROPERTY named as the system names it. Beside
// it the class declares
//   Q_CLASSINFO("default:Foo", "value")   the published default, as text
//     (enumerations and sets by their names, "a|b" for sets; integers may be
//     written in hex with 0x; reals with a point);
//   Q_CLASSINFO("stored:Foo", "IsFooStored")   optionally, the name of a
//     Q_INVOKABLE bool method deciding per object whether Foo is stored.
// A property is stored when its STORED flag is set, its stored method (if
// any) says so, and its value differs from its default (if any). Component
// streaming writes exactly the stored properties.

#include <QtCore/QList>
#include <QtCore/QMetaProperty>
#include <QtCore/QVariant>

class QObject;

namespace lp {

// The properties declared by the object's class and its bases below QObject.
QList<QMetaProperty> PublishedProperties(const QObject* object);

bool HasPropertyDefault(const QObject* object, const char* name);
// The declared default converted to the property's type; invalid when the
// property has no declared default.
QVariant PropertyDefault(const QObject* object, const char* name);
bool IsPropertyStored(const QObject* object, const char* name);

} // namespace lp
