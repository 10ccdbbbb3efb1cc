#include "platform/ui/FormFactory.h"

#include <map>

#include "platform/ui/Registry.h"

namespace {

std::map<std::string, TFormFactory::Entry, CaseLess>& Entries()
{
    static std::map<std::string, TFormFactory::Entry, CaseLess> entries;
    return entries;
}

}  // namespace

void TFormFactory::Register(Entry entry)
{
    const std::string name = entry.className;
    Entries()[name] = std::move(entry);
}

const TFormFactory::Entry* TFormFactory::Find(const std::string& className)
{
    auto it = Entries().find(className);
    return it == Entries().end() ? nullptr : &it->second;
}

std::vector<std::string> TFormFactory::Names()
{
    std::vector<std::string> out;
    for (const auto& [name, e] : Entries()) {
        out.push_back(name);
    }
    return out;
}

TForm* TFormFactory::Obtain(const std::string& className)
{
    const Entry* e = Find(className);
    if (!e) {
        return nullptr;
    }
    if (!e->get()) {
        e->create();
    }
    return e->get();
}
