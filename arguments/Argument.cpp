#include "Argument.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../values/NumericValue.h"

namespace tnUI {

namespace {

// A listener cut by its tag rather than by its receiver.
class TaggedListener final : public tnRTB::FunctionArg<Message&> {
public:
    TaggedListener(Argument* receiver, void (Argument::*method)(Message&), const void* tag)
        : m_receiver(receiver), m_method(method), m_tag(tag)
    {}
    bool isInstance(const void* p) const override { return p == m_tag; }
    void call(Message& m) override { (m_receiver->*m_method)(m); }

private:
    Argument* m_receiver;
    void (Argument::*m_method)(Message&);
    const void* m_tag;
};

} // namespace

Argument::~Argument()
{
    // Deaf before the expression is released: its destruction may reach
    // host code that changes what this argument still listens to.
    signalClient.disconnectAll();
}

EArgumentState Argument::getState() const
{
    return m_state;
}

void Argument::setDefaultState(EArgumentState s)
{
    m_defaultState = s;
    m_hasDefaultState = true;
}

void Argument::reset()
{
    const auto held = tn::keepAlive(this);
    if (m_hasDefaultState)
        m_state = m_defaultState;
    Message m(this, Message::Value);
    sendMessage(m);
}

void Argument::setArgumentControlHint(EArgumentControlHint h)
{
    if (h == m_controlHint)
        return;
    m_controlHint = h;
    Message m(this, Message::State);
    sendMessage(m);
}

void Argument::setEnabledExpression(NumericValue* e)
{
    if (e == m_enabledExpression.get())
        return;
    const auto held = tn::keepAlive(this);
    stopListening(m_enabledExpression.get(), &m_enabledExpression);
    // Stored before the old one is let go: its destruction sees the new one.
    tn::Reference<NumericValue> old = std::move(m_enabledExpression);
    m_enabledExpression = e;
    listenTo(e, &m_enabledExpression, &Argument::enabledModified);
    old = nullptr;
    Message m(this, Message::State);
    sendMessage(m);
}

bool Argument::isEnabled() const
{
    if (!m_enabledExpression)
        return true;
    return m_enabledExpression->evalBool() != m_invertEnabled;
}

void Argument::enabledModified(Message& m)
{
    // A listener of the "State" message or of enabledSignal may drop the
    // last reference on this argument.
    const auto held = tn::keepAlive(this);
    resendMessage(m, Message::State);
    if (m_firingEnabled) {
        // The emission in progress has told some listeners a truth that no
        // longer holds: it tells them again once it is over.
        m_enabledPending = true;
        return;
    }
    m_firingEnabled = true;
    try {
        // Also again when the expression was replaced or inverted meanwhile,
        // which does not announce itself here.
        for (bool truth = isEnabled(), told = false; !told;) {
            m_enabledPending = false;
            enabledSignal.fire(truth);
            const bool now = isEnabled();
            told = !m_enabledPending && now == truth;
            truth = now;
        }
    } catch (...) {
        m_firingEnabled = false;
        throw;
    }
    m_firingEnabled = false;
}

void Argument::listenTo(const Entity* source, const void* tag, Listener method)
{
    if (source)
        source->messageSignal.addCallback(new TaggedListener(this, method, tag), &signalClient);
}

void Argument::stopListening(const Entity* source, const void* tag)
{
    if (source)
        source->messageSignal.disconnectInstance(tag);
}

bool Argument::dump(DumpFile& file, int level, const char* label) const
{
    // The texts first: a state outside its table raises before a line is
    // written.
    const char* state = enumName(m_state);
    const char* defaultState = m_hasDefaultState ? enumName(m_defaultState) : nullptr;
    if (!DecoratedEntity::dump(file, level, label))
        return false;
    file.printf(level + 1, "state = %s\n", state);
    if (defaultState)
        file.printf(level + 1, "default state = %s\n", defaultState);
    if (m_enabledExpression)
        m_enabledExpression->dump(file, level + 1, "enabled");
    return true;
}

const char* enumName(EArgumentState s)
{
    switch (s) {
    case EArgumentState::Invalid: return "Invalid";
    case EArgumentState::ValidDefault: return "ValidDefault";
    case EArgumentState::ValidSet: return "ValidSet";
    case EArgumentState::ValidPreset: return "ValidPreset";
    }
    throw ImplError();
}

const char* enumName(EArgumentControlHint h)
{
    switch (h) {
    case EArgumentControlHint::Default: return "Default";
    case EArgumentControlHint::Slider: return "Slider";
    case EArgumentControlHint::Gauge: return "Gauge";
    case EArgumentControlHint::RVEC: return "RVEC";
    case EArgumentControlHint::RVECNoTracking: return "RVECNoTracking";
    case EArgumentControlHint::FontComboBox: return "FontComboBox";
    case EArgumentControlHint::PushButton: return "PushButton";
    case EArgumentControlHint::DoneButton: return "DoneButton";
    case EArgumentControlHint::Switch: return "Switch";
    }
    throw ImplError();
}

const char* enumName(EArgumentItemEvent e)
{
    switch (e) {
    case EArgumentItemEvent::ItemNoEvent: return "ItemNoEvent";
    case EArgumentItemEvent::ItemSelected: return "ItemSelected";
    case EArgumentItemEvent::ItemUnselected: return "ItemUnselected";
    case EArgumentItemEvent::ItemChecked: return "ItemChecked";
    case EArgumentItemEvent::ItemUnchecked: return "ItemUnchecked";
    case EArgumentItemEvent::ItemDoubleClicked: return "ItemDoubleClicked";
    }
    throw ImplError();
}

} // namespace tnUI
