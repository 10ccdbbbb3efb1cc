// Real mail servers for the mail tests, started on free loopback ports in a folder of their own and ended with
// the object: aiosmtpd (SMTP, delivering into a Maildir, logging the envelope it sees and refusing recipients named
// "refuse..."), Dovecot (POP3 on the same Maildir, so a sent mail can be fetched back) and a small POP3 script of
// our own that logs every command and can drop the connection in the middle of a RETR. A server that does not
// come up raises, so the test fails instead of hanging; every client in the tests has a time-out.
//
// Dovecot runs as root without systemd: base_dir and state_dir lie in the servers' folder (readable by the
// users Dovecot switches to), logins run as dovenull and the mail as the user nobody, which owns the Maildir.
#pragma once

#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A program run in the background for one test, ended (SIGTERM, then SIGKILL) when the object goes and also
// when the test process dies.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& log,
                 const std::vector<std::string>& env = {})
    {
        // Everything the child needs is made before fork: between fork and exec only system calls.
        std::vector<std::string> envStrings = env;
        for (char** e = environ; *e; ++e) {
            envStrings.emplace_back(*e);
        }
        std::vector<char*> args, envp;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        for (const std::string& e : envStrings) {
            envp.push_back(const_cast<char*>(e.c_str()));
        }
        envp.push_back(nullptr);
        const std::string logPath = log.string();
        pid_ = fork();
        if (pid_ < 0) {
            throw std::runtime_error("fork failed");
        }
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            setpgid(0, 0);
            const int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
            }
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
    }
    ~ChildProcess()
    {
        if (pid_ <= 0) {
            return;
        }
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// A loopback port that nothing listens on at the moment of asking.
inline int FreeLoopbackPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(s);
        throw std::runtime_error("no free loopback port");
    }
    close(s);
    return ntohs(a.sin_port);
}

// Whether the process listens on the loopback port itself: tests run side by side, and a port found free a
// moment ago may have gone to another test's server.
inline bool ListensOn(pid_t pid, int port)
{
    std::ifstream tcp("/proc/net/tcp");
    std::string line;
    std::getline(tcp, line);
    std::string inode;
    while (std::getline(tcp, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, node;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> node;
        const std::size_t colon = local.find(':');
        if (state == "0A" && colon != std::string::npos && std::stoi(local.substr(colon + 1), nullptr, 16) == port) {
            inode = node;
        }
    }
    if (inode.empty()) {
        return false;
    }
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        if (std::filesystem::read_symlink(fd.path(), ec).string() == "socket:[" + inode + "]") {
            return true;
        }
    }
    return false;
}

// A port that accepts connections and never answers (a hung server).
class SilentPort {
public:
    SilentPort()
    {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            throw std::runtime_error("cannot listen on loopback");
        }
        port_ = ntohs(a.sin_port);
    }
    ~SilentPort() { close(fd_); }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

class MailServers {
public:
    static constexpr const char* kUser = "tester";
    static constexpr const char* kPassword = "secret";

    // Dovecot switches users, so it needs root (as the test machines run).
    static bool CanRunDovecot() { return geteuid() == 0 && std::filesystem::exists("/usr/sbin/dovecot"); }

    MailServers()
    {
        char pattern[] = "/tmp/vemora-mailsrv-XXXXXX";
        if (!mkdtemp(pattern)) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        folder_ = pattern;
        std::filesystem::permissions(folder_, std::filesystem::perms::others_read | std::filesystem::perms::others_exec |
                                                  std::filesystem::perms::group_read | std::filesystem::perms::group_exec,
                                     std::filesystem::perm_options::add);
        for (const char* sub : {"cur", "new", "tmp"}) {
            std::filesystem::create_directories(Maildir() / sub);
        }
        const passwd* nobody = getpwnam("nobody");
        mailUid_ = nobody ? nobody->pw_uid : 65534;
        mailGid_ = nobody ? nobody->pw_gid : 65534;
        OwnMaildir();
    }

    ~MailServers()
    {
        smtp_.reset();
        pop3_.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    MailServers(const MailServers&) = delete;
    MailServers& operator=(const MailServers&) = delete;

    std::filesystem::path Maildir() const { return folder_ / "Maildir"; }
    int SmtpPort() const { return smtpPort_; }
    int Pop3Port() const { return pop3Port_; }

    void StartSmtp()
    {
        Launch(smtp_, smtpPort_, "aiosmtpd", folder_ / "smtp.out", [this](int port) {
            return std::vector<std::string>{"/usr/bin/python3", "-m", "aiosmtpd", "-n", "-l",
                                            "127.0.0.1:" + std::to_string(port), "-c", "smtp_handler.Recording",
                                            Maildir().string(), (folder_ / "smtp.log").string()};
        });
    }

    void StartPop3()
    {
        for (const char* sub : {"run", "state"}) {
            std::filesystem::create_directories(folder_ / sub);
        }
        {
            std::ofstream users(folder_ / "passwd");
            users << kUser << ":{PLAIN}" << kPassword << ":" << mailUid_ << ":" << mailGid_ << "::" << folder_.string()
                  << "::\n";
        }
        Launch(pop3_, pop3Port_, "dovecot", folder_ / "dovecot.log", [this](int port) {
            WriteDovecotConf(port);
            return std::vector<std::string>{"/usr/sbin/dovecot", "-F", "-c", (folder_ / "dovecot.conf").string()};
        });
    }

    // Our own POP3 server on the Maildir; dropRetr > 0 drops the connection in the middle of RETR of that mail.
    void StartScriptedPop3(int dropRetr = 0)
    {
        Launch(pop3_, pop3Port_, "pop3_server.py", folder_ / "pop3.out", [this, dropRetr](int port) {
            std::vector<std::string> argv{"/usr/bin/python3", ScriptFolder() + "/pop3_server.py", std::to_string(port),
                                          Maildir().string(), (folder_ / "pop3.log").string()};
            if (dropRetr > 0) {
                argv.push_back("--drop-retr");
                argv.push_back(std::to_string(dropRetr));
            }
            return argv;
        });
    }

    // Puts a mail into the Maildir as a delivering server does; mails put in later sort after earlier ones.
    void Deliver(const std::string& raw)
    {
        const std::string name = std::to_string(1000000000 + ++delivered_) + ".M1P" + std::to_string(getpid()) + ".test";
        const std::filesystem::path tmp = Maildir() / "tmp" / name;
        std::ofstream(tmp, std::ios::binary) << raw;
        std::filesystem::rename(tmp, Maildir() / "new" / name);
        OwnMaildir();
    }

    // The mails in the Maildir, raw, in file-name order.
    std::vector<std::string> Mails() const
    {
        std::vector<std::filesystem::path> files;
        for (const char* sub : {"new", "cur"}) {
            for (const auto& e : std::filesystem::directory_iterator(Maildir() / sub)) {
                files.push_back(e.path());
            }
        }
        std::sort(files.begin(), files.end(),
                  [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
        std::vector<std::string> out;
        for (const auto& f : files) {
            out.push_back(ReadFile(f));
        }
        return out;
    }

    // What the SMTP server saw (EHLO, MAIL, RCPT lines) and what the scripted POP3 server got, line by line.
    std::vector<std::string> SmtpLog() const { return Lines(ReadFile(folder_ / "smtp.log")); }
    std::vector<std::string> Pop3Log() const { return Lines(ReadFile(folder_ / "pop3.log")); }

    static std::string ReadFile(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    static std::string ScriptFolder() { return std::string(VEMORA_SOURCE_DIR) + "/tests/support/mail"; }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    }

    void OwnMaildir()
    {
        if (geteuid() != 0) {
            return;
        }
        for (const auto& e : std::filesystem::recursive_directory_iterator(Maildir())) {
            (void)!chown(e.path().c_str(), mailUid_, mailGid_);
        }
        (void)!chown(Maildir().c_str(), mailUid_, mailGid_);
    }

    void WriteDovecotConf(int port)
    {
        std::ofstream conf(folder_ / "dovecot.conf");
        conf << "protocols = pop3\nlisten = 127.0.0.1\nbase_dir = " << (folder_ / "run").string()
             << "\nstate_dir = " << (folder_ / "state").string() << "\nlog_path = " << (folder_ / "dovecot.log").string()
             << "\ndefault_login_user = dovenull\ndefault_internal_user = dovecot\nssl = no\n"
                "disable_plaintext_auth = no\nauth_mechanisms = plain\nauth_failure_delay = 0\nfirst_valid_uid = 1\n"
                "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u "
             << (folder_ / "passwd").string() << "\n}\nuserdb {\n  driver = passwd-file\n  args = username_format=%u "
             << (folder_ / "passwd").string() << "\n}\nmail_location = maildir:" << Maildir().string()
             << "\nservice pop3-login {\n  chroot =\n  inet_listener pop3 {\n    port = " << port
             << "\n  }\n}\nservice imap-login {\n  chroot =\n}\nservice anvil {\n  chroot =\n}\n";
    }

    // Starts a server on a free port and waits until it listens there itself; a port taken meanwhile by
    // another test's server means another try on another port. A server that does not come up raises.
    void Launch(std::unique_ptr<ChildProcess>& process, int& port, const std::string& what,
                const std::filesystem::path& log, const std::function<std::vector<std::string>(int)>& argv)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = FreeLoopbackPort();
            process = std::make_unique<ChildProcess>(argv(port), log,
                                                     std::vector<std::string>{"PYTHONPATH=" + ScriptFolder(),
                                                                              "PYTHONDONTWRITEBYTECODE=1"});
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (std::chrono::steady_clock::now() < until && process->Running()) {
                if (ListensOn(process->Pid(), port)) {
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
            }
            if (process->Running()) {
                break;  // alive but never listening: no use trying again
            }
        }
        throw std::runtime_error(what + " did not come up: " + ReadFile(log));
    }

    std::filesystem::path folder_;
    uid_t mailUid_ = 65534;
    gid_t mailGid_ = 65534;
    int smtpPort_ = 0;
    int pop3Port_ = 0;
    int delivered_ = 0;
    std::unique_ptr<ChildProcess> smtp_;
    std::unique_ptr<ChildProcess> pop3_;
};

}  // namespace testsupport
