#include "platform/ui/Application.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/db/Exception.h"
#include "platform/ui/Dialogs.h"

namespace {

// Qt's filter text from the classic "desc|pattern|desc|pattern".
QStringList QtFilters(const std::string& filter)
{
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out;
}

// The real dialogs.
class QtUserAgent : public TUserAgent {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override
    {
        QMessageBox box;
        // an empty caption would show the executable's name in the title bar
        box.setWindowTitle(QString::fromStdString(caption.empty() ? Application->Title : caption));
        box.setText(QString::fromStdString(text));
        switch (flags & 0xF0) {
        case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        std::vector<std::pair<QPushButton*, int>> buttons;
        auto add = [&](const char* label, QMessageBox::ButtonRole role, int id) {
            buttons.emplace_back(box.addButton(QString::fromUtf8(label), role), id);
        };
        switch (flags & 0xF) {
        case MB_OKCANCEL: add("确定", QMessageBox::AcceptRole, IDOK); add("取消", QMessageBox::RejectRole, IDCANCEL); break;
        case MB_YESNO: add("是(&Y)", QMessageBox::YesRole, IDYES); add("否(&N)", QMessageBox::NoRole, IDNO); break;
        case MB_YESNOCANCEL:
            add("是(&Y)", QMessageBox::YesRole, IDYES);
            add("否(&N)", QMessageBox::NoRole, IDNO);
            add("取消", QMessageBox::RejectRole, IDCANCEL);
            break;
        default: add("确定", QMessageBox::AcceptRole, IDOK); break;
        }
        box.exec();
        for (const auto& [button, id] : buttons) {
            if (box.clickedButton() == button) {
                return id;
            }
        }
        return (flags & 0xF) == MB_YESNO ? IDNO : (flags & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }

    bool FileDialog(TFileDialogRequest& r) override
    {
        QFileDialog dlg;
        dlg.setWindowTitle(QString::fromStdString(r.title));
        dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // As the classic dialogs: a name that does not exist is refused only with ofFileMustExist, and an existing
        // target is confirmed only with ofOverwritePrompt.
        dlg.setFileMode(!r.save && (r.options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !(r.options & ofOverwritePrompt));
        const QStringList filters = QtFilters(r.filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            dlg.selectNameFilter(filters.value(std::clamp(r.filterIndex, 1, int(filters.size())) - 1));
        }
        if (!r.initialDir.empty()) {
            dlg.setDirectory(QString::fromStdString(r.initialDir));
        }
        if (!r.fileName.empty()) {
            dlg.selectFile(QString::fromStdString(r.fileName));
        }
        if (!r.defaultExt.empty()) {
            QString ext = QString::fromStdString(r.defaultExt);
            ext.remove(QLatin1String("*.")).remove('.');
            dlg.setDefaultSuffix(ext);
            // As the system's dialogs do, a name typed without extension takes the chosen filter's extension.
            QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, ext](const QString& filter) {
                const QRegularExpressionMatch m =
                    QRegularExpression(QStringLiteral("\\*\\.(\\w+)\\)?$")).match(filter);
                dlg.setDefaultSuffix(m.hasMatch() ? m.captured(1) : ext);
            });
            emit dlg.filterSelected(dlg.selectedNameFilter());
        }
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
            return false;
        }
        r.fileName = dlg.selectedFiles().front().toStdString();
        r.filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
        return true;
    }

    bool PrinterDialog(TPrinterRequest& r) override
    {
        return Application->RealPrinterDialog ? Application->RealPrinterDialog(r) : true;
    }

    void RunModal(TForm&, const std::function<void()>& loop) override { loop(); }
};

}  // namespace

TApplication* Application = new TApplication;

namespace {
int guardDepth = 0;  // guarded calls running on the user-interface thread, in the current event loop
}  // namespace

void RunGuarded(const std::function<void()>& call)
{
    struct Depth {
        Depth() { ++guardDepth; }
        ~Depth() { --guardDepth; }
    } depth;
    try {
        call();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        Application->HandleException(e);
    } catch (...) {
        Application->HandleException(Exception("Unknown error"));
    }
}

void RunHandler(const std::function<void()>& call)
{
    if (guardDepth > 0) {
        call();
    } else {
        RunGuarded(call);
    }
}

TEventLoopScope::TEventLoopScope() : saved_(guardDepth)
{
    guardDepth = 0;
}

TEventLoopScope::~TEventLoopScope()
{
    guardDepth = saved_;
}

TApplication::TApplication() : TComponent(nullptr), qtAgent_(std::make_unique<QtUserAgent>())
{
    agent_ = qtAgent_.get();
}

TApplication::~TApplication()
{
    DestroyForms();
}

void TApplication::Initialize()
{
    static int argc = 1;
    static char name[] = "vemora";
    static char* argv[] = {name, nullptr};
    Initialize(argc, argv);
}

namespace {

std::string startingProgram;  // the program's name while Qt starts

// While Qt starts, its warnings are held back; a fatal failure (no display, no usable platform plugin) ends
// the program with one line that says why, instead of Qt's messages and an abort.
void StartupMessages(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtFatalMsg) {
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string why = (display == nullptr || *display == 0) && (wayland == nullptr || *wayland == 0)
                                ? "没有图形显示（未设置 DISPLAY）"
                                : "无法打开图形显示 " + std::string(display != nullptr && *display != 0 ? display : wayland);
    std::fprintf(stderr, "%s: %s，程序未能启动。\n", startingProgram.c_str(), why.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

void TApplication::Initialize(int& argc, char** argv)
{
    if (!QApplication::instance()) {
        startingProgram = argc > 0 && argv[0] != nullptr ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString()
                                                         : std::string("vemora");
        const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
        qt_ = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(previous);
    }
    if (Title.empty()) {
        Title = "错误";
    }
    TForm::InstallDispatch();
}

void TApplication::Adopt(TForm* form, std::function<void()> clearVariable)
{
    forms_.push_back(form);
    clearers_.push_back(std::move(clearVariable));
    if (!mainForm_) {
        mainForm_ = form;
    }
}

void TApplication::Run()
{
    terminated_ = false;
    if (mainForm_) {
        RunGuarded([this] { mainForm_->Show(); });
        while (!terminated_ && mainForm_ && mainForm_->Visible()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    DestroyForms();
}

void TApplication::Terminate()
{
    terminated_ = true;
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TApplication::DestroyForms()
{
    while (!forms_.empty()) {
        DestroyForm(forms_.back());
    }
    active_.clear();
    mainForm_ = nullptr;
    terminated_ = false;  // the application can start again (tests run many programs in one process)
}

void TApplication::DestroyForm(TForm* f)
{
    auto it = std::find(forms_.begin(), forms_.end(), f);
    if (it == forms_.end()) {
        return;
    }
    const auto at = it - forms_.begin();
    auto clear = std::move(clearers_[static_cast<std::size_t>(at)]);
    forms_.erase(it);
    clearers_.erase(clearers_.begin() + at);
    active_.erase(std::remove(active_.begin(), active_.end(), f), active_.end());
    if (f == mainForm_) {
        mainForm_ = nullptr;
    }
    RunGuarded([f] { f->Fire(f->OnDestroy); });
    delete f;
    clear();
}

void TApplication::HandleException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e)) {
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e)
{
    // The message as raised: handlers reword messages and the user must see exactly their text.
    const std::string msg = e.what();
    MessageBox(msg, Title, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags)
{
    Initialize();
    TEventLoopScope loop;
    return agent_->MessageBox(text, caption, flags);
}

bool TApplication::ExecuteFileDialog(TFileDialogRequest& request)
{
    Initialize();
    TEventLoopScope loop;
    return agent_->FileDialog(request);
}

bool TApplication::ExecutePrinterDialog(TPrinterRequest& request)
{
    Initialize();
    TEventLoopScope loop;
    return agent_->PrinterDialog(request);
}

void TApplication::RunModal(TForm& form, const std::function<void()>& loop)
{
    TEventLoopScope scope;
    agent_->RunModal(form, loop);
}

TUserAgent& TApplication::UserAgent()
{
    return *agent_;
}

void TApplication::SetUserAgent(TUserAgent* agent)
{
    agent_ = agent ? agent : qtAgent_.get();
}

void TApplication::AbortModalLoops(bool on)
{
    abortModals_ = on;
}

int TApplication::ScreenWidth() const
{
    if (screenWidth_ > 0) {
        return screenWidth_;
    }
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 800;
}

int TApplication::ScreenHeight() const
{
    if (screenHeight_ > 0) {
        return screenHeight_;
    }
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 600;
}

void TApplication::SetScreenSize(int width, int height)
{
    screenWidth_ = width;
    screenHeight_ = height;
}

bool TApplication::FormShown(TForm* f, bool showing)
{
    if (!active_.empty() && active_.back() == f) {
        return true;
    }
    TForm* previous = ActiveForm();
    active_.erase(std::remove(active_.begin(), active_.end(), f), active_.end());
    active_.push_back(f);
    if (previous) {
        previous->Deactivate();
    }
    return f->Activate(showing);
}

void TApplication::FormDestroyed(TForm* f)
{
    active_.erase(std::remove(active_.begin(), active_.end(), f), active_.end());
    if (mainForm_ == f) {
        mainForm_ = nullptr;
    }
}

void TApplication::FormHidden(TForm* f)
{
    const bool wasActive = !active_.empty() && active_.back() == f;
    active_.erase(std::remove(active_.begin(), active_.end(), f), active_.end());
    if (wasActive && !terminated_ && !active_.empty()) {
        f->Deactivate();
        active_.back()->Activate();
    }
}

void ShowMessage(const std::string& text)
{
    Application->MessageBox(text, Application->Title, MB_OK);
}
