#pragma once

// Marking menus for screen readers, through Qt's accessibility interfaces.
// The view is a pop-up menu whose children are the running menu's items (role
// MenuItem, each option box a "… options" item after its owner) and, for a
// radial menu with an overflow list, a List holding the overflow items. A
// list menu presents all its items directly. Names are the labels without
// their mnemonic marker, descriptions the tooltips; the highlighted item is
// the focused and selected one.

class QmarkMenuView;
class tnMarkItem;

namespace QmarkAccessible {

// Installs the view's interface factory (once per process) and announces what
// view does from now on: PopupMenuStart when it shows, PopupMenuEnd when it
// hides (also after a cancel, with nothing chosen), Focus for every item the
// highlight moves to, ObjectReorder when the running menu changes (a submenu
// opens, or the parent's comes back).
void attach(QmarkMenuView* view);

// Announces that item of view's running menu was chosen (MenuCommand). Nothing
// for a null view or item, or while accessibility is off.
void announceChoice(QmarkMenuView* view, const tnMarkItem* item);

} // namespace QmarkAccessible
