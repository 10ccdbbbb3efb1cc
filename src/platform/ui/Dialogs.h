// The file dialogs as non-visual components. Execute asks through the application object (a real dialog in
// the program, the scripted user in tests); the dialogs never change the current folder.
#pragma once

#include <string>

#include "platform/ui/Component.h"

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0, ofOverwritePrompt = 1u << 1, ofHideReadOnly = 1u << 2, ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4, ofNoValidate = 1u << 5, ofAllowMultiSelect = 1u << 6, ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8, ofFileMustExist = 1u << 9, ofCreatePrompt = 1u << 10, ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12, ofNoTestFileCreate = 1u << 13, ofEnableSizing = 1u << 14
};
using TOpenOptions = unsigned;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    bool Execute();

    std::string Title;
    std::string Filter;  // "desc|pattern|desc|pattern"
    int FilterIndex = 1;
    std::string FileName;
    std::string DefaultExt;
    std::string InitialDir;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;

protected:
    virtual bool IsSave() const { return false; }
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

protected:
    bool IsSave() const override { return true; }
};
