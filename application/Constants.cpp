#include "Constants.h"

namespace tnUI {

namespace {
const tnString::IString g_emptyText;
constexpr int NumLabels = 10;
} // namespace

Constants::Constants(const Constants& other) : tn::ReferenceCount(), m_labels(other.m_labels)
{}

Constants& Constants::operator=(const Constants& other)
{
    if (this != &other)
        m_labels = other.m_labels;
    return *this;
}

Constants::~Constants() = default;

void Constants::setLabel(ELabel e, const Label* l)
{
    if (!l) {
        m_labels.erase(e);
        return;
    }
    // The new reference is taken before the old label is released, so that
    // storing the label a slot already holds keeps it alive.
    m_labels[e] = l;
}

const Label* Constants::getLabel(ELabel e) const
{
    if (e < 0 || e >= NumLabels)
        return nullptr;
    const auto it = m_labels.find(e);
    return it == m_labels.end() ? nullptr : it->second.get();
}

const tnString::IString& Constants::getLabelAsString(ELabel e) const
{
    const Label* label = getLabel(e);
    return label ? label->asString() : g_emptyText;
}

} // namespace tnUI
