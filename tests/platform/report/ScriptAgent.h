// A scripted user for the report tests: answers message boxes and file dialogs from queues, acts in modal
// windows with a given function, and records every message shown. Anything unexpected fails the test.
#pragma once

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/ui/Application.h"

class ScriptAgent : public TUserAgent {
public:
    ScriptAgent() { Application->SetUserAgent(this); }
    ~ScriptAgent() override
    {
        Application->SetUserAgent(nullptr);
        EXPECT_TRUE(answers.empty()) << "unused message answers";
        EXPECT_TRUE(files.empty()) << "unused file answers";
        EXPECT_TRUE(modals.empty()) << "unused window actions";
    }

    struct Message {
        std::string text, caption;
        int flags;
    };
    std::vector<Message> messages;
    std::deque<int> answers;                          // IDYES, IDNO, IDOK ...
    std::deque<std::string> files;                    // "" cancels the dialog
    std::deque<std::function<void(TForm&)>> modals;   // acts in the window, which then closes
    std::vector<TFileDialogRequest> fileRequests;
    std::deque<std::function<bool(TPrinterRequest&)>> printerDialogs;

    int MessageBox(const std::string& text, const std::string& caption, int flags) override
    {
        messages.push_back({text, caption, flags});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << caption << ": " << text;
            return IDCANCEL;
        }
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    bool FileDialog(TFileDialogRequest& request) override
    {
        fileRequests.push_back(request);
        if (files.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << request.title;
            return false;
        }
        request.fileName = files.front();
        files.pop_front();
        return !request.fileName.empty();
    }
    bool PrinterDialog(TPrinterRequest& request) override
    {
        if (printerDialogs.empty()) {
            ADD_FAILURE() << "unexpected printer dialog";
            return false;
        }
        auto f = printerDialogs.front();
        printerDialogs.pop_front();
        return f(request);
    }
    void RunModal(TForm& form, const std::function<void()>&) override
    {
        if (modals.empty()) {
            ADD_FAILURE() << "unexpected window: " << form.Caption();
            return;
        }
        auto f = modals.front();
        modals.pop_front();
        f(form);
    }
};
