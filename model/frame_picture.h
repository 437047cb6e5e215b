#pragma once

#include <QByteArray>

namespace Plumbrook {

// Colour values carry red in the lowest byte, then green, then blue.
using ColourValue = unsigned int;

// Draws the plain block with a two-pixel border that stands in for a picture,
// returned as the bytes of a 24-bit uncompressed BMP file. Pure; any thread.
// Sizes below 1 give an empty picture, and so does a picture too large to hold
// (over 256 MiB of pixels), which every user then treats as "no picture".
QByteArray makeFramePicture(int width, int height, ColourValue fill, ColourValue border);

} // namespace Plumbrook
