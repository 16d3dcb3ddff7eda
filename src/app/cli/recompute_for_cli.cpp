#include "app/cli/cli_document.h"

namespace qzarn::cli {

// The figure engine's recompute pass is not part of the program yet: until it is, documents
// pass through unchanged (every figure keeps the values stored in the file).
void RecomputeForCli(Screen&) {}

}  // namespace qzarn::cli
