#include "PopUpMenu.h"

#include "../../application/Application.h"
#include "../../commands/CommandDefn.h"
#include "../../commands/CommandInstance.h"
#include "../../entity/DumpFile.h"
#include "../../menus/CommandGroup.h"
#include "../../menus/CommandItem.h"
#include "../../values/NumericValue.h"
#include "../MarkFont.h"
#include "../MarkImageItem.h"
#include "../MarkLinearMenu.h"
#include "../MarkPosition.h"
#include "../qt/QmarkLinearMenu.h"
#include "../qt/QmarkMenu.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace tnUI {

namespace {

// One of the eight compass positions: its number, its names and the mark
// position of its direction.
struct Compass {
    double position;
    tnString::IString longName;
    tnString::IString shortName;
    int markPosition;
};

// The compass positions 1 to 8, at index position - 1. Made once and shared
// by every pop-up menu.
const std::array<Compass, 8>& compassTable()
{
    static const std::array<Compass, 8> table{{
        {1.0, "North", "N", tnMarkPosition::North},
        {2.0, "Northeast", "NE", tnMarkPosition::Northeast},
        {3.0, "East", "E", tnMarkPosition::East},
        {4.0, "Southeast", "SE", tnMarkPosition::Southeast},
        {5.0, "South", "S", tnMarkPosition::South},
        {6.0, "Southwest", "SW", tnMarkPosition::Southwest},
        {7.0, "West", "W", tnMarkPosition::West},
        {8.0, "Northwest", "NW", tnMarkPosition::Northwest},
    }};
    return table;
}

bool nearCompass(double position, const Compass& c)
{
    return std::fabs(position - c.position) < tnLinear::epsilonTol;
}

// The command instance an element stands for: the element itself, or the
// command of a command item; null for anything else.
CommandInstance* commandOf(Element* element)
{
    if (auto* instance = dynamic_cast<CommandInstance*>(element))
        return instance;
    if (auto* item = dynamic_cast<CommandItem*>(element))
        return item->getCommand();
    return nullptr;
}

// The file name of the element's icon for that state, or empty.
tnString::IString iconFile(Element* element, IconState::EState state)
{
    const ImageFile* icon = element->getIcon(state, IconMode::Default);
    return icon ? icon->getFilename()->asString() : tnString::IString();
}

} // namespace

PopUpMenu::PopUpMenu(CommandGroup* group) : m_commandGroup(group)
{
    if (group)
        tnRTB::connect(group->messageSignal, this, &PopUpMenu::contentModified);
    _update();
}

PopUpMenu::~PopUpMenu()
{
    _clearMenu();
}

CommandInstance* PopUpMenu::show(double x, double y) const
{
    if (!m_markMenu)
        return nullptr;
    // Keeps menus replaced by a rebuild during the popup alive until the
    // outermost show is done with them.
    struct ShowScope {
        const PopUpMenu& menu;
        explicit ShowScope(const PopUpMenu& m) : menu(m) { ++menu.m_showDepth; }
        ~ShowScope()
        {
            if (--menu.m_showDepth == 0)
                menu.m_retired.clear();
        }
        ShowScope(const ShowScope&) = delete;
        ShowScope& operator=(const ShowScope&) = delete;
    } scope(*this);

    int id = -1;
    void* data = nullptr;
    m_markMenu->popup(static_cast<float>(x), static_cast<float>(y), &id, &data, true);
    return static_cast<CommandInstance*>(data);
}

CommandInstance* PopUpMenu::show(const tnLinear::Point2& p) const
{
    return show(p.x, p.y);
}

double PopUpMenu::getCompassPosition(const tnString::IString& name)
{
    for (const Compass& c : compassTable()) {
        if (tnString::equal(c.longName, name) || tnString::equal(c.shortName, name))
            return c.position;
    }
    return 0.0;
}

void PopUpMenu::getCompassPositionName(const double& position, tnString::IString& name)
{
    name = tnString::IString();
    static constexpr int testOrder[] = {3, 2, 1, 8, 7, 6, 5, 4};
    for (int p : testOrder) {
        const Compass& c = compassTable()[p - 1];
        if (nearCompass(position, c)) {
            name = c.longName;
            return;
        }
    }
}

int PopUpMenu::getMarkPosition(double position) const
{
    for (const Compass& c : compassTable()) {
        if (nearCompass(position, c))
            return c.markPosition;
    }
    return tnMarkPosition::Auto;
}

void PopUpMenu::contentModified(Message& m)
{
    bool rebuild = false;
    for (const Message* c = &m; c; c = c->causedBy()) {
        switch (c->getType()) {
        case Message::Forward:
        case Message::Value: {
            const Entity* source = c->getEntity();
            for (auto [it, end] = m_checkedItems.equal_range(source); it != end; ++it)
                it->second->setChecked(it->first->evalBool());
            for (auto [it, end] = m_enabledItems.equal_range(source); it != end; ++it)
                it->second->setState(it->first->evalBool() ? tnMarkItem::Normal : tnMarkItem::Disabled);
            break;
        }
        case Message::Content:
        case Message::Structure: rebuild = true; break;
        default: break;
        }
    }
    if (rebuild)
        _update();
}

bool PopUpMenu::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (m_commandGroup)
        m_commandGroup->dump(file, level + 1, "command group");
    return true;
}

void PopUpMenu::_update()
{
    _clearMenu();
    CommandGroup* group = getCommandGroup();
    if (!group)
        return;
    m_radial = group->getLayoutPreference() == Group::Radial;
    if (m_radial) {
        m_markMenu.reset(createMarkMenu());
        m_markMenu->setRadius(35.0f);
        m_markMenu->setCompact(true);
    } else {
        m_markMenu.reset(createLinearMarkMenu());
    }
    _addCmdGroup(group, m_markMenu.get());
    float right = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    m_markMenu->getExtents(right, bottom, left, top);
    m_size = tnLinear::Tuple2(right - left, top - bottom);
}

void PopUpMenu::_clearMenu()
{
    for (const tn::Reference<NumericValue>& condition : m_watched)
        condition->messageSignal.disconnectInstance(this);
    m_checkedItems.clear();
    m_enabledItems.clear();
    if (m_showDepth > 0) {
        if (m_markMenu)
            m_retired.push_back(std::move(m_markMenu));
        std::move(m_submenus.begin(), m_submenus.end(), std::back_inserter(m_retired));
    }
    // The menu goes first: its items let go of their submenus as they die.
    m_markMenu.reset();
    m_submenus.clear();
    m_watched.clear();
    m_size = tnLinear::Tuple2();
    m_radial = false;
}

void PopUpMenu::_addCmdGroup(Group* group, tnMarkMenu* menu)
{
    if (!group || !menu)
        return;
    auto* linear = dynamic_cast<tnMarkLinearMenu*>(menu);
    for (int i = 0; i < group->getNumElements(); ++i) {
        Element* element = group->getElement(i);
        if (!element->isGroup()) {
            _addCmdElement(element, menu, i);
            continue;
        }
        // A radial menu has no place for a nested group: it ends there.
        if (!linear)
            return;
        m_submenus.emplace_back(createLinearMarkMenu());
        tnMarkMenu* submenu = m_submenus.back().get();
        linear->addSubmenuItem(_getElementLabel(element), tnString::IString(), submenu, _defaultFont(), nullptr);
        _addCmdGroup(dynamic_cast<Group*>(element), submenu);
    }
}

void PopUpMenu::_addCmdElement(Element* element, tnMarkMenu* menu, int id)
{
    if (!element || !menu)
        return;
    if (!element->isCommand()) {
        menu->addSeparator();
        return;
    }
    CommandInstance* command = commandOf(element);
    if (!command)
        return;

    tnMarkMenuItem* item = nullptr;
    if (auto* linear = dynamic_cast<tnMarkLinearMenu*>(menu)) {
        item = linear->addItem(_getElementLabel(element), tnString::IString(), id, _defaultFont(), nullptr);
    } else {
        const int mark = getMarkPosition(element->getOrderValue());
        if (mark == tnMarkPosition::Auto)
            return;
        item = _addRadialItem(element, menu, id, mark);
    }
    if (!item)
        return;

    if (NumericValue* checked = command->getCheckedExpression()) {
        _watch(checked);
        m_checkedItems.emplace(checked, item);
        item->setChecked(checked->evalBool());
    }
    NumericValue* enabled = command->getEnabledExpression();
    if (!enabled)
        enabled = command->getCommand()->getEnabledExpression();
    if (enabled) {
        _watch(enabled);
        m_enabledItems.emplace(enabled, item);
        item->setState(enabled->evalBool() ? tnMarkItem::Normal : tnMarkItem::Disabled);
    }
    item->setData(command);
}

tnMarkMenuItem* PopUpMenu::_addRadialItem(Element* element, tnMarkMenu* menu, int id, int markPosition)
{
    const tnString::IString tooltip = _getElementToolTip(element);
    const tnString::IString normal = iconFile(element, IconState::Normal);
    if (!normal.isEmpty()) {
        // The Active picture is shown while the item is highlighted, the
        // Highlight picture while it is disabled; a missing one falls back on
        // the Normal picture.
        tnString::IString highlighted = iconFile(element, IconState::Active);
        if (highlighted.isEmpty())
            highlighted = normal;
        tnString::IString disabled = iconFile(element, IconState::Highlight);
        if (disabled.isEmpty())
            disabled = normal;
        try {
            return menu->addImageItem(normal, highlighted, disabled, tooltip, id, markPosition, nullptr);
        } catch (const tnMarkBadImageException&) {
            // Pictures that cannot be shown leave the command as a text item
            // rather than out of the menu.
        }
    }
    return menu->addTextItem(_getElementLabel(element), tooltip, id, markPosition, _defaultFont(), nullptr);
}

void PopUpMenu::_watch(NumericValue* condition)
{
    const bool watched =
        std::any_of(m_watched.begin(), m_watched.end(),
                    [condition](const tn::Reference<NumericValue>& w) { return w.get() == condition; });
    if (watched)
        return;
    tnRTB::connect(condition->messageSignal, this, &PopUpMenu::contentModified);
    m_watched.emplace_back(condition);
}

tnString::IString PopUpMenu::_getElementLabel(Element* element)
{
    const Label* label = element ? element->getLabel() : nullptr;
    return label ? label->asString() : tnString::IString();
}

tnString::IString PopUpMenu::_getElementToolTip(Element* element)
{
    const Label* tooltip = element ? element->getToolTip() : nullptr;
    return tooltip ? tooltip->asString() : _getElementLabel(element);
}

const tnMarkFont& PopUpMenu::_defaultFont()
{
    static const tnMarkFont font(Application::getFontName(), 0, Application::getNormalFontSize());
    return font;
}

} // namespace tnUI
