// The connection steps that the send and receive windows share: connecting and disconnecting their mail
// component with the status texts and the shared MailConnected flag, and a send or fetch that failed. The status
// after a failure ends as after success ("服务器已断开"), so the reason is also shown in a box.
#pragma once

#include <exception>
#include <functional>
#include <string>

class TMailConnectionSteps {
public:
    // showStatus puts a text into the window's status bar; showButtons sets the window's buttons for a connection
    // that is open (true) or not (false).
    TMailConnectionSteps(std::function<void(const std::string&)> showStatus, std::function<void(bool connected)> showButtons);

    // Runs connect (which raises when it fails): "服务器已连接", or "连接服务器错误" without a box.
    void Connect(const std::function<void()>& connect);
    // Before a send or fetch: runs connectStep (the window's own connect) unless connected; false with the
    // status failure when there is still no connection.
    bool EnsureConnected(const std::function<void()>& connectStep, const std::string& failure);
    // When connected, runs disconnect (which never raises): "服务器已断开".
    void Disconnect(const std::function<void()>& disconnect);
    // A failed send or fetch: its status, the disconnect, then the reason in a box.
    void Failed(const std::string& status, const std::exception& reason, const std::function<void()>& disconnect);

private:
    std::function<void(const std::string&)> showStatus_;
    std::function<void(bool)> showButtons_;
};
