// Edit masks in the classic mask syntax, as the rule tables and fields carry them, and their translation to
// Qt input masks. A mask is parsed once into a list of positions (literal or input slot); the edit controls
// then convert between a stored field value and the full-width text shown in a masked QLineEdit.
//
// Classic syntax: 0 required digit, 9 optional digit, # optional digit or sign, L/l letter, A/a letter or
// digit, C/c any character (upper case required, lower case optional), > upper case, < lower case, <> no case
// conversion, ! (blank side; no effect here), \x literal x, _ a literal blank; any other character is a
// literal. Suffixes: ";1" keeps the literals in the stored value, ";0" strips them; a third field gives the
// blank character shown in unfilled slots ("_" by default).
#pragma once

#include <optional>
#include <vector>

#include <QString>

class TEditMask {
public:
    enum class SlotKind { Literal, Digit, DigitOrSign, Letter, LetterOrDigit, AnyChar };
    enum class CaseMode { Keep, Upper, Lower };

    struct Position {
        SlotKind kind = SlotKind::Literal;
        bool required = false;    // input slots only
        CaseMode caseMode = CaseMode::Keep;
        QChar literal;            // literal positions only
    };

    TEditMask() = default;
    explicit TEditMask(const QString& classicMask);

    bool IsEmpty() const { return positions_.empty(); }
    const std::vector<Position>& Positions() const { return positions_; }
    bool KeepLiterals() const { return keepLiterals_; }
    QChar BlankChar() const { return blank_; }

    // The equivalent mask for QLineEdit::setInputMask; "" for an empty mask.
    QString QtInputMask() const;

    // The full-width text (literals in place, BlankChar in unfilled slots) for a stored value, or nullopt
    // when the value does not fit the mask. Null and empty values fit and give an all-blank text.
    std::optional<QString> DisplayText(const QString& storedValue) const;
    bool Fits(const QString& storedValue) const { return DisplayText(storedValue).has_value(); }

    // The value to store for a full-width text as shown by a masked edit: nullopt (null) when no slot is
    // filled; otherwise the slots (with the literals for ";1"), unfilled slots as blanks, trailing blanks cut.
    std::optional<QString> StoredValue(const QString& displayText) const;

    // True when every required slot of a full-width text is filled (an all-blank text counts as complete:
    // it stores null).
    bool IsComplete(const QString& displayText) const;

    // Whether a character may go into a slot.
    static bool Accepts(const Position& slot, QChar c);

private:
    bool IsFilled(QChar c) const { return c != blank_ && c != QLatin1Char(' '); }

    std::vector<Position> positions_;
    bool keepLiterals_ = true;
    QChar blank_ = QLatin1Char('_');
};
