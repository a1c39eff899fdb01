// The controls of value arguments (numbers, flags, texts, vectors) as a host
// makes them, driven by real input on the offscreen platform.

#include "entity/EntityTestSupport.h"

#include <tnUI/tnUI.h>
#include <tnUI/tnUIWidgets.h>

#include <QAccessible>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

namespace {

using namespace tnUI;
using namespace tnUITest;
template <class T>
using Ref = tn::Reference<T>;

Ref<ValueArgument> argument(Value* v, EArgumentControlHint hint = EArgumentControlHint::Default)
{
    Ref<ValueArgument> a(new ValueArgument(v));
    a->setLabel(new Label("&Size"));
    a->setArgumentControlHint(hint);
    return a;
}

class ValueControls : public EntityTest {
protected:
    void SetUp() override
    {
        EntityTest::SetUp();
        QLocale::setDefault(QLocale::c());
        new QVBoxLayout(window.get());
        new QLineEdit(window.get()); // where Tab takes the focus
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        EntityTest::TearDown();
    }
    QWidget* make(Argument* a)
    {
        QWidget* w = ArgumentBinding::createWidget(a, host, window.get());
        window->layout()->addWidget(w);
        w->show();
        return w;
    }
    template <class T>
    static T* part(QWidget* w, int i = 0)
    {
        return w->findChildren<T*>().value(i);
    }
    // Types text over the field's content, then presses end.
    static void type(QWidget* field, const char* text, Qt::Key end = Qt::Key_Return)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        if (end != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget(), end);
    }

    // A change of what the control was made for replaces it.
    static void expectUnfit(QWidget* w, const std::function<void()>& change)
    {
        ArgumentBinding* binding = ArgumentBinding::bindingOf(w);
        const QSignalSpy unfit(binding, &ArgumentBinding::unfit);
        change();
        EXPECT_TRUE(unfit.count() == 1 && !binding->stillFits());
    }

    ArgumentWidgetHost host;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
};

TEST_F(ValueControls, NumberFieldsShowUnitAndDecimalsAsFormatted)
{
    Ref<LinearValue> mm(new LinearValue(2.0));
    mm->setDisplayUnit(LinearUnit::Millimeter);
    Ref<AngleValue> radians(new AngleValue(45.0));
    radians->setDisplayUnit(AngleUnit::Radian);
    const auto none = [](ValueArgument&) {};
    const auto unit = [](ValueArgument& a) { a.setUnitLabel(new Label("px")); };
    const std::tuple<Ref<Value>, std::function<void(ValueArgument&)>, const char*> rows[] = {
        {Ref<RealValue>(new RealValue(1.5)), none, "1.50"},
        {Ref<RealValue>(new RealValue(1.5)), [](ValueArgument& a) { a.setFormatInt(); }, "2"},
        {Ref<RealValue>(new RealValue(1.5)), [](ValueArgument& a) { a.setFormatString(); }, "1.50"},
        {Ref<IntValue>(new IntValue(3)), [](ValueArgument& a) { a.setFormatReal(3); }, "3"},
        {Ref<RealValue>(new RealValue(1.5)), [&](ValueArgument& a) { a.setFormatReal(3), unit(a); }, "1.500 px"},
        {mm, none, "20.00 mm"},
        {mm, unit, "20.00 px"},
        {Ref<AngleValue>(new AngleValue(45.0)), none, "45.00\u00B0"},
        {radians, none, "0.79 rad"},
        {Ref<IntValue>(new IntValue), none, ""},
    };
    for (const auto& [value, format, text] : rows) {
        const auto a = argument(value);
        format(*a);
        auto* spin = part<StepSpinBox>(make(a));
        EXPECT_EQ(spin->text(), text);
        EXPECT_EQ(spin->isReadOnly(), !*text) << "an unset value cannot be changed";
    }
}

TEST_F(ValueControls, NumberFieldWritesWhatIsTypedAndFollowsTheModel)
{
    Ref<RealValue> v(new RealValue(1.0));
    v->setRange(0.0, 10.0);
    Ref<MutableLabel> unit(new MutableLabel("mm"));
    const auto a = argument(v);
    a->setStep(0.5);
    a->setLargeStep(2.0);
    a->setUnitLabel(unit);
    QWidget* w = make(a);
    auto* spin = part<StepSpinBox>(w);
    MessageRecorder messages(v);
    type(spin, "2.5");
    EXPECT_EQ(v->evalDisplay(), 2.5);
    QTest::keyClick(spin, Qt::Key_PageUp);
    EXPECT_EQ(v->evalDisplay(), 4.5);
    EXPECT_EQ(messages.chains.size(), 2u) << "one message per user action";
    v->setDisplayValue(7.0);
    v->setRange(0.0, 5.0);
    unit->set("in");
    EXPECT_EQ(spin->text(), "5.00 in");

    // Typing survives an unrelated message, not a change of the value.
    type(spin, "3", Qt::Key_unknown);
    a->setToolTip(new Label("How big"));
    EXPECT_EQ(spin->text(), "3 in");
    v->setDisplayValue(1.0);
    EXPECT_EQ(spin->text(), "1.00 in");

    a->setFormatInt(); // read at the next message
    v->setDisplayValue(1.4);
    EXPECT_EQ(spin->text(), "1 in");
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(v->evalDisplay(), 2.0) << "a half step, written whole";
    v->setEditble(false);
    EXPECT_TRUE(spin->isReadOnly());
    type(spin, "4");
    QTest::keyClick(spin, Qt::Key_PageDown);
    EXPECT_EQ(v->evalDisplay(), 2.0);
    expectUnfit(w, [&] { a->setArgumentControlHint(EArgumentControlHint::Gauge); });
}

TEST_F(ValueControls, SlidersAndGauges)
{
    Ref<IntValue> v(new IntValue(20));
    v->setRange(0, 100);
    const auto a = argument(v, EArgumentControlHint::Slider);
    a->setStep(5.0);
    auto* slider = part<QSlider>(make(a));
    ASSERT_TRUE(slider && slider->isVisible());
    MessageRecorder messages(v);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(v->getValue(), 25);
    EXPECT_EQ(messages.chains.size(), 1u);
    v->setValue(50);
    EXPECT_EQ(slider->value(), 10);
    v->setEditble(false);
    EXPECT_FALSE(slider->isEnabled());

    // Inside a group of sliders, a plain number gets one over a bounded range.
    window->setProperty("tnuiSliders", true);
    Ref<RealValue> r(new RealValue(1.0));
    r->setRange(0.0, 4.0);
    auto* grouped = part<QSlider>(make(argument(r)));
    EXPECT_TRUE(grouped->isVisible());
    // A range change that clamps nothing shows at the next message.
    r->setRangeUnbounded();
    r->setDisplayValue(2.0);
    EXPECT_FALSE(grouped->isVisible());

    const auto g = argument(r, EArgumentControlHint::Gauge);
    g->setUnitLabel(new Label("%"));
    r->setRange(0.0, 10.0);
    QWidget* gaugeControl = make(g);
    EXPECT_FALSE(part<StepSpinBox>(gaugeControl)) << "nothing to type into";
    r->setDisplayValue(2.5);
    auto* gauge = part<QProgressBar>(gaugeControl);
    EXPECT_EQ(gauge->text(), "2.50 %");
    EXPECT_EQ(gauge->value(), 250);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(gauge);
    EXPECT_EQ(accessible->text(QAccessible::Value), "2.50 %");
    EXPECT_EQ(accessible->valueInterface()->currentValue(), 2.5);
}

TEST_F(ValueControls, FlagsToggleByClickAndSpaceUnlessNotEditable)
{
    for (const auto& [hint, integer, widget, ownLabel] :
         {std::tuple{EArgumentControlHint::Default, false, "QCheckBox", true},
          std::tuple{EArgumentControlHint::Switch, false, "tnUI::SwitchButton", false},
          std::tuple{EArgumentControlHint::PushButton, true, "QPushButton", true}}) {
        const Ref<NumericValue> v =
            integer ? Ref<NumericValue>(new IntValue(0)) : Ref<NumericValue>(new BoolValue(false));
        const auto a = argument(v, hint);
        a->setFormatBool();
        QWidget* w = make(a);
        auto* button = part<QAbstractButton>(w);
        EXPECT_TRUE(button->inherits(widget)) << widget;
        EXPECT_EQ(ArgumentBinding::bindingOf(w)->showsOwnLabel(), ownLabel);
        EXPECT_EQ(button->text(), ownLabel ? "&Size" : "");
        const auto on = [&] { return v->evalDouble() == 1.0; };
        MessageRecorder messages(v);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(on()) << widget;
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_FALSE(on()) << widget;
        EXPECT_EQ(messages.chains.size(), 2u);
        integer ? setValue(v, 1) : setValue(v, true);
        v->setEditble(false);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(on() && button->isChecked() && !button->isEnabled()) << "shown, not to be toggled";
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(button)->state().checked);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->role(), QAccessible::CheckBox);
        const auto next =
            hint == EArgumentControlHint::Switch ? EArgumentControlHint::PushButton : EArgumentControlHint::Switch;
        expectUnfit(w, [&] { a->setArgumentControlHint(next); });
    }
    SwitchButton small, large;
    large.setFont(QFont(small.font().family(), 2 * small.font().pointSize()));
    EXPECT_GT(large.sizeHint().height(), small.sizeHint().height() * 3 / 2) << "the switch grows with its font";
}

TEST_F(ValueControls, TextFieldCommitsOnReturnAndFocusLossAndRestoresOnEscape)
{
    Ref<TextValue> v(new TextValue);
    const auto a = argument(v);
    auto* edit = part<QLineEdit>(make(a));
    MessageRecorder messages(v);
    type(edit, "Hello");
    EXPECT_EQ(*v->getValue(), L"Hello");
    type(edit, "Hi", Qt::Key_Tab);
    EXPECT_EQ(*v->getValue(), L"Hi");
    EXPECT_EQ(messages.chains.size(), 2u);
    type(edit, "Bye", Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "Hi");
    EXPECT_TRUE(edit->hasFocus());

    type(edit, "Typed", Qt::Key_unknown);
    a->setToolTip(new Label("What to say"));
    EXPECT_EQ(edit->text(), "Typed");
    v->getValue()->set("Changed");
    EXPECT_EQ(edit->text(), "Changed");
    v->setEditble(false);
    type(edit, "No");
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(*v->getValue(), L"Changed");
}

TEST_F(ValueControls, VectorFieldsPerComponentFollowTheirComponents)
{
    Ref<RealValue2> paper(new RealValue2(RealValueArray::Linear));
    paper->setInternalValue(1.0, 2.0);
    static_cast<LinearValue*>(paper->getValue(1))->setDisplayUnit(LinearUnit::Millimeter);
    const auto a = argument(paper);
    a->setUnitLabel(new Label("px"));
    QWidget* w = make(a);
    auto *x = part<StepSpinBox>(w, 0), *y = part<StepSpinBox>(w, 1);
    EXPECT_EQ(x->text(), "1.00 cm");
    EXPECT_EQ(y->accessibleName(), "Y");
    MessageRecorder messages(paper);
    type(y, "25");
    EXPECT_DOUBLE_EQ(paper->evalInternal().y, 2.5);
    EXPECT_EQ(messages.chains.size(), 1u);
    a->setArgumentControlHint(EArgumentControlHint::RVEC);
    type(y, "4", Qt::Key_unknown);
    EXPECT_DOUBLE_EQ(paper->evalInternal().y, 0.4) << "RVEC writes as the user types";
    paper->setEditble(false);
    EXPECT_TRUE(x->isReadOnly() && y->isReadOnly());
    expectUnfit(w, [&] { a->setArgumentControlHint(EArgumentControlHint::RVECNoTracking); });

    Ref<RealValueN> many(new RealValueN({1.0, 2.0}));
    QWidget* nw = make(argument(many));
    many->setInternalValue({1.0, 2.0, 3.0});
    QTest::qWait(0);
    ASSERT_EQ(nw->findChildren<StepSpinBox*>().size(), 3);
    EXPECT_EQ(part<StepSpinBox>(nw, 2)->text(), "3.00");
}

TEST_F(ValueControls, EitherSideMayGoFirst)
{
    const std::function<Value*()> kinds[] = {[] { return new RealValue(1.0); }, [] { return new BoolValue(true); },
                                             [] { return new TextValue; }, [] { return new RealValue2; }};
    for (const auto& kind : kinds) {
        auto a = argument(Ref<Value>(kind()));
        delete make(a);
        a->setToolTip(new Label("After the control"));
        // The value dies while its control lives; the control holds the argument.
        QWidget* control = make(a);
        a->setValue(Ref<Value>(kind()));
        a->setToolTip(new Label("After the value"));
        a = nullptr;
        delete control;
    }
}

} // namespace
