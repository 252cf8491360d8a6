// The component base of the pipeline's stages: an owner that destroys what it owns, a name, and
// the removal notice that the owner sends to its other components when one of them goes away.
// Components are built, linked and destroyed on the owning thread.
#pragma once

#include <string>
#include <vector>

enum TOperation { opInsert, opRemove };

class TComponent {
public:
    // Registers the component with AOwner, which destroys it; AOwner may be null.
    explicit TComponent(TComponent* AOwner = nullptr);
    // Destroys the owned components, last created first, each after the removal notice has gone
    // to the others while it is still whole; then leaves the owner.
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* GetOwner() const { return FOwner; }
    const std::string& GetName() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

    // The owned component of that name, or null; how stored references by name are resolved.
    TComponent* FindComponent(const std::string& AName) const;
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // The owned component at Index, 0 .. ComponentCount() - 1, in the order they were created.
    TComponent* Component(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }

protected:
    // Leaves the owner at once: the other components get the removal notice while this one is
    // still whole. A component that others may be using calls it first in its destructor, before
    // any of its members are destroyed; ~TComponent then has no owner left to leave.
    void LeaveOwner();
    // Told about every other component of the same owner that is inserted or being removed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
};
