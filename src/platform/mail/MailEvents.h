// The event types of the mail components, as the windows bind them in their descriptions.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/Component.h"

using TMailStatusEvent = std::function<void(TObject* Sender, const std::string& Status)>;
using TMailPacketEvent = std::function<void(TObject* Sender, long long BytesSent, long long BytesTotal)>;
using TMailAddressEvent = std::function<void(TObject* Sender, const std::string& Address)>;
using TMailFileEvent = std::function<void(TObject* Sender, const std::string& FileName)>;
using TMailNotifyEvent = std::function<void(TObject* Sender)>;
