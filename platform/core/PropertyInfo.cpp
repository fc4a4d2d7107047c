#include "platform/core/PropertyInfo.h"

#include <QtCore/QMetaEnum>
#include <QtCore/QObject>

namespace lp {

namespace {

// The class-info value under "<kind>:<name>", searched from the most derived
// class, so a subclass may redeclare a default.
const char* ClassInfoValue(const QMetaObject* meta, const char* kind, const char* name)
{
    const QByteArray key = QByteArray(kind) + ':' + name;
    for (int i = meta->classInfoCount() - 1; i >= 0; --i) {
        const QMetaClassInfo info = meta->classInfo(i);
        if (key == info.name())
            return info.value();
    }
    return nullptr;
}

QVariant ConvertDefault(const QMetaProperty& property, const QString& text)
{
    if (property.isEnumType()) {
        const QMetaEnum meta = property.enumerator();
        bool ok = false;
        const QByteArray keys = text.toLatin1();
        const int value = meta.isFlag() ? (keys.isEmpty() ? 0 : meta.keysToValue(keys.constData(), &ok))
                                        : meta.keyToValue(keys.constData(), &ok);
        if (!ok && !(meta.isFlag() && keys.isEmpty()))
            return {};
        QVariant result(value);
        result.convert(property.metaType());
        return result;
    }
    bool ok = false;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short: {
        const qlonglong value = text.toLongLong(&ok, 0);
        QVariant result(value);
        return ok && result.convert(property.metaType()) ? result : QVariant();
    }
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort: {
        const qulonglong value = text.toULongLong(&ok, 0);
        QVariant result(value);
        return ok && result.convert(property.metaType()) ? result : QVariant();
    }
    default: {
        QVariant result(text);
        return result.convert(property.metaType()) ? result : QVariant();
    }
    }
}

QMetaProperty FindProperty(const QObject* object, const char* name)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    return index < 0 ? QMetaProperty() : meta->property(index);
}

// The dynamic property holding an instance's own default of a property.
QByteArray InstanceDefaultKey(const char* name)
{
    return QByteArray("default:") + name;
}

QVariant InstanceDefault(const QObject* object, const char* name)
{
    return object->property(InstanceDefaultKey(name).constData());
}

} // namespace

QList<QMetaProperty> PublishedProperties(const QObject* object)
{
    const QMetaObject* meta = object->metaObject();
    QList<QByteArray> unpublished;
    static const QByteArray prefix("unpublished:");
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QByteArray key(meta->classInfo(i).name());
        if (key.startsWith(prefix))
            unpublished << key.mid(prefix.size());
    }
    QList<QMetaProperty> properties;
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        // A class that declares a base's property again (to give it another
        // default) publishes it once: the most derived declaration.
        if (meta->indexOfProperty(property.name()) == i && !unpublished.contains(QByteArray(property.name())))
            properties << property;
    }
    return properties;
}

void KeepStartAsDefault(QObject& object, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QMetaProperty property = FindProperty(&object, name);
        Q_ASSERT_X(property.isValid(), "KeepStartAsDefault", name);
        if (property.isValid())
            object.setProperty(InstanceDefaultKey(name).constData(), property.read(&object));
    }
}

bool HasPropertyDefault(const QObject* object, const char* name)
{
    return InstanceDefault(object, name).isValid() || ClassInfoValue(object->metaObject(), "default", name) != nullptr;
}

QVariant PropertyDefault(const QObject* object, const char* name)
{
    if (QVariant own = InstanceDefault(object, name); own.isValid())
        return own;
    const char* text = ClassInfoValue(object->metaObject(), "default", name);
    const QMetaProperty property = FindProperty(object, name);
    if (!text || !property.isValid())
        return {};
    return ConvertDefault(property, QString::fromUtf8(text));
}

bool IsPropertyStored(const QObject* object, const char* name)
{
    const QMetaProperty property = FindProperty(object, name);
    if (!property.isValid() || !property.isStored())
        return false;
    if (const char* method = ClassInfoValue(object->metaObject(), "stored", name)) {
        bool stored = true;
        // A missing method is a programming error in the class declaration.
        const bool invoked = QMetaObject::invokeMethod(const_cast<QObject*>(object), method, Qt::DirectConnection,
                                                       Q_RETURN_ARG(bool, stored));
        Q_ASSERT_X(invoked, "IsPropertyStored", "stored method not found");
        if (!invoked || !stored)
            return false;
    }
    if (HasPropertyDefault(object, name)) {
        const QVariant fallback = PropertyDefault(object, name);
        const QVariant value = property.read(object);
        if (fallback.isValid() && value == fallback)
            return false;
    }
    return true;
}

} // namespace lp
