#pragma once

#include <QString>

namespace Plumbrook {

// The constant markup pieces the generated code is built from, one resource file each.
namespace Templates {

// The piece named `name` (a file under :/templates), with the outside services'
// addresses filled in; an empty text for an unknown name.
const QString &text(const QString &name);

} // namespace Templates
} // namespace Plumbrook
