#pragma once

#include "model/design_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Plumbrook {

// What reading module code gave: the design and how much of the code it covers.
struct CodeImport
{
    DesignFile::Design design;
    bool moduleRecognised = false;
    int components = 0;
    int unrecognisedPieces = 0;
    int firstUnrecognisedLine = 0;   // 1-based; 0 when every piece was read
    QString firstUnrecognised;       // the beginning of that piece

    // The design is worth taking only when something of it was read.
    bool recognisedAnything() const { return moduleRecognised || components > 0; }
    // One line for the status line and the command line.
    QString summary() const;
};

// Turns module code back into the design it was generated from.
namespace CodeReader {

// Every component and the module wrapper whose code generation would give
// again, in canonical form; whatever else the code holds is reported.
CodeImport read(const QString &code);

// The text of a code file in UTF-8 (with or without a byte-order mark), GBK
// or GB18030; nothing when the bytes are valid in none of them.
std::optional<QString> decode(const QByteArray &bytes);

} // namespace CodeReader
} // namespace Plumbrook
