#include "PopUpMenu.h"

#include "../../application/Application.h"
#include "../../commands/CommandDefn.h"
#include "../../commands/CommandInstance.h"
#include "../../entity/DumpFile.h"
#include "../../entity/Error.h"
#include "../../menus/CommandGroup.h"
#include "../../values/NumericValue.h"
#include "../MarkFont.h"
#include "../MarkGeometry.h"
#include "../MarkImageItem.h"
#include "../MarkLinearMenu.h"
#include "../MarkPosition.h"
#include "../qt/QmarkLinearMenu.h"
#include "../qt/QmarkMenu.h"
#include "../qt/QmarkMenuView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

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
bool watches(const tn::vector<tn::Reference<NumericValue>>& watched, const NumericValue* condition)
{
    return std::any_of(watched.begin(), watched.end(),
                       [condition](const tn::Reference<NumericValue>& w) { return w.get() == condition; });
}

// The screen point (x, y) kept to the bounding rectangle of the screens, in
// floats that the view turns into pixels; ImplError for a coordinate that is
// infinite or undefined.
std::pair<float, float> screenPoint(double x, double y)
{
    const tnLinear::Point2 p = tnMarkGeometry::clampToDesktop(x, y, QmarkMenuView::desktopBounds());
    return {static_cast<float>(p.x), static_cast<float>(p.y)};
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
    _unwatch(m_build);
}

CommandInstance* PopUpMenu::show(double x, double y) const
{
    const auto [px, py] = screenPoint(x, y);
    tn::Reference<CommandInstance> chosen;
    {
        // The host may let go of this object while the menu runs; one that
        // nobody holds yet is left to its maker.
        const tn::Reference<const PopUpMenu> held(getRefCount() > 0 ? this : nullptr);
        chosen = _run(px, py);
    }
    // Nobody else holds it: it dies with this call's reference.
    if (!chosen || chosen->getRefCount() == 1)
        return nullptr;
    return chosen.get();
}

tn::Reference<CommandInstance> PopUpMenu::_run(float x, float y) const
{
    tnMarkMenu* menu = m_build.menu.get();
    if (!menu)
        return nullptr;
    // Keeps builds replaced during the popup alive until the outermost show
    // is done with them; they are deleted after the count is down, as their
    // commands' destruction may call the host.
    struct ShowScope {
        const PopUpMenu& menu;
        explicit ShowScope(const PopUpMenu& m) : menu(m) { ++menu.m_showDepth; }
        ~ShowScope()
        {
            if (--menu.m_showDepth == 0) {
                const std::vector<Build> retired = std::move(menu.m_retired);
                menu.m_retired.clear();
            }
        }
        ShowScope(const ShowScope&) = delete;
        ShowScope& operator=(const ShowScope&) = delete;
    } scope(*this);

    int id = -1;
    void* data = nullptr;
    menu->popup(x, y, &id, &data, true);
    auto* command = static_cast<CommandInstance*>(data);
    return _offers(command) ? command : nullptr;
}

bool PopUpMenu::_offers(const CommandInstance* command) const
{
    return command && std::any_of(m_build.offers.begin(), m_build.offers.end(), [command](const Offer& o) {
               return o.command == command && o.element->commandToRun() == command;
           });
}

CommandInstance* PopUpMenu::showFromKeyboard(double x, double y) const
{
    const QmarkMenuView::KeyboardOpening opening;
    return show(x, y);
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
    // A condition may call the host, which may rebuild the menu or let go of
    // this object: every condition is read first, with this object held
    // unless it is still being made, then the items of the build current
    // by then take the values.
    const tn::Reference<PopUpMenu> held(getRefCount() > 0 ? this : nullptr);
    std::vector<std::pair<tn::Reference<NumericValue>, bool>> values;
    bool rebuild = false;
    for (const Message* c = &m; c; c = c->causedBy()) {
        switch (c->getType()) {
        case Message::Forward:
        case Message::Value: {
            const Entity* source = c->getEntity();
            const auto w = std::find_if(m_build.watched.begin(), m_build.watched.end(),
                                        [source](const tn::Reference<NumericValue>& v) { return v.get() == source; });
            if (w != m_build.watched.end()) {
                tn::Reference<NumericValue> condition = *w;
                const bool value = condition->evalBool();
                values.emplace_back(std::move(condition), value);
            }
            break;
        }
        case Message::Content:
        case Message::Structure: rebuild = true; break;
        default: break;
        }
    }
    for (const auto& [condition, value] : values) {
        for (auto [it, end] = m_build.checkedItems.equal_range(condition.get()); it != end; ++it)
            it->second->setChecked(value);
        for (auto [it, end] = m_build.enabledItems.equal_range(condition.get()); it != end; ++it)
            it->second->setState(value ? tnMarkItem::Normal : tnMarkItem::Disabled);
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
    Build next;
    if (CommandGroup* group = getCommandGroup()) {
        next.radial = group->getLayoutPreference() == Group::Radial;
        tnMarkLinearMenu* list = nullptr;
        if (next.radial) {
            next.menu.reset(createMarkMenu());
            next.menu->setRadius(35.0f);
            next.menu->setCompact(true);
        } else {
            list = createLinearMarkMenu();
            next.menu.reset(list);
        }
        // A failure here drops next, with everything made for it, and leaves
        // the current build untouched.
        _addCmdGroup(group, next.menu.get(), list, next);
        float right = 0.0f;
        float bottom = 0.0f;
        float left = 0.0f;
        float top = 0.0f;
        next.menu->getExtents(right, bottom, left, top);
        next.size = tnLinear::Tuple2(right - left, top - bottom);
    }
    _install(next);
}

void PopUpMenu::_install(Build& next)
{
    // Room for the old build first, so that nothing below fails once
    // connections have changed.
    if (m_showDepth > 0)
        m_retired.reserve(m_retired.size() + 1);

    // Listens to the conditions new to next. Should a connection fail, the
    // ones made here are cut again and the current build stays in place.
    struct NewConnections {
        explicit NewConnections(PopUpMenu* menu) : self(menu) {}
        ~NewConnections()
        {
            if (!kept) {
                for (NumericValue* condition : made)
                    condition->messageSignal.disconnectInstance(self);
            }
        }
        NewConnections(const NewConnections&) = delete;
        NewConnections& operator=(const NewConnections&) = delete;

        PopUpMenu* self;
        std::vector<NumericValue*> made;
        bool kept = false;
    } connections(this);
    connections.made.reserve(next.watched.size());
    for (const tn::Reference<NumericValue>& condition : next.watched) {
        if (watches(m_build.watched, condition.get()))
            continue;
        tnRTB::connect(condition->messageSignal, this, &PopUpMenu::contentModified);
        connections.made.push_back(condition.get());
    }
    connections.kept = true;

    for (const tn::Reference<NumericValue>& condition : m_build.watched) {
        if (!watches(next.watched, condition.get()))
            condition->messageSignal.disconnectInstance(this);
    }
    // The old build dies with next, after the new one is in place: letting
    // go of its conditions and commands may run other objects' destruction
    // notices. While show runs, the menu it shows and the commands of its
    // items wait in m_retired until the outermost show returns.
    std::swap(m_build, next);
    if (m_showDepth > 0)
        m_retired.push_back(std::move(next));
}

void PopUpMenu::_unwatch(const Build& build) noexcept
{
    for (const tn::Reference<NumericValue>& condition : build.watched)
        condition->messageSignal.disconnectInstance(this);
}

void PopUpMenu::_addCmdGroup(Group* group, tnMarkMenu* menu, tnMarkLinearMenu* list, Build& build)
{
    if (!group || !menu)
        return;
    for (int i = 0; i < group->getNumElements(); ++i) {
        Element* element = group->getElement(i);
        if (!element->isGroup()) {
            _addCmdElement(element, menu, list, i, build);
            continue;
        }
        // A radial menu has no place for a nested group: it ends there.
        if (!list)
            return;
        // Held while it is filled: conditions evaluated on the way may call
        // the host.
        const tn::Reference<Group> subgroup(dynamic_cast<Group*>(element));
        tnMarkLinearMenu* submenu = createLinearMarkMenu();
        build.submenus.emplace_back(submenu);
        list->addSubmenuItem(_getElementLabel(element), tnString::IString(), submenu, _defaultFont(), nullptr);
        _addCmdGroup(subgroup.get(), submenu, submenu, build);
    }
}

void PopUpMenu::_addCmdElement(Element* element, tnMarkMenu* menu, tnMarkLinearMenu* list, int id, Build& build)
{
    if (!element || !menu)
        return;
    if (!element->isCommand()) {
        menu->addSeparator();
        return;
    }
    // Held while its conditions are evaluated, which may call the host.
    const tn::Reference<Element> held(element);
    const tn::Reference<CommandInstance> command(element->commandToRun());
    if (!command)
        return;

    tnMarkMenuItem* item = nullptr;
    if (list) {
        item = list->addItem(_getElementLabel(element), tnString::IString(), id, _defaultFont(), nullptr);
    } else {
        const int mark = getMarkPosition(element->getOrderValue());
        if (mark == tnMarkPosition::Auto)
            return;
        item = _addRadialItem(element, menu, id, mark);
    }
    if (!item)
        return;

    if (NumericValue* checked = command->getCheckedExpression()) {
        _watch(checked, build);
        build.checkedItems.emplace(checked, item);
        item->setChecked(checked->evalBool());
    }
    NumericValue* enabled = command->getEnabledExpression();
    if (!enabled)
        enabled = command->getCommand()->getEnabledExpression();
    if (enabled) {
        _watch(enabled, build);
        build.enabledItems.emplace(enabled, item);
        item->setState(enabled->evalBool() ? tnMarkItem::Normal : tnMarkItem::Disabled);
    }
    item->setData(command.get());
    build.offers.push_back({element, command});
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
        return menu->addImageItem(normal, highlighted, disabled, tooltip, id, markPosition, nullptr);
    }
    return menu->addTextItem(_getElementLabel(element), tooltip, id, markPosition, _defaultFont(), nullptr);
}

void PopUpMenu::_watch(NumericValue* condition, Build& build)
{
    if (!watches(build.watched, condition))
        build.watched.emplace_back(condition);
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
