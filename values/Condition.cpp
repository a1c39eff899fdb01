#include "Condition.h"

namespace tnUI {

void Condition::reset()
{}

bool Condition::evalBool() const
{
    return m_truth;
}

double Condition::evalDouble() const
{
    return m_truth ? 1.0 : 0.0;
}

void Condition::update()
{
    const bool truth = compute();
    if (m_computed && truth == m_truth)
        return;
    m_computed = true;
    m_truth = truth;
    Message m(this, Message::Value);
    sendMessage(m);
}

} // namespace tnUI
