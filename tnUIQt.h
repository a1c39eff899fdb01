#pragma once

// The public interface of the tnUI library with the Qt classes of its marking
// menus: the menus, the view that runs them (and its settings) and the
// compositing check. Hosts of this header build with Qt Widgets.

#include "tnUI.h"

#include "markingmenus/qt/QmarkCompositing.h"
#include "markingmenus/qt/QmarkLinearMenu.h"
#include "markingmenus/qt/QmarkMenu.h"
#include "markingmenus/qt/QmarkMenuView.h"
