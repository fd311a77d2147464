// What the layouts print from: the label file's lines and fields, a parts
// list line's part, the shelf run's counts, letters and sequence. The rows
// are tables under tests/data/tables/.

#include "ChildProgram.h"
#include "Failure.h"
#include "Golden.h"
#include "LabelFile.h"
#include "PartsList.h"
#include "ShelfLabels.h"
#include "TestPrinting.h"

#include <QtTest>

using namespace Qt::StringLiterals;

static QString orNone(const std::optional<QString> &text)
{
    return text ? u'\'' + *text + u'\'' : u"none"_s;
}

class TestLabels : public QObject {
    Q_OBJECT

private slots:
    void labelFile_data() { Golden::addRows(u"tables/label-file.txt"_s); }
    void labelFile()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"labels.txt"_s);
        QString error;
        const QByteArray bytes = input == u"(empty)"_s ? QByteArray() : QByteArray::fromPercentEncoding(input.toUtf8());
        QVERIFY2(input == u"(no file)"_s || writeFile(path, bytes, &error), qPrintable(error));
        QStringList read;
        try {
            for (const LabelFile::Record &record : LabelFile::read(path))
                read << u"%1: %2"_s.arg(record.line).arg(record.fields.join(u'|'));
        } catch (const Failure &failure) {
            // The file is named; the system's words for a missing file differ by system.
            QCOMPARE(failure.file(), QDir::toNativeSeparators(path));
            read << (failure.reason().isEmpty() ? u"failed: "_s + failure.message().section(u": "_s, 1)
                                                : u"failed with the system's reason"_s);
        }
        const QString got = read.isEmpty() ? u"(no records)"_s : read.join(u"; "_s);
        QVERIFY(Golden::rowMatches(u"tables/label-file.txt"_s, input, output, got));
    }

    void labelOfARecord_data() { Golden::addRows(u"tables/label-records.txt"_s); }
    void labelOfARecord()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QString got;
        try {
            const BatchLabel l = LabelFile::labelOf(
                {7, input == u"(empty line)"_s ? QStringList() : input.split(u',')});
            got = u"%1 %2 %3 %4 %5"_s.arg(l.code, orNone(l.reference), l.description, orNone(l.note)).arg(l.copies);
        } catch (const Failure &failure) {
            got = u"failed: "_s + failure.message();
        }
        QVERIFY(Golden::rowMatches(u"tables/label-records.txt"_s, input, output, got));
    }

    void partOfALine_data() { Golden::addRows(u"tables/parts-lines.txt"_s); }
    void partOfALine()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const std::optional<PartsList::Part> part = PartsList::partOf(input == u"(empty line)"_s ? QString() : input);
        const QString got = part ? part->code + u' ' + orNone(part->description) : u"no part"_s;
        QVERIFY(Golden::rowMatches(u"tables/parts-lines.txt"_s, input, output, got));
    }

    void shelfCount_data() { Golden::addRows(u"tables/shelf-counts.txt"_s); }
    void shelfCount()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QString answer = input == u"(empty)"_s ? QString() : QByteArray::fromPercentEncoding(input.toUtf8());
        const std::optional<qint64> count = ShelfCount(answer);
        QVERIFY(Golden::rowMatches(u"tables/shelf-counts.txt"_s, input, output,
                                   count ? QString::number(*count) : u"none"_s));
    }

    void shelfLetters_data() { Golden::addRows(u"tables/shelf-letters.txt"_s); }
    void shelfLetters()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QString letters = ShelfLetters(input.toLongLong());
        QVERIFY(Golden::rowMatches(u"tables/shelf-letters.txt"_s, input, output,
                                   letters.isEmpty() ? u"(none)"_s : letters));
    }

    void shelfRun_data() { Golden::addRows(u"tables/shelf-runs.txt"_s); }
    void shelfRun()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QStringList words = input.split(u' ');
        TestPrinting env;
        env.spooler.refuseJobs(u"out of labels"_s, words.size() > 5 ? words[5].toInt() - 1 : -1);
        ShelfRun run(words[0] == u"-"_s ? QString() : words[0], words[1].toLongLong(), words[2].toLongLong());
        QString stays;
        try {
            while (!run.atEnd() && run.printed() < 100) // a run that never ends fails here, not in a timeout
                run.printNext(env.printer);
        } catch (const Failure &) {
            stays = u"; stays at "_s + run.nextCode();
        }
        QStringList codes; // of the jobs printed, "TagFoundry SHELF C1A"
        for (const PrintJob &job : std::as_const(env.spooler.jobs))
            codes << job.title.section(u' ', 2);
        QCOMPARE(run.printed(), qint64(codes.size()));
        const QString got = codes.isEmpty() ? u"(none)"_s : codes.join(u' ') + stays;
        QVERIFY(Golden::rowMatches(u"tables/shelf-runs.txt"_s, input, output, got));
    }
};

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
