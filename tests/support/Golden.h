#pragma once

#include <QString>

// Long expected outputs live as text files under tests/data/, one line per
// item. A test compares what it got with its file; on a difference it fails
// with the first line that differs. With TAGFOUNDRY_UPDATE_GOLDEN=1 in the environment the
// file is rewritten from what the test got instead (review it with git diff).
namespace Golden {

// True when `actual` matches tests/data/<name>; otherwise says where it differs.
// Use as QVERIFY(Golden::matches("xlist.jobs", text)).
bool matches(const QString &name, const QString &actual);

// A table: tests/data/<name> holds one row a line, "INPUT => OUTPUT"; a line
// starting with "#" says something of the rows below it. In a test's _data(),
// addRows(name) makes each row a data row, tagged by its input, with the
// columns "input" and "output"; the test works out what the input gives and
// compares it with QVERIFY(Golden::rowMatches(name, input, output, got)).
// With TAGFOUNDRY_UPDATE_GOLDEN=1 the row's output is rewritten instead.
void addRows(const QString &name);
bool rowMatches(const QString &name, const QString &input, const QString &output, const QString &got);

} // namespace Golden
