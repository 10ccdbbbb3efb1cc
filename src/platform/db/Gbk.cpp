// GBK conversion through glibc iconv. A converter is opened per call: conversion happens only at file
// boundaries, and a per-call handle keeps the functions safe to use from any thread.
#include "platform/db/Gbk.h"

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <iconv.h>

#include "platform/db/Exception.h"

namespace db::gbk {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw EDatabaseError(std::string("系统缺少从 ") + from + " 到 " + to + " 的文字转换");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; on a fault returns false with the offset of the offending input byte.
    bool Run(std::string_view in, std::string& out, std::size_t& faultPos)
    {
        out.clear();
        out.resize(in.size() * 2 + 16);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t done = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + done;
            std::size_t outLeft = out.size() - done;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            done = out.size() - outLeft;
            if (rc != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ (invalid or unrepresentable) or EINVAL (incomplete sequence at the end).
            faultPos = static_cast<std::size_t>(inPtr - in.data());
            return false;
        }
        out.resize(done);
        return true;
    }

private:
    iconv_t cd_;
};

// The UTF-8 sequence starting at pos, as U+XXXX, or "" when it is not well formed.
std::string CodePointAt(std::string_view s, std::size_t pos)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(pos);
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || pos + static_cast<std::size_t>(len) > s.size())
        return {};
    unsigned cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int i = 1; i < len; ++i) {
        const unsigned char cc = b(pos + static_cast<std::size_t>(i));
        if ((cc >> 6) != 0x2)
            return {};
        cp = (cp << 6) | (cc & 0x3F);
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", cp);
    return buf;
}

}  // namespace

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::string ToUtf8(std::string_view gbk)
{
    if (IsAscii(gbk))
        return std::string(gbk);
    // GBK first: it also reads the single byte 0x80 (the euro sign of code page 936) that GB18030 refuses;
    // GB18030 then for its four-byte sequences.
    std::string out;
    std::size_t pos = 0;
    if (Converter("UTF-8", "GBK").Run(gbk, out, pos))
        return out;
    std::size_t pos18030 = 0;
    if (Converter("UTF-8", "GB18030").Run(gbk, out, pos18030))
        return out;
    throw EDatabaseError("不是有效的 GBK 文字（第 " + std::to_string(pos + 1) + " 个字节）");
}

std::string FromUtf8(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    std::size_t pos = 0;
    Converter gbk("GBK", "UTF-8");
    if (gbk.Run(utf8, out, pos))
        return out;
    // Character by character: a character without a GBK code may still have a two-byte GB18030 code (the
    // user-defined areas, which code page 936 maps to the private use area); four-byte codes are refused.
    Converter gb18030("GB18030", "UTF-8");
    out.clear();
    std::string one;
    for (pos = 0; pos < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[pos]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++pos;
            continue;
        }
        const std::size_t len = std::min<std::size_t>(utf8.size() - pos,
                                                      (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4);
        const std::string_view ch = utf8.substr(pos, len);
        std::size_t fault = 0;
        if (!gbk.Run(ch, one, fault) && !(gb18030.Run(ch, one, fault) && one.size() == 2)) {
            const std::string cp = CodePointAt(utf8, pos);
            if (cp.empty())
                throw EDatabaseError("不是有效的 UTF-8 文字（第 " + std::to_string(pos + 1) + " 个字节）");
            throw EDatabaseError("字符“" + std::string(ch) + "”（" + cp + "，第 " + std::to_string(pos + 1) +
                                 " 个字节）在 GBK 中没有编码，不能写入");
        }
        out += one;
        pos += len;
    }
    return out;
}

}  // namespace db::gbk
