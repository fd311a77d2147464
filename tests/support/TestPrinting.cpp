#include "TestPrinting.h"

#include "DataFolder.h"
#include "PrintStamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestPrinting::TestPrinting(QStringList printers, QString defaultPrinter)
    : spooler(std::move(printers), std::move(defaultPrinter)), printer(Printers({&spooler})), m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", home.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath(QStringLiteral(".config")));
#ifdef Q_OS_WIN
    m_oldPrinter = SavedPrinter::read();
    SavedPrinter::write(SavedPrinter::kNone);
    const QString folder = QDir::cleanPath(DataFolder::path());
    if (QFileInfo::exists(folder) && QDir().rename(folder, folder + QStringLiteral(".set-aside-by-tests")))
        m_setAside = folder + QStringLiteral(".set-aside-by-tests");
#endif
}

TestPrinting::~TestPrinting()
{
    qputenv("HOME", m_oldHome);
#ifdef Q_OS_WIN
    SavedPrinter::write(m_oldPrinter);
    const QString folder = QDir::cleanPath(DataFolder::path());
    QDir(folder).removeRecursively();
    if (!m_setAside.isEmpty())
        QDir().rename(m_setAside, folder);
#endif
}

void TestPrinting::writeDataFile(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(DataFolder::path());
    QFile file(DataFolder::file(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
