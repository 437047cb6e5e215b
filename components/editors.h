#pragma once

namespace Plumbrook {

// Registers the editor window of every kind with the editor registry. Runs its
// registrations only the first time it is called, so a later main window does
// not replace factories registered in between (tests register their own).
void registerBuiltinEditors();

} // namespace Plumbrook
