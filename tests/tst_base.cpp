// The small things every layer uses: counts typed or read as text, and the
// print stamp's text. The rows are tables under tests/data/tables/.

#include "ChildProgram.h"
#include "Golden.h"
#include "NumberText.h"
#include "PrintStamp.h"

#include <QtTest>

#include <cstdio>

using namespace Qt::StringLiterals;

class TestBase : public QObject {
    Q_OBJECT

private slots:
    void counts_data() { Golden::addRows(u"tables/counts.txt"_s); }
    void counts()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QString text = QString::fromUtf8(QByteArray::fromPercentEncoding(input.toUtf8()));
        const auto shown = [](std::optional<qint16> count) { return count ? QString::number(*count) : u"none"_s; };
        const QString got = u"lenient %1, strict %2"_s.arg(shown(NumberText::lenientInt16(text)),
                                                           shown(NumberText::strictInt16(text)));
        QVERIFY(Golden::rowMatches(u"tables/counts.txt"_s, input, output, got));
    }

    // Qt reads the system's locale once, from the environment: each stamp is
    // made by this program run again in the locale (see main()).
    void stamps_data() { Golden::addRows(u"tables/stamps.txt"_s); }
    void stamps()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        if (QSysInfo::productType() == u"windows"_s)
            QSKIP("the system's locale on Windows is the user's setting, not the environment's");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LC_ALL"_s, input);
        env.insert(u"TZ"_s, u"UTC"_s); // a zone name to leave out
        const ProgramRun run = runProgram(QCoreApplication::applicationFilePath(),
                                          {u"--stamp"_s, u"2026-12-06T19:29:50"_s}, env);
        QCOMPARE(run.errors, QString());
        QVERIFY(Golden::rowMatches(u"tables/stamps.txt"_s, input, output, run.output));
    }
};

// With --stamp ISO-MOMENT, prints the stamp of that moment and ends: the
// child the stamps' test runs in the locale it sets.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--stamp") == 0) {
        const QDateTime at = QDateTime::fromString(QString::fromLatin1(argv[2]), Qt::ISODate);
        std::fputs(PrintStamp(at).toUtf8().constData(), stdout);
        return 0;
    }
    TestBase test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_base.moc"
