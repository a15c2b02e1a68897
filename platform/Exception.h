#pragma once
// Errors raised by the program's own layers. Every error carries a readable
// message (Bulgarian where the user sees it); what() gives it as UTF-8.

#include <QByteArray>
#include <QString>
#include <exception>

namespace platform {

class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A text that is not a number, a date or a flag.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A text that the Windows-1251 code page cannot hold.
class EEncodingError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace platform
