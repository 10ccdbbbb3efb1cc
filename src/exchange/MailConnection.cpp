#include "exchange/MailConnection.h"

#include <utility>

#include "app/Main.h"
#include "platform/ui/Application.h"

TMailConnectionSteps::TMailConnectionSteps(std::function<void(const std::string&)> showStatus,
                                           std::function<void(bool connected)> showButtons)
    : showStatus_(std::move(showStatus)), showButtons_(std::move(showButtons))
{
}

void TMailConnectionSteps::Connect(const std::function<void()>& connect)
{
    try {
        connect();
    } catch (const std::exception&) {
        showStatus_("连接服务器错误");
        MailConnected = false;
        showButtons_(false);
        return;
    }
    showStatus_("服务器已连接");
    MailConnected = true;
    showButtons_(true);
}

bool TMailConnectionSteps::EnsureConnected(const std::function<void()>& connectStep, const std::string& failure)
{
    if (!MailConnected) {
        connectStep();
    }
    if (!MailConnected) {
        showStatus_(failure);
        return false;
    }
    return true;
}

void TMailConnectionSteps::Disconnect(const std::function<void()>& disconnect)
{
    if (!MailConnected) {
        return;
    }
    disconnect();
    showStatus_("服务器已断开");
    MailConnected = false;
    showButtons_(false);
}

void TMailConnectionSteps::Failed(const std::string& status, const std::exception& reason,
                                  const std::function<void()>& disconnect)
{
    showStatus_(status);
    Disconnect(disconnect);
    Application->MessageBox(status + "：" + reason.what(), "错误窗口", MB_OK | MB_ICONSTOP);
}
