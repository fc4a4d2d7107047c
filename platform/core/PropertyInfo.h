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
//
// A class that holds a base's published list under names of its own (a
// Gantt series' start dates are its X list) declares
//   Q_CLASSINFO("unpublished:XValues", "StartValues")
// and the base's name is no longer published by it or its descendants; the
// value names what stands in its place, for readers of the class.
//
// An owner that starts a sub-object away from the sub-object class's
// declared defaults (a dotted median pen, a white shape) keeps that start
// as the instance's own default with KeepStartAsDefault; it wins over the
// declared one, so a user's setting equal to the class default is written
// and an omitted value reads back as the start value.

#include <QtCore/QList>
#include <QtCore/QMetaProperty>
#include <QtCore/QVariant>

#include <initializer_list>

class QObject;

namespace lp {

// The properties declared by the object's class and its bases below QObject,
// each name once (the most derived declaration), less those the class
// declares unpublished.
QList<QMetaProperty> PublishedProperties(const QObject* object);

// Records the present values of the named properties as this object's own
// defaults. Each name must be a published property of the object. The
// defaults belong to the instance: copying values between objects does not
// carry them.
void KeepStartAsDefault(QObject& object, std::initializer_list<const char*> names);

// Whether the instance or its class declares a default for the property.
bool HasPropertyDefault(const QObject* object, const char* name);
// The instance's own default, else the declared default converted to the
// property's type; invalid when the property has neither.
QVariant PropertyDefault(const QObject* object, const char* name);
bool IsPropertyStored(const QObject* object, const char* name);

} // namespace lp
