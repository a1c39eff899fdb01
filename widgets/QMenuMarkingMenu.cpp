#include "QMenuMarkingMenu.h"

#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkFont.h>
#include <tnUI/markingmenus/MarkItem.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/MarkPosition.h>
#include <tnUI/markingmenus/popup/PopUpMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <QActionEvent>
#include <QActionGroup>
#include <QFontInfo>
#include <QMenu>
#include <QWidgetAction>

#include <algorithm>
#include <vector>

namespace tnUI {

namespace {

// The mark positions of the compass points North (1) to Northwest (8).
constexpr int markPositions[] = {tnMarkPosition::North,     tnMarkPosition::Northeast, tnMarkPosition::East,
                                 tnMarkPosition::Southeast, tnMarkPosition::South,     tnMarkPosition::Southwest,
                                 tnMarkPosition::West,      tnMarkPosition::Northwest};
// The order in which actions without a position take the free compass
// points: clockwise from North, the four axes first in a small menu, where
// they are the easiest marks.
constexpr QMenuMarkingMenu::Position clockwise[] = {
    QMenuMarkingMenu::North, QMenuMarkingMenu::Northeast, QMenuMarkingMenu::East, QMenuMarkingMenu::Southeast,
    QMenuMarkingMenu::South, QMenuMarkingMenu::Southwest, QMenuMarkingMenu::West, QMenuMarkingMenu::Northwest};
constexpr QMenuMarkingMenu::Position axesFirst[] = {
    QMenuMarkingMenu::North,     QMenuMarkingMenu::East,      QMenuMarkingMenu::South,     QMenuMarkingMenu::West,
    QMenuMarkingMenu::Northeast, QMenuMarkingMenu::Southeast, QMenuMarkingMenu::Southwest, QMenuMarkingMenu::Northwest};
constexpr int compassPoints = 8;

tnString::IString istring(const QString& s)
{
    return tnString::IString(s.toStdWString());
}

// QAction's own tooltip for an action that was given none: the text without
// "..." and without the mnemonic markers ("&&" leaves one '&').
QString strippedText(QString s)
{
    s.remove(QStringLiteral("..."));
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == u'&')
            s.remove(i, 1);
    }
    return s.trimmed();
}

// The font an action shows in menu, as QMenu chooses it.
tnMarkFont markFont(const QAction* action, const QMenu* menu)
{
    const QFont font = action->font().resolveMask() ? action->font().resolve(menu->font()) : menu->font();
    const int style = (font.bold() ? 1 : 0) + (font.italic() ? 2 : 0);
    // A font sized in pixels has no point size of its own.
    return tnMarkFont(istring(font.family()), style, QFontInfo(font).pointSize());
}

// Shows action's check mark and enabled state on item. Only a change of the
// enabled state touches the item's state, so that a highlighted item stays
// highlighted.
void showState(tnMarkMenuItem* item, const QAction* action, const QMenu* menu)
{
    if (action->isCheckable()) {
        const QActionGroup* group = action->actionGroup();
        if (group && group->isExclusive())
            item->setRadioChecked(action->isChecked());
        else
            item->setChecked(action->isChecked());
    }
    if (!action->isEnabled() || !menu->isEnabled())
        item->setState(tnMarkItem::Disabled);
    else if (item->getState() == tnMarkItem::Disabled)
        item->setState(tnMarkItem::Normal);
}

// Emits aboutToShow for menu and then, depth first, for the submenus of its
// visible actions, each once; shown collects them. The handlers may change
// or delete anything: the submenus are gathered before any of them runs.
void announce(QMenu* menu, QList<QPointer<QMenu>>& shown)
{
    if (!menu || shown.contains(menu))
        return;
    shown.append(menu);
    QList<QPointer<QMenu>> submenus;
    const QPointer<QMenu> alive(menu);
    emit menu->aboutToShow();
    if (!alive)
        return;
    for (const QAction* action : menu->actions()) {
        if (action->isVisible() && action->menu())
            submenus.append(action->menu());
    }
    for (const QPointer<QMenu>& submenu : submenus)
        announce(submenu, shown);
}

} // namespace

// One mapping of the QMenu: the marking menus made for it and what their
// items stand for.
struct QMenuMarkingMenu::Build {
    // An item and the action it shows, taken from menu.
    struct Entry {
        QPointer<QAction> action;
        QPointer<QMenu> menu;
        tnMarkMenuItem* item;
    };

    // Maps menu (on the way down from the root, path) into a new marking
    // menu.
    std::unique_ptr<tnMarkMenu> map(QMenu* menu, QList<QMenu*>& path);
    // Adds the item of action at that compass point (Overflow: to the list).
    void add(tnMarkMenu& mark, QMenu* menu, QAction* action, int compass, QList<QMenu*>& path);
    // The action an item id stands for, when it may still be triggered.
    QAction* choice(int id) const;

    // Declared before the root: deleted after the menus whose items open
    // them.
    std::vector<std::unique_ptr<tnMarkMenu>> submenus;
    std::unique_ptr<tnMarkMenu> root;
    // A leaf item's id is its entry's index + 1; submenu items have id 0.
    std::vector<Entry> entries;
    // The menus mapped, each once.
    QList<QPointer<QMenu>> menus;
};

std::unique_ptr<tnMarkMenu> QMenuMarkingMenu::Build::map(QMenu* menu, QList<QMenu*>& path)
{
    if (!menus.contains(menu))
        menus.append(menu);
    path.append(menu);
    std::unique_ptr<tnMarkMenu> mark(createMarkMenu());
    mark->setRadius(35.0f);

    // The actions that get an item, with their compass points (0 until
    // placed) and the number of separators before them.
    struct Slot {
        QAction* action;
        int compass;
        int separatorsBefore;
    };
    std::vector<Slot> placed;
    int separators = 0;
    bool taken[compassPoints + 1] = {};
    for (QAction* action : menu->actions()) {
        if (!action->isVisible() || qobject_cast<QWidgetAction*>(action) ||
            (action->menu() && path.contains(action->menu())))
            continue;
        if (action->isSeparator()) {
            ++separators;
            continue;
        }
        // A position the host gave comes first; a second one at the same
        // point is placed as if it had none.
        int compass = position(action);
        if (compass > Automatic && taken[compass])
            compass = Automatic;
        else if (compass > Automatic)
            taken[compass] = true;
        placed.push_back({action, compass, separators});
    }
    const auto radial =
        std::count_if(placed.begin(), placed.end(), [](const Slot& s) { return s.compass != Overflow; });
    const Position* order = radial <= 4 ? axesFirst : clockwise;
    int next = 0;
    for (Slot& slot : placed) {
        if (slot.compass != Automatic)
            continue;
        while (next < compassPoints && taken[order[next]])
            ++next;
        slot.compass = next < compassPoints ? order[next] : Overflow;
        if (slot.compass != Overflow)
            taken[slot.compass] = true;
    }

    for (const Slot& slot : placed) {
        if (slot.compass != Overflow)
            add(*mark, menu, slot.action, slot.compass, path);
    }
    // The list shows a separator wherever the menu has one between two of
    // its actions.
    int listed = -1;
    for (const Slot& slot : placed) {
        if (slot.compass != Overflow)
            continue;
        if (listed >= 0 && slot.separatorsBefore > listed)
            mark->addSeparator();
        add(*mark, menu, slot.action, Overflow, path);
        listed = slot.separatorsBefore;
    }
    path.removeLast();
    return mark;
}

void QMenuMarkingMenu::Build::add(tnMarkMenu& mark, QMenu* menu, QAction* action, int compass, QList<QMenu*>& path)
{
    const tnString::IString label = istring(action->text().section(u'\t', 0, 0));
    const QString tip = action->toolTip();
    const tnString::IString tooltip = istring(tip == strippedText(action->text()) ? QString() : tip);
    const tnMarkFont font = markFont(action, menu);
    std::unique_ptr<tnMarkMenu> submenu = action->menu() ? map(action->menu(), path) : nullptr;
    const int id = submenu ? 0 : static_cast<int>(entries.size()) + 1;
    tnMarkMenuItem* item = compass == Overflow
                               ? mark.addOverflowItem(label, tooltip, id, font, nullptr)
                               : mark.addTextItem(label, tooltip, id, markPositions[compass - 1], font, nullptr);
    if (!item)
        return;
    if (submenu) {
        item->setSubmenu(submenu.get());
        submenus.push_back(std::move(submenu));
    }
    if (!action->icon().isNull())
        setMarkItemIcon(item, action->icon());
    showState(item, action, menu);
    entries.push_back({action, menu, item});
}

QAction* QMenuMarkingMenu::Build::choice(int id) const
{
    if (id < 1 || id > static_cast<int>(entries.size()))
        return nullptr;
    const Entry& entry = entries[static_cast<std::size_t>(id - 1)];
    QAction* action = entry.action;
    const QMenu* menu = entry.menu;
    return action && menu && action->isEnabled() && action->isVisible() && menu->isEnabled() &&
                   menu->actions().contains(action)
               ? action
               : nullptr;
}

QMenuMarkingMenu::QMenuMarkingMenu(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu)
{
    if (!menu)
        throw NullError();
}

QMenuMarkingMenu::~QMenuMarkingMenu() = default;

QAction* QMenuMarkingMenu::exec(const QPoint& global)
{
    if (m_open || !m_menu || QmarkMenuView::findView())
        return nullptr;
    const QPointer<QMenuMarkingMenu> self(this);
    QList<QPointer<QMenu>> shown;
    announce(m_menu, shown);
    std::shared_ptr<Build> build;
    if (self) {
        _map();
        build = m_build;
    }
    int id = -1;
    if (build && build->root && build->root->getNumItems() > 0) {
        m_open = true;
        try {
            void* data = nullptr;
            build->root->popup(static_cast<float>(global.x()), static_cast<float>(global.y()), &id, &data, true);
        } catch (...) {
            if (self)
                m_open = false;
            throw;
        }
        if (self)
            m_open = false;
    }
    // As QMenu: the menus hide before the action is triggered.
    for (const QPointer<QMenu>& menu : shown) {
        if (menu)
            emit menu->aboutToHide();
    }
    const QPointer<QAction> action(self && build ? build->choice(id) : nullptr);
    if (!action)
        return nullptr;
    action->trigger();
    return action;
}

tnMarkMenu* QMenuMarkingMenu::markMenu()
{
    if (!m_open)
        _map();
    return m_build ? m_build->root.get() : nullptr;
}

QAction* QMenuMarkingMenu::actionOf(const tnMarkItem* item) const
{
    if (!m_build || !item)
        return nullptr;
    for (const Build::Entry& entry : m_build->entries) {
        if (entry.item == item)
            return entry.action && entry.menu && entry.menu->actions().contains(entry.action) ? entry.action : nullptr;
    }
    return nullptr;
}

void QMenuMarkingMenu::setPosition(QAction* action, Position position)
{
    if (!action)
        throw NullError();
    if (position < Overflow || position > Northwest)
        throw ImplError();
    action->setProperty(PositionProperty, static_cast<int>(position));
}

QMenuMarkingMenu::Position QMenuMarkingMenu::position(const QAction* action)
{
    const QVariant value = action ? action->property(PositionProperty) : QVariant();
    if (!value.isValid())
        return Automatic;
    bool number = false;
    int position = value.toInt(&number);
    if (!number) {
        const QString name = value.toString();
        if (name.compare(QLatin1String("Overflow"), Qt::CaseInsensitive) == 0)
            return Overflow;
        position = static_cast<int>(PopUpMenu::getCompassPosition(istring(name)));
    }
    return position >= Overflow && position <= Northwest ? static_cast<Position>(position) : Automatic;
}

bool QMenuMarkingMenu::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ActionChanged && type != QEvent::ActionRemoved) || !m_build)
        return QObject::eventFilter(watched, event);
    const QAction* action = static_cast<QActionEvent*>(event)->action();
    bool changed = false;
    for (Build::Entry& entry : m_build->entries) {
        if (entry.action != action || entry.menu != watched)
            continue;
        if (type == QEvent::ActionRemoved) {
            entry.item->setState(tnMarkItem::Disabled);
            entry.action = nullptr;
        } else {
            showState(entry.item, action, entry.menu);
        }
        changed = true;
    }
    if (changed && m_open) {
        if (QmarkMenuView* view = QmarkMenuView::findView())
            view->update();
    }
    return QObject::eventFilter(watched, event);
}

void QMenuMarkingMenu::_map()
{
    auto next = std::make_shared<Build>();
    if (m_menu) {
        QList<QMenu*> path;
        next->root = next->map(m_menu, path);
    }
    if (m_build) {
        for (const QPointer<QMenu>& menu : m_build->menus) {
            if (menu)
                menu->removeEventFilter(this);
        }
    }
    for (const QPointer<QMenu>& menu : next->menus)
        menu->installEventFilter(this);
    m_build = std::move(next);
}

} // namespace tnUI
