#include "platform/ui/EditMask.h"

namespace {

// Characters with a meaning in a Qt input mask; as literals they need a backslash.
bool isQtMaskMeta(QChar c)
{
    static const QString meta = QStringLiteral("AaNnXx90Dd#HhBb><!;[]{}\\");
    return meta.contains(c);
}

// Splits "mask;save;blank" at the first unescaped ';'.
void splitSuffix(const QString& text, QString& mask, QString& suffix)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\')) {
            ++i;
        } else if (text[i] == QLatin1Char(';')) {
            mask = text.left(i);
            suffix = text.mid(i + 1);
            return;
        }
    }
    mask = text;
    suffix.clear();
}

}  // namespace

TEditMask::TEditMask(const QString& classicMask)
{
    QString mask, suffix;
    splitSuffix(classicMask, mask, suffix);
    if (!suffix.isEmpty()) {
        // suffix = save flag, then optionally ";" and the blank character (which may itself be ';')
        if (suffix[0] != QLatin1Char(';')) {
            keepLiterals_ = suffix[0] != QLatin1Char('0');
            suffix = suffix.mid(1);
        }
        if (suffix.size() >= 2 && suffix[0] == QLatin1Char(';')) {
            blank_ = suffix[1];
        }
    }

    CaseMode caseMode = CaseMode::Keep;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        Position p;
        p.caseMode = caseMode;
        switch (c.unicode()) {
        case '>':
            caseMode = CaseMode::Upper;
            continue;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('>')) {
                caseMode = CaseMode::Keep;
                ++i;
            } else {
                caseMode = CaseMode::Lower;
            }
            continue;
        case '!':
            continue;  // only moves blanks to the other side of the text; nothing to translate
        case '\\':
            if (i + 1 >= mask.size()) {
                continue;  // a trailing backslash escapes nothing
            }
            p.literal = mask[++i];
            break;
        case '_':
            p.literal = QLatin1Char(' ');
            break;
        case '0': case '9':
            p.kind = SlotKind::Digit;
            p.required = c == QLatin1Char('0');
            break;
        case '#':
            p.kind = SlotKind::DigitOrSign;
            break;
        case 'L': case 'l':
            p.kind = SlotKind::Letter;
            p.required = c == QLatin1Char('L');
            break;
        case 'A': case 'a':
            p.kind = SlotKind::LetterOrDigit;
            p.required = c == QLatin1Char('A');
            break;
        case 'C': case 'c':
            p.kind = SlotKind::AnyChar;
            p.required = c == QLatin1Char('C');
            break;
        default:
            p.literal = c;
            break;
        }
        positions_.push_back(p);
    }
}

QString TEditMask::QtInputMask() const
{
    if (positions_.empty()) {
        return {};
    }
    QString out;
    CaseMode current = CaseMode::Keep;
    for (const Position& p : positions_) {
        if (p.kind == SlotKind::Literal) {
            if (isQtMaskMeta(p.literal)) {
                out += QLatin1Char('\\');
            }
            out += p.literal;
            continue;
        }
        if (p.caseMode != current) {
            out += p.caseMode == CaseMode::Upper ? QLatin1Char('>')
                 : p.caseMode == CaseMode::Lower ? QLatin1Char('<')
                                                 : QLatin1Char('!');
            current = p.caseMode;
        }
        // Qt's letters for the same slots; note that Qt's 9 is the required digit and 0 the optional one.
        char q = 'x';
        switch (p.kind) {
        case SlotKind::Digit: q = p.required ? '9' : '0'; break;
        case SlotKind::DigitOrSign: q = '#'; break;
        case SlotKind::Letter: q = p.required ? 'A' : 'a'; break;
        case SlotKind::LetterOrDigit: q = p.required ? 'N' : 'n'; break;
        case SlotKind::AnyChar: q = p.required ? 'X' : 'x'; break;
        case SlotKind::Literal: break;
        }
        out += QLatin1Char(q);
    }
    out += QLatin1Char(';');
    out += blank_;
    return out;
}

bool TEditMask::Accepts(const Position& slot, QChar c)
{
    switch (slot.kind) {
    case SlotKind::Digit: return c.isDigit();
    case SlotKind::DigitOrSign: return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
    case SlotKind::Letter: return c.isLetter();
    case SlotKind::LetterOrDigit: return c.isLetterOrNumber();
    case SlotKind::AnyChar: return c.isPrint();
    case SlotKind::Literal: return false;
    }
    return false;
}

std::optional<QString> TEditMask::DisplayText(const QString& storedValue) const
{
    QString out;
    out.reserve(static_cast<qsizetype>(positions_.size()));
    qsizetype j = 0;
    for (const Position& p : positions_) {
        const bool haveChar = j < storedValue.size();
        if (p.kind == SlotKind::Literal) {
            out += p.literal;
            if (keepLiterals_ && haveChar) {
                if (storedValue[j] != p.literal) {
                    return std::nullopt;
                }
                ++j;
            }
            continue;
        }
        if (!haveChar) {
            out += blank_;
            continue;
        }
        const QChar c = storedValue[j++];
        if (!IsFilled(c)) {
            out += blank_;
        } else if (Accepts(p, c)) {
            out += c;
        } else {
            return std::nullopt;
        }
    }
    if (j < storedValue.size()) {
        return std::nullopt;  // longer than the mask
    }
    return out;
}

std::optional<QString> TEditMask::StoredValue(const QString& displayText) const
{
    QString out;
    bool anyFilled = false;
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        const auto at = static_cast<qsizetype>(i);
        if (p.kind == SlotKind::Literal) {
            if (keepLiterals_) {
                out += p.literal;
            }
            continue;
        }
        const QChar c = at < displayText.size() ? displayText[at] : blank_;
        if (IsFilled(c)) {
            anyFilled = true;
            out += c;
        } else {
            out += QLatin1Char(' ');
        }
    }
    if (!anyFilled) {
        return std::nullopt;
    }
    while (!out.isEmpty() && out.back() == QLatin1Char(' ')) {
        out.chop(1);
    }
    if (out.isEmpty()) {
        return std::nullopt;
    }
    return out;
}

bool TEditMask::IsComplete(const QString& displayText) const
{
    if (!StoredValue(displayText).has_value()) {
        return true;
    }
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        const auto at = static_cast<qsizetype>(i);
        if (p.kind != SlotKind::Literal && p.required
            && !(at < displayText.size() && IsFilled(displayText[at]))) {
            return false;
        }
    }
    return true;
}
