// A report built in code for layout tests: a data set of numbered rows, and helpers that add bands and
// printables at design-pixel positions as a report form's description would.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "MemTable.h"
#include "platform/report/QuickRep.h"

struct ReportFixture {
    std::unique_ptr<TComponent> root = std::make_unique<TComponent>(nullptr);
    TQuickRep* rep = new TQuickRep(root.get());
    MemTable data{"Table1",
                  {{"NO", db::FieldType::String, 10}, {"MSG", db::FieldType::String, 200}, {"N", db::FieldType::Float}}};
    std::vector<std::string> events;

    ReportFixture()
    {
        rep->SetName("QuickRep1");
        rep->DataSet = &data;
        rep->BeforePrint = [this](TQuickRep*, bool&) { events.push_back("BeforePrint"); };
        rep->AfterPrint = [this](TObject*) { events.push_back("AfterPrint"); };
        rep->AfterPreview = [this](TObject*) { events.push_back("AfterPreview"); };
    }

    TQRBand* band(TQRBandType type, int heightPx)
    {
        auto* b = new TQRBand(root.get());
        b->BandType = type;
        b->SetBounds(0, 0, 718, heightPx);
        b->SetParent(rep);
        return b;
    }
    template <class T>
    T* put(TQRBand* b, int left, int top, int width, int height)
    {
        auto* p = new T(root.get());
        p->SetBounds(left, top, width, height);
        p->SetParent(b);
        return p;
    }
    TQRLabel* label(TQRBand* b, const std::string& caption, int left = 8, int top = 4)
    {
        auto* l = put<TQRLabel>(b, left, top, 120, 17);
        l->SetCaption(caption);
        return l;
    }
    TQRDBText* field(TQRBand* b, const std::string& name, int left, int top, int width)
    {
        auto* t = put<TQRDBText>(b, left, top, width, 17);
        t->DataSet = &data;
        t->DataField = name;
        return t;
    }
    void rows(int n)
    {
        data.Rows().clear();
        for (int i = 1; i <= n; ++i) {
            char no[16];
            std::snprintf(no, sizeof no, "R%04d", i);
            data.Rows().push_back({db::Variant{std::string(no)}, db::Variant{std::string("第") + no + "行"},
                                   db::Variant{double(i)}});
        }
    }
};

inline bool HasText(const report::Page& p, const std::string& t) { return !p.findText(t).empty(); }
