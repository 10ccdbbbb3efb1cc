// The syntax tree of a window description: nested objects with properties, every node with its line and
// column, so that the loader can report a fault where it is written. Built by FormParser, read by FormLoader
// and FormFormatter; it knows nothing of widgets.
#pragma once

#include <string>
#include <vector>

namespace form {

struct Position {
    int line = 0;
    int col = 0;
};

struct Value {
    enum class Kind { Integer, Float, String, Identifier, Set, List };
    Kind kind = Kind::Integer;
    Position pos;
    long long integer = 0;
    double number = 0;
    std::string text;          // String: the decoded text; Identifier: the name; Float: the literal as written
    std::vector<Value> items;  // Set: identifiers; List: any scalar values
};

struct Property {
    std::string name;  // may be dotted: "Font.Name", "Items.Strings"
    Position pos;
    Value value;
};

struct Object {
    std::string name;
    std::string className;
    Position pos;
    std::vector<Property> properties;
    std::vector<Object> children;
};

struct Document {
    std::string fileName;
    Object root;
};

// Kind names for messages ("a number", "a text" ...).
const char* KindName(Value::Kind kind);

}  // namespace form
