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

// The user's or a file's text as error texts quote it: whole up to 100
// characters, otherwise its first 100 characters and "…". A surrogate
// pair counts as one character and is never split.
QString ShortQuote(const QString &text);
// Characters as a message shows them: control characters, which would be
// invisible or cut the message, by their code ("U+0000").
QString VisibleChars(const QString &chars);

// The builders below quote their text and path through ShortQuote.
// "'%s' is not a valid integer value"
QString invalidIntegerMessage(const QString &text);
// "List index out of bounds (%d)"
QString listIndexMessage(int index);
// "Cannot open file \"%s\". %s"
QString cannotOpenMessage(const QString &path, const QString &reason);
// "Cannot create file \"%s\". %s"
QString cannotCreateMessage(const QString &path, const QString &reason);

} // namespace vell
