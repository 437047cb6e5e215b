#include "model/colour_conversion.h"

namespace Plumbrook::ColourConversion {

QString colourText(qint64 value)
{
    QString digits = value > 0 ? QString::number(value, 16).toUpper() : QStringLiteral("0");
    if (digits.size() < 6)
        digits = QString(6 - digits.size(), QLatin1Char('0')) + digits;
    // The value is blue-green-red from the top; the text wants red first.
    return QLatin1Char('#') + digits.mid(4, 2) + digits.mid(2, 2) + digits.mid(0, 2);
}

} // namespace Plumbrook::ColourConversion
