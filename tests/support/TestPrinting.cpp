#include "TestPrinting.h"

#include "DataFolder.h"
#include "PrintStamp.h"

#include <QDir>
#include <QFile>

TestPrinting::TestPrinting(QStringList printers, QString defaultPrinter)
    : spooler(std::move(printers), std::move(defaultPrinter)), m_oldHome(qgetenv("HOME"))
{
    qputenv("HOME", home.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath(QStringLiteral(".config")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral(".config")));
    Printers::useSpoolers({&spooler});
    Printer::current().reset();
}

TestPrinting::~TestPrinting()
{
    Printer::current().reset();
    Printers::useSpoolers({});
    Clock::setNowForTests({});
    qputenv("HOME", m_oldHome);
}

void TestPrinting::writeDataFile(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(DataFolder::path());
    QFile file(DataFolder::file(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
