#include "platform/vcl/Component.h"

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    FDestroying = true;
    FLife.reset();
    // Watchers first, so none of them reaches a half-destroyed component.
    while (!FFreeNotifies.empty()) {
        TComponent* watcher = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = watcher->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        watcher->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const UnicodeString& name)
{
    if (name == FName)
        return;
    if (!name.IsEmpty() && FOwner) {
        TComponent* other = FOwner->FindComponent(name);
        if (other && other != this)
            throw rtl::Exception(UnicodeString(u"A component named ") + name + u" already exists");
    }
    FName = name;
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw rtl::EListError(UnicodeString(u"List index out of bounds (") + UnicodeString(index) + u")");
    return FComponents[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(const UnicodeString& name) const
{
    if (name.IsEmpty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (c->FName.CompareIC(name) == 0)
            return c;
    return nullptr;
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& list = FOwner->FComponents;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::DestroyComponents()
{
    // Newest first. Each one leaves the list before it is deleted, so a
    // destructor that deletes a sibling finds the list consistent.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        Notification(c, opRemove);
        delete c;
    }
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
    auto& back = AComponent->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
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
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
    AComponent->FOwner = nullptr;
    Notification(AComponent, opRemove);
}

} // namespace vcl
