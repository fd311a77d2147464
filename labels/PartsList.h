#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The parts list the part window chooses from, parts.txt in the data folder:
// one part a line, its code and its description separated by a comma.
namespace PartsList {

// parts.txt in the data folder.
QString path();

// The file's lines, every one an entry of the chooser, in file order.
// Throws Failure naming the file, with the system's reason, when it cannot
// be read.
QStringList read(const QString &filePath);

// A line's part: the text before its first comma is the code, the text
// between the first and a second comma the description.
struct Part {
    QString code;
    std::optional<QString> description; // none: the line has no comma
};
// None for an empty line.
std::optional<Part> partOf(const QString &line);

} // namespace PartsList
