#include "platform/ui/Component.h"

#include <algorithm>
#include <cctype>

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_) {
        owner_->Insert(this);
    }
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_) {
        owner_->Remove(this);
    }
}

void TComponent::DestroyComponents()
{
    // Last created first: later components may refer to earlier ones.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* c : components_) {
        if (SameName(c->name_, name)) {
            return c;
        }
    }
    return nullptr;
}

void TComponent::DestroyComponent(TComponent* c)
{
    if (c && c->owner_ == this) {
        delete c;
    }
}

void TComponent::Remove(TComponent* c)
{
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

#include "platform/ui/Registry.h"

namespace {
const ClassBuilder<TComponent> kComponentClass("TComponent", "", [](ClassBuilder<TComponent>& c) {
    c.NotCreatable();
    c.Int("Tag", [](TComponent&, int) {});
});
}  // namespace
