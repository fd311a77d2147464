#pragma once

#include <QString>
#include <optional>

// Turning typed or read counts into 16-bit whole numbers. Halves round to the
// even neighbour (2.5 gives 2, 3.5 gives 4); the decimal point is the full stop.
namespace NumberText {

// The leading number of the text: blanks, tabs and line feeds anywhere are
// ignored, a sign, digits, one full stop and an exponent are read, reading
// stops at the first character that cannot continue the number; no number is 0.
double leadingNumber(const QString &text);

// leadingNumber rounded to a 16-bit integer; nullopt when out of range.
std::optional<qint16> lenientInt16(const QString &text);

// The whole text must be a number (blanks around it allowed); nullopt when it
// is not, or when the rounded value is out of the 16-bit range.
std::optional<qint16> strictInt16(const QString &text);

// The same bounds for loop counts, which are not limited to 16 bits:
// nullopt when the text is not a number.
std::optional<double> strictNumber(const QString &text);

} // namespace NumberText
