// The errors of the mail components. A failed connection, command or transfer raises EMailError with a message
// that says what failed and, where the server answered, its reply; text that must not reach the mail dialogue
// (a line break or NUL in an address, a name, the subject or a login) raises EMailInput before anything is sent.
#pragma once

#include "platform/db/Exception.h"

class EMailError : public Exception {
public:
    using Exception::Exception;
};

class EMailInput : public EMailError {
public:
    using EMailError::EMailError;
};
