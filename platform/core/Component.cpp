#include "platform/core/Component.h"

#include <QtCore/QRegularExpression>

#include <algorithm>

namespace lp {

// --- TPersistent ---------------------------------------------------------------

TPersistent::TPersistent(QObject* parent) : QObject(parent) {}

TPersistent::~TPersistent() = default;

QString TPersistent::ClassNameOf(const QMetaObject& meta)
{
    const QString name = QString::fromLatin1(meta.className());
    const qsizetype separator = name.lastIndexOf(QLatin1String("::"));
    return separator < 0 ? name : name.mid(separator + 2);
}

QString TPersistent::ClassName() const
{
    return ClassNameOf(*metaObject());
}

void TPersistent::Assign(const TPersistent* Source)
{
    if (!Source)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) const
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* Source) const
{
    const std::string source = Source ? Source->ClassName().toStdString() : std::string("nil");
    RaiseConvertError("Cannot assign a %s to a %s", {source, ClassName().toStdString()});
}

// --- TComponent ----------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        DropFreeNotificationLink(other);
        other->DropFreeNotificationLink(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        RaiseIndexError(Index, ComponentCount());
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex(const TComponent* AComponent) const
{
    const auto found = std::find(FComponents.begin(), FComponents.end(), AComponent);
    return found == FComponents.end() ? -1 : static_cast<int>(found - FComponents.begin());
}

void TComponent::ExchangeComponents(int A, int B)
{
    for (const int index : {A, B})
        if (index < 0 || index >= ComponentCount())
            RaiseIndexError(index, ComponentCount());
    std::swap(FComponents[static_cast<size_t>(A)], FComponents[static_cast<size_t>(B)]);
}

TComponent* TComponent::FindComponent(const QString& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    for (TComponent* component : FComponents)
        if (component->FName.compare(AName, Qt::CaseInsensitive) == 0)
            return component;
    return nullptr;
}

void TComponent::ValidateName(const QString& NewName, const TComponent* Ignored) const
{
    if (NewName.isEmpty())
        return;
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(NewName).hasMatch())
        throw EComponentError(FormatText("\"%s\" is not a valid component name", {NewName.toStdString()}));
    if (!FOwner)
        return;
    const TComponent* existing = FOwner->FindComponent(NewName);
    if (existing && existing != Ignored)
        throw EComponentError(FormatText("A component named %s already exists", {NewName.toStdString()}));
}

void TComponent::SetName(const QString& NewName)
{
    if (FName == NewName)
        return;
    ValidateName(NewName, this);
    FName = NewName;
    setObjectName(NewName);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    Q_ASSERT_X(AComponent && AComponent != this, "TComponent::InsertComponent", "invalid component");
    if (AComponent->FOwner == this)
        return;
    if (!AComponent->FName.isEmpty()) {
        const TComponent* existing = FindComponent(AComponent->FName);
        if (existing)
            throw EComponentError(FormatText("A component named %s already exists", {AComponent->FName.toStdString()}));
    }
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    FComponents.erase(std::find(FComponents.begin(), FComponents.end(), AComponent));
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* component = FComponents.back();
        FComponents.pop_back();
        component->FOwner = nullptr;
        delete component;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    DropFreeNotificationLink(AComponent);
    AComponent->DropFreeNotificationLink(this);
}

void TComponent::DropFreeNotificationLink(TComponent* AComponent)
{
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Copy: a receiver may change the list (destroy or release a component).
    const std::vector<TComponent*> owned = FComponents;
    for (TComponent* component : owned)
        if (ComponentIndex(component) >= 0)
            component->Notification(AComponent, Operation);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    (void)Root;
    for (TComponent* Child : std::vector<TComponent*>(FComponents))
        if (!Child->GetParentComponent())
            Proc(Child);
}

void TComponent::Loading()
{
    FComponentState |= csLoading;
}

void TComponent::Loaded()
{
    FComponentState &= ~TComponentState(csLoading);
}

void TComponent::SetReading(bool Value)
{
    FComponentState.setFlag(csReading, Value);
}

void TComponent::SetWriting(bool Value)
{
    FComponentState.setFlag(csWriting, Value);
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    FComponentState.setFlag(csDesigning, Value);
    if (SetChildren)
        for (TComponent* component : FComponents)
            component->SetDesigning(Value, true);
}

void TComponent::Destroying()
{
    if (IsDestroying())
        return;
    FComponentState |= csDestroying;
    for (TComponent* component : FComponents)
        component->Destroying();
}

} // namespace lp
