#include "ChoiceControl.h"

#include "EntityIcon.h"
#include "QMenuMarkingMenu.h"

#include <tnUI/arguments/EnumArgument.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/values/IntValue.h>

#include <QActionGroup>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QToolButton>

#include <algorithm>

namespace tnUI {

ChoiceControl::ChoiceControl(EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host)
    : ArgumentBinding(a, w, host), m_argument(a)
{
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
}

int ChoiceControl::count() const
{
    return m_argument->getNumChoices();
}

const ArgumentItem* ChoiceControl::choice(int i) const
{
    return m_argument->getItem(i);
}

int ChoiceControl::selected() const
{
    try {
        const int i = m_argument->getSelectedItem();
        return i >= 0 && i < count() ? i : -1;
    } catch (const NotSetError&) {
        return -1;
    }
}

bool ChoiceControl::choiceEnabled(int i) const
{
    // An enabled expression that cannot answer yet (an unset value) disables.
    try {
        return choice(i)->isEnabled();
    } catch (const NotSetError&) {
        return false;
    }
}

int ChoiceControl::indexOf(const Entity* entity) const
{
    for (int i = 0; i < count(); ++i)
        if (choice(i) == entity)
            return i;
    return -1;
}

void ChoiceControl::refresh()
{
    const int current = selected();
    const bool editable = isEditable(m_argument->getSelectedValue());
    // The count is read again at each step: a part's change may reach the
    // host.
    for (int i = 0; i < count(); ++i)
        showPickable(i, choiceEnabled(i) && (editable || i == current));
    showSelection(current);
}

void ChoiceControl::choose(int i)
{
    if (i >= 0 && i < count() && i != selected() && choiceEnabled(i) && isEditable(m_argument->getSelectedValue()))
        writing([this, i] { m_argument->select(i); });
    else
        refresh();
}

QHBoxLayout* ChoiceControl::layout() const
{
    return static_cast<QHBoxLayout*>(widget()->layout());
}

void ChoiceControl::messaged(Message& m)
{
    const Message* cause = m.causedBy();
    if (causedBy(m, Message::Structure, m_argument)) {
        buildChoices();
    } else if (const int i = cause ? indexOf(cause->getEntity()) : -1; i >= 0) {
        // A message of choice i: its text or icon changed in place, its
        // enabled state shows at the refresh.
        bool text = false;
        bool icon = false;
        for (const Message* c = cause; c; c = c->causedBy()) {
            text = text || c->getType() == Message::Label;
            icon = icon || c->getType() == Message::Icon;
        }
        if (text)
            showText(i);
        if (icon)
            showIcon(i);
    }
    ArgumentBinding::messaged(m);
}

namespace {

// One button per choice: radio buttons for the Radio kinds, adjoining
// toggle buttons for the Segmented kinds; the kinds ending in N lay them out
// in N columns, Segmented in one row. Focus goes to the checked button, else
// the first; each button is named by its choice, their container by the
// argument.
class ChoiceButtons : public ChoiceControl {
public:
    ChoiceButtons(EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host) : ChoiceControl(a, w, host)
    {
        switch (a->getEnumArgumentKind()) {
        case EEnumArgumentKind::Segmented: m_segmented = true; break;
        case EEnumArgumentKind::Segmented1: m_segmented = true; [[fallthrough]];
        case EEnumArgumentKind::Radio1: m_columns = 1; break;
        case EEnumArgumentKind::Segmented2: m_segmented = true; [[fallthrough]];
        case EEnumArgumentKind::Radio2: m_columns = 2; break;
        case EEnumArgumentKind::Segmented3: m_segmented = true; [[fallthrough]];
        case EEnumArgumentKind::Radio3: m_columns = 3; break;
        default: break;
        }
        m_buttons = new QButtonGroup(this);
        QObject::connect(m_buttons, &QButtonGroup::idClicked, this, &ChoiceButtons::choose);
        m_choices = new QWidget(w);
        m_grid = new QGridLayout(m_choices);
        m_grid->setContentsMargins(0, 0, 0, 0);
        if (m_segmented)
            m_grid->setSpacing(0);
        layout()->addWidget(m_choices);
        layout()->addStretch(1);
        buildChoices();
        update();
    }

protected:
    QWidget* accessibleControl() const override { return widget(); }

    void buildChoices() override
    {
        // The clicked button may be running the handler that got here: the
        // old buttons go once the event loop has them again.
        bool hadFocus = false;
        for (QAbstractButton* button : m_buttons->buttons()) {
            hadFocus = hadFocus || button->hasFocus();
            m_buttons->removeButton(button);
            m_grid->removeWidget(button);
            button->hide();
            button->deleteLater();
        }
        const int n = count();
        const int columns = m_columns ? m_columns : std::max(n, 1);
        for (int i = 0; i < n; ++i) {
            m_buttons->addButton(makeButton(), i);
            m_grid->addWidget(m_buttons->button(i), i / columns, i % columns);
            // A widget added to a shown one waits for the event loop to show.
            m_buttons->button(i)->show();
            showText(i);
            showIcon(i);
        }
        showSelection(selected());
        if (hadFocus)
            widget()->setFocus(Qt::OtherFocusReason);
    }

    void showText(int i) override
    {
        QAbstractButton* button = m_buttons->button(i);
        if (!button)
            return;
        const ArgumentItem* item = choice(i);
        const QString tip = toolTipText(item);
        button->setText(labelText(item));
        button->setToolTip(tip);
        button->setAccessibleName(plainLabelText(item));
        button->setAccessibleDescription(tip);
    }

    void showIcon(int i) override
    {
        if (QAbstractButton* button = m_buttons->button(i))
            button->setIcon(iconOf(choice(i)));
    }

    void showPickable(int i, bool pickable) override
    {
        if (QAbstractButton* button = m_buttons->button(i))
            button->setEnabled(pickable);
    }

    void showSelection(int selected) override
    {
        QAbstractButton* checked = m_buttons->button(selected);
        if (checked) {
            checked->setChecked(true);
        } else if (QAbstractButton* on = m_buttons->checkedButton()) {
            // An exclusive group keeps its checked button checked.
            m_buttons->setExclusive(false);
            on->setChecked(false);
            m_buttons->setExclusive(true);
        }
        QWidget* proxy = checked ? checked : m_buttons->button(0);
        if (widget()->focusProxy() == proxy)
            return;
        widget()->setFocusProxy(proxy);
        if (caption())
            caption()->setBuddy(proxy ? proxy : widget());
    }

private:
    QAbstractButton* makeButton() const
    {
        if (!m_segmented)
            return new QRadioButton(m_choices);
        auto* segment = new QToolButton(m_choices);
        segment->setCheckable(true);
        segment->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return segment;
    }

    bool m_segmented = false;
    // 0: all in one row.
    int m_columns = 0;
    QButtonGroup* m_buttons = nullptr;
    QWidget* m_choices = nullptr;
    QGridLayout* m_grid = nullptr;
};

// The choices in a drop-down list (Popup) or a list box (ListBox), as plain
// text: an item has no mnemonic.
class ChoiceList : public ChoiceControl {
public:
    ChoiceList(EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host) : ChoiceControl(a, w, host)
    {
        if (a->getEnumArgumentKind() == EEnumArgumentKind::ListBox) {
            m_list = new QListWidget(w);
            // The selection, not the current row: focus entering the list
            // makes a row current without choosing it.
            QObject::connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
                const QList<QListWidgetItem*> items = m_list->selectedItems();
                choose(items.size() == 1 ? m_list->row(items.first()) : -1);
            });
            layout()->addWidget(m_list, 1);
        } else {
            m_combo = new QComboBox(w);
            // Only the user's choices: the keys, the wheel and the popup.
            QObject::connect(m_combo, &QComboBox::activated, this, &ChoiceList::choose);
            layout()->addWidget(m_combo);
            layout()->addStretch(1);
        }
        w->setFocusProxy(part());
        buildChoices();
        update();
    }

protected:
    void buildChoices() override
    {
        const QSignalBlocker block(part());
        if (m_combo)
            m_combo->clear();
        else
            m_list->clear();
        for (int i = 0; i < count(); ++i) {
            if (m_combo)
                m_combo->addItem(QString());
            else
                m_list->addItem(QString());
            showText(i);
            showIcon(i);
        }
    }

    void showText(int i) override
    {
        const QString text = plainLabelText(choice(i));
        const QString tip = toolTipText(choice(i));
        if (m_combo && i < m_combo->count()) {
            m_combo->setItemText(i, text);
            m_combo->setItemData(i, tip, Qt::ToolTipRole);
        } else if (QListWidgetItem* item = m_list ? m_list->item(i) : nullptr) {
            item->setText(text);
            item->setToolTip(tip);
        }
    }

    void showIcon(int i) override
    {
        if (m_combo && i < m_combo->count())
            m_combo->setItemIcon(i, iconOf(choice(i)));
        else if (QListWidgetItem* item = m_list ? m_list->item(i) : nullptr)
            item->setIcon(iconOf(choice(i)));
    }

    void showPickable(int i, bool pickable) override
    {
        const auto* model = m_combo ? qobject_cast<QStandardItemModel*>(m_combo->model()) : nullptr;
        if (QStandardItem* item = model ? model->item(i) : nullptr) {
            if (item->isEnabled() != pickable)
                item->setEnabled(pickable);
        } else if (QListWidgetItem* row = m_list ? m_list->item(i) : nullptr) {
            const Qt::ItemFlags flags = row->flags().setFlag(Qt::ItemIsEnabled, pickable);
            if (row->flags() != flags)
                row->setFlags(flags);
        }
    }

    void showSelection(int selected) override
    {
        const QSignalBlocker block(part());
        if (m_combo) {
            if (m_combo->currentIndex() != selected)
                m_combo->setCurrentIndex(selected);
            return;
        }
        // In a list of single selection the current row is the selected one,
        // none clearing the selection.
        QListWidgetItem* item = m_list->item(selected);
        if (m_list->currentItem() != item || (item && !item->isSelected()))
            m_list->setCurrentRow(selected);
    }

private:
    QWidget* part() const { return m_combo ? static_cast<QWidget*>(m_combo) : m_list; }

    QComboBox* m_combo = nullptr;
    QListWidget* m_list = nullptr;
};

// A button showing the selected choice that pops a radial marking menu of
// the choices, the selected one checked; the host's key pops it at the
// pointer. Up to four choices sit at North, East, South and West, up to
// eight at every compass point, clockwise; more go to the overflow list. The
// marking menu is mapped at each popup from a QMenu that is never shown,
// whose actions follow the choices in place.
class ChoiceMenu : public ChoiceControl {
public:
    ChoiceMenu(EnumArgument* a, QWidget* w, const ArgumentWidgetHost& host) : ChoiceControl(a, w, host)
    {
        m_button = new QToolButton(w);
        m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        w->setFocusProxy(m_button);
        layout()->addWidget(m_button);
        layout()->addStretch(1);
        m_menu = new QMenu(w);
        m_actions = new QActionGroup(m_menu);
        m_marking = new QMenuMarkingMenu(m_menu, this);
        QObject::connect(m_button, &QToolButton::clicked, this,
                         [this] { pop(m_button->mapToGlobal(m_button->rect().center())); });
        const QKeySequence key = host.menuKey ? host.menuKey(a) : QKeySequence();
        if (!key.isEmpty()) {
            auto* shortcut = new QShortcut(key, m_button);
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, this, [this] { pop(QCursor::pos()); });
            m_key = key.toString(QKeySequence::NativeText);
        }
        buildChoices();
        update();
    }

protected:
    void buildChoices() override
    {
        // Deleting an action takes it out of the menu and of the group.
        qDeleteAll(m_menu->actions());
        for (int i = 0; i < count(); ++i) {
            auto* action = new QAction(m_menu);
            action->setCheckable(true);
            m_actions->addAction(action);
            m_menu->addAction(action);
            showText(i);
            showIcon(i);
        }
        m_buttonShows = -2;
    }

    void showText(int i) override
    {
        if (QAction* action = this->action(i)) {
            action->setText(labelText(choice(i)));
            action->setToolTip(toolTipText(choice(i)));
        }
        if (i == m_buttonShows)
            showButton(i);
    }

    void showIcon(int i) override
    {
        if (QAction* action = this->action(i))
            action->setIcon(iconOf(choice(i)));
        if (i == m_buttonShows)
            showButton(i);
    }

    void showPickable(int i, bool pickable) override
    {
        if (QAction* action = this->action(i))
            action->setEnabled(pickable);
    }

    void showSelection(int selected) override
    {
        if (QAction* action = this->action(selected))
            action->setChecked(true);
        else if (QAction* checked = m_actions->checkedAction())
            checked->setChecked(false);
        if (selected != m_buttonShows)
            showButton(selected);
    }

private:
    QAction* action(int i) const
    {
        const QList<QAction*> actions = m_menu->actions();
        return i >= 0 && i < actions.size() ? actions[i] : nullptr;
    }

    void showButton(int selected)
    {
        m_buttonShows = selected;
        const ArgumentItem* item = selected >= 0 ? choice(selected) : nullptr;
        // Plain: the mnemonic of a choice is the menu's, not the button's.
        const QString current =
            item ? plainLabelText(item).replace(QLatin1Char('&'), QLatin1String("&&")) : QStringLiteral("none");
        m_button->setText(m_key.isEmpty() ? current + QStringLiteral(" \u25be")
                                          : QStringLiteral("%1 \u25be  (%2)").arg(current, m_key));
        m_button->setIcon(item ? iconOf(item) : QIcon());
    }

    void pop(const QPoint& at)
    {
        if (!widget()->isEnabled())
            return;
        // The menu runs its own event loop, in which this binding may go.
        const QPointer<ChoiceMenu> self(this);
        QAction* chosen = m_marking->exec(at);
        if (self && chosen)
            choose(static_cast<int>(m_menu->actions().indexOf(chosen)));
    }

    QToolButton* m_button = nullptr;
    QMenu* m_menu = nullptr;
    QActionGroup* m_actions = nullptr;
    QMenuMarkingMenu* m_marking = nullptr;
    QString m_key;
    // The choice the button shows; -2 for none shown yet.
    int m_buttonShows = -2;
};

} // namespace

QWidget* ChoiceControl::create(EnumArgument* a, const ArgumentWidgetHost& host, QWidget* parent)
{
    auto* w = new QWidget(parent);
    switch (a->getEnumArgumentKind()) {
    case EEnumArgumentKind::MarkingMenu: new ChoiceMenu(a, w, host); break;
    case EEnumArgumentKind::Popup:
    case EEnumArgumentKind::ListBox: new ChoiceList(a, w, host); break;
    default: new ChoiceButtons(a, w, host); break;
    }
    return w;
}

} // namespace tnUI
