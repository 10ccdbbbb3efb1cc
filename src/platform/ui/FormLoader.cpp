#include "platform/ui/FormLoader.h"

#include <QFile>

#include <algorithm>

#include "platform/ui/Control.h"

namespace form {

namespace {

struct Created {
    const Object* node;
    TComponent* component;
    const ClassInfo* info;
};

class Loader {
public:
    Loader(TComponent& root, const ClassInfo& rootInfo, const Document& doc)
        : root_(root), rootInfo_(rootInfo), file_(doc.fileName)
    {
    }

    void Run(const Object& rootNode)
    {
        root_.SetName(rootNode.name);
        created_.push_back({&rootNode, &root_, &rootInfo_});
        for (const Object& child : rootNode.children) {
            Create(child, created_.front());
        }
        {
            TControl::AlignmentPause pause;
            for (const Created& c : created_) {
                ApplyProperties(c);
            }
        }
        for (const Created& c : created_) {
            if (auto* control = dynamic_cast<TControl*>(c.component)) {
                control->Realign();
            }
        }
        std::stable_sort(tabOrders_.begin(), tabOrders_.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
        for (auto& [control, order] : tabOrders_) {
            control->SetTabOrder(order);
        }
        for (std::size_t i = 1; i < created_.size(); ++i) {
            Guard(created_[i].node->pos, [&] { created_[i].component->Loaded(); });
        }
        Guard(rootNode.pos, [&] { root_.Loaded(); });
    }

private:
    [[noreturn]] void Fail(Position pos, const std::string& message) const { throw EFormError(file_, pos, message); }

    template <class F>
    void Guard(Position pos, F&& f)
    {
        try {
            f();
        } catch (const EFormError&) {
            throw;
        } catch (const Exception& e) {
            Fail(pos, e.Message);
        }
    }

    const Created* FindCreated(const std::string& name) const
    {
        for (const Created& c : created_) {
            if (SameName(c.component->Name(), name)) {
                return &c;
            }
        }
        return nullptr;
    }

    void Create(const Object& node, const Created& parent)
    {
        const ClassInfo* info = Registry::Instance().Find(node.className);
        if (!info) {
            Fail(node.pos, "unknown class '" + node.className + "'");
        }
        if (!info->create) {
            Fail(node.pos, "class '" + node.className + "' cannot be declared inside a window");
        }
        if (FindCreated(node.name)) {
            Fail(node.pos, "duplicate component name '" + node.name + "'");
        }
        if (!info->parentClass.empty() && !parent.info->InheritsFrom(info->parentClass)) {
            Fail(node.pos, "a " + info->name + " must be placed inside a " + info->parentClass + ", not in '" +
                               parent.component->Name() + "' (" + parent.info->name + ")");
        }
        TComponent* c = nullptr;
        Guard(node.pos, [&] { c = info->create(&root_); });
        c->SetName(node.name);
        if (auto* control = dynamic_cast<TControl*>(c)) {
            auto* parentControl = dynamic_cast<TControl*>(parent.component);
            if (!parentControl || !parent.info->AcceptsControls()) {
                Fail(node.pos, "'" + node.name + "' (" + info->name + ") cannot be placed in '" +
                                   parent.component->Name() + "' (" + parent.info->name + ")");
            }
            control->SetParent(parentControl);
        } else if (!node.children.empty()) {
            Fail(node.children.front().pos, "'" + node.name + "' (" + info->name + ") cannot hold components");
        }
        created_.push_back({&node, c, info});
        const Created self = created_.back();
        for (const Object& child : node.children) {
            Create(child, self);
        }
    }

    void ApplyProperties(const Created& c)
    {
        for (const Property& p : c.node->properties) {
            if (const EventInfo* ev = c.info->FindEvent(p.name)) {
                BindEvent(c, p, *ev);
                continue;
            }
            const PropertyInfo* info = c.info->FindProperty(p.name);
            if (!info) {
                Fail(p.pos, "class " + c.info->name + " has no property '" + p.name + "'");
            }
            PropertyValue v = Convert(p, *info);
            if (SameName(info->name, "TabOrder")) {
                // Tab orders are applied once all siblings exist, in ascending order, as the designer stored them.
                if (auto* control = dynamic_cast<TControl*>(c.component)) {
                    tabOrders_.emplace_back(control, static_cast<int>(v.integer));
                }
                continue;
            }
            Guard(p.pos, [&] { info->set(*c.component, v); });
        }
    }

    void BindEvent(const Created& c, const Property& p, const EventInfo& ev)
    {
        if (p.value.kind != Value::Kind::Identifier) {
            Fail(p.value.pos, "event " + p.name + " expects a handler name");
        }
        const HandlerInfo* h = rootInfo_.FindHandler(p.value.text);
        if (!h) {
            Fail(p.value.pos, "unknown handler '" + p.value.text + "' (class " + rootInfo_.name + " has no such handler)");
        }
        if (h->signature != ev.signature) {
            Fail(p.value.pos, "handler '" + p.value.text + "' does not fit event " + ev.name);
        }
        ev.bind(*c.component, h->make(root_));
    }

    PropertyValue Convert(const Property& p, const PropertyInfo& info) const
    {
        const Value& v = p.value;
        PropertyValue out;
        auto expect = [&](const char* what) {
            Fail(v.pos, "property " + p.name + " expects " + what + ", found " + KindName(v.kind));
        };
        switch (info.kind) {
        case PropertyKind::Integer:
            if (v.kind != Value::Kind::Integer) {
                expect("a whole number");
            }
            out.integer = v.integer;
            break;
        case PropertyKind::Float:
            if (v.kind == Value::Kind::Integer) {
                out.number = static_cast<double>(v.integer);
            } else if (v.kind == Value::Kind::Float) {
                out.number = v.number;
            } else {
                expect("a number");
            }
            break;
        case PropertyKind::Boolean:
            if (v.kind != Value::Kind::Identifier || !(SameName(v.text, "True") || SameName(v.text, "False"))) {
                expect("True or False");
            }
            out.integer = SameName(v.text, "True") ? 1 : 0;
            break;
        case PropertyKind::String:
            if (v.kind != Value::Kind::String) {
                expect("a text");
            }
            out.text = v.text;
            break;
        case PropertyKind::Strings:
            if (v.kind != Value::Kind::List) {
                expect("a list of texts");
            }
            for (const Value& item : v.items) {
                if (item.kind != Value::Kind::String) {
                    Fail(item.pos, "property " + p.name + " expects texts in its list");
                }
                out.lines.push_back(item.text);
            }
            break;
        case PropertyKind::Enum:
            if (v.kind == Value::Kind::Integer && info.acceptsInteger) {
                out.integer = v.integer;
            } else if (v.kind == Value::Kind::Identifier) {
                out.integer = NamedValue(info, p, v);
            } else {
                expect("a name");
            }
            break;
        case PropertyKind::Set:
            if (v.kind != Value::Kind::Set) {
                expect("a set");
            }
            for (const Value& item : v.items) {
                out.integer |= NamedValue(info, p, item);
            }
            break;
        case PropertyKind::Reference: {
            if (v.kind != Value::Kind::Identifier) {
                expect("a component name");
            }
            const Created* target = FindCreated(v.text);
            if (!target) {
                Fail(v.pos, "unknown component '" + v.text + "'");
            }
            if (!info.referenceClass.empty() && !target->info->InheritsFrom(info.referenceClass)) {
                Fail(v.pos, "property " + p.name + " expects a " + info.referenceClass + ", '" + v.text + "' is a " +
                                target->info->name);
            }
            out.text = v.text;
            out.reference = target->component;
            break;
        }
        }
        return out;
    }

    long long NamedValue(const PropertyInfo& info, const Property& p, const Value& v) const
    {
        for (const auto& [name, value] : info.names) {
            if (SameName(name, v.text)) {
                return value;
            }
        }
        std::string allowed;
        for (const auto& [name, value] : info.names) {
            allowed += (allowed.empty() ? "" : ", ") + name;
        }
        Fail(v.pos, "'" + v.text + "' is not a value of " + p.name + " (" + allowed + ")");
    }

    TComponent& root_;
    const ClassInfo& rootInfo_;
    std::string file_;
    std::vector<Created> created_;
    std::vector<std::pair<TControl*, int>> tabOrders_;
};

}  // namespace

void Load(TComponent& root, const std::string& rootClass, const Document& doc)
{
    const ClassInfo* info = Registry::Instance().Find(rootClass);
    if (!info) {
        throw EFormError(doc.fileName, doc.root.pos, "class '" + rootClass + "' is not registered");
    }
    if (!SameName(doc.root.className, rootClass)) {
        throw EFormError(doc.fileName, doc.root.pos,
                         "the description is of class '" + doc.root.className + "', expected '" + rootClass + "'");
    }
    Loader(root, *info, doc).Run(doc.root);
}

void LoadText(TComponent& root, const std::string& rootClass, std::string_view text, const std::string& fileName)
{
    Load(root, rootClass, Parse(text, fileName));
}

std::string ResourceText(const std::string& className, std::string* fileName)
{
    const std::string name = className + ".form";
    QFile f(QString::fromStdString(":/forms/" + name));
    if (fileName) {
        *fileName = name;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        throw EFormError(name, Position{0, 0}, "no window description for class '" + className + "'");
    }
    return f.readAll().toStdString();
}

}  // namespace form
