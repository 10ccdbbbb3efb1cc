// vemora-render FOLDER WINDOW [PAGE] OUT.png: renders a window of the program, opened in FOLDER as the main
// window would open it, to a PNG file, optionally on one page of its page control. Messages that the window
// shows on the way are printed and answered with OK or No.
#include <iostream>

#include "WindowTool.h"

namespace {

class PrintingUser : public TUserAgent {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override
    {
        std::cerr << "message [" << caption << "] " << text << "\n";
        const int buttons = flags & 0xF;
        return buttons == MB_YESNO ? IDNO : buttons == MB_OK ? IDOK : IDCANCEL;
    }
    bool FileDialog(TFileDialogRequest& r) override
    {
        std::cerr << "file dialog \"" << r.title << "\" cancelled\n";
        return false;
    }
    bool PrinterDialog(TPrinterRequest&) override { return false; }
    void RunModal(TForm& form, const std::function<void()>&) override
    {
        std::cerr << "modal window " << form.Name() << " closed at once\n";
        form.Close();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    tool::UseOffscreen();
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: vemora-render FOLDER WINDOW [PAGE] OUT.png\n";
        return 2;
    }
    const std::string folder = argv[1], window = argv[2];
    const std::string page = argc == 5 ? argv[3] : "";
    const std::string out = argv[argc - 1];
    Application->Initialize(argc, argv);
    if (!tool::EnterFolder(folder)) {
        return 1;
    }
    PrintingUser user;
    Application->SetUserAgent(&user);
    int rc = 0;
    try {
        TForm* main = tool::WindowByName("TF_main");
        TForm* f = tool::WindowByName(window);
        if (!f) {
            std::cerr << "no window " << window << "\n";
            tool::ListWindows(std::cerr);
            rc = 1;
        } else {
            if (f != main) {
                main->Show();
            }
            f->Show();
            if (!page.empty()) {
                TTabSheet* s = tool::FindPage(*f, page);
                if (!s) {
                    std::cerr << "no page " << page << " in " << window << "\n";
                    rc = 1;
                } else if (!s->TabVisible()) {
                    std::cerr << "the page " << page << " is hidden\n";
                    rc = 1;
                } else {
                    s->PageControl()->SelectPage(s);
                }
            }
            if (rc == 0 && !tool::Render(*f, out)) {
                rc = 1;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        rc = 1;
    }
    Application->DestroyForms();
    Application->SetUserAgent(nullptr);
    return rc;
}
