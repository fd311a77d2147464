// Typed counts: the strict and lenient conversions of any text.

#include "FuzzSetup.h"

#include "NumberText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzSetup::bytes(data, size));
    const std::optional<qint16> strict = NumberText::strictInt16(text);
    const std::optional<double> number = NumberText::strictNumber(text);
    const std::optional<qint16> lenient = NumberText::lenientInt16(text);
    const double leading = NumberText::leadingNumber(text);
    // A text that is a number in the 16-bit range is one to both readings.
    if (strict && !number)
        std::abort();
    Q_UNUSED(lenient);
    Q_UNUSED(leading);
    return 0;
}
