// The exceptions of the platform. The system's behaviour depends on them: an engine error carries a message
// that a post-error handler may rewrite, and EAbort unwinds an operation without any message.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;  // may be rewritten by a handler before the error is shown
};

// An error of the database engine (missing file, key violation, constraint, bad SQL ...).
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A store of a record that another user (another program instance) changed since it was read. The data set
// has dropped the edit and shows the record's fresh values when this reaches its caller.
class ERecordChanged : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// A text that is not a number or date where one is required (StrToInt and friends, typed field values).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The silent abort: unwinds the running operation; the framework shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// Raises the silent abort.
[[noreturn]] inline void Abort() { throw EAbort(); }
