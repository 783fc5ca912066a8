#include "Classes.h"

#include <algorithm>

TObject::~TObject() = default;

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent()
{
    DestroyComponents();
}

void TComponent::DestroyComponents()
{
    while (!components_.empty())
        components_.pop_back();
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component)
{
    components_.push_back(std::move(component));
}

bool TComponent::SetParentComponent(TComponent*)
{
    return false;
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [&](const auto& c) { return c->Name() == name; });
    return it == components_.end() ? nullptr : it->get();
}

bool TComponent::ReadProperty(const std::string& name, const std::string& value, TFormReader&)
{
    if (name == "Name") {
        name_ = value;
        return true;
    }
    return false;
}
