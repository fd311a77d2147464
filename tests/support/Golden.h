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

} // namespace Golden
