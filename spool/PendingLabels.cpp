#include "PendingLabels.h"

#include "Failure.h"
#include "Spooler.h"

PendingLabels::PendingLabels(Spooler *spooler, QString filePath, std::function<void(const QString &)> warn)
    : m_spooler(spooler), m_filePath(std::move(filePath)), m_warn(std::move(warn)),
      m_holding(spooler && spooler->holdJobs())
{
}

PendingLabels::~PendingLabels()
{
    if (!m_holding)
        return;
    try {
        m_spooler->finishJobs();
    } catch (const Failure &) { // the run is ending on another error already
    }
}

void PendingLabels::print(qsizetype line, const std::function<QStringList()> &print)
{
    QStringList warnings;
    try {
        warnings = print();
    } catch (const LateFailure &late) {
        throw failureOf(late);
    } catch (const Failure &failure) {
        finish(); // a label before this one that failed comes first
        throw Failure(failure).inFile(m_filePath, line);
    }
    m_unfinished.push_back({line, warnings});
    giveWarnings(m_holding ? m_spooler->jobsFinished() : m_finished + qsizetype(m_unfinished.size()));
}

void PendingLabels::finish()
{
    if (m_holding) {
        try {
            m_holding = false;
            m_spooler->finishJobs();
        } catch (const LateFailure &late) {
            throw failureOf(late);
        }
    }
    giveWarnings(m_finished + qsizetype(m_unfinished.size()));
}

void PendingLabels::giveWarnings(qsizetype finished)
{
    for (; m_finished < finished && !m_unfinished.empty(); ++m_finished) {
        for (const QString &warning : m_unfinished.front().warnings) {
            if (m_warn)
                m_warn(warning);
        }
        m_unfinished.pop_front();
    }
}

Failure PendingLabels::failureOf(const LateFailure &late)
{
    if (m_holding) {
        m_holding = false;
        try {
            m_spooler->finishJobs(); // throws the same failure again
        } catch (const Failure &) {
        }
    }
    giveWarnings(late.job()); // the labels before it are printed
    const qsizetype line = m_unfinished.empty() ? 0 : m_unfinished.front().line;
    m_unfinished.clear();
    return Failure(late).inFile(m_filePath, line);
}
