#pragma once

#include <QStringList>
#include <deque>
#include <functional>

class Failure;
class LateFailure;
class Spooler;

// The labels of a batch on their way to the printer. A spooler that holds
// jobs (the built-in printer writes its files a group at a time) finishes
// them after they were handed over; a label that fails then is reported with
// its own line, the labels before it stay printed and none after it is, and
// no warning speaks of a label before it is printed.
class PendingLabels {
public:
    PendingLabels(Spooler *spooler, QString filePath, std::function<void(const QString &)> warn);
    PendingLabels(const PendingLabels &) = delete;
    PendingLabels &operator=(const PendingLabels &) = delete;
    // Waits for the labels handed over, when finish() did not.
    ~PendingLabels();

    // Prints the label of line `line` (1 for the first) with `print`, and
    // gives the warnings `print` returns once the label is printed. Throws
    // Failure naming the line of the first label that failed: this one, or
    // an earlier one that failed since it was handed over.
    void print(qsizetype line, const std::function<QStringList()> &print);
    // Waits until every label is printed; throws as print() does.
    void finish();

private:
    struct Label {
        qsizetype line;
        QStringList warnings;
    };

    void giveWarnings(qsizetype finished);
    Failure failureOf(const LateFailure &late);

    Spooler *m_spooler;
    QString m_filePath;
    std::function<void(const QString &)> m_warn;
    bool m_holding = false;
    std::deque<Label> m_unfinished; // handed over, in order, from job number m_finished
    qsizetype m_finished = 0;
};
