// The saved printer name and SelectSavedPrinter, against recording spoolers.

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
        SavedPrinter::write(" Label Printer ");
        // Where Qt's native store keeps it: in the test's home, or the registry key the program reads on Windows.
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "TagFoundry", "TagFoundry");
#ifdef Q_OS_WIN
        QCOMPARE(store.fileName(), QStringLiteral("\\HKEY_CURRENT_USER\\Software\\TagFoundry\\TagFoundry"));
#else
        QVERIFY(store.fileName().startsWith(env.home.path()));
#endif
        QCOMPARE(store.value("Settings/Printer").toString() + '|' + SavedPrinter::read(), " Label Printer | Label Printer ");
    }

    // Each row saves names in turn, selecting after each; the current printer ends as `expected`.
    // A second spooler lists "Label Printer" again: of two equal names the later wins.
    void selectSavedPrinter_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<bool>("twoSpoolers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact match") << QStringList{"Label Printer"} << false << "Label Printer in 1";
        QTest::newRow("none keeps the default") << QStringList{"none"} << false << "Office in 1";
        QTest::newRow("letter case differs: no match") << QStringList{"label printer"} << false << "Office in 1";
        QTest::newRow("not installed: default stays") << QStringList{"Gone"} << false << "Office in 1";
        QTest::newRow("earlier match stays") << QStringList{"Label Printer", "Vanished"} << false << "Label Printer in 1";
        QTest::newRow("later of two equal names") << QStringList{"Label Printer"} << true << "Label Printer in 2";
    }

    void selectSavedPrinter()
    {
        QFETCH(QStringList, saved);
        QFETCH(bool, twoSpoolers);
        QFETCH(QString, expected);
        RecordingSpooler second({"Label Printer"});
        TestPrinting env;
        if (twoSpoolers)
            Printers::useSpoolers({&env.spooler, &second});
        for (const QString &name : saved) {
            env.savePrinter(name);
            SelectSavedPrinter();
        }
        const PrinterEntry chosen = Printer::current().entry();
        QCOMPARE(QString("%1 in %2").arg(chosen.DeviceName).arg(chosen.spooler == &second ? 2 : 1), expected);
    }

    // A saved printer on a print server that is away stays the destination, so the
    // batch fails instead of printing elsewhere; with "none" saved there is nothing to fail for.
    void printerOfAnUnreachableServerStaysTheDestination()
    {
        TestPrinting env({}, {});
        env.spooler.unreachable = "the print server is down";
        env.savePrinter("Label Printer");
        SelectSavedPrinter();
        QCOMPARE(Printer::current().entry(), (PrinterEntry{"Label Printer", &env.spooler}));
        Printer::current().reset();
        env.savePrinter("none");
        SelectSavedPrinter();
        QVERIFY(Printer::current().deviceName() != "none");
    }
};

QTEST_MAIN(TestSavedPrinter)
#include "tst_saved_printer.moc"
