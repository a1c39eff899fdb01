#include "ButtonArgument.h"

namespace tnUI {

// Out of line, so that the class's type information lives in the library.
ButtonArgument::ButtonArgument() = default;

} // namespace tnUI
