// TMemo: multi-line text, read and written as lines.
#pragma once

#include <vector>

#include "platform/ui/Control.h"

class QPlainTextEdit;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TControl {
public:
    explicit TMemo(TComponent* owner);
    std::string Text() const override;
    void SetText(const std::string& text) override;
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
    void AddLine(const std::string& line);
    void Clear() { SetText(""); }
    void SetReadOnly(bool on);
    void SetWordWrap(bool on);
    void SetScrollBars(TScrollStyle s);

private:
    QPlainTextEdit* memo() const;
};
