#include "platform/mail/MailReader.h"

#include <strings.h>

#include "platform/mail/GMimeSupport.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailText.h"

namespace mail {

namespace {

GRef<GMimeMessage> Parse(const std::string& bytes)
{
    InitGMime();
    GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GRef<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), ReadOptions()));
    if (!message) {
        throw EMailError("收到的邮件格式无法识别");
    }
    return message;
}

// A raw header value without its folding (a line break followed by a blank continues the line).
std::string Unfold(const std::string& raw)
{
    std::string out;
    for (const char c : raw) {
        if (c != '\r' && c != '\n') {
            out += c;
        }
    }
    return out;
}

std::string DecodedHeader(const char* raw)
{
    return TakeString(g_mime_utils_header_decode_text(ReadOptions(), Unfold(raw ? raw : "").c_str()));
}

bool IsAscii(const std::string& text)
{
    for (const unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string Converted(const std::string& bytes, const char* from)
{
    gsize written = 0;
    GError* error = nullptr;
    char* out = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", from, nullptr, &written, &error);
    if (!out) {
        g_clear_error(&error);
        return {};
    }
    std::string text(out, written);
    g_free(out);
    return text;
}

// Text of a declared charset (or none) as UTF-8.
std::string ToUtf8(const std::string& bytes, const char* charset)
{
    if (IsAscii(bytes)) {
        return bytes;
    }
    const bool declared = charset && *charset && strcasecmp(charset, "us-ascii") != 0;
    if (declared) {
        if (strcasecmp(charset, "utf-8") == 0 || strcasecmp(charset, "utf8") == 0) {
            if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) {
                return bytes;
            }
        } else {
            // GB2312 and GBK texts often hold characters only GB18030 names; it is their superset.
            const bool gb = strcasecmp(charset, "gb2312") == 0 || strcasecmp(charset, "gbk") == 0;
            const std::string text = Converted(bytes, gb ? "GB18030" : charset);
            if (!text.empty()) {
                return text;
            }
        }
    }
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) {
        return bytes;
    }
    const std::string text = Converted(bytes, "GB18030");
    if (!text.empty()) {
        return text;
    }
    return TakeString(g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size())));
}

std::string DecodedContent(GMimePart* part)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) {
        return {};
    }
    GRef<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

bool IsPlainText(GMimeObject* part)
{
    GMimeContentType* type = g_mime_object_get_content_type(part);
    return !type || g_mime_content_type_is_type(type, "text", "plain");
}

}  // namespace

IncomingMail ReadMail(const std::string& bytes)
{
    GRef<GMimeMessage> message = Parse(bytes);
    IncomingMail mail;
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message.get()));
    for (int i = 0; i < g_mime_header_list_get_count(headers); ++i) {
        GMimeHeader* h = g_mime_header_list_get_header_at(headers, i);
        mail.head.push_back(std::string(g_mime_header_get_name(h)) + ":" + DecodedHeader(g_mime_header_get_raw_value(h)));
    }
    if (InternetAddressList* from = g_mime_message_get_from(message.get())) {
        mail.from = TakeString(internet_address_list_to_string(from, nullptr, FALSE));
    }
    if (const char* subject = g_mime_message_get_subject(message.get())) {
        mail.subject = subject;
    }

    GMimeObject* top = g_mime_message_get_mime_part(message.get());
    if (!top) {
        return mail;
    }
    bool haveBody = false;
    auto take = [&](GMimeObject* object) {
        if (!GMIME_IS_PART(object)) {
            return;
        }
        GMimePart* part = GMIME_PART(object);
        const char* name = g_mime_part_get_filename(part);
        if (!haveBody && !name && !g_mime_part_is_attachment(part) && IsPlainText(object)) {
            const char* charset = GMIME_IS_TEXT_PART(object) ? g_mime_text_part_get_charset(GMIME_TEXT_PART(object))
                                                              : nullptr;
            mail.body = SplitLines(ToUtf8(DecodedContent(part), charset));
            haveBody = true;
            return;
        }
        if (name || g_mime_part_is_attachment(part)) {
            mail.attachments.push_back({name ? name : "", DecodedContent(part)});
        }
    };
    if (GMIME_IS_PART(top)) {
        take(top);
    } else {
        GMimePartIter* iter = g_mime_part_iter_new(top);
        do {
            if (GMimeObject* current = g_mime_part_iter_get_current(iter)) {
                take(current);
            }
        } while (g_mime_part_iter_next(iter));
        g_mime_part_iter_free(iter);
    }
    return mail;
}

std::string ReadSubject(const std::string& headerBlock)
{
    std::string block = headerBlock;
    if (block.find("\n\n") == std::string::npos && block.find("\r\n\r\n") == std::string::npos) {
        block += "\r\n";  // a header block without the blank line that ends it
    }
    GRef<GMimeMessage> message = Parse(block);
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message.get()));
    GMimeHeader* subject = g_mime_header_list_get_header(headers, "Subject");
    return subject ? DecodedHeader(g_mime_header_get_raw_value(subject)) : std::string();
}

}  // namespace mail
