#pragma once

#include "../foundation/Export.h"

namespace tnUI {

/// The state of the interface element an icon is drawn for.
class TNUI_EXPORT IconState {
public:
    /// A fixed underlying type keeps every int a valid value, so that values
    /// outside the table can be given and refused.
    enum EState : int {
        Normal = 0,
        Disabled = 1,
        Highlight = 2,
        Active = 3,
    };
};

/// Which of a decorated entity's two icon sets is meant.
class TNUI_EXPORT IconMode {
public:
    /// The icon set.
    enum EMode : int {
        Default = 0,
        Alternate = 1,
    };
};

/// "Normal", "Disabled", "Highlight", "Active"; other values raise ImplError.
TNUI_EXPORT const char* enumName(IconState::EState state);
/// "Default", "Alternate"; other values raise ImplError.
TNUI_EXPORT const char* enumName(IconMode::EMode mode);

} // namespace tnUI
