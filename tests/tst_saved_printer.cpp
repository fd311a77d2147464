// The saved printer name and SelectSavedPrinter, against a recording spooler.

#include "Printer.h"
#include "SavedPrinter.h"
#include "TestPrinting.h"

#include <QtTest>

class TestSavedPrinter : public QObject {
    Q_OBJECT
private slots:
    void nameRoundTripsUnchangedInItsOwnStore()
    {
        TestPrinting env;
        QCOMPARE(SavedPrinter::read(), QStringLiteral("none")); // nothing saved yet
        SavedPrinter::write(QStringLiteral(" Label Printer "));
        QCOMPARE(SavedPrinter::read(), QStringLiteral(" Label Printer "));
        // Written where Qt's native store keeps it: isolated in the test's
        // home, or in the registry key the program reads on Windows.
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TagFoundry"),
                        QStringLiteral("TagFoundry"));
#ifdef Q_OS_WIN
        QCOMPARE(store.fileName(), QStringLiteral("\\HKEY_CURRENT_USER\\Software\\TagFoundry\\TagFoundry"));
#else
        QVERIFY(store.fileName().startsWith(env.home.path()));
#endif
        QCOMPARE(store.value(QStringLiteral("Settings/Printer")).toString(), QStringLiteral(" Label Printer "));
    }

    void selectSavedPrinter_data()
    {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("expected");
        const QStringList two = {QStringLiteral("Label Printer"), QStringLiteral("Office")};
        QTest::newRow("exact match") << two << "Label Printer" << "Label Printer";
        QTest::newRow("none keeps the default") << two << "none" << "Office";
        QTest::newRow("letter case differs: no match") << two << "label printer" << "Office";
        QTest::newRow("not installed: default stays") << two << "Gone" << "Office";
    }

    void selectSavedPrinter()
    {
        QFETCH(QStringList, printers);
        QFETCH(QString, saved);
        QFETCH(QString, expected);
        TestPrinting env(printers, QStringLiteral("Office"));
        env.savePrinter(saved);
        SelectSavedPrinter();
        QCOMPARE(Printer::current().deviceName(), expected);
    }

    void laterOfTwoEqualNamesWins()
    {
        RecordingSpooler second({QStringLiteral("Label Printer")});
        TestPrinting env({QStringLiteral("Label Printer"), QStringLiteral("Office")});
        Printers::useSpoolers({&env.spooler, &second});
        env.savePrinter(QStringLiteral("Label Printer"));
        SelectSavedPrinter();
        QCOMPARE(Printer::current().entry().spooler, static_cast<Spooler *>(&second));
    }

    void printerOfAnUnreachableServerStaysTheDestination()
    {
        TestPrinting env({}, {});
        env.spooler.unreachable = QStringLiteral("the print server is down");
        env.savePrinter(QStringLiteral("Label Printer"));
        SelectSavedPrinter();
        QCOMPARE(Printer::current().entry(), (PrinterEntry{QStringLiteral("Label Printer"), &env.spooler}));

        // With no printer chosen there is nothing to fail for.
        Printer::current().reset();
        env.savePrinter(QStringLiteral("none"));
        SelectSavedPrinter();
        QVERIFY(Printer::current().deviceName() != QStringLiteral("none"));
    }

    void earlierSelectionStaysWhenLaterFindsNoMatch()
    {
        TestPrinting env;
        env.savePrinter(QStringLiteral("Label Printer"));
        SelectSavedPrinter();
        env.savePrinter(QStringLiteral("Vanished"));
        SelectSavedPrinter();
        QCOMPARE(Printer::current().deviceName(), QStringLiteral("Label Printer"));
    }
};

QTEST_MAIN(TestSavedPrinter)
#include "tst_saved_printer.moc"
