#pragma once

#include <QString>

#include <optional>

// What `tagfoundry --help` and `tagfoundry --version` print. Only a
// command-line tail that is exactly one of these two options asks for it;
// anything else starts the program as before (a batch word or the main window).
namespace ProgramInfo {

std::optional<QString> textFor(const QString &argumentText);

} // namespace ProgramInfo
