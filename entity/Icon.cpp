#include "Icon.h"

#include "Error.h"

namespace tnUI {

const char* enumName(IconState::EState state)
{
    switch (state) {
    case IconState::Normal: return "Normal";
    case IconState::Disabled: return "Disabled";
    case IconState::Highlight: return "Highlight";
    case IconState::Active: return "Active";
    }
    throw ImplError();
}

const char* enumName(IconMode::EMode mode)
{
    switch (mode) {
    case IconMode::Default: return "Default";
    case IconMode::Alternate: return "Alternate";
    }
    throw ImplError();
}

} // namespace tnUI
