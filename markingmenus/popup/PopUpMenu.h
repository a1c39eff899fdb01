#pragma once

#include "../../entity/NamedLabeledEntity.h"
#include "../../foundation/Containers.h"
#include "../../foundation/IString.h"
#include "../../foundation/Linear.h"
#include "../../foundation/ReferenceCount.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class tnMarkFont;
class tnMarkMenu;
class tnMarkMenuItem;

namespace tnUI {

class CommandGroup;
class CommandInstance;
class Element;
class Group;
class NumericValue;

// A marking menu filled from a command group and shown at a screen point,
// giving back the command instance the user chose. A group laid out "Radial"
// becomes a radial menu whose commands sit at the compass positions given by
// their order values (1 North to 8 Northwest, clockwise); any other group
// becomes a list, with nested groups as submenus.
//
// The menu is rebuilt whenever the group announces a change of content or
// structure; between rebuilds the items follow the commands' enabled and
// checked conditions in place. The pop-up menu owns the marking menu and the
// submenus made for it.
class PopUpMenu : public NamedLabeledEntity {
public:
    // Holds group (null gives an object without a menu), listens to it and
    // builds the menu.
    explicit PopUpMenu(CommandGroup* group);
    ~PopUpMenu() override;

    CommandGroup* getCommandGroup() const noexcept { return m_commandGroup.get(); }

    // Runs the menu at the screen point (x, y) until the user is done and
    // returns the chosen command instance; null when nothing was chosen or
    // there is no menu.
    CommandInstance* show(double x, double y) const;
    CommandInstance* show(const tnLinear::Point2& p) const;

    // Width and height of the menu at the last rebuild; (0, 0) without one.
    const tnLinear::Tuple2& getSize() const noexcept { return m_size; }
    // The current marking menu, null without one, for inspection: it belongs
    // to this object and is replaced by every rebuild.
    tnMarkMenu* getMarkMenu() const noexcept { return m_markMenu.get(); }

    // The compass position named by a long ("North") or short ("N") name; 0
    // when no name matches exactly.
    static double getCompassPosition(const tnString::IString& name);
    // Sets name to the long name of the compass position within
    // tnLinear::epsilonTol of position, or empties it when there is none.
    static void getCompassPositionName(const double& position, tnString::IString& name);

    // Brings the items up to date for changes of the watched conditions and
    // rebuilds the menu once for a change of content or structure, looking
    // at m and every message that caused it.
    void contentModified(Message& m);

    // The entity, then the group under "command group" one level deeper.
    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    // The mark position of the compass position within tnLinear::epsilonTol
    // of position; tnMarkPosition::Auto (18) when there is none.
    int getMarkPosition(double position) const;

private:
    // Conditions mapped to the items they drive; one condition may drive
    // several items.
    using ItemMap = std::multimap<const NumericValue*, tnMarkMenuItem*, std::less<>>;

    // Throws the menu away and builds it again from the group.
    void _update();
    // Deletes the menu and its submenus (or keeps them aside while shown),
    // stops watching the conditions and resets the size.
    void _clearMenu();
    // Adds the elements of group to menu in order. A nested group ends a
    // radial menu and becomes a submenu of a list.
    void _addCmdGroup(Group* group, tnMarkMenu* menu);
    // Adds one element with that id: a separator, or an item for a command
    // with its conditions watched and the command instance as its data.
    void _addCmdElement(Element* element, tnMarkMenu* menu, int id);
    // The item of a radial menu: a picture when the element has a Normal
    // icon, text otherwise.
    tnMarkMenuItem* _addRadialItem(Element* element, tnMarkMenu* menu, int id, int markPosition);
    // Listens to condition, once, and keeps it alive while it is watched.
    void _watch(NumericValue* condition);

    static tnString::IString _getElementLabel(Element* element);
    static tnString::IString _getElementToolTip(Element* element);
    static const tnMarkFont& _defaultFont();

    tn::Reference<CommandGroup> m_commandGroup;
    // Submenus made for the current menu, deleted after it.
    std::vector<std::unique_ptr<tnMarkMenu>> m_submenus;
    std::unique_ptr<tnMarkMenu> m_markMenu;
    tnLinear::Tuple2 m_size;
    bool m_radial = false;
    ItemMap m_checkedItems;
    ItemMap m_enabledItems;
    tn::vector<tn::Reference<NumericValue>> m_watched;
    // While show runs, a rebuild cannot delete the menu being shown: the old
    // menus wait here until the outermost show returns.
    mutable int m_showDepth = 0;
    mutable std::vector<std::unique_ptr<tnMarkMenu>> m_retired;
};

} // namespace tnUI
