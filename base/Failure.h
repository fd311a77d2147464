#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Control characters of a text shown in a message (NUL, CR, ESC ...) as
// escapes (\0, \r, \x1b): a NUL would cut the message short and an ESC
// would reach the caller's terminal as a command.
QString escapeControlCharacters(const QString &text);

// A failure the user (or the calling program) must hear about: a printer that
// refused a job, a label file that cannot be read, a copies text out of range.
// Every layer throws it; each layer it passes through adds what it knows
// (the file and line, the printer, what became of the work), and the message
// is made from all of it in one place, once, at the edge that shows it:
//
//   [FILE[ line N]: ][Printer "P" ]WHAT[: REASON | (REASON)][; CONSEQUENCE]
//
// e.g. 'labels.txt line 4: Printer "TagFoundry PDF" could not write
// ~/TagFoundry/printed/00000004 TagFoundry XLIST AB-4.pdf: No space left on
// device; nothing of this label was kept'. Control characters in it are
// shown escaped.
class Failure : public std::exception {
public:
    // What failed, naming the thing it concerns ("refused the job", "copies
    // \"40000\" is outside -32768 to 32767"); empty when the system's reason
    // says it all (a file that cannot be opened).
    explicit Failure(QString what);

    // The file, and its line (1 for the first; 0: the whole file), it concerns.
    Failure &inFile(const QString &path, qsizetype line = 0);
    // The printer it concerns: 'Printer "P" refused the job'. `own`: the
    // failure is the printer's own doing; otherwise it happened on the way
    // to it: 'Printer "P": the print server S cannot be reached'.
    Failure &onPrinter(const QString &name, bool own = true);
    // The system's own words for it (SystemReason), after a colon, or in
    // parentheses where the reason explains rather than continues.
    Failure &because(const QString &reason, bool inParentheses = false);
    // What became of the work: "nothing of this label was kept".
    Failure &then(const QString &consequence);

    const QString &file() const { return m_file; }
    qsizetype line() const { return m_line; }
    const QString &printer() const { return m_printer; }
    const QString &reason() const { return m_reason; }
    const QString &consequence() const { return m_consequence; }

    // The message, whole, control characters escaped.
    QString message() const;
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    void remember() { m_utf8 = message().toUtf8(); }

    QString m_what;
    QString m_file;
    qsizetype m_line = 0;
    QString m_printer;
    bool m_printersOwn = true;
    QString m_reason;
    bool m_reasonInParentheses = false;
    QString m_consequence;
    QByteArray m_utf8; // the message for what(), made afresh with each part added
};
