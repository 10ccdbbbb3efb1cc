// The class registry: one registration per class gives its name, its base, how to create it, a typed property
// table and its events; a window class adds its handler-name table. The loader consults only this registry, so
// a description that names an unknown class, property, event or handler fails at load time.
//
// Registration (in the class's own .cpp, at namespace scope):
//   static const ClassBuilder<TButton> reg("TButton", "TControl", [](ClassBuilder<TButton>& c) {
//       c.Bool("Default", [](TButton& b, bool v) { b.Default = v; });
//       c.Event("OnClick", &TControl::OnClick);
//   });
#pragma once

#include <any>
#include <functional>
#include <map>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/ui/Component.h"

struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

enum class PropertyKind {
    Integer,    // whole number
    Float,      // any number
    Boolean,    // True or False
    String,     // text
    Enum,       // one of the named values (or a whole number when allowed)
    Set,        // [a, b]: a subset of the named values, as bit flags
    Strings,    // ( 'line' 'line' ... )
    Reference,  // the name of another component of the same window
};

struct PropertyValue {
    long long integer = 0;  // Integer, Enum (the value), Set (the bits), Boolean (0/1)
    double number = 0;
    std::string text;                // String; Reference: the name written
    std::vector<std::string> lines;  // Strings
    TComponent* reference = nullptr;
};

struct PropertyInfo {
    std::string name;
    PropertyKind kind = PropertyKind::Integer;
    std::vector<std::pair<std::string, long long>> names;  // Enum and Set
    bool acceptsInteger = false;                             // Enum given as a number (colours, cursors)
    std::string referenceClass;                              // Reference: the class the target must be or derive from
    std::function<void(TComponent&, const PropertyValue&)> set;
};

struct EventInfo {
    std::string name;
    std::type_index signature = typeid(void);
    std::function<void(TComponent&, const std::any&)> bind;
};

struct HandlerInfo {
    std::string name;
    std::type_index signature = typeid(void);
    std::function<std::any(TComponent& root)> make;  // a callable bound to the window instance
};

struct ClassInfo {
    std::string name;
    std::string baseName;
    std::function<TComponent*(TComponent* owner)> create;  // empty: only loaded into (windows, reports)
    bool acceptsControls = false;                          // may hold nested controls
    std::string parentClass;                               // a nested control must sit in this class (or derived)
    std::map<std::string, PropertyInfo, CaseLess> properties;
    std::map<std::string, EventInfo, CaseLess> events;
    std::map<std::string, HandlerInfo, CaseLess> handlers;

    const ClassInfo* Base() const;
    bool InheritsFrom(const std::string& className) const;
    const PropertyInfo* FindProperty(const std::string& name) const;
    const EventInfo* FindEvent(const std::string& name) const;
    const HandlerInfo* FindHandler(const std::string& name) const;
    bool AcceptsControls() const;  // here or in a base class
};

class Registry {
public:
    static Registry& Instance();
    ClassInfo& Add(const std::string& name, const std::string& baseName);
    const ClassInfo* Find(const std::string& name) const;
    std::vector<std::string> Names() const;

private:
    std::map<std::string, ClassInfo, CaseLess> classes_;
};

// The typed registration of a class T (a component, or a wrapper component for the engine's objects).
template <class T>
class ClassBuilder {
public:
    using Body = std::function<void(ClassBuilder<T>&)>;

    ClassBuilder(const std::string& name, const std::string& baseName, const Body& body = {})
        : info_(Registry::Instance().Add(name, baseName))
    {
        if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>) {
            info_.create = [](TComponent* owner) -> TComponent* { return new T(owner); };
        }
        if (body) {
            body(*this);
        }
    }

    ClassInfo& Info() const { return info_; }
    ClassBuilder& NotCreatable() { info_.create = nullptr; return *this; }
    ClassBuilder& AcceptsControls(bool on = true) { info_.acceptsControls = on; return *this; }
    ClassBuilder& ParentClass(const std::string& cls) { info_.parentClass = cls; return *this; }

    ClassBuilder& Int(const std::string& name, std::function<void(T&, int)> f)
    {
        return Add(name, PropertyKind::Integer, [f](T& t, const PropertyValue& v) { f(t, static_cast<int>(v.integer)); });
    }
    ClassBuilder& Float(const std::string& name, std::function<void(T&, double)> f)
    {
        return Add(name, PropertyKind::Float, [f](T& t, const PropertyValue& v) { f(t, v.number); });
    }
    ClassBuilder& Bool(const std::string& name, std::function<void(T&, bool)> f)
    {
        return Add(name, PropertyKind::Boolean, [f](T& t, const PropertyValue& v) { f(t, v.integer != 0); });
    }
    ClassBuilder& String(const std::string& name, std::function<void(T&, const std::string&)> f)
    {
        return Add(name, PropertyKind::String, [f](T& t, const PropertyValue& v) { f(t, v.text); });
    }
    ClassBuilder& Strings(const std::string& name, std::function<void(T&, const std::vector<std::string>&)> f)
    {
        return Add(name, PropertyKind::Strings, [f](T& t, const PropertyValue& v) { f(t, v.lines); });
    }
    // Named values; the setter gets the value paired with the name.
    ClassBuilder& Enum(const std::string& name, std::vector<std::pair<std::string, long long>> names,
                       std::function<void(T&, long long)> f, bool acceptsInteger = false)
    {
        Add(name, PropertyKind::Enum, [f](T& t, const PropertyValue& v) { f(t, v.integer); });
        info_.properties[name].names = std::move(names);
        info_.properties[name].acceptsInteger = acceptsInteger;
        return *this;
    }
    // Names of an enum in order: value = position.
    static std::vector<std::pair<std::string, long long>> Ordinals(std::initializer_list<const char*> names)
    {
        std::vector<std::pair<std::string, long long>> out;
        long long i = 0;
        for (const char* n : names) {
            out.emplace_back(n, i++);
        }
        return out;
    }
    ClassBuilder& Set(const std::string& name, std::vector<std::pair<std::string, long long>> bits,
                      std::function<void(T&, long long)> f)
    {
        Add(name, PropertyKind::Set, [f](T& t, const PropertyValue& v) { f(t, v.integer); });
        info_.properties[name].names = std::move(bits);
        return *this;
    }
    // A reference to another component; the target's registered class must be or derive from targetClass.
    // The setter receives the component as registered (a wrapper for the engine's objects).
    ClassBuilder& Reference(const std::string& name, const std::string& targetClass,
                            std::function<void(T&, TComponent*)> f)
    {
        Add(name, PropertyKind::Reference, [f](T& t, const PropertyValue& v) { f(t, v.reference); });
        info_.properties[name].referenceClass = targetClass;
        return *this;
    }

    // An event slot reached through an accessor: g(T&) returns the std::function member to bind.
    template <class Fn, class Getter>
    ClassBuilder& EventSlot(const std::string& name, Getter g)
    {
        EventInfo& e = info_.events[name];
        e.name = name;
        e.signature = typeid(Fn);
        e.bind = [g](TComponent& c, const std::any& h) { g(static_cast<T&>(c)) = std::any_cast<const Fn&>(h); };
        return *this;
    }
    // An event slot that is a member of T or of one of its bases.
    template <class Fn, class Owner>
    ClassBuilder& Event(const std::string& name, Fn Owner::*member)
    {
        return EventSlot<Fn>(name, [member](T& t) -> Fn& { return t.*member; });
    }

    // A handler of a window (or report) class, by name: a member function of T.
    template <class... Args>
    ClassBuilder& Handler(const std::string& name, void (T::*fn)(Args...))
    {
        using Fn = std::function<void(Args...)>;
        HandlerInfo& h = info_.handlers[name];
        h.name = name;
        h.signature = typeid(Fn);
        h.make = [fn](TComponent& root) -> std::any {
            T* self = static_cast<T*>(&root);
            return Fn([self, fn](Args... args) { (self->*fn)(std::forward<Args>(args)...); });
        };
        return *this;
    }

private:
    ClassBuilder& Add(const std::string& name, PropertyKind kind, std::function<void(T&, const PropertyValue&)> f)
    {
        PropertyInfo& p = info_.properties[name];
        p.name = name;
        p.kind = kind;
        p.set = [f](TComponent& c, const PropertyValue& v) { f(static_cast<T&>(c), v); };
        return *this;
    }

    ClassInfo& info_;
};
