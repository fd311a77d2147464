#pragma once

#include <QProcessEnvironment>
#include <QStringList>

// A program run to its end, its output read. exitCode is -1 when it could not
// start, crashed or did not finish in time.
struct ProgramRun {
    int exitCode = -1;
    QString output, errors;
};
ProgramRun runProgram(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                      int timeoutMs = 120000, const QString &workingDirectory = {});

// The program's path, looked up in PATH and then in the system folders.
QString findProgram(const QString &name);

// Writes the file whole; false, with *error saying why, when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

// The .pdf files of a folder, by name.
QStringList pdfsIn(const QString &folder);

// Readies `home` for the built program run in batch mode as another program
// runs it: labels.txt in its data folder and the saved printer (none saved
// when `saved` is null). Returns `environment` with HOME and the XDG folders
// in `home` and no display, or an empty one when a file cannot be written.
QProcessEnvironment batchHome(const QString &home, const QByteArray &labels, const QString &saved,
                              QProcessEnvironment environment);

// `tagfoundry word` run to its end in batch mode with its home in `home` (see batchHome).
ProgramRun runBatch(const QString &home, const QString &word, const QByteArray &labels, const QString &saved,
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// In a test function: when `why` says why the test cannot run here, skips
// with "<skipText>: why", or fails where it must run (CI=true, or `mustRun`).
// ctest tells the skip by its text, so the failure's text differs from it.
#define SKIP_OR_FAIL_UNLESS(why, skipText, mustRun)                                                            \
    do {                                                                                                       \
        if (const QString why_ = (why); !why_.isEmpty()) {                                                     \
            if ((mustRun) || qEnvironmentVariable("CI") == QLatin1String("true"))                              \
                QFAIL(qPrintable(QStringLiteral("needed here, but ") + why_));                                 \
            QSKIP(qPrintable(QStringLiteral(skipText ": ") + why_));                                           \
        }                                                                                                      \
    } while (false)
