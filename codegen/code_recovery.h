#pragma once

#include "codegen/code_patterns.h"
#include "model/design_file.h"
#include "model/module_settings.h"

#include <QStringList>
#include <QVector>

namespace Plumbrook {

// The values one match of a pattern read, by hole, in the order they stand.
using CapturedValues = QVector<QPair<int, QString>>;

// A component read back: its rows (a carousel brings its two arrows) and, for
// a carousel, its settings.
struct RecoveredComponent
{
    QVector<QStringList> rows;
    DesignFile::CarouselValues settings;
};

// Turns what a pattern read into the cells the editors would have written.
namespace CodeRecovery {

// The components a match can stand for, the likelier first; generating each
// again tells which one it was.
QVector<RecoveredComponent> components(const CodePatterns::Variant &variant, const CapturedValues &values);

// The module settings and the shrink amount (empty when none) the wrapper was made with.
ModuleSettings moduleSettings(const CodePatterns::Variant &variant, const CapturedValues &values,
                              QString *shrink);

// The picker's value of a colour text "#RRGGBB" or "#RGB", red in the lowest byte; 0 otherwise.
int colourValue(const QString &text);

} // namespace CodeRecovery
} // namespace Plumbrook
