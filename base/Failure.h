#pragma once

#include <QString>
#include <exception>

// Control characters of a text shown in a message (NUL, CR, ESC ...) as
// escapes (\0, \r, \x1b): a NUL would cut the message short and an ESC
// would reach the caller's terminal as a command.
inline QString escapeControlCharacters(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (c.category() != QChar::Other_Control) {
            shown += c;
            continue;
        }
        switch (c.unicode()) {
        case 0: shown += QLatin1String("\\0"); break;
        case '\t': shown += QLatin1String("\\t"); break;
        case '\n': shown += QLatin1String("\\n"); break;
        case '\r': shown += QLatin1String("\\r"); break;
        default: shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

// A failure the user (or the calling program) must hear about: a printer that
// refused a job, a label file that cannot be read, a copies text out of range.
// The message names the thing that failed and what is wrong with it; control
// characters in it are shown escaped.
class Failure : public std::exception {
public:
    explicit Failure(const QString &message)
        : m_message(escapeControlCharacters(message)), m_utf8(m_message.toUtf8())
    {
    }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
