#include "platform/ui/FormParser.h"

EFormError::EFormError(const std::string& file, form::Position pos, const std::string& message)
    : Exception(file + ":" + std::to_string(pos.line) + ":" + std::to_string(pos.col) + ": " + message), Where(pos)
{
}

namespace form {

namespace {

class Parser {
public:
    Parser(std::string_view text, const std::string& file) : lexer_(text), file_(file) { Shift(); }

    Document ParseDocument()
    {
        Document doc;
        doc.fileName = file_;
        doc.root = ParseObject(0);
        if (tok_.kind != TokenKind::End) {
            Fail("expected end of file, found " + Describe());
        }
        return doc;
    }

private:
    void Shift()
    {
        tok_ = lexer_.Next();
        if (tok_.kind == TokenKind::Error) {
            throw EFormError(file_, tok_.pos, tok_.text);
        }
    }
    [[noreturn]] void Fail(const std::string& message) const { throw EFormError(file_, tok_.pos, message); }
    std::string Describe() const
    {
        return tok_.kind == TokenKind::Identifier ? "'" + tok_.text + "'" : std::string(TokenName(tok_.kind));
    }
    bool IsWord(const char* w) const { return tok_.kind == TokenKind::Identifier && tok_.text == w; }
    std::string ExpectName(const char* what)
    {
        if (tok_.kind != TokenKind::Identifier || tok_.text.find('.') != std::string::npos) {
            Fail(std::string("expected ") + what + ", found " + Describe());
        }
        std::string s = tok_.text;
        Shift();
        return s;
    }
    void Expect(TokenKind kind)
    {
        if (tok_.kind != kind) {
            Fail(std::string("expected ") + TokenName(kind) + ", found " + Describe());
        }
        Shift();
    }

    Object ParseObject(int depth)
    {
        if (depth >= kMaxDepth) {
            Fail("objects nested too deeply");
        }
        if (!IsWord("object")) {
            Fail("expected 'object', found " + Describe());
        }
        Object obj;
        obj.pos = tok_.pos;
        Shift();
        obj.name = ExpectName("a component name");
        Expect(TokenKind::Colon);
        obj.className = ExpectName("a class name");
        for (;;) {
            if (IsWord("end")) {
                Shift();
                return obj;
            }
            if (IsWord("object")) {
                obj.children.push_back(ParseObject(depth + 1));
                continue;
            }
            if (tok_.kind != TokenKind::Identifier) {
                Fail("expected a property, 'object' or 'end', found " + Describe());
            }
            Property p;
            p.pos = tok_.pos;
            p.name = tok_.text;
            Shift();
            Expect(TokenKind::Equals);
            p.value = ParseValue(true);
            obj.properties.push_back(std::move(p));
        }
    }

    Value ParseValue(bool allowList)
    {
        Value v;
        v.pos = tok_.pos;
        switch (tok_.kind) {
        case TokenKind::Integer:
            v.kind = Value::Kind::Integer;
            v.integer = tok_.integer;
            v.text = tok_.text;
            Shift();
            return v;
        case TokenKind::Float:
            v.kind = Value::Kind::Float;
            v.number = std::stod(tok_.text);
            v.text = tok_.text;
            Shift();
            return v;
        case TokenKind::String:
            v.kind = Value::Kind::String;
            v.text = tok_.text;
            Shift();
            while (tok_.kind == TokenKind::Plus) {
                Shift();
                if (tok_.kind != TokenKind::String) {
                    Fail("expected a text after '+', found " + Describe());
                }
                v.text += tok_.text;
                Shift();
            }
            return v;
        case TokenKind::Identifier:
            if (IsWord("object") || IsWord("end")) {
                Fail("expected a value, found " + Describe());
            }
            v.kind = Value::Kind::Identifier;
            v.text = tok_.text;
            Shift();
            return v;
        case TokenKind::LBracket:
            v.kind = Value::Kind::Set;
            Shift();
            while (tok_.kind != TokenKind::RBracket) {
                if (!v.items.empty()) {
                    Expect(TokenKind::Comma);
                }
                if (tok_.kind != TokenKind::Identifier) {
                    Fail("expected a name in the set, found " + Describe());
                }
                Value item;
                item.kind = Value::Kind::Identifier;
                item.pos = tok_.pos;
                item.text = tok_.text;
                v.items.push_back(std::move(item));
                Shift();
                if (v.items.size() > kMaxListItems) {
                    Fail("set too long");
                }
            }
            Shift();
            return v;
        case TokenKind::LParen:
            if (!allowList) {
                Fail("lists cannot be nested");
            }
            v.kind = Value::Kind::List;
            Shift();
            while (tok_.kind != TokenKind::RParen) {
                v.items.push_back(ParseValue(false));
                if (v.items.size() > kMaxListItems) {
                    Fail("list too long");
                }
            }
            Shift();
            return v;
        default:
            Fail("expected a value, found " + Describe());
        }
    }

    Lexer lexer_;
    std::string file_;
    Token tok_;
};

}  // namespace

Document Parse(std::string_view text, const std::string& fileName)
{
    return Parser(text, fileName).ParseDocument();
}

}  // namespace form
