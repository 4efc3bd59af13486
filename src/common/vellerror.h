#pragma once

#include <QString>

#include <exception>

namespace vell {

// An expected failure that stops the current operation and is shown to the
// user in an error box; the state reached so far stays.
class VellError : public std::exception
{
public:
    explicit VellError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// "'%s' is not a valid integer value"
QString invalidIntegerMessage(const QString &text);
// "List index out of bounds (%d)"
QString listIndexMessage(int index);
// "Cannot open file \"%s\". %s"
QString cannotOpenMessage(const QString &path, const QString &reason);
// "Cannot create file \"%s\". %s"
QString cannotCreateMessage(const QString &path, const QString &reason);

} // namespace vell
