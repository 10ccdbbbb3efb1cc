// vemora-scenario FOLDER SCRIPT.txt: runs a scenario headless in FOLDER. The script is read line by line as
// the user would act; a message box, file dialog or modal window takes the next lines as its answer (see
// tools/README.md). Every message shown is printed. Exit status 0 when the script ran through, 1 otherwise.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "WindowTool.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/ScriptedUser.h"

namespace {

struct Line {
    int number = 0;
    std::vector<std::string> words;
};

// Words separated by blanks; "..." quotes a word, "" inside it is one quote.
bool Split(const std::string& text, std::vector<std::string>& out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
            ++i;
            continue;
        }
        std::string w;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        w += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                w += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
                w += text[i++];
            }
        }
        out.push_back(w);
    }
    return true;
}

class Scenario : public TUserAgent {
public:
    explicit Scenario(std::vector<Line> lines) : lines_(std::move(lines)) {}

    bool Run()
    {
        while (ok_ && next_ < lines_.size()) {
            Exec(lines_[next_++]);
        }
        return ok_;
    }

    // TUserAgent: each question takes the next line as its answer.
    int MessageBox(const std::string& text, const std::string& caption, int flags) override
    {
        std::cout << "message [" << caption << "] " << text << "\n";
        const int buttons = flags & 0xF;
        const int refusal = buttons == MB_YESNO ? IDNO : buttons == MB_OK ? IDOK : IDCANCEL;
        const Line* l = Take("message");
        if (!l) {
            return refusal;
        }
        if (l->words.size() != 4) {
            Error(*l, "message wants: message CAPTION TEXT ok|yes|no|cancel");
            return refusal;
        }
        if ((l->words[1] != "*" && l->words[1] != caption) || (l->words[2] != "*" && l->words[2] != text)) {
            Error(*l, "the message shown is [" + caption + "] " + text);
            return refusal;
        }
        const std::string& a = l->words[3];
        const int answer = a == "ok" ? IDOK : a == "yes" ? IDYES : a == "no" ? IDNO : a == "cancel" ? IDCANCEL : 0;
        const bool fits = (buttons == MB_OK && answer == IDOK) ||
                          (buttons == MB_YESNO && (answer == IDYES || answer == IDNO)) ||
                          (buttons == MB_OKCANCEL && (answer == IDOK || answer == IDCANCEL)) ||
                          (buttons == MB_YESNOCANCEL && answer != IDOK && answer != 0);
        if (!fits) {
            Error(*l, "the answer " + a + " is not a button of this message");
            return refusal;
        }
        std::cout << "  answered " << a << "\n";
        return answer;
    }

    bool FileDialog(TFileDialogRequest& r) override
    {
        std::cout << (r.save ? "save" : "open") << " dialog \"" << r.title << "\"\n";
        const Line* l = Take("file");
        if (!l || l->words.size() < 2 || l->words.size() > 3) {
            if (l) {
                Error(*l, "file wants: file PATH [FILTER-NUMBER] | file cancel");
            }
            return false;
        }
        if (l->words[1] == "cancel") {
            std::cout << "  cancelled\n";
            return false;
        }
        r.fileName = l->words[1];
        if (l->words.size() == 3) {
            r.filterIndex = std::atoi(l->words[2].c_str());
        }
        std::cout << "  answered " << r.fileName << "\n";
        return true;
    }

    bool PrinterDialog(TPrinterRequest& r) override
    {
        std::cout << "printer dialog\n";
        const Line* l = Take("printer");
        if (!l) {
            return false;
        }
        if (l->words.size() >= 2 && l->words[1] == "cancel") {
            return false;
        }
        for (std::size_t i = 1; i < l->words.size(); ++i) {
            if (l->words[i] == "portrait" || l->words[i] == "landscape") {
                r.landscape = l->words[i] == "landscape";
            } else {
                r.outputFile = l->words[i];
            }
        }
        return true;
    }

    void RunModal(TForm& form, const std::function<void()>&) override
    {
        std::cout << "window " << form.Name() << " \"" << form.Caption() << "\" shown modally\n";
        while (ok_ && !form.ModalDone()) {
            if (next_ >= lines_.size()) {
                std::cout << "error: the script ends while " << form.Name() << " is open\n";
                Fail();
                return;
            }
            Exec(lines_[next_++]);
        }
        if (form.ModalDone()) {
            std::cout << "window " << form.Name() << " closed\n";
        }
    }

private:
    void Fail()
    {
        ok_ = false;
        Application->AbortModalLoops(true);
    }
    void Error(const Line& l, const std::string& what)
    {
        std::cout << "error: line " << l.number << ": " << what << "\n";
        Fail();
    }

    const Line* Take(const char* command)
    {
        if (!ok_) {
            return nullptr;
        }
        if (next_ >= lines_.size() || lines_[next_].words.front() != command) {
            std::cout << "error: " << (next_ < lines_.size() ? "line " + std::to_string(lines_[next_].number) + ": " : "")
                      << "the program asks a question here; the script must answer it with '" << command << "'\n";
            Fail();
            return nullptr;
        }
        return &lines_[next_++];
    }

    TForm* CurrentWindow() const
    {
        return Application->ActiveForm() ? Application->ActiveForm() : Application->MainForm();
    }

    // "Control" on the active window, or "Window.Control".
    TControl* FindControl(const Line& l, const std::string& name)
    {
        TForm* f = CurrentWindow();
        std::string control = name;
        if (auto dot = name.find('.'); dot != std::string::npos) {
            f = tool::WindowByName(name.substr(0, dot));
            control = name.substr(dot + 1);
        }
        auto* c = f ? dynamic_cast<TControl*>(f->FindComponent(control)) : nullptr;
        if (!c) {
            Error(l, "no control " + name + (f ? " on " + f->Name() : ""));
        }
        return c;
    }

    void Exec(const Line& l)
    {
        const auto& w = l.words;
        const std::string& cmd = w.front();
        auto want = [&](std::size_t n, const char* usage) {
            if (w.size() != n) {
                Error(l, std::string("usage: ") + usage);
                return false;
            }
            return true;
        };
        if (cmd == "press") {
            if (!want(2, "press CONTROL")) {
                return;
            }
            if (TControl* c = FindControl(l, w[1])) {
                std::cout << "press " << w[1] << "\n";
                if (!TScriptedUser::Press(*c)) {
                    Error(l, w[1] + " cannot be pressed (disabled, hidden or not a button)");
                }
            }
        } else if (cmd == "choose") {
            if (!want(3, "choose CONTROL INDEX|TEXT")) {
                return;
            }
            if (TControl* c = FindControl(l, w[1])) {
                std::cout << "choose " << w[1] << " " << w[2] << "\n";
                if (!TScriptedUser::Choose(*c, IndexOf(*c, w[2]))) {
                    Error(l, "cannot choose " + w[2] + " in " + w[1]);
                }
            }
        } else if (cmd == "type") {
            if (!want(3, "type CONTROL TEXT")) {
                return;
            }
            if (TControl* c = FindControl(l, w[1])) {
                std::cout << "type " << w[1] << " \"" << w[2] << "\"\n";
                if (!TScriptedUser::Type(*c, w[2])) {
                    Error(l, w[1] + " cannot take input");
                }
            }
        } else if (cmd == "key") {
            if (!want(3, "key CONTROL Enter|Tab|Escape|Up|Down|F1..F12")) {
                return;
            }
            const int key = KeyOf(w[2]);
            if (TControl* c = FindControl(l, w[1]); c && key) {
                std::cout << "key " << w[1] << " " << w[2] << "\n";
                if (!TScriptedUser::Key(*c, key)) {
                    Error(l, w[1] + " cannot take input");
                }
            } else if (c) {
                Error(l, "unknown key " + w[2]);
            }
        } else if (cmd == "dblclick") {
            if (!want(2, "dblclick CONTROL")) {
                return;
            }
            if (TControl* c = FindControl(l, w[1])) {
                std::cout << "dblclick " << w[1] << "\n";
                TScriptedUser::DblClick(*c);
            }
        } else if (cmd == "close") {
            TForm* f = w.size() == 2 ? tool::WindowByName(w[1]) : CurrentWindow();
            if (!f) {
                Error(l, "no window to close");
                return;
            }
            std::cout << "close " << f->Name() << "\n";
            RunGuarded([f] { f->Close(); });
        } else if (cmd == "render") {
            if (w.size() != 2 && w.size() != 3) {
                Error(l, "usage: render FILE.png [WINDOW]");
                return;
            }
            TForm* f = w.size() == 3 ? tool::WindowByName(w[2]) : CurrentWindow();
            if (!f || !tool::Render(*f, w[1])) {
                Error(l, "cannot render " + (w.size() == 3 ? w[2] : std::string("the active window")));
                return;
            }
            std::cout << "rendered " << f->Name() << " to " << w[1] << "\n";
        } else if (cmd == "expect") {
            Expect(l);
        } else if (cmd == "echo") {
            for (std::size_t i = 1; i < w.size(); ++i) {
                std::cout << (i > 1 ? " " : "") << w[i];
            }
            std::cout << "\n";
        } else if (cmd == "message" || cmd == "file" || cmd == "printer") {
            Error(l, "no question is asked here ('" + cmd + "' answers a question of the program)");
        } else {
            Error(l, "unknown command " + cmd);
        }
    }

    void Expect(const Line& l)
    {
        const auto& w = l.words;
        if (w.size() < 3) {
            Error(l, "usage: expect CONTROL enabled|disabled|visible|hidden | expect CONTROL text|caption TEXT");
            return;
        }
        TComponent* target = nullptr;
        if (TForm* f = tool::WindowByName(w[1]); f && w[1].find('.') == std::string::npos &&
                                                  !CurrentWindow()->FindComponent(w[1])) {
            target = f;
        } else {
            target = FindControl(l, w[1]);
        }
        auto* c = dynamic_cast<TControl*>(target);
        if (!c) {
            return;
        }
        std::string actual;
        bool good = false;
        const std::string& what = w[2];
        if (what == "enabled" || what == "disabled") {
            good = c->Enabled() == (what == "enabled");
            actual = c->Enabled() ? "enabled" : "disabled";
        } else if (what == "visible" || what == "hidden") {
            const bool shown = dynamic_cast<TForm*>(c) ? static_cast<TForm*>(c)->Visible() : c->Showing();
            good = shown == (what == "visible");
            actual = shown ? "visible" : "hidden";
        } else if ((what == "text" || what == "caption") && w.size() == 4) {
            actual = what == "text" ? c->Text() : c->Caption();
            if (auto* g = dynamic_cast<TRadioGroup*>(c); g && what == "text") {
                actual = g->ItemIndex() >= 0 ? g->Items()[static_cast<std::size_t>(g->ItemIndex())] : "";
            }
            good = actual == w[3];
        } else {
            Error(l, "unknown expectation " + what);
            return;
        }
        if (!good) {
            Error(l, w[1] + " is " + actual);
        } else {
            std::cout << "ok: " << w[1] << " " << what << (w.size() == 4 ? " \"" + w[3] + "\"" : "") << "\n";
        }
    }

    static int IndexOf(TControl& c, const std::string& item)
    {
        std::vector<std::string> items;
        if (auto* g = dynamic_cast<TRadioGroup*>(&c)) {
            items = g->Items();
        } else if (auto* b = dynamic_cast<TComboBox*>(&c)) {
            items = b->Items();
        } else if (auto* lb = dynamic_cast<TCustomListBox*>(&c)) {
            items = lb->Items();
        } else if (auto* p = dynamic_cast<TPageControl*>(&c)) {
            for (int i = 0; i < p->PageCount(); ++i) {
                items.push_back(p->Pages(i)->Name());
                if (item == p->Pages(i)->Caption()) {
                    return i;
                }
            }
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == item) {
                return static_cast<int>(i);
            }
        }
        char* end = nullptr;
        const long v = std::strtol(item.c_str(), &end, 10);
        return end && *end == '\0' && !item.empty() ? static_cast<int>(v) : -1;
    }

    static int KeyOf(const std::string& k)
    {
        static const std::pair<const char*, int> keys[] = {
            {"Enter", Qt::Key_Return}, {"Tab", Qt::Key_Tab}, {"Escape", Qt::Key_Escape}, {"Up", Qt::Key_Up},
            {"Down", Qt::Key_Down}, {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Home", Qt::Key_Home},
            {"End", Qt::Key_End}, {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
            {"Delete", Qt::Key_Delete}, {"Insert", Qt::Key_Insert}, {"Space", Qt::Key_Space}};
        for (const auto& [name, key] : keys) {
            if (k == name) {
                return key;
            }
        }
        if (k.size() >= 2 && k[0] == 'F') {
            const int n = std::atoi(k.c_str() + 1);
            if (n >= 1 && n <= 12) {
                return Qt::Key_F1 + n - 1;
            }
        }
        return k.size() == 1 ? QChar(k[0]).toUpper().unicode() : 0;
    }

    std::vector<Line> lines_;
    std::size_t next_ = 0;
    bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv)
{
    tool::UseOffscreen();
    if (argc != 3) {
        std::cerr << "usage: vemora-scenario FOLDER SCRIPT.txt\n";
        return 2;
    }
    std::ifstream in(argv[2]);
    if (!in) {
        std::cerr << "cannot read " << argv[2] << "\n";
        return 2;
    }
    std::vector<Line> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        Line l;
        l.number = number;
        if (!Split(text, l.words)) {
            std::cerr << argv[2] << ":" << number << ": quote not closed\n";
            return 2;
        }
        if (!l.words.empty() && l.words.front()[0] != '#') {
            lines.push_back(std::move(l));
        }
    }
    Application->Initialize(argc, argv);
    if (!tool::EnterFolder(argv[1])) {
        return 1;
    }
    Scenario scenario(std::move(lines));
    Application->SetUserAgent(&scenario);
    bool ok = false;
    try {
        Application->CreateForm(&F_main);
        F_main->Show();
        ok = scenario.Run();
    } catch (const std::exception& e) {
        std::cout << "error: " << e.what() << "\n";
    }
    Application->DestroyForms();
    Application->SetUserAgent(nullptr);
    std::cout << (ok ? "scenario done\n" : "scenario failed\n");
    return ok ? 0 : 1;
}
