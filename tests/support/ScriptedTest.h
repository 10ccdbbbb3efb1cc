// Test fixtures for windows: a scripted user that fails the test on any unexpected question, a fresh temporary
// folder that is the current folder during the test, and stand-in windows that take the place of a window class
// in the window factory for one test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"
#include "platform/ui/ScriptedUser.h"

namespace testsupport {

// A window with no controls that records how it was shown.
class TStandInWindow : public TForm {
public:
    explicit TStandInWindow(TComponent* owner) : TForm(owner)
    {
        LoadDescriptionText("TStandInWindow",
                            "object F_standin: TStandInWindow\n  Caption = 'stand-in'\n"
                            "  ClientWidth = 200\n  ClientHeight = 100\n  OnActivate = FormActivate\n"
                            "  OnDestroy = FormDestroy\nend\n",
                            "TStandInWindow.form");
    }
    void FormActivate(TObject*)
    {
        ++activations;
        if (onActivate) {
            onActivate(*this);
        }
    }
    void FormDestroy(TObject*)
    {
        if (destroyed) {
            *destroyed = true;
        }
    }
    int activations = 0;
    std::function<void(TStandInWindow&)> onActivate;
    bool* destroyed = nullptr;
};

inline const ClassBuilder<TStandInWindow> kStandInClass("TStandInWindow", "TForm", [](ClassBuilder<TStandInWindow>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TStandInWindow::FormActivate);
    c.Handler("FormDestroy", &TStandInWindow::FormDestroy);
});

// Puts a stand-in in place of a window class for the life of this object; the real entry (if any) returns
// afterwards; the stand-in window goes with this object.
class ScopedStandIn {
public:
    explicit ScopedStandIn(const std::string& className) : className_(className)
    {
        if (const TFormFactory::Entry* e = TFormFactory::Find(className)) {
            saved_ = std::make_unique<TFormFactory::Entry>(*e);
        }
        TFormFactory::Register({className, [this] { return static_cast<TForm*>(window_); },
                                [this] {
                                    Application->CreateForm(&window_);
                                    window_->ClassName = className_;
                                    window_->onActivate = onActivate;
                                    window_->destroyed = &destroyed;
                                }});
    }
    ~ScopedStandIn()
    {
        if (window_) {
            window_->destroyed = nullptr;
            Application->DestroyForm(window_);
        }
        if (saved_) {
            TFormFactory::Register(*saved_);
        } else {
            TFormFactory::Register({className_, [] { return static_cast<TForm*>(nullptr); },
                                    [] {}});  // not part of this program: Obtain gives nullptr again
        }
    }
    TStandInWindow* Window() const { return window_; }
    std::function<void(TStandInWindow&)> onActivate;
    bool destroyed = false;

private:
    std::string className_;
    TStandInWindow* window_ = nullptr;
    std::unique_ptr<TFormFactory::Entry> saved_;
};

// A scripted user and a fresh temporary current folder per test.
class ScriptedTest : public testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        Application->SetScreenSize(1024, 768);
        char pattern[] = "/tmp/vemora-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base_ = pattern;
        saved_ = std::filesystem::current_path();
        user_ = std::make_unique<TScriptedUser>();
        user_->OnFailure = [](const std::string& what) { ADD_FAILURE() << "scripted user: " << what; };
    }

    void TearDown() override
    {
        Application->DestroyForms();
        if (user_ && !user_->ScriptDone()) {
            ADD_FAILURE() << "the script has " << user_->StepsLeft() << " unused steps";
        }
        user_.reset();
        std::filesystem::current_path(saved_);
        std::error_code ec;
        std::filesystem::remove_all(base_, ec);
        Application->SetScreenSize(0, 0);
    }

    // Makes folder (under the temporary folder) the current folder.
    void EnterFolder(const std::filesystem::path& folder) { std::filesystem::current_path(folder); }

    TScriptedUser& User() { return *user_; }
    const std::filesystem::path& Base() const { return base_; }

    std::filesystem::path base_;
    std::filesystem::path saved_;
    std::unique_ptr<TScriptedUser> user_;
};

}  // namespace testsupport
