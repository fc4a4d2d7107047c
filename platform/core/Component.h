#pragma once
// Persistent objects and components: the ownership model of the system.
//
//   TPersistent (QObject)  Assign/AssignTo, published properties (Q_PROPERTY)
//     └─ TComponent        Owner/Components, Name, free-notification, state
//
// A component is owned by its owner, which destroys it. A component that
// refers to another (not owned) asks for free-notification; when either is
// destroyed the other's Notification(…, opRemove) is called and it clears its
// reference. Owners pass the insertion and removal of their components on to
// every component they own, so siblings hear of each other.
//
// Ownership does not use QObject parents: the Qt object tree stays empty and
// TComponent alone decides when owned components go.

#include "platform/base/Exception.h"
#include "platform/core/Filer.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <functional>
#include <vector>

namespace lp {

// A component's name or owner is used wrongly.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

class TPersistent : public QObject {
    Q_OBJECT
public:
    explicit TPersistent(QObject* parent = nullptr);
    ~TPersistent() override;

    // Copies Source into this object; a source this class cannot take raises
    // EConvertError "Cannot assign a <source> to a <dest>".
    virtual void Assign(const TPersistent* Source);

    // Lists the custom stored properties of the object (besides its
    // published ones); none in the base.
    virtual void DefineProperties(TFiler& Filer) { (void)Filer; }

    // The class name without namespace ("TChartPen").
    QString ClassName() const;
    static QString ClassNameOf(const QMetaObject& meta);

protected:
    // Copies this object into Dest; the default raises.
    virtual void AssignTo(TPersistent* Dest) const;
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

class TComponent : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_CLASSINFO("default:Name", "")
public:
    enum TOperation { opInsert, opRemove };
    Q_ENUM(TOperation)

    enum TComponentStateFlag {
        csLoading = 0x01,
        csReading = 0x02,
        csWriting = 0x04,
        csDestroying = 0x08,
        csDesigning = 0x10,
    };
    Q_DECLARE_FLAGS(TComponentState, TComponentStateFlag)
    Q_FLAG(TComponentState)

    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;

    TComponent* Owner() const noexcept { return FOwner; }

    QString Name() const { return FName; }
    // An identifier or empty; unique (ignoring case) among the owner's
    // components, else EComponentError.
    virtual void SetName(const QString& NewName);

    int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
    // The owned component at index; ERangeError outside 0 .. count - 1.
    TComponent* Components(int Index) const;
    int ComponentIndex(const TComponent* AComponent) const;
    // Swaps the places of two owned components in Components (streaming
    // and Components follow the new order); ERangeError outside
    // 0 .. count - 1.
    void ExchangeComponents(int A, int B);
    // The owned component with that name (ignoring case), or nullptr.
    TComponent* FindComponent(const QString& AName) const;

    // Takes AComponent into this owner (from its old owner, if any).
    void InsertComponent(TComponent* AComponent);
    // Releases AComponent: the caller becomes responsible for destroying it.
    void RemoveComponent(TComponent* AComponent);
    // Destroys every owned component, last first.
    void DestroyComponents();

    // Asks that both this component and AComponent hear of the other's
    // destruction.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Streaming's view of the tree: the components written as this one's
    // children (by default those it owns that have no parent component),
    // and the component a streamed child is attached to.
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) { (void)Value; }

    TComponentState ComponentState() const noexcept { return FComponentState; }
    bool IsLoading() const noexcept { return FComponentState.testFlag(csLoading); }
    bool IsDestroying() const noexcept { return FComponentState.testFlag(csDestroying); }
    bool IsDesigning() const noexcept { return FComponentState.testFlag(csDesigning); }

    // Streaming brackets: Loading before the properties are read, Loaded
    // once the whole tree is read and references are resolved.
    void Loading();
    virtual void Loaded();
    void SetReading(bool Value);
    void SetWriting(bool Value);
    void SetDesigning(bool Value, bool SetChildren = true);
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

protected:
    // Told of components inserted into or removed from the owner, and of the
    // destruction of components linked by FreeNotification. The default
    // forgets a removed component's link and passes the call on to every
    // owned component. A receiver must only compare the pointer: the
    // component may be half destroyed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Points Field at Value, moving the free-notification link from the old
    // component to the new one (nothing when they are the same).
    template <class T>
    void SetObserved(T*& Field, T* Value)
    {
        if (Field == Value)
            return;
        if (Field)
            RemoveFreeNotification(Field);
        Field = Value;
        if (Field)
            FreeNotification(Field);
    }

private:
    void ValidateName(const QString& NewName, const TComponent* Ignored) const;
    void DropFreeNotificationLink(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    QString FName;
    std::vector<TComponent*> FComponents;    // owned, destroyed by this
    std::vector<TComponent*> FFreeNotifies;  // observed, linked both ways
    TComponentState FComponentState;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TComponent::TComponentState)

} // namespace lp
