// A scripted test that makes probe windows from description texts; the windows are owned by the application,
// so they go with DestroyForms.
#pragma once

#include <deque>
#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/ProbeWindow.h"
#include "support/ScriptedTest.h"

class ProbeTest : public testsupport::ScriptedTest {
protected:
    TF_probe& Make(const std::string& body)
    {
        probes_.push_back(nullptr);
        Application->CreateForm(&probes_.back());
        probes_.back()->Load(body);
        return *probes_.back();
    }
    std::deque<TF_probe*> probes_;
};
