#pragma once

#include <QString>
#include <exception>

// A failure the user (or the calling program) must hear about: a printer that
// refused a job, a label file that cannot be read, a copies text out of range.
// The message names the thing that failed and what is wrong with it.
class Failure : public std::exception {
public:
    explicit Failure(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
