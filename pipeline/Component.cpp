#include "Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    while (!FComponents.empty()) {
        TComponent* Last = FComponents.back();
        RemoveComponent(Last);
        delete Last;
    }
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    auto It = std::find_if(FComponents.begin(), FComponents.end(),
        [&](const TComponent* C) { return !AName.empty() && C->FName == AName; });
    return It == FComponents.end() ? nullptr : *It;
}

void TComponent::LeaveOwner()
{
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::Notification(TComponent*, TOperation) { }

void TComponent::InsertComponent(TComponent* AComponent)
{
    AComponent->FOwner = this;
    for (TComponent* Other : FComponents)
        Other->Notification(AComponent, opInsert);
    FComponents.push_back(AComponent);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (It == FComponents.end())
        return;
    FComponents.erase(It);
    AComponent->FOwner = nullptr;
    for (TComponent* Other : FComponents)
        Other->Notification(AComponent, opRemove);
}
