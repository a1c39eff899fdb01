// The controls of enumerations, made through ArgumentBinding::createWidget
// for every kind, with real input events on the offscreen platform.

#include "entity/EntityTestSupport.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>
#include <tnUI/tnUIWidgets.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using namespace tnUI;
using Kind = EEnumArgumentKind;

tn::Reference<Label> label(const char* text)
{
    return tn::Reference<Label>(new Label(text));
}

ArgumentItem* item(EnumArgument* a, int i)
{
    return const_cast<ArgumentItem*>(a->getItem(i));
}

QList<QAbstractButton*> buttons(const QWidget* w)
{
    QList<QAbstractButton*> shown = w->findChildren<QAbstractButton*>();
    shown.removeIf([](const QAbstractButton* b) { return b->isHidden(); });
    return shown;
}

// Each choice as the control shows it: its text, "*" when selected, "~tip",
// "off" when it cannot be picked, "icon".
std::string shown(const QWidget* w)
{
    QStringList out;
    const auto add = [&out](const QString& text, bool selected, const QString& tip, bool on, bool icon) {
        // An action without a tooltip answers its text.
        out << text + (selected ? "*" : "") + (tip.isEmpty() || tip == text ? "" : " ~" + tip) + (on ? "" : " off") +
                   (icon ? " icon" : "");
    };
    const auto part = [&add](const auto* p) {
        add(p->text(), p->isChecked(), p->toolTip(), p->isEnabled(), !p->icon().isNull());
    };
    const auto* combo = w->findChild<QComboBox*>();
    const auto* list = w->findChild<QListWidget*>();
    if (const QAbstractItemModel* model = combo ? combo->model() : list ? list->model() : nullptr) {
        const int current = combo ? combo->currentIndex() : list->selectedItems().size() == 1 ? list->currentRow() : -1;
        for (int i = 0; i < model->rowCount(); ++i) {
            const QModelIndex row = model->index(i, 0);
            add(row.data().toString(), i == current, row.data(Qt::ToolTipRole).toString(),
                row.flags() & Qt::ItemIsEnabled, !row.data(Qt::DecorationRole).value<QIcon>().isNull());
        }
    } else if (const auto* menu = w->findChild<QMenu*>()) {
        for (const QAction* a : menu->actions())
            part(a);
    } else {
        for (const QAbstractButton* b : buttons(w))
            part(b);
    }
    return out.join(" | ").toStdString();
}

class ChoiceControlsTest : public tnUITest::EntityTest {
protected:
    void TearDown() override
    {
        window.reset();
        EntityTest::TearDown();
    }

    tn::Reference<EnumArgument> inks(Kind kind, std::initializer_list<const char*> names)
    {
        tn::Reference<EnumArgument> a(new EnumArgument);
        a->setLabel(label("Ink"));
        a->setEnumArgumentKind(kind);
        for (const char* name : names) {
            a->addChoice(tn::Reference<ArgumentItem>(new ArgumentItem));
            item(a, a->getNumChoices() - 1)->setLabel(label(name));
        }
        // Counts the writes into the selection.
        tnRTB::connect(a->getSelectedValue()->messageSignal, &client, [this](Message&) { ++writes; });
        writes = 0;
        return a;
    }

    QWidget* show(EnumArgument* a)
    {
        ArgumentWidgetHost host;
        host.menuKey = [](const EnumArgument*) { return QKeySequence(Qt::Key_I); };
        window = std::make_unique<QWidget>();
        QWidget* w = ArgumentBinding::createWidget(a, host, window.get());
        (new QVBoxLayout(window.get()))->addWidget(w);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return w;
    }

    // The user picks choice `to` next to the selected `from`: an arrow key in a
    // list, a click on a segment, Space on a radio button, the menu's key.
    void pick(QWidget* w, int from, int to)
    {
        w->setFocus();
        if (w->findChild<QMenu*>())
            popAndPoint(w, to);
        else if (w->findChild<QComboBox*>() || w->findChild<QListWidget*>())
            QTest::keyClick(QApplication::focusWidget(), to < from ? Qt::Key_Up : Qt::Key_Down);
        else if (QAbstractButton* b = buttons(w).value(to); qobject_cast<QRadioButton*>(b))
            b->setFocus(), QTest::keyClick(b, Qt::Key_Space);
        else if (b)
            QTest::mouseClick(b, Qt::LeftButton);
    }

    // Pops the marking menu by its key and releases over choice `to`, noting
    // the items as the menu shows them.
    void popAndPoint(QWidget* w, int to)
    {
        QTimer::singleShot(500, window.get(), [this, w, to] {
            const QmarkMenuView* view = QmarkMenuView::findView();
            ASSERT_TRUE(view);
            menuItems.clear();
            for (const tnMarkItem* i : view->getCurrentMenu()->getItems())
                menuItems << QString::fromStdWString(i->getLabel().str()) + (i->asMenuItem()->isChecked() ? "*" : "") +
                                 (markItemIcon(i->asMenuItem()).isNull() ? "" : " icon");
            float left = 0, bottom = 0, right = 0, top = 0;
            view->getCurrentMenu()->itemAt(to)->getBox(left, bottom, right, top);
            const QPoint at = w->mapFromGlobal(view->geometry().topLeft() + view->getCenter() +
                                               QPoint(qRound((left + right) / 2), -qRound((bottom + top) / 2)));
            QTest::mouseMove(w, at);
            QTest::mouseRelease(w, Qt::LeftButton, {}, at);
        });
        QTest::keyClick(window.get(), Qt::Key_I);
    }

    // A picture the library carries.
    const tn::Reference<ImageFile> icon{new ImageFile(new Filename(L":/optionBox.png"))};
    std::unique_ptr<QWidget> window;
    QStringList menuItems;
    int writes = 0;
    tnRTB::SignalClient client;
};

TEST_F(ChoiceControlsTest, EveryKindFollowsTheChoicesInPlaceAndWritesThePickOnce)
{
    for (const Kind kind : {Kind::Popup, Kind::ListBox, Kind::Segmented, Kind::Segmented1, Kind::Segmented2,
                            Kind::Segmented3, Kind::Radio1, Kind::Radio2, Kind::Radio3, Kind::MarkingMenu}) {
        SCOPED_TRACE(enumName(kind));
        auto a = inks(kind, {"Black", "Red", "Blue"});
        tn::Reference<IntValue> selection(const_cast<IntValue*>(a->getSelectedValue()));
        QWidget* w = show(a);
        // The marking menu's button names the selection.
        const auto* menu = kind == Kind::MarkingMenu ? qobject_cast<QAbstractButton*>(w->focusProxy()) : nullptr;
        const QList<QWidget*> parts = w->findChildren<QWidget*>();
        EXPECT_EQ(shown(w), "Black* | Red | Blue");
        pick(w, 0, 1);
        EXPECT_EQ(writes, 1);
        EXPECT_EQ(shown(w), "Black | Red* | Blue");
        item(a, 1)->setLabel(label("Crimson"));
        item(a, 1)->setToolTip(label("Deep red"));
        item(a, 2)->setIcon(icon, IconState::Normal, IconMode::Default);
        tn::Reference<BoolValue> on(new BoolValue(false));
        item(a, 2)->setEnabledExpression(on);
        EXPECT_EQ(shown(w), "Black | Crimson* ~Deep red | Blue off icon");
        EXPECT_EQ(w->findChildren<QWidget*>(), parts) << "nothing made again";
        EXPECT_TRUE(!menu || menu->text().startsWith("Crimson"));
        pick(w, 1, 2);
        EXPECT_EQ(a->getSelectedItem(), 1) << "a disabled choice cannot be picked";
        EXPECT_EQ(menuItems.join(" | ").toStdString(), menu ? "Black | Crimson* | Blue icon" : "");
        on->setValue(true);
        selection->setEditble(false);
        EXPECT_EQ(shown(w), "Black off | Crimson* ~Deep red | Blue off icon");
        pick(w, 1, 2);
        EXPECT_EQ(a->getSelectedItem(), 1) << "not editable";
        EXPECT_TRUE(w->focusProxy()->isEnabled()) << "the selected choice stays readable";
        selection->setEditble(true);
        a->select(0);
        EXPECT_EQ(shown(w), "Black* | Crimson ~Deep red | Blue icon");
        selection->setValue(7);
        EXPECT_EQ(shown(w), "Black | Crimson ~Deep red | Blue icon");
        EXPECT_EQ(w->findChild<QListWidget*>() ? w->findChild<QListWidget*>()->currentRow() : -1, -1);
        EXPECT_TRUE(!menu || menu->text().startsWith("none"));
        // The host lets go of the argument before the control, which holds it.
        EnumArgument* held = a.get();
        a = nullptr;
        held->addChoice(tn::Reference<ArgumentItem>(new ArgumentItem));
        EXPECT_EQ(shown(w), "Black | Crimson ~Deep red | Blue icon | ");
        held->clearChoices(true);
        EXPECT_EQ(shown(w), "");
    }
}

TEST_F(ChoiceControlsTest, ButtonsTakeMnemonicsAndAreNamedEachByItsChoice)
{
    auto a = inks(Kind::Radio2, {"&Black", "&Red && pink"});
    QWidget* w = show(a);
    EXPECT_EQ(w->accessibleName().toStdString(), "Ink");
    EXPECT_EQ(buttons(w)[1]->accessibleName().toStdString(), "Red & pink");
    QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return a->getSelectedItem() == 1; }));
    EXPECT_EQ(w->focusProxy(), buttons(w)[1]);
    // The control goes before its argument, which announces on.
    window.reset();
    item(a, 0)->setLabel(label("Grey"));
    a->clearChoices(true);
}

} // namespace
