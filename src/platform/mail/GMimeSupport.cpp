#include "platform/mail/GMimeSupport.h"

namespace mail {

void InitGMime()
{
    static const bool done = [] {
        g_mime_init();
        return true;
    }();
    (void)done;
}

std::string TakeString(char* s)
{
    if (!s) {
        return {};
    }
    std::string out(s);
    g_free(s);
    return out;
}

GMimeParserOptions* ReadOptions()
{
    static GMimeParserOptions* options = [] {
        InitGMime();
        GMimeParserOptions* o = g_mime_parser_options_new();
        static const char* fallback[] = {"UTF-8", "GB18030", nullptr};
        g_mime_parser_options_set_fallback_charsets(o, fallback);
        g_mime_parser_options_set_rfc2047_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_parameter_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_address_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        return o;
    }();
    return options;
}

}  // namespace mail
