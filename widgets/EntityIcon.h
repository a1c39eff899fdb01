#pragma once

// The icons of model entities as Qt shows them, shared by the menus, tool
// bars and argument controls: not installed, not exported.

#include <QIcon>

namespace tnUI {

class DecoratedEntity;

// The icon of entity's Normal and Disabled images (in the default set),
// each file decoded once while it stays in a small cache that belongs to the
// application; a null icon when entity has no Normal image.
QIcon iconOf(const DecoratedEntity* entity);
// Image files decoded for icons so far, for diagnosis.
int iconFileDecodes();

} // namespace tnUI
