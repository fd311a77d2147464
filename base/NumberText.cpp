#include "NumberText.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace NumberText {

namespace {

bool isIgnored(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

} // namespace

double leadingNumber(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (!isIgnored(c))
            kept.append(c);
    }
    // The longest prefix that is a number: sign, digits, one point, exponent.
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(kept);
    if (!match.hasMatch())
        return 0;
    return match.captured(0).toDouble();
}

std::optional<qint16> lenientInt16(const QString &text)
{
    return toInt16(leadingNumber(text));
}

std::optional<double> strictNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toDouble();
}

std::optional<qint16> strictInt16(const QString &text)
{
    const std::optional<double> value = strictNumber(text);
    if (!value)
        return std::nullopt;
    return toInt16(*value);
}

} // namespace NumberText
