#pragma once
#include <QString>

namespace vornex {

// The demo galaxy's folder. An installed program finds it beside its own executable under
// ../share/vornexinfo/demo, so the installation can be moved as a whole; a program run from the build
// folder falls back to the source tree it was built from. Returns the first candidate that exists;
// when none does, the installed location, so that a message can say where the demo was expected.
QString demoFolder();

// The same lookup for an executable living in applicationDir; the build-tree fallback is
// sourceTreeDemo (may be empty).
QString demoFolder(const QString& applicationDir, const QString& sourceTreeDemo);

} // namespace vornex
