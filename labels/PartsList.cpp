#include "PartsList.h"

#include "DataFolder.h"

namespace PartsList {

QString path()
{
    return DataFolder::file(QStringLiteral("parts.txt"));
}

QStringList read(const QString &filePath)
{
    return DataFolder::readLines(filePath);
}

std::optional<Part> partOf(const QString &line)
{
    if (line.isEmpty())
        return std::nullopt;
    const QStringList fields = line.split(QLatin1Char(','));
    return Part{fields[0], fields.size() > 1 ? std::optional(fields[1]) : std::nullopt};
}

} // namespace PartsList
