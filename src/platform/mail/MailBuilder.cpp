#include "platform/mail/MailBuilder.h"

#include <fstream>
#include <iterator>

#include "platform/mail/GMimeSupport.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailText.h"

namespace mail {

namespace {

bool AllAscii(const std::string& text)
{
    for (const unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(SlashPath(path), std::ios::binary);
    if (!in) {
        throw EMailError("无法读取附件文件 " + path);
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw EMailError("无法读取附件文件 " + path);
    }
    return data;
}

// A part whose content is the given bytes (copied into the part's own stream).
void SetContent(GMimePart* part, const std::string& bytes)
{
    GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    GRef<GMimeDataWrapper> wrapper(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, wrapper.get());
}

GRef<GMimeTextPart> TextPart(const OutgoingMail& mail)
{
    std::string text;
    for (std::size_t i = 0; i < mail.body.size(); ++i) {
        text += mail.body[i];
        if (i + 1 < mail.body.size()) {
            text += "\r\n";
        }
    }
    GRef<GMimeTextPart> part(g_mime_text_part_new_with_subtype("plain"));
    SetContent(GMIME_PART(part.get()), text);
    if (AllAscii(text)) {
        g_mime_text_part_set_charset(part.get(), mail.charset.empty() ? "us-ascii" : mail.charset.c_str());
        g_mime_part_set_content_encoding(GMIME_PART(part.get()), GMIME_CONTENT_ENCODING_7BIT);
    } else {
        g_mime_text_part_set_charset(part.get(), "utf-8");
        g_mime_part_set_content_encoding(GMIME_PART(part.get()), GMIME_CONTENT_ENCODING_BASE64);
    }
    return part;
}

GRef<GMimePart> AttachmentPart(const std::string& path)
{
    const std::string bytes = ReadWhole(path);
    GRef<GMimePart> part(g_mime_part_new_with_type("application", "octet-stream"));
    SetContent(part.get(), bytes);
    g_mime_part_set_filename(part.get(), BareName(path).c_str());
    g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
    return part;
}

}  // namespace

std::string BuildMail(const OutgoingMail& mail, const AttachmentStep& encodeStart, const AttachmentStep& encodeEnd)
{
    InitGMime();
    GRef<GMimeMessage> message(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM,
                               mail.fromName.empty() ? nullptr : mail.fromName.c_str(), mail.fromAddress.c_str());
    for (const std::string& a : mail.to) {
        g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_TO, nullptr, a.c_str());
    }
    for (const std::string& a : mail.cc) {
        g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_CC, nullptr, a.c_str());
    }
    g_mime_message_set_subject(message.get(), mail.subject.c_str(), "utf-8");
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    const std::string id = TakeString(g_mime_utils_generate_message_id(g_get_host_name()));
    g_mime_message_set_message_id(message.get(), id.c_str());
    g_mime_object_set_header(GMIME_OBJECT(message.get()), "X-Mailer", "Vemora", nullptr);

    GRef<GMimeTextPart> text = TextPart(mail);
    if (mail.attachments.empty()) {
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(text.get()));
    } else {
        GRef<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), GMIME_OBJECT(text.get()));
        for (const std::string& path : mail.attachments) {
            const std::string name = BareName(path);
            if (encodeStart) {
                encodeStart(name);
            }
            GRef<GMimePart> part = AttachmentPart(path);
            g_mime_multipart_add(mixed.get(), GMIME_OBJECT(part.get()));
            if (encodeEnd) {
                encodeEnd(name);
            }
        }
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    }

    GMimeFormatOptions* format = g_mime_format_options_clone(nullptr);
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    std::string out = TakeString(g_mime_object_to_string(GMIME_OBJECT(message.get()), format));
    g_mime_format_options_free(format);
    return out;
}

}  // namespace mail
