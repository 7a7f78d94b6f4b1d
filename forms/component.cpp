#include "forms/component.h"

#include <algorithm>

namespace forms {

TComponent::TComponent(TComponent* owner)
    : owner_(owner)
{
    if (owner_)
        owner_->insert(this);
}

TComponent::~TComponent()
{
    destroyComponents();
    if (owner_)
        owner_->remove(this);
}

TComponent* TComponent::findComponent(const QString& name) const
{
    for (TComponent* c : components_) {
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return nullptr;
}

void TComponent::destroyComponents()
{
    while (!components_.empty())
        delete components_.back(); // removes itself from the list
}

void TComponent::insert(TComponent* component)
{
    components_.push_back(component);
}

void TComponent::remove(TComponent* component)
{
    std::erase(components_, component);
}

} // namespace forms
