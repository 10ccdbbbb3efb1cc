#include "platform/ui/FormFormatter.h"

namespace form {

namespace {

std::string Scalar(const Value& v)
{
    switch (v.kind) {
    case Value::Kind::Integer: return std::to_string(v.integer);
    case Value::Kind::Float: return v.text;
    case Value::Kind::String: return QuoteText(v.text);
    case Value::Kind::Identifier: return v.text;
    case Value::Kind::Set: {
        std::string out = "[";
        for (std::size_t i = 0; i < v.items.size(); ++i) {
            out += (i ? ", " : "") + v.items[i].text;
        }
        return out + "]";
    }
    case Value::Kind::List: break;
    }
    return {};
}

void FormatObject(const Object& o, int depth, std::string& out)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent + "object " + o.name + ": " + o.className + "\n";
    for (const Property& p : o.properties) {
        out += indent + "  " + p.name + " = ";
        if (p.value.kind == Value::Kind::List) {
            out += "(";
            for (std::size_t i = 0; i < p.value.items.size(); ++i) {
                out += "\n" + indent + "    " + Scalar(p.value.items[i]);
            }
            out += ")\n";
        } else {
            out += Scalar(p.value) + "\n";
        }
    }
    for (const Object& child : o.children) {
        FormatObject(child, depth + 1, out);
    }
    out += indent + "end\n";
}

}  // namespace

std::string QuoteText(const std::string& text)
{
    if (text.empty()) {
        return "''";
    }
    std::string out;
    bool open = false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            if (open) {
                out += '\'';
                open = false;
            }
            out += "#" + std::to_string(static_cast<int>(c));
            continue;
        }
        if (!open) {
            out += '\'';
            open = true;
        }
        out += c == '\'' ? std::string("''") : std::string(1, c);
    }
    if (open) {
        out += '\'';
    }
    return out;
}

std::string Format(const Document& doc)
{
    std::string out;
    FormatObject(doc.root, 0, out);
    return out;
}

}  // namespace form
