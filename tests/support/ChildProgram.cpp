#include "ChildProgram.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString findProgram(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/sbin"_s}) : found;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    *error = u"cannot write %1: %2"_s.arg(path, file.errorString());
    return false;
}

QStringList pdfsIn(const QString &folder)
{
    return QDir(folder).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
}

ProgramRun runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                      int timeoutMs, const QString &workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(findProgram(program), arguments);
    ProgramRun run;
    if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    else
        run.errors = process.errorString() + u'\n';
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errors += QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QProcessEnvironment batchHome(const QString &home, const QByteArray &labels, const QString &saved,
                              QProcessEnvironment environment)
{
    const QDir dir(home);
    QString error;
    if (!dir.mkpath(u"TagFoundry"_s) || !dir.mkpath(u".config/TagFoundry"_s) || !dir.mkpath(u"runtime"_s)
        || !QFile::setPermissions(dir.filePath(u"runtime"_s), QFile::Permissions(0x7700))
        || !writeFile(dir.filePath(u"TagFoundry/labels.txt"_s), labels, &error)
        || (!saved.isNull() && !writeFile(dir.filePath(u".config/TagFoundry/TagFoundry.conf"_s),
                                          "[Settings]\nPrinter=" + saved.toUtf8() + '\n', &error)))
        return {};
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u".config"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, dir.filePath(u"runtime"_s));
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        environment.remove(name);
    return environment;
}

ProgramRun runBatch(const QString &home, const QString &word, const QByteArray &labels, const QString &saved,
                    const QProcessEnvironment &environment)
{
    return runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word}, batchHome(home, labels, saved, environment), 90000);
}
