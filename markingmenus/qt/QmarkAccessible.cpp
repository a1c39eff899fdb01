#include "QmarkAccessible.h"

#include "QmarkMenuView.h"

#include "../MarkItem.h"
#include "../MarkMenu.h"
#include "../MarkOptionBoxItem.h"
#include "../MarkRender.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QRectF>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

QString toQString(const tnString::IString& text)
{
    return QString::fromStdWString(text.str());
}

// A label as read aloud: a single '&' marks the mnemonic and goes, "&&" is
// one '&'.
QString withoutMnemonic(const QString& label)
{
    QString text;
    text.reserve(label.size());
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == u'&' && ++i == label.size())
            break;
        text += label[i];
    }
    return text;
}

// What the view presents of a menu: the items outside the overflow list, then
// those in it, each followed by its option box. A list menu presents every
// item directly.
struct Layout {
    std::vector<tnMarkMenuItem*> direct;
    std::vector<tnMarkMenuItem*> overflow;

    bool holds(const tnMarkItem* item) const
    {
        return std::find(direct.begin(), direct.end(), item) != direct.end() ||
               std::find(overflow.begin(), overflow.end(), item) != overflow.end();
    }
};

Layout layoutOf(const tnMarkMenu* menu)
{
    Layout layout;
    if (!menu)
        return layout;
    for (tnMarkItem* each : menu->getItems()) {
        tnMarkMenuItem* item = each->asMenuItem();
        if (!item)
            continue;
        std::vector<tnMarkMenuItem*>& place =
            item->isInOverflow() && !menu->isLinear() ? layout.overflow : layout.direct;
        place.push_back(item);
        if (tnMarkOptionBoxItem* box = item->getOptionBox())
            place.push_back(box);
    }
    return layout;
}

// An item's box in global pixels: the view's centre is the model's origin,
// whose y axis points up.
QRect globalBox(const QmarkMenuView& view, const tnMarkItem& item)
{
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    item.getBox(left, bottom, right, top);
    const QPointF origin(view.geometry().topLeft() + view.getCenter());
    return QRectF(origin + QPointF(left, -top), origin + QPointF(right, -bottom)).toAlignedRect();
}

// The child of parent under the global point; from the last, as an option box
// lies over its owner's end.
QAccessibleInterface* childAtPoint(const QAccessibleInterface& parent, int x, int y)
{
    for (int i = parent.childCount() - 1; i >= 0; --i) {
        QAccessibleInterface* each = parent.child(i);
        if (each && each->rect().contains(x, y))
            return each;
    }
    return nullptr;
}

int indexIn(const QAccessibleInterface& parent, const QAccessibleInterface* child)
{
    const int count = parent.childCount();
    for (int i = 0; i < count; ++i) {
        if (parent.child(i) == child)
            return i;
    }
    return -1;
}

class ViewInterface;

ViewInterface* viewInterface(QmarkMenuView* view);

// An item of the running menu, or an item's option box. Valid while the view
// runs the menu and the menu presents the item.
class ItemInterface : public QAccessibleInterface {
public:
    ItemInterface(QmarkMenuView* view, const tnMarkMenu* menu, tnMarkMenuItem* item, bool inList)
        : m_view(view), m_menu(menu), m_item(item), m_inList(inList)
    {}

    bool isValid() const override
    {
        return m_view && m_view->getCurrentMenu() == m_menu && layoutOf(m_menu).holds(m_item);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const tnTooltip* tooltip = m_item->getToolTip();
        QString description = tooltip ? toQString(tooltip->getText()) : QString();
        switch (t) {
        case QAccessible::Name: {
            if (const auto* box = dynamic_cast<const tnMarkOptionBoxItem*>(m_item); box && box->getOwner()) {
                return QCoreApplication::translate("QmarkAccessible", "%1 options")
                    .arg(withoutMnemonic(toQString(box->getOwner()->getLabel())));
            }
            const QString name = withoutMnemonic(toQString(m_item->getLabel()));
            // A picture item has no label; its tooltip says what it is.
            return name.isEmpty() ? description : name;
        }
        case QAccessible::Description: return description;
        default: return {};
        }
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QRect rect() const override { return isValid() ? globalBox(*m_view, *m_item) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.selectable = true;
        state.disabled = m_item->getState() == tnMarkItem::Disabled;
        state.checkable = m_item->isCheckable();
        state.checked = m_item->isChecked();
        state.hasPopup = m_item->getSubmenu() != nullptr;
        // A disabled item is highlighted too, without taking the highlighted
        // state: the menu's highlight is what counts.
        const bool highlighted = m_menu->getHighlightedItem() == m_item;
        state.focused = highlighted;
        state.selected = highlighted;
        // While the stroke is drawn the items are hidden.
        state.invisible = !m_menu->areItemsVisible();
        return state;
    }

private:
    QPointer<QmarkMenuView> m_view;
    const tnMarkMenu* m_menu;
    tnMarkMenuItem* m_item;
    bool m_inList;
};

// The overflow list of a radial menu: its items are the children.
class ListInterface : public QAccessibleInterface {
public:
    ListInterface(QmarkMenuView* view, const tnMarkMenu* menu) : m_view(view), m_menu(menu) {}

    bool isValid() const override
    {
        return m_view && m_view->getCurrentMenu() == m_menu && !layoutOf(m_menu).overflow.empty();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override { return childAtPoint(*this, x, y); }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return isValid() ? static_cast<int>(layoutOf(m_menu).overflow.size()) : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override { return indexIn(*this, child); }
    QString text(QAccessible::Text /*t*/) const override { return {}; }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}

    QRect rect() const override
    {
        QRect box;
        if (isValid()) {
            for (const tnMarkMenuItem* item : layoutOf(m_menu).overflow)
                box |= globalBox(*m_view, *item);
        }
        return box;
    }
    QAccessible::Role role() const override { return QAccessible::List; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        state.invisible = state.invalid || !m_menu->areItemsVisible();
        return state;
    }

private:
    QPointer<QmarkMenuView> m_view;
    const tnMarkMenu* m_menu;
};

// The view as a pop-up menu of the menu it runs. It keeps the interfaces of
// that menu's items and list, and drops them when another menu runs.
class ViewInterface : public QAccessibleWidget {
public:
    explicit ViewInterface(QmarkMenuView* view) : QAccessibleWidget(view, QAccessible::PopupMenu) {}
    ViewInterface(const ViewInterface&) = delete;
    ViewInterface& operator=(const ViewInterface&) = delete;
    ~ViewInterface() override { _forget(); }

    int childCount() const override
    {
        const Layout layout = layoutOf(_menu());
        return static_cast<int>(layout.direct.size()) + (layout.overflow.empty() ? 0 : 1);
    }

    QAccessibleInterface* child(int index) const override
    {
        const Layout layout = layoutOf(_menu());
        const auto count = static_cast<int>(layout.direct.size());
        if (index >= 0 && index < count)
            return itemInterface(layout.direct[static_cast<std::size_t>(index)]);
        if (index == count && !layout.overflow.empty())
            return listInterface();
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override { return indexIn(*this, child); }
    QAccessibleInterface* childAt(int x, int y) const override { return childAtPoint(*this, x, y); }

    QAccessibleInterface* focusChild() const override
    {
        const tnMarkMenu* menu = _menu();
        return menu ? itemInterface(menu->getHighlightedItem()) : nullptr;
    }

    // The label of the item a submenu opened from, else the running menu's
    // title, else the view's window title.
    QString text(QAccessible::Text t) const override
    {
        const tnMarkMenu* menu = _menu();
        if (t != QAccessible::Name || !menu)
            return QAccessibleWidget::text(t);
        if (const tnMarkMenuItem* parent = menu->getParentItem())
            return withoutMnemonic(toQString(parent->getLabel()));
        // A menu's title is "untitled" until a host sets one.
        if (QString title = toQString(menu->getTitle()); !title.isEmpty() && title != u"untitled")
            return title;
        return QAccessibleWidget::text(t);
    }

    // The interface of an item the running menu presents, made on first use;
    // null for any other item.
    QAccessibleInterface* itemInterface(const tnMarkItem* item) const
    {
        const tnMarkMenu* menu = _menu();
        if (!item)
            return nullptr;
        if (const auto known = m_items.constFind(item); known != m_items.constEnd())
            return QAccessible::accessibleInterface(*known);
        const Layout layout = layoutOf(menu);
        bool inList = false;
        tnMarkMenuItem* found = nullptr;
        for (const std::vector<tnMarkMenuItem*>* place : {&layout.direct, &layout.overflow}) {
            if (const auto at = std::find(place->begin(), place->end(), item); at != place->end()) {
                found = *at;
                inList = place == &layout.overflow;
            }
        }
        if (!found)
            return nullptr;
        auto* iface = new ItemInterface(view(), menu, found, inList);
        m_items.insert(item, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }

    // The overflow list's interface, made on first use.
    QAccessibleInterface* listInterface() const
    {
        const tnMarkMenu* menu = _menu();
        if (layoutOf(menu).overflow.empty())
            return nullptr;
        if (m_list == 0)
            m_list = QAccessible::registerAccessibleInterface(new ListInterface(view(), menu));
        return QAccessible::accessibleInterface(m_list);
    }

    QmarkMenuView* view() const { return static_cast<QmarkMenuView*>(widget()); }

private:
    // The running menu; the children of another one are dropped first.
    const tnMarkMenu* _menu() const
    {
        const QmarkMenuView* v = isValid() ? view() : nullptr;
        const tnMarkMenu* menu = v ? v->getCurrentMenu() : nullptr;
        if (menu != m_menu) {
            _forget();
            m_menu = menu;
        }
        return menu;
    }

    void _forget() const
    {
        for (const QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
        m_items.clear();
        if (m_list != 0)
            QAccessible::deleteAccessibleInterface(m_list);
        m_list = 0;
    }

    // Made on demand by the const navigation functions.
    mutable const tnMarkMenu* m_menu = nullptr;
    mutable QHash<const tnMarkItem*, QAccessible::Id> m_items;
    mutable QAccessible::Id m_list = 0;
};

ViewInterface* viewInterface(QmarkMenuView* view)
{
    return view ? dynamic_cast<ViewInterface*>(QAccessible::queryAccessibleInterface(view)) : nullptr;
}

QAccessibleInterface* ItemInterface::parent() const
{
    ViewInterface* parent = viewInterface(m_view);
    if (parent && m_inList)
        return parent->listInterface();
    return parent;
}

QAccessibleInterface* ListInterface::parent() const
{
    return viewInterface(m_view);
}

QAccessibleInterface* ListInterface::child(int index) const
{
    ViewInterface* parent = viewInterface(m_view);
    if (!parent || !isValid())
        return nullptr;
    const Layout layout = layoutOf(m_menu);
    if (index < 0 || index >= static_cast<int>(layout.overflow.size()))
        return nullptr;
    return parent->itemInterface(layout.overflow[static_cast<std::size_t>(index)]);
}

QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String(QmarkMenuView::staticMetaObject.className()))
        return nullptr;
    auto* view = qobject_cast<QmarkMenuView*>(object);
    return view ? new ViewInterface(view) : nullptr;
}

void send(QAccessibleInterface* iface, QAccessible::Event type)
{
    QAccessibleEvent event(iface, type);
    QAccessible::updateAccessibility(&event);
}

// Watches a view for its whole life, as its child: announces its showing and
// hiding, the highlight and changes of the running menu.
class Announcer : public QObject {
public:
    explicit Announcer(QmarkMenuView* view) : QObject(view), m_view(view)
    {
        view->installEventFilter(this);
        connect(view, &QmarkMenuView::hovered, this, [this](tnMarkItem* item) { _hovered(item); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view || !QAccessible::isActive())
            return false;
        switch (event->type()) {
        case QEvent::Show:
            m_menu = m_view->getCurrentMenu();
            _send(QAccessible::PopupMenuStart);
            break;
        case QEvent::Hide:
            _send(QAccessible::PopupMenuEnd);
            m_menu = nullptr;
            break;
        case QEvent::Paint:
            // The view repaints whenever it runs another menu.
            _followMenu();
            break;
        default: break;
        }
        return false;
    }

private:
    void _send(QAccessible::Event type)
    {
        QAccessibleEvent event(m_view, type);
        QAccessible::updateAccessibility(&event);
    }

    void _followMenu()
    {
        const tnMarkMenu* menu = m_view->getCurrentMenu();
        if (menu == m_menu || !m_view->isVisible())
            return;
        m_menu = menu;
        _send(QAccessible::ObjectReorder);
    }

    void _hovered(const tnMarkItem* item)
    {
        if (!QAccessible::isActive())
            return;
        _followMenu();
        ViewInterface* iface = viewInterface(m_view);
        if (QAccessibleInterface* child = iface ? iface->itemInterface(item) : nullptr)
            send(child, QAccessible::Focus);
    }

    QmarkMenuView* m_view;
    const tnMarkMenu* m_menu = nullptr;
};

} // namespace

void QmarkAccessible::attach(QmarkMenuView* view)
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    (void)installed;
    new Announcer(view);
}

void QmarkAccessible::announceChoice(QmarkMenuView* view, const tnMarkItem* item)
{
    if (!view || !item || !QAccessible::isActive())
        return;
    ViewInterface* iface = viewInterface(view);
    if (QAccessibleInterface* child = iface ? iface->itemInterface(item) : nullptr)
        send(child, QAccessible::MenuCommand);
    else if (iface)
        send(iface, QAccessible::MenuCommand);
}
