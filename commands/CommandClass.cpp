#include "CommandClass.h"

namespace tnUI {

// Out of line so that the class's virtual table lives in the library.
CommandClass::~CommandClass() = default;

} // namespace tnUI
