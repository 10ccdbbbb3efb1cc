// A window class for framework tests: its handlers write what happened to a log, and a few of them fail or
// abort on purpose. Each test gives it a description text.
#pragma once

#include <string>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/ui/Form.h"
#include "platform/ui/Registry.h"

class TF_probe : public TForm {
public:
    explicit TF_probe(TComponent* owner) : TForm(owner) {}

    void Load(const std::string& body)
    {
        LoadDescriptionText("TF_probe", "object F_probe: TF_probe\n" + body + "end\n", "TF_probe.form");
    }

    static std::string NameOf(TObject* o)
    {
        auto* c = dynamic_cast<TComponent*>(o);
        return c ? c->Name() : "?";
    }
    void Clicked(TObject* s) { log.push_back("click " + NameOf(s)); }
    void Changed(TObject* s) { log.push_back("change " + NameOf(s)); }
    void Entered(TObject* s) { log.push_back("enter " + NameOf(s)); }
    void Exited(TObject* s) { log.push_back("exit " + NameOf(s)); }
    void Activated(TObject* s) { log.push_back("activate " + NameOf(s)); }
    void DoubleClicked(TObject* s) { log.push_back("dblclick " + NameOf(s)); }
    void KeyPressed(TObject* s, char& Key)
    {
        log.push_back("key " + NameOf(s) + " " + std::to_string(static_cast<int>(Key)));
        if (Key == consumeKey) {
            Key = 0;
        }
    }
    void Closing(TObject*, TCloseAction& Action)
    {
        log.push_back("close");
        if (refuseClose) {
            Action = TCloseAction::caNone;
        }
        if (failClose) {
            throw Exception("存盘失败");
        }
    }
    void Fails(TObject*) { throw EDatabaseError("Key violation."); }
    void SetsEditText(TObject*)
    {
        log.push_back("before");
        if (auto* edit = dynamic_cast<TControl*>(FindComponent("Edit1"))) {
            edit->SetText("x");
        }
        log.push_back("after");
    }
    void Aborts(TObject*) { Abort(); }
    void DataSetEvent(TDataSet* d) { log.push_back("dataset " + d->Name); }
    void SourceState(TDataSource* s) { log.push_back("state " + s->Name); }

    std::vector<std::string> log;
    char consumeKey = 0;
    bool refuseClose = false;
    bool failClose = false;
};

inline const ClassBuilder<TF_probe> kProbeClass("TF_probe", "TForm", [](ClassBuilder<TF_probe>& c) {
    c.NotCreatable();
    c.Handler("Clicked", &TF_probe::Clicked);
    c.Handler("Changed", &TF_probe::Changed);
    c.Handler("Entered", &TF_probe::Entered);
    c.Handler("Exited", &TF_probe::Exited);
    c.Handler("Activated", &TF_probe::Activated);
    c.Handler("DoubleClicked", &TF_probe::DoubleClicked);
    c.Handler("KeyPressed", &TF_probe::KeyPressed);
    c.Handler("Closing", &TF_probe::Closing);
    c.Handler("Fails", &TF_probe::Fails);
    c.Handler("SetsEditText", &TF_probe::SetsEditText);
    c.Handler("Aborts", &TF_probe::Aborts);
    c.Handler("DataSetEvent", &TF_probe::DataSetEvent);
    c.Handler("SourceState", &TF_probe::SourceState);
});
