#pragma once

#include "../foundation/Export.h"

#include "ArgumentItem.h"

namespace tnUI {

/// A push button; a value may be attached through setValue.
class TNUI_EXPORT ButtonArgument : public ArgumentItem {
public:
    ButtonArgument();
};

} // namespace tnUI
