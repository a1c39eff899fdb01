#pragma once

// The Qt binding of the tnUI library for hosts: menus, menu bars and tool
// bars compiled from command groups, argument panes as widgets. Hosts of
// this header link tnUI::Widgets and build with Qt Widgets.

#include "tnUIQt.h"

#include "widgets/ArgumentBinding.h"
#include "widgets/ArgumentPaneWidget.h"
#include "widgets/ColorButton.h"
#include "widgets/CommandAction.h"
#include "widgets/CommandMenu.h"
#include "widgets/CommandMenuBar.h"
#include "widgets/CommandToolBar.h"
#include "widgets/InputEvents.h"
#include "widgets/InputForwarder.h"
#include "widgets/MarkingMenuTrigger.h"
#include "widgets/QMenuMarkingMenu.h"
#include "widgets/StepSpinBox.h"
#include "widgets/SwitchButton.h"
#include "widgets/WidgetArgumentPane.h"
#include "widgets/WidgetWindowImpl.h"
