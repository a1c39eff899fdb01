#pragma once

#include "ArgumentBinding.h"

#include <tnUI/foundation/ReferenceCount.h>

#include <QObject>
#include <QPointer>

#include <utility>
#include <vector>

class QGridLayout;
class QLabel;
class QString;
class QTabWidget;
class QWidget;

namespace tnUI {

class Argument;
class Arguments;

// Lays out the controls of an argument list as a form: per layout column, a
// column of captions aligned as the style aligns a form's labels and a column
// of controls, each caption naming its control as buddy. A separator ends a
// row and draws a line across; groups, pages and other wide controls take a
// row of their own, and consecutive pages share one tab widget.
//
// Controls are kept across changes: sync() makes controls only for arguments
// new to the list, or whose control no longer suits them, and lets go of
// those of arguments that left, so focus and typing elsewhere survive.
class ArgumentLayout : public QObject {
public:
    // Lays out list's controls in container, which it gives a grid layout
    // and which owns it.
    ArgumentLayout(Arguments* list, const ArgumentWidgetHost& host, QWidget* container);
    ~ArgumentLayout() override;

    // Brings the controls in line with the list and lays them out in
    // columns; nothing happens when they already are.
    void sync(int columns);
    int columns() const { return m_columns; }
    // The control shown for a, or null.
    QWidget* controlOf(const Argument* a) const;

private:
    struct Row {
        tn::Reference<Argument> argument; // null for a separator
        QPointer<QWidget> control;
        QPointer<QLabel> caption;
    };

    bool fits(const Row& row) const;
    QWidget* makeControl(Argument* a);
    void place();
    static void showPages(QTabWidget* tab, const std::vector<std::pair<QWidget*, QString>>& pages);
    static void retire(QWidget* w);

    tn::Reference<Arguments> m_list;
    ArgumentWidgetHost m_host;
    QPointer<QWidget> m_container;
    QGridLayout* m_grid;
    std::vector<Row> m_rows;
    std::vector<QPointer<QTabWidget>> m_tabs;
    int m_columns = 1;
    bool m_syncing = false;
    bool m_again = false;
};

} // namespace tnUI
