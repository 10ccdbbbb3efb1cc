#include "platform/mail/AttachmentFiles.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/mail/MailError.h"
#include "platform/mail/MailText.h"

namespace fs = std::filesystem;

namespace mail {

namespace {

constexpr std::size_t kMaxNameBytes = 200;

// Cuts a UTF-8 text to at most n bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t n)
{
    if (text.size() <= n) {
        return text;
    }
    std::size_t end = n;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

bool TakenWithoutCase(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string existing = entry.path().filename().string();
        if (existing.size() == name.size() && strcasecmp(existing.c_str(), name.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

std::string Numbered(const std::string& name, int n)
{
    const std::size_t dot = name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : std::string();
    return stem + "(" + std::to_string(n) + ")" + ext;
}

}  // namespace

std::string SafeFileName(const std::string& given)
{
    std::string name;
    for (const char c : BareName(given)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            name += c;
        }
    }
    const std::size_t first = name.find_first_not_of(" .");
    name = first == std::string::npos ? std::string() : name.substr(first);
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    if (name.size() > kMaxNameBytes) {
        const std::size_t dot = name.rfind('.');
        const std::string ext = dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : std::string();
        name = CutUtf8(name.substr(0, name.size() - ext.size()), kMaxNameBytes - ext.size()) + ext;
    }
    return name.empty() ? "attachment" : name;
}

std::string WriteUniqueFile(const std::string& folder, const std::string& name, const std::string& data)
{
    const fs::path dir(SlashPath(folder));
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        throw EMailError("附件文件夹 " + folder + " 不存在");
    }
    for (int n = 1;; ++n) {
        const std::string candidate = n == 1 ? name : Numbered(name, n);
        if (TakenWithoutCase(dir, candidate)) {
            continue;
        }
        const fs::path path = dir / candidate;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            throw EMailError("无法在附件文件夹 " + folder + " 中建立文件 " + candidate + "：" +
                             std::system_category().message(errno));
        }
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w <= 0) {
                const int err = errno;
                ::close(fd);
                ::unlink(path.c_str());
                throw EMailError("无法写入附件文件 " + candidate + "：" + std::system_category().message(err));
            }
            done += static_cast<std::size_t>(w);
        }
        const bool synced = ::fsync(fd) == 0;
        const int err = errno;
        if (::close(fd) != 0 || !synced) {
            ::unlink(path.c_str());
            throw EMailError("无法写入附件文件 " + candidate + "：" + std::system_category().message(err));
        }
        return candidate;
    }
}

}  // namespace mail
