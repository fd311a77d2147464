// The built-in printer's numbered folder, and the writer that adds files to
// folders a group at a time on a thread of its own: the numbers each file
// gets, the names that are never replaced, what an addition reports, and
// how a failure stops the writer.

#include "FolderWriter.h"
#include "Golden.h"
#include "NumberedFolder.h"

#include <QtTest>

#include <mutex>

using namespace Qt::StringLiterals;

namespace {

const QString kCounter = u".last-number"_s;

// Files named as the built-in printer names them, "00000042 a.pdf"; a label
// "=x" is named "x.pdf" whatever its number, so that no number frees its name.
QString numbered(qint64 number, const QString &label)
{
    return label.startsWith(u'=') ? label.mid(1) + u".pdf"_s
                                  : u"%1 %2.pdf"_s.arg(number, 8, 10, QChar(u'0')).arg(label);
}

// Every file of the folder and its subfolders but the counter, by path from it.
QStringList listing(const QString &folder)
{
    QStringList names;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString name = QDir(folder).relativeFilePath(files.next());
        if (name != kCounter)
            names << name;
    }
    names.sort();
    return names;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the counter's text in place, as an editor that keeps the file
// does, so the folder's names do not change.
bool rewrite(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.resize(0) && file.write(text) == text.size();
}

} // namespace

class TestNumberedFolder : public QObject {
    Q_OBJECT

private slots:
    void numbersAndNames_data() { Golden::addRows(u"tables/numbered-folder.txt"_s); }
    void numbersAndNames()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"printed"_s), counter = QDir(folder).filePath(kCounter);
        QVERIFY(QDir().mkpath(folder));
        std::unique_ptr<NumberedFolder> run;
        NumberedFolder::Outcome outcome;
        for (const QString &step : input.split(u"; "_s)) {
            const QString verb = step.section(u' ', 0, 0), rest = step.section(u' ', 1);
            if (verb == u"add"_s || verb == u"again"_s) {
                if (verb == u"add"_s)
                    run = std::make_unique<NumberedFolder>(folder, numbered);
                QList<NumberedFolder::File> files;
                for (const QString &label : rest.split(u' '))
                    files.append({label, label.toUtf8()});
                outcome = run->add(files);
                QCOMPARE(outcome.paths.size(), outcome.added);
            } else if (verb == u"hand"_s) {
                QVERIFY(QDir(folder).mkpath(QFileInfo(rest).path())
                        && QFile(QDir(folder).filePath(rest)).open(QIODevice::WriteOnly));
            } else if (verb == u"number"_s) {
                const QByteArray text = readAll(counter);
                QVERIFY(rewrite(counter, rest.toLatin1() + text.mid(text.indexOf('\n'))));
            } else if (verb == u"counter"_s) {
                QVERIFY(rewrite(counter, rest.toLatin1() + '\n'));
            } else if (step == u"no counter"_s) {
                QVERIFY(QFile::remove(counter));
            } else {
                QCOMPARE(step, u"blocked"_s);
                QVERIFY(QDir(folder).removeRecursively() && QFile(folder).open(QIODevice::WriteOnly));
            }
        }
        QStringList added; // by path from the folder: "../x.pdf" were one elsewhere
        for (const QString &path : std::as_const(outcome.paths))
            added << QDir(folder).relativeFilePath(path);
        QString got = listing(folder).join(u", "_s) + u" | added "_s + added.join(u", "_s);
        if (outcome.failure) {
            QString message = outcome.failure->message().replace(QDir::toNativeSeparators(folder), u"<folder>"_s);
            if (!outcome.failure->reason().isEmpty())
                message.replace(outcome.failure->reason(), u"<reason>"_s);
            got += u" | failed: "_s + message;
        }
        got += u" | last "_s + QString::number(readAll(counter).split('\n')[0].toLongLong());
        QVERIFY(Golden::rowMatches(u"tables/numbered-folder.txt"_s, input, output, got));
    }

    void writerGroupsInOrder_data() { Golden::addRows(u"tables/folder-writer.txt"_s); }
    void writerGroupsInOrder()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(u"x"_s)).open(QIODevice::WriteOnly)); // no folder "x/printed"
        std::mutex mutex;
        QStringList numbers, named; // "folder:number" of each file named, and "folder:counter" it saw
        QMap<QChar, std::shared_ptr<NumberedFolder>> folders;
        const auto folderOf = [&](QChar letter) {
            const QString path = dir.filePath(QString(letter) + u"/printed"_s);
            if (!folders.contains(letter)) {
                folders[letter] = std::make_shared<NumberedFolder>(
                    path, [&, letter, path](qint64 number, const QString &label) {
                        const std::lock_guard lock(mutex);
                        if (const QString file = u"%1:%2"_s.arg(letter).arg(number); !numbers.contains(file)) {
                            numbers << file;
                            named << QString(letter) + u':'
                                         + QString::fromLatin1(readAll(path + u'/' + kCounter).split('\n')[0]);
                        }
                        return numbered(number, label);
                    });
            }
            return folders[letter];
        };
        FolderWriter writer([](Failure failure) { return failure.then(u"as described"_s); });
        QString handed; // each file's folder, in the order handed
        for (const QString &run : input.split(u' ')) {
            for (int i = 0; i < run.mid(1).toInt(); ++i, handed += run[0])
                writer.hand(folderOf(run[0]), {u"f%1"_s.arg(handed.size()), {}});
        }
        const auto lateAt = [](const std::function<void()> &call) {
            try {
                call();
            } catch (const LateFailure &late) {
                return late.consequence() == u"as described"_s ? late.job() : -2;
            }
            return qsizetype(-1);
        };
        const qsizetype failed = lateAt([&] { writer.finish(); });
        const qsizetype added = failed < 0 ? handed.size() : failed;
        QCOMPARE(writer.added(), added);
        // The same failure from every call after it; a file handed then is dropped.
        if (failed >= 0) {
            QCOMPARE(lateAt([&] { writer.hand(folderOf(u'a'), {u"later"_s, {}}); }), failed);
            QCOMPARE(lateAt([&] { writer.rethrowFailure(); }), failed);
            QCOMPARE(lateAt([&] { writer.finish(); }), failed);
        }
        // Each folder holds the files before the failed one, numbered in the order handed.
        for (auto folder = folders.cbegin(); folder != folders.cend(); ++folder) {
            QStringList files;
            for (qsizetype i = 0; i < added; ++i) {
                if (handed[i] == folder.key())
                    files << numbered(files.size() + 1, u"f%1"_s.arg(i));
            }
            QCOMPARE(listing(dir.filePath(QString(folder.key()) + u"/printed"_s)), files);
        }
        QStringList sizes; // of the runs of files that saw the same counter of the same folder
        for (qsizetype i = 0, start = 0; i < named.size(); sizes << QString::number(i - start), start = i) {
            while (i < named.size() && named[i] == named[start])
                ++i;
        }
        QString got = u"groups "_s + (sizes.isEmpty() ? u"(none)"_s : sizes.join(u' '));
        if (failed >= 0)
            got += u", failed at %1"_s.arg(failed);
        QVERIFY(Golden::rowMatches(u"tables/folder-writer.txt"_s, input, output, got));
    }
};

QTEST_MAIN(TestNumberedFolder)
#include "tst_numbered_folder.moc"
