#pragma once

#include "../../foundation/Export.h"

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
class tnMarkLinearMenu;
class tnMarkMenu;
class tnMarkMenuItem;

namespace tnUI {

class CommandGroup;
class CommandInstance;
class Element;
class Group;
class NumericValue;

/// A marking menu filled from a command group and shown at a screen point,
/// giving back the command instance the user chose. A group laid out "Radial"
/// becomes a radial menu whose commands sit at the compass positions given by
/// their order values (1 North to 8 Northwest, clockwise); any other group
/// becomes a list, with nested groups as submenus.
///
/// The menu is rebuilt whenever the group announces a change of content or
/// structure; between rebuilds the items follow the commands' enabled and
/// checked conditions in place. The pop-up menu owns the marking menu and the
/// submenus made for it.
///
/// A command of a radial group whose icon pictures cannot be used (a file that
/// does not load, pictures of different sizes) fails the build:
/// tnMarkBadImageException leaves the constructor, or the group's change that
/// caused the rebuild, and the pop-up menu stays as it was before that
/// rebuild. A host that wants another look for such a command catches it.
class TNUI_EXPORT PopUpMenu : public NamedLabeledEntity {
public:
    /// Holds group (null gives an object without a menu), listens to it and
    /// builds the menu; raises tnMarkBadImageException when an icon's pictures
    /// cannot be used.
    explicit PopUpMenu(CommandGroup* group);
    ~PopUpMenu() override;

    /// The command group.
    CommandGroup* getCommandGroup() const noexcept { return m_commandGroup.get(); }

    /// Runs the menu at the screen point (x, y), kept to the screens, until
    /// the user is done and returns the chosen command instance; null when
    /// nothing was chosen, there is no menu, or the chosen command is no
    /// longer offered (taken out of the group, a command item pointed at
    /// another command) or no longer held by anyone but this call. This
    /// object, the menu shown and its commands live until show returns,
    /// whoever lets go of them meanwhile. An infinite or undefined coordinate
    /// raises ImplError.
    CommandInstance* show(double x, double y) const;
    /// The same at p.
    CommandInstance* show(const tnLinear::Point2& p) const;
    /// The same as a key opens it: the items show at once with the first
    /// highlighted, and the popup runs, with no button held, until a key or
    /// a click chooses or cancels (QmarkMenuView::KeyboardOpening).
    CommandInstance* showFromKeyboard(double x, double y) const;

    /// Width and height of the menu at the last rebuild; (0, 0) without one.
    const tnLinear::Tuple2& getSize() const noexcept { return m_build.size; }
    /// The current marking menu, null without one, for inspection: it belongs
    /// to this object and is replaced by every rebuild.
    tnMarkMenu* getMarkMenu() const noexcept { return m_build.menu.get(); }

    /// The compass position named by a long ("North") or short ("N") name; 0
    /// when no name matches exactly.
    static double getCompassPosition(const tnString::IString& name);
    /// Sets name to the long name of the compass position within
    /// tnLinear::epsilonTol of position, or empties it when there is none.
    static void getCompassPositionName(const double& position, tnString::IString& name);

    /// Brings the items up to date for changes of the watched conditions and
    /// rebuilds the menu once for a change of content or structure, looking
    /// at m and every message that caused it. A failed rebuild raises
    /// tnMarkBadImageException and keeps the current menu.
    void contentModified(Message& m);

    /// The entity, then the group under "command group" one level deeper.
    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// The mark position of the compass position within tnLinear::epsilonTol
    /// of position; tnMarkPosition::Auto (18) when there is none.
    int getMarkPosition(double position) const;

private:
    /// Conditions mapped to the items they drive; one condition may drive
    /// several items.
    using ItemMap = std::multimap<const NumericValue*, tnMarkMenuItem*, std::less<>>;

    /// A command an item of a build stands for, and the element that made
    /// it: the command itself or a command item.
    struct Offer {
        tn::Reference<Element> element;
        tn::Reference<CommandInstance> command;
    };

    /// Everything one build of the menu made: the marking menu, its submenus,
    /// the commands of its items, the conditions that drive its items and its
    /// size.
    struct Build {
        /// Submenus made for the menu; declared first, so deleted after it.
        std::vector<std::unique_ptr<tnMarkMenu>> submenus;
        std::unique_ptr<tnMarkMenu> menu;
        /// The items hold their commands uncounted: these keep them alive.
        tn::vector<Offer> offers;
        ItemMap checkedItems;
        ItemMap enabledItems;
        /// The conditions of checkedItems and enabledItems, each once, kept
        /// alive while the build is in use.
        tn::vector<tn::Reference<NumericValue>> watched;
        tnLinear::Tuple2 size;
        bool radial = false;
    };

    /// Builds the menu again from the group, aside, and puts it in place of
    /// the current one only once it is complete: a failure leaves the current
    /// build and its connections as they were.
    void _update();
    /// Makes next the current build: listens to the conditions new to it and
    /// stops listening to those it dropped. The old build is left in next, to
    /// be deleted with it, unless a show is running: then it waits for the
    /// outermost show to return.
    void _install(Build& next);
    /// Runs the current menu at (x, y) and gives back the chosen command when
    /// the current build still offers it.
    tn::Reference<CommandInstance> _run(float x, float y) const;
    /// True when an element of the current build still stands for command.
    bool _offers(const CommandInstance* command) const;
    /// Adds the elements of group to menu, part of build, in order; list is
    /// menu when it is a list, else null. A nested group ends a radial menu
    /// and becomes a submenu of a list.
    void _addCmdGroup(Group* group, tnMarkMenu* menu, tnMarkLinearMenu* list, Build& build);
    /// Adds one element with that id: a separator, or an item for a command
    /// with its conditions recorded in build and the command instance as its
    /// data.
    void _addCmdElement(Element* element, tnMarkMenu* menu, tnMarkLinearMenu* list, int id, Build& build);
    /// The item of a radial menu: a picture when the element has a Normal
    /// icon, text otherwise. Raises tnMarkBadImageException when the pictures
    /// cannot be used.
    tnMarkMenuItem* _addRadialItem(Element* element, tnMarkMenu* menu, int id, int markPosition);
    /// Records condition, once, among the conditions build watches.
    static void _watch(NumericValue* condition, Build& build);
    /// Stops listening to the conditions of build.
    void _unwatch(const Build& build) noexcept;

    static tnString::IString _getElementLabel(Element* element);
    static tnString::IString _getElementToolTip(Element* element);
    static const tnMarkFont& _defaultFont();

    tn::Reference<CommandGroup> m_commandGroup;
    /// The current build, whose conditions this object listens to.
    Build m_build;
    /// While show runs, a rebuild cannot delete the menu being shown nor the
    /// commands of its items: the old builds wait here until the outermost
    /// show returns.
    mutable int m_showDepth = 0;
    mutable std::vector<Build> m_retired;
};

} // namespace tnUI
