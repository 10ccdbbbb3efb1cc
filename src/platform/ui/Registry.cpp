#include "platform/ui/Registry.h"

#include <algorithm>
#include <cctype>

bool CaseLess::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

Registry& Registry::Instance()
{
    static Registry registry;
    return registry;
}

ClassInfo& Registry::Add(const std::string& name, const std::string& baseName)
{
    ClassInfo& info = classes_[name];
    info.name = name;
    info.baseName = baseName;
    return info;
}

const ClassInfo* Registry::Find(const std::string& name) const
{
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : &it->second;
}

std::vector<std::string> Registry::Names() const
{
    std::vector<std::string> out;
    for (const auto& [name, info] : classes_) {
        out.push_back(name);
    }
    return out;
}

const ClassInfo* ClassInfo::Base() const
{
    return baseName.empty() ? nullptr : Registry::Instance().Find(baseName);
}

bool ClassInfo::InheritsFrom(const std::string& className) const
{
    for (const ClassInfo* c = this; c; c = c->Base()) {
        if (SameName(c->name, className)) {
            return true;
        }
    }
    return false;
}

const PropertyInfo* ClassInfo::FindProperty(const std::string& n) const
{
    for (const ClassInfo* c = this; c; c = c->Base()) {
        if (auto it = c->properties.find(n); it != c->properties.end()) {
            return &it->second;
        }
    }
    return nullptr;
}

const EventInfo* ClassInfo::FindEvent(const std::string& n) const
{
    for (const ClassInfo* c = this; c; c = c->Base()) {
        if (auto it = c->events.find(n); it != c->events.end()) {
            return &it->second;
        }
    }
    return nullptr;
}

const HandlerInfo* ClassInfo::FindHandler(const std::string& n) const
{
    for (const ClassInfo* c = this; c; c = c->Base()) {
        if (auto it = c->handlers.find(n); it != c->handlers.end()) {
            return &it->second;
        }
    }
    return nullptr;
}

bool ClassInfo::AcceptsControls() const
{
    for (const ClassInfo* c = this; c; c = c->Base()) {
        if (c->acceptsControls) {
            return true;
        }
    }
    return false;
}
