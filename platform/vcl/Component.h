// Components and ownership. An owner destroys what it owns in the reverse
// order of creation; an owned component that is deleted early (also from
// inside one of its own handlers) leaves its owner's list at once, so the
// owner never deletes it twice.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Object.h"

namespace vcl {

using rtl::UnicodeString;

enum TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const UnicodeString& Name() const { return FName; }
    // Raises Exception when another component of the same owner has the name
    // (without regard to letter case); the empty name is always allowed.
    virtual void SetName(const UnicodeString& name);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t tag) { FTag = tag; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError outside 0..ComponentCount()-1.
    TComponent* Components(int index) const;
    // The owned component of that name (without regard to case), or null.
    TComponent* FindComponent(const UnicodeString& name) const;
    int ComponentIndex() const;

    // Deletes every owned component, newest first.
    void DestroyComponents();
    bool Destroying() const { return FDestroying; }

    // Watches this component's life: the token expires when it is destroyed.
    // Code that runs a handler which may delete the component checks it after.
    std::weak_ptr<void> LifeToken() const { return FLife; }

    // Told about components inserted into or removed from this owner, and
    // about components this one asked to watch (FreeNotification).
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

protected:
    // Set while a component is being built (constructor running) and, for a
    // form, until CreateForm has finished; see TCustomForm.
    bool FLoading = false;

private:
    TComponent* FOwner = nullptr;
    UnicodeString FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::shared_ptr<int> FLife = std::make_shared<int>(0);
    bool FDestroying = false;
};

// True while the component behind the token exists.
inline bool Alive(const std::weak_ptr<void>& token) { return !token.expired(); }

} // namespace vcl

#include "platform/vcl/DataModule.h"
