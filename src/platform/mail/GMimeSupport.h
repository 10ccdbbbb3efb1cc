// Small helpers around GMime: the library started once, GObject references and GLib strings owned by
// RAII holders, and the parser options every reading of a mail uses (loose RFC 2047, UTF-8 then GB18030 for
// raw 8-bit text, as older mail programs of this system's users sent it).
#pragma once

#include <gmime/gmime.h>

#include <memory>
#include <string>

namespace mail {

void InitGMime();

struct GObjectUnref {
    void operator()(void* p) const
    {
        if (p) {
            g_object_unref(p);
        }
    }
};
template <class T>
using GRef = std::unique_ptr<T, GObjectUnref>;

// A GLib string as std::string ("" for null), freed.
std::string TakeString(char* s);

// The options for reading mails (shared, never freed).
GMimeParserOptions* ReadOptions();

}  // namespace mail
