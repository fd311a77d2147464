#pragma once

#include <QString>

#include <vector>

// The built program run in batch mode as the calling program runs it, for
// the benchmarks: each run in a home of its own, timed from its start to its
// end, with its own peak memory.
namespace BatchRuns {

struct Run {
    double seconds = 0;
    double peakMB = 0;
    bool ok = false;
};

// A home with the built-in printer saved and `records` records in its label file.
void makeHome(const QString &home, int records);

// `program` with `arguments` run to its end with `home` as its home (HOME,
// XDG_CONFIG_HOME) and no display; ok when it exits with status 0.
Run run(const QString &program, const QStringList &arguments, const QString &home);

// The built program's batch word `word` run so (TAGFOUNDRY_BENCH_PROGRAM
// names another build's program, to compare two builds).
Run runBatch(const QString &home, const QString &word);

double median(std::vector<double> values);

// The .pdf files the home's printed/ folder holds.
int pdfsIn(const QString &home);

} // namespace BatchRuns
