#pragma once

#include <QString>

namespace Plumbrook {

// Turns the colour values the pickers return into the CSS colour texts that
// fields, records and generated code use.
namespace ColourConversion {

// Colour text "#RRGGBB" (upper-case hex) of a value laid out as 0x00BBGGRR.
// Of a value with more than six hex digits only the first six (from the left)
// are used; a negative value gives "#000000". Pure; callable from any thread.
QString colourText(qint64 value);

} // namespace ColourConversion
} // namespace Plumbrook
