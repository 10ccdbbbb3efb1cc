// TLabel: static text. "&&" shows one '&'; a single '&' marks the accelerator and is not shown.
// AutoSize (on by default) fits the width and height to the text.
#pragma once

#include "platform/ui/Control.h"

class QLabel;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);
    void SetCaption(const std::string& text) override;
    void ApplyFont() override;
    void SetBounds(int left, int top, int width, int height) override;

    // The text as shown (accelerator marks resolved).
    std::string DisplayText() const;
    static std::string StripAccelerator(const std::string& caption);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    void SetAlignment(TAlignment a);
    void SetWordWrap(bool on);
    bool Transparent = true;

protected:
    void FontChanged() override { FitToText(); }

private:
    QLabel* label() const;
    void FitToText();

    bool autoSize_ = true;
    bool fitting_ = false;
};
