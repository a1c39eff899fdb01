// Argument panes and groups as a host uses them: the form they lay out, the
// kinds and hints of groups, changes followed in place, and controls of the
// host's own; with real input events on the offscreen platform.

#include "entity/EntityTestSupport.h"

#include <tnUI/tnUIWidgets.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDial>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

using namespace tnUI;
using namespace tnUITest;

tn::Reference<Label> label(const char* text)
{
    return tn::Reference<Label>(new Label(text));
}

tn::Reference<ValueArgument> number(const char* caption, double v)
{
    tn::Reference<RealValue> value(new RealValue(v));
    value->setRange(0.0, 100.0);
    tn::Reference<ValueArgument> a(new ValueArgument(value));
    a->setLabel(label(caption));
    return a;
}

tn::Reference<GroupOfArguments> group(const char* caption, std::initializer_list<Argument*> arguments,
                                      EGroupOfArgumentsKind kind = EGroupOfArgumentsKind::Group)
{
    tn::Reference<Arguments> list(new Arguments);
    for (Argument* a : arguments)
        a ? list->addArgument(a) : list->addSeparator();
    tn::Reference<GroupOfArguments> g(new GroupOfArguments(list));
    g->setLabel(label(caption));
    g->setGroupOfArgumentsKind(kind);
    return g;
}

class GroupControlsTest : public EntityTest {
protected:
    void TearDown() override
    {
        window.reset();
        // Controls that were replaced go from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EntityTest::TearDown();
    }

    // A pane showing a, in a shown and active window.
    QWidget* show(Argument* a, const ArgumentWidgetHost& host = {})
    {
        window = std::make_unique<QWidget>();
        pane = new ArgumentPaneWidget(tn::Reference<ArgumentPane>(new ArgumentPane(a)), host, window.get());
        window->resize(400, 300);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return pane;
    }

    QLabel* caption(const QString& text) const
    {
        for (QLabel* l : pane->findChildren<QLabel*>())
            if (l->text() == text)
                return l;
        return nullptr;
    }

    // The control made for a, found through its binding.
    QWidget* control(const Argument* a) const
    {
        for (ArgumentBinding* b : pane->findChildren<ArgumentBinding*>())
            if (b->argument() == a && b->widget() && b->widget()->isVisibleTo(window.get()))
                return b->widget();
        return nullptr;
    }

    std::unique_ptr<QWidget> window;
    QWidget* pane = nullptr;
};

TEST_F(GroupControlsTest, ArgumentsFormAColumnOfCaptionsEachNamingItsControl)
{
    auto width = number("&Width", 4), height = number("Height", 3);
    show(group("Size", {width, height}));
    QWidget* widthControl = control(width);
    ASSERT_TRUE(widthControl && control(height));
    ASSERT_TRUE(caption("&Width"));
    EXPECT_EQ(caption("&Width")->buddy(), widthControl->focusProxy());
    EXPECT_EQ(widthControl->focusProxy()->accessibleName(), "Width");
    // Both captions start in the same column.
    QList<QLabel*> captions;
    for (QLabel* l : pane->findChildren<QLabel*>())
        if (l->buddy())
            captions.append(l);
    ASSERT_EQ(captions.size(), 2);
    EXPECT_EQ(captions[0]->geometry().left(), captions[1]->geometry().left());
    EXPECT_LT(captions[0]->geometry().right(), widthControl->geometry().left());
    // The mnemonic focuses the field.
    QTest::keyClick(window.get(), Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), widthControl->focusProxy());
}

TEST_F(GroupControlsTest, ChangesOfTheListRebuildOnlyTheControlsConcerned)
{
    auto width = number("Width", 4), height = number("Height", 3), depth = number("Depth", 2);
    auto g = group("Size", {width, height});
    show(g);
    QWidget* heightControl = control(height);
    auto* field = qobject_cast<QAbstractSpinBox*>(heightControl->focusProxy());
    ASSERT_TRUE(field);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "12");
    g->getArguments()->addArgument(depth);
    g->getArguments()->removeArgument(width);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(control(height), heightControl);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->text().left(5), "12");
    EXPECT_TRUE(control(depth));
    EXPECT_FALSE(control(width));
    // The typing is still the user's to commit.
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(static_cast<RealValue*>(height->getValue())->evalInternal(), 12.0);
}

TEST_F(GroupControlsTest, TheEnabledStateFollowsEveryChangeOfItsExpression)
{
    auto width = number("Width", 4);
    tn::Reference<BoolValue> off(new BoolValue(false)), on(new BoolValue(true));
    show(group("Size", {width}));
    QWidget* c = control(width);
    QLabel* widthCaption = caption("Width");
    width->setEnabledExpression(off);
    EXPECT_FALSE(c->isEnabled());
    EXPECT_FALSE(widthCaption->isEnabled());
    width->setEnabledExpression(on); // swapped for another truth
    EXPECT_TRUE(c->isEnabled());
    width->setEnabledExpression(off);
    width->setEnabledExpression(nullptr); // always enabled
    EXPECT_TRUE(c->isEnabled() && widthCaption->isEnabled());
    width->setEnabledExpression(on);
    width->setInvertEnabled(true); // announced by nothing: shown at update()
    ArgumentBinding::bindingOf(c)->update();
    EXPECT_FALSE(c->isEnabled());
    on->setValue(false);
    EXPECT_TRUE(c->isEnabled());
}

TEST_F(GroupControlsTest, AHintChangeReplacesThatControlInItsPlace)
{
    auto width = number("Width", 4), height = number("Height", 3);
    show(group("Size", {width, height}));
    QWidget* heightControl = control(height);
    const auto slider = [this](QWidget* c) {
        auto* s = c ? c->findChild<QSlider*>() : nullptr;
        return s && s->isVisibleTo(window.get());
    };
    EXPECT_FALSE(slider(control(width)));
    width->setArgumentControlHint(EArgumentControlHint::Slider);
    QWidget* replaced = control(width);
    ASSERT_TRUE(slider(replaced));
    EXPECT_EQ(control(height), heightControl);
    auto* grid = qobject_cast<QGridLayout*>(replaced->parentWidget()->layout());
    ASSERT_TRUE(grid);
    int row = -1, column = -1, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(replaced), &row, &column, &rows, &columns);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 1);
}

TEST_F(GroupControlsTest, KindsOfGroupsAsBoxesTabsAndFoldingSections)
{
    auto pen = group("&Pen", {number("Width", 4)}, EGroupOfArgumentsKind::Page);
    auto paper = group("Pa&per", {number("Margin", 1)}, EGroupOfArgumentsKind::Page);
    auto more = group("More", {number("Depth", 2)}, EGroupOfArgumentsKind::Collapsible);
    auto box = group("Box", {number("Height", 3)});
    auto options = group("Options", {pen, paper, more, box});
    show(options);
    auto* tabs = pane->findChild<QTabWidget*>();
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Pa&per");
    paper->setLabel(label("Sheet"));
    EXPECT_EQ(tabs->tabText(1), "Sheet");
    // The page shown stays shown when the list changes elsewhere.
    tabs->setCurrentIndex(1);
    options->getArguments()->addArgument(number("Extra", 1));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(pane->findChild<QGroupBox*>()->title(), "Box");
    // The section folds by mouse and by keyboard.
    auto* header = qobject_cast<QToolButton*>(control(more)->focusProxy());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->text(), "More");
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_FALSE(control(more)->findChild<QAbstractSpinBox*>()->isVisible());
    header->setFocus();
    QTest::keyClick(header, Qt::Key_Space);
    EXPECT_TRUE(control(more)->findChild<QAbstractSpinBox*>()->isVisible());
    // A box that becomes a page joins the tabs.
    box->setGroupOfArgumentsKind(EGroupOfArgumentsKind::Page);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(pane->findChild<QGroupBox*>());
    EXPECT_EQ(pane->findChildren<QTabWidget*>().size(), 2);
}

TEST_F(GroupControlsTest, WellsAndPreviewsShowTheGroupsColourAndBrush)
{
    tn::Reference<ColorValue> colour(new ColorValue(ColorValue::Max255));
    colour->setInternalValue(255, 0, 0, 255);
    tn::Reference<ValueArgument> ink(new ValueArgument(colour));
    ink->setLabel(label("Ink"));
    auto size = number("Size", 50);
    auto well = group("Brush", {ink, size});
    well->setArgumentsControlHint(EGroupOfArgumentsControlHint::BrushWell);
    show(group("Tool", {well}));
    auto* button = qobject_cast<QToolButton*>(control(well)->focusProxy());
    ASSERT_TRUE(button);
    EXPECT_EQ(button->accessibleName(), "Brush");
    EXPECT_EQ(button->accessibleDescription(), "brush in #ff0000");
    colour->setInternalValue(0, 0, 255, 255);
    EXPECT_EQ(button->accessibleDescription(), "brush in #0000ff");
    // The well pops its arguments up, with sliders, the keyboard in them.
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(QApplication::activePopupWidget());
}

TEST_F(GroupControlsTest, HostControlsTakeTheirKindInPlaceOfOrBesideTheBuiltInOnes)
{
    ArgumentWidgetHost host;
    // In place of the built-in field: integers as dials.
    host.controls.emplace_back([](Argument* a, const ArgumentWidgetHost&, QWidget* parent) -> QWidget* {
        auto* item = dynamic_cast<ValueArgument*>(a);
        return item && dynamic_cast<IntValue*>(item->getValue()) ? new QDial(parent) : nullptr;
    });
    // Beside the built-in check box: a note after it.
    host.controls.emplace_back([](Argument* a, const ArgumentWidgetHost& h, QWidget* parent) -> QWidget* {
        auto* item = dynamic_cast<ValueArgument*>(a);
        if (!item || !dynamic_cast<BoolValue*>(item->getValue()))
            return nullptr;
        auto* both = new QWidget(parent);
        auto* row = new QHBoxLayout(both);
        row->addWidget(ArgumentBinding::createBuiltInWidget(a, h, both));
        row->addWidget(new QLabel(QStringLiteral("(note)"), both));
        return both;
    });
    tn::Reference<ValueArgument> count(new ValueArgument(new IntValue(3)));
    count->setLabel(label("Count"));
    tn::Reference<BoolValue> flag(new BoolValue(false));
    tn::Reference<ValueArgument> grid(new ValueArgument(flag));
    grid->setLabel(label("Grid"));
    show(group("Host", {count, grid}), host);
    auto* dial = pane->findChild<QDial*>();
    ASSERT_TRUE(dial);
    EXPECT_EQ(caption("Count")->buddy(), dial);
    auto* box = pane->findChild<QCheckBox*>();
    ASSERT_TRUE(box);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(flag->getValue());
}

TEST_F(GroupControlsTest, EitherSideMayGoFirst)
{
    auto width = number("Width", 4);
    auto g = group("Size", {width});
    tn::Reference<ArgumentPane> model(new ArgumentPane(g));
    auto* widget = new ArgumentPaneWidget(model, {});
    model->setArgument(nullptr); // the pane lets go while its controls show
    EXPECT_FALSE(widget->content());
    model->setArgument(g);
    delete widget; // the widget goes first
    width->getValue()->reset();
    model = nullptr;
    // And the model first: the widget's references keep what it shows.
    auto* again = new ArgumentPaneWidget(tn::Reference<ArgumentPane>(new ArgumentPane(g)), {});
    g = nullptr;
    width = nullptr;
    delete again;
}

} // namespace
