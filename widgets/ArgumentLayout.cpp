#include "ArgumentLayout.h"

#include "ArgumentBinding.h"
#include "GroupControl.h"

#include <tnUI/arguments/Arguments.h>

#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QTabWidget>

#include <utility>

namespace tnUI {

ArgumentLayout::ArgumentLayout(Arguments* list, const ArgumentWidgetHost& host, QWidget* container)
    : QObject(container), m_list(list), m_host(host), m_container(container), m_grid(new QGridLayout(container))
{
    m_grid->setContentsMargins(0, 0, 0, 0);
}

ArgumentLayout::~ArgumentLayout() = default;

QWidget* ArgumentLayout::controlOf(const Argument* a) const
{
    for (const Row& row : m_rows)
        if (a && row.argument.get() == a)
            return row.control;
    return nullptr;
}

bool ArgumentLayout::fits(const Row& row) const
{
    if (!row.control)
        return false;
    const ArgumentBinding* binding = ArgumentBinding::bindingOf(row.control);
    return !binding || binding->stillFits();
}

QWidget* ArgumentLayout::makeControl(Argument* a)
{
    QWidget* control = ArgumentBinding::createWidget(a, m_host, m_container);
    // A control that no longer suits its argument is replaced in place; the
    // call that finds it out may be running in it, which retire() allows.
    if (ArgumentBinding* binding = ArgumentBinding::bindingOf(control))
        connect(binding, &ArgumentBinding::unfit, this, [this] { sync(m_columns); });
    return control;
}

void ArgumentLayout::retire(QWidget* w)
{
    // The control may be running the call that got here: it stops
    // listening now, nested controls included, and goes once control is back
    // in the event loop.
    if (!w)
        return;
    if (ArgumentBinding* own = ArgumentBinding::bindingOf(w))
        own->detach();
    for (ArgumentBinding* binding : w->findChildren<ArgumentBinding*>())
        binding->detach();
    w->hide();
    w->deleteLater();
}

void ArgumentLayout::sync(int columns)
{
    // Making a control calls out to the host's factories, which may change
    // the list: the sync then runs again once this one is done.
    if (!m_container)
        return;
    if (m_syncing) {
        m_again = true;
        return;
    }
    m_syncing = true;
    do {
        m_again = false;
        const int wanted = std::max(columns, 1);
        bool changed = wanted != m_columns;
        m_columns = wanted;
        std::vector<Row> old = std::move(m_rows);
        m_rows.clear();
        for (int i = 0; i < m_list->getNumArguments() && !m_again; ++i) {
            Argument* a = m_list->getArgument(i);
            Row row;
            // The row this argument had, or a separator's line, kept.
            for (Row& was : old) {
                if (was.control && was.argument.get() == a && (!a || fits(was))) {
                    row = std::exchange(was, Row{});
                    break;
                }
            }
            // New, replaced or moved: the rows are laid out again.
            if (!row.control) {
                row.argument = a;
                row.control = makeControl(a);
                changed = true;
            }
            changed = changed || i >= static_cast<int>(old.size()) || old[i].control;
            m_rows.push_back(std::move(row));
        }
        changed = changed || m_rows.size() != old.size();
        for (Row& was : old) {
            retire(was.control);
            if (was.caption)
                was.caption->deleteLater();
        }
        if (changed || m_again)
            place();
    } while (m_again);
    m_syncing = false;
}

void ArgumentLayout::showPages(QTabWidget* tab, const std::vector<std::pair<QWidget*, QString>>& pages)
{
    // Pages that stay as they were are left alone, so that the page shown
    // and the focus in it survive a change elsewhere in the list.
    bool same = tab->count() == static_cast<int>(pages.size());
    for (int p = 0; same && p < tab->count(); ++p)
        same = tab->widget(p) == pages[p].first;
    if (same)
        return;
    QWidget* current = tab->currentWidget();
    while (tab->count() > 0)
        tab->removeTab(0);
    for (const auto& [page, text] : pages)
        tab->addTab(page, text);
    if (tab->indexOf(current) >= 0)
        tab->setCurrentWidget(current);
}

void ArgumentLayout::place()
{
    while (QLayoutItem* item = m_grid->takeAt(0))
        delete item;
    size_t tabs = 0;
    const int span = 2 * m_columns;
    const Qt::Alignment captionAlignment =
        Qt::Alignment(m_container->style()->styleHint(QStyle::SH_FormLayoutLabelAlignment)) | Qt::AlignVCenter;
    int line = 0;
    int column = 0;
    const auto newLine = [&] {
        if (column > 0)
            ++line;
        column = 0;
    };
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        ArgumentBinding* binding = ArgumentBinding::bindingOf(row.control);
        const auto* group = dynamic_cast<GroupControl*>(binding);
        if (group && group->isPage()) {
            // A run of pages shares one tab widget.
            newLine();
            if (tabs == m_tabs.size())
                m_tabs.emplace_back(new QTabWidget(m_container));
            QTabWidget* tab = m_tabs[tabs++];
            std::vector<std::pair<QWidget*, QString>> pages;
            for (; i < m_rows.size(); ++i) {
                auto* page = dynamic_cast<GroupControl*>(ArgumentBinding::bindingOf(m_rows[i].control));
                if (!page || !page->isPage())
                    break;
                pages.emplace_back(m_rows[i].control, page->tabText());
            }
            --i;
            showPages(tab, pages);
            m_grid->addWidget(tab, line++, 0, 1, span);
            tab->show();
            continue;
        }
        if (!row.argument || (binding && binding->spansRow())) {
            newLine();
            m_grid->addWidget(row.control, line++, 0, 1, span);
            continue;
        }
        const bool captioned = !binding || !binding->showsOwnLabel();
        if (captioned && !row.caption) {
            row.caption = new QLabel(m_container);
            if (binding) {
                binding->setCaption(row.caption);
            } else {
                // A host's control without a binding: its caption is set once.
                row.caption->setText(ArgumentBinding::labelText(row.argument.get()));
                row.caption->setBuddy(row.control);
            }
        }
        if (row.caption) {
            m_grid->addWidget(row.caption, line, 2 * column, captionAlignment);
            row.caption->setVisible(captioned);
        }
        m_grid->addWidget(row.control, line, 2 * column + 1);
        if (++column == m_columns)
            newLine();
    }
    for (size_t t = tabs; t < m_tabs.size(); ++t)
        retire(m_tabs[t]);
    m_tabs.resize(tabs);
    for (int c = 0; c < span; ++c)
        m_grid->setColumnStretch(c, c % 2);
    for (const Row& row : m_rows)
        if (row.control && !row.control->parentWidget()->inherits("QStackedWidget"))
            row.control->show();
}

} // namespace tnUI
