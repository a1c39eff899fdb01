#pragma once

namespace tnBench {

// Makes sure a QApplication exists for benchmarks that measure, paint or run
// widgets; it runs on Qt's offscreen platform unless one is chosen outside,
// and lives until the program ends.
void ensureGuiApplication();

} // namespace tnBench
