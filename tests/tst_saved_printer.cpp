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
        // Where the program keeps it: Qt's native store (in the test's home; on Windows the registry).
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "TagFoundry", "TagFoundry");
        QCOMPARE(store.value("Settings/Printer").toString() + '|' + SavedPrinter::read(), " Label Printer | Label Printer ");
    }

    // Each row saves names in turn, selecting after each; the current printer ends as `expected`,
    // "name in n" for the n-th spooler (0: none). "two": a second spooler lists "Label Printer"
    // again, and of two equal names the later wins. "away": a print server that cannot be reached
    // lists nothing, and its saved printer stays the destination, so a batch fails instead of
    // printing elsewhere.
    void selectSavedPrinter_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QString>("spoolers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact match") << QStringList{"Label Printer"} << "one" << "Label Printer in 1";
        QTest::newRow("none keeps the default") << QStringList{"none"} << "one" << "Office in 1";
        QTest::newRow("letter case differs: no match") << QStringList{"label printer"} << "one" << "Office in 1";
        QTest::newRow("not installed: default stays") << QStringList{"Gone"} << "one" << "Office in 1";
        QTest::newRow("earlier match stays") << QStringList{"Label Printer", "Vanished"} << "one" << "Label Printer in 1";
        QTest::newRow("later of two equal names") << QStringList{"Label Printer"} << "two" << "Label Printer in 2";
        QTest::newRow("server away") << QStringList{"Label Printer"} << "away" << "Label Printer in 1";
        QTest::newRow("none, server away") << QStringList{"none"} << "away" << " in 0";
    }

    void selectSavedPrinter()
    {
        QFETCH(QStringList, saved);
        QFETCH(QString, spoolers);
        QFETCH(QString, expected);
        RecordingSpooler second({"Label Printer"});
        TestPrinting env = spoolers == "away" ? TestPrinting({}, {}) : TestPrinting();
        env.spooler.unreachable = spoolers == "away" ? "the print server is down" : "";
        Printer printer(spoolers == "two" ? Printers({&env.spooler, &second}) : env.printer.printers());
        for (const QString &name : saved) {
            env.savePrinter(name);
            SelectSavedPrinter(printer);
        }
        const PrinterEntry chosen = printer.entry();
        const int index = chosen.spooler == &env.spooler ? 1 : chosen.spooler == &second ? 2 : 0;
        QCOMPARE(QString("%1 in %2").arg(chosen.deviceName).arg(index), expected);
    }

    // The printer listed last (the built-in one) is chosen without asking the
    // spoolers before it: the system's print server may take its time.
    void lastSpoolersPrinterChosenWithoutAskingTheOthers()
    {
        TestPrinting env;
        RecordingSpooler builtIn({"TagFoundry PDF"});
        Printer printer(Printers({&env.spooler, &builtIn}));
        env.savePrinter("TagFoundry PDF");
        SelectSavedPrinter(printer);
        QCOMPARE(printer.entry(), (PrinterEntry{"TagFoundry PDF", &builtIn}));
        QCOMPARE(env.spooler.namesListed, 0);
    }
};

QTEST_MAIN(TestSavedPrinter)
#include "tst_saved_printer.moc"
