#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace platform {

// The general failure of this program: a message for the operator. Code catches it
// only at the few places that turn failures into state.
class Exception : public std::exception {
public:
    explicit Exception(const QString &message) : message_(message), utf8_(message.toUtf8()) {}
    const QString &Message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A failure reported by the database; the message is the database's own text,
// e.g. "ORA-00942: table or view does not exist".
class DatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A value that cannot be converted (bad number, bad hexadecimal pair, unknown name).
class ConvertError : public Exception {
public:
    using Exception::Exception;
};

} // namespace platform
