#include "Failure.h"

QString escapeControlCharacters(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (c.category() != QChar::Other_Control) {
            shown += c;
            continue;
        }
        switch (c.unicode()) {
        case 0:
            shown += QLatin1String("\\0");
            break;
        case '\t':
            shown += QLatin1String("\\t");
            break;
        case '\n':
            shown += QLatin1String("\\n");
            break;
        case '\r':
            shown += QLatin1String("\\r");
            break;
        default:
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

Failure::Failure(QString what) : m_what(std::move(what))
{
    remember();
}

Failure &Failure::inFile(const QString &path, qsizetype line)
{
    m_file = path;
    m_line = line;
    remember();
    return *this;
}

Failure &Failure::onPrinter(const QString &name, bool own)
{
    m_printer = name;
    m_printersOwn = own;
    remember();
    return *this;
}

Failure &Failure::because(const QString &reason, bool inParentheses)
{
    m_reason = reason;
    m_reasonInParentheses = inParentheses;
    remember();
    return *this;
}

Failure &Failure::then(const QString &consequence)
{
    m_consequence = consequence;
    remember();
    return *this;
}

QString Failure::message() const
{
    QString text;
    if (!m_file.isEmpty())
        text += m_line > 0 ? QStringLiteral("%1 line %2: ").arg(m_file).arg(m_line) : m_file + QStringLiteral(": ");
    if (!m_printer.isEmpty())
        text += QStringLiteral("Printer \"%1\"%2")
                    .arg(m_printer, m_printersOwn ? QStringLiteral(" ") : QStringLiteral(": "));
    text += m_what;
    if (!m_reason.isEmpty()) {
        if (m_reasonInParentheses)
            text += QStringLiteral(" (%1)").arg(m_reason);
        else
            text += (m_what.isEmpty() ? QString() : QStringLiteral(": ")) + m_reason;
    }
    if (!m_consequence.isEmpty())
        text += QStringLiteral("; ") + m_consequence;
    return escapeControlCharacters(text);
}
