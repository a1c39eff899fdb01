// Builds and rearranges menu trees through a script decoded from the
// fuzzer's input and checks every group against a reference model.
//
// The pool holds four items and four groups for the whole run. Operations
// append, insert sorted (before or after equal orders), remove by index
// (in range or not), search for an element, and change an element's order
// value (NaN and infinities included). The model keeps each group's children
// as a plain vector and applies the documented rules directly: an insertion
// refused with CycleError, changing nothing and sending nothing, when the
// element already sits anywhere in the group's tree, is the group itself or
// encloses it; otherwise the new neighbour bounds the element's order and the
// element's parent becomes the group. After each operation the children, the
// parents, the order values, getEnabled and the outcome must match, a search
// must find the same path as a depth-first walk of the model, and a listener
// on every element must have heard one message for each path from it down to
// the group that changed (the group's own "Content" message, passed on by
// every group above it).

#include "FuzzInput.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/menus/Element.h>
#include <tnUI/menus/Group.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr int kItems = 4, kGroups = 4;
constexpr int kElements = kItems + kGroups; // items first
constexpr int kMaxOps = 48;

bool isGroup(int e)
{
    return e >= kItems;
}

[[noreturn]] void fail(const char* what, int opIndex, int element)
{
    std::fprintf(stderr, "group_fuzzer: %s (element %d) after operation %d\n", what, element, opIndex);
    __builtin_trap();
}

bool sameOrder(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

struct Listener {
    explicit Listener(const tnUI::Entity* e)
    {
        tnRTB::connect(e->messageSignal, &client, [this](tnUI::Message&) { ++heard; });
    }
    int heard = 0;
    tnRTB::SignalClient client;
};

enum Outcome { Done, Cycle, BadIndex };

class World {
public:
    World()
    {
        for (int e = 0; e < kElements; ++e) {
            m_real[e] = isGroup(e) ? tn::Reference<tnUI::Element>(new tnUI::Group)
                                   : tn::Reference<tnUI::Element>(new tnUI::Item);
            m_listeners.push_back(std::make_unique<Listener>(m_real[e].get()));
        }
    }

    void run(FuzzInput& in, int opIndex)
    {
        m_opIndex = opIndex;
        for (auto& l : m_listeners)
            l->heard = 0;
        std::vector<int> expected(kElements, 0);
        const int op = in.next() % 6;
        const int g = kItems + in.next() % kGroups;
        const int e = in.next() % kElements;
        const std::uint8_t extra = in.next();
        tnUI::Group* group = realGroup(g);
        Outcome real = Done;
        Outcome model = Done;
        try {
            switch (op) {
            case 0: group->appendItem(m_real[e].get()); break;
            case 1: group->insertItemSorted(m_real[e].get()); break;
            case 2: group->appendItemSorted(m_real[e].get()); break;
            case 3: group->removeItem(extra % 6 - 1); break;
            case 4: checkFind(group, g, e); break;
            case 5: m_real[e]->setOrderValue(orderFrom(extra)); break;
            }
        } catch (const tnUI::CycleError&) {
            real = Cycle;
        } catch (const tnUI::IndexError&) {
            real = BadIndex;
        }
        switch (op) {
        case 0:
        case 1:
        case 2: model = modelInsert(op, g, e); break;
        case 3: model = modelRemove(g, extra % 6 - 1); break;
        case 5: m_order[e] = orderFrom(extra); break;
        default: break;
        }
        if (real != model)
            fail("the outcome differs from the model", opIndex, e);
        if (model == Done && op <= 3) {
            for (int a = 0; a < kElements; ++a)
                expected[a] = paths(a, g);
        }
        for (int a = 0; a < kElements; ++a) {
            if (m_listeners[a]->heard != expected[a])
                fail("the messages heard differ from the model", opIndex, a);
        }
        checkState();
    }

private:
    tnUI::Group* realGroup(int g) { return static_cast<tnUI::Group*>(m_real[g].get()); }

    static double orderFrom(std::uint8_t b)
    {
        static const double table[] = {0.0,
                                       10.0,
                                       20.0,
                                       30.0,
                                       50.0,
                                       -1.0,
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN()};
        return table[b % std::size(table)];
    }

    // Whether group g's tree holds e (g itself excluded).
    bool holds(int g, int e) const
    {
        for (int c : m_children[g]) {
            if (c == e || (isGroup(c) && holds(c, e)))
                return true;
        }
        return false;
    }

    // The number of paths from a down to b, counting a == b as one.
    int paths(int a, int b) const
    {
        int n = a == b ? 1 : 0;
        if (isGroup(a)) {
            for (int c : m_children[a])
                n += paths(c, b);
        }
        return n;
    }

    Outcome modelInsert(int op, int g, int e)
    {
        if (e == g || holds(g, e) || (isGroup(e) && holds(e, g)))
            return Cycle;
        std::vector<int>& list = m_children[g];
        std::size_t index = list.size();
        for (std::size_t i = 0; i < list.size() && op != 0; ++i) {
            const double o = m_order[list[i]];
            if (op == 1 ? o >= m_order[e] : o > m_order[e]) {
                index = i;
                break;
            }
        }
        if (index < list.size()) {
            if (m_order[list[index]] < m_order[e])
                m_order[e] = m_order[list[index]];
        } else if (!list.empty() && m_order[list.back()] > m_order[e]) {
            m_order[e] = m_order[list.back()];
        }
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), e);
        m_parent[e] = g;
        return Done;
    }

    Outcome modelRemove(int g, int i)
    {
        std::vector<int>& list = m_children[g];
        if (i < 0 || i >= static_cast<int>(list.size()))
            return BadIndex;
        m_parent[list[static_cast<std::size_t>(i)]] = -1;
        list.erase(list.begin() + i);
        return Done;
    }

    // The model's depth-first search: the path from g down to e.
    bool modelFind(int g, int e, std::vector<int>& path) const
    {
        path.push_back(g);
        for (int c : m_children[g]) {
            if (c == e) {
                path.push_back(c);
                return true;
            }
            if (isGroup(c) && modelFind(c, e, path))
                return true;
        }
        path.pop_back();
        return false;
    }

    void checkFind(tnUI::Group* group, int g, int e)
    {
        tn::vector<tnUI::Element*> found;
        found.push_back(nullptr); // find empties the path first
        const bool real = group->find(m_real[e].get(), found);
        std::vector<int> path;
        const bool model = modelFind(g, e, path);
        bool same = real == model && found.size() == (model ? path.size() : 0);
        for (std::size_t i = 0; same && model && i < path.size(); ++i)
            same = found[i] == m_real[path[i]].get();
        if (!same)
            fail("find differs from the model", m_opIndex, e);
    }

    void checkState()
    {
        for (int e = 0; e < kElements; ++e) {
            tnUI::Element* real = m_real[e].get();
            if (!sameOrder(real->getOrderValue(), m_order[e]))
                fail("the order value differs from the model", m_opIndex, e);
            const tnUI::Element* parent = m_parent[e] < 0 ? nullptr : m_real[m_parent[e]].get();
            if (real->getParent() != parent)
                fail("the parent differs from the model", m_opIndex, e);
            if (!isGroup(e))
                continue;
            const std::vector<int>& list = m_children[e];
            tnUI::Group* group = realGroup(e);
            if (group->getNumElements() != static_cast<int>(list.size()))
                fail("the element count differs from the model", m_opIndex, e);
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (group->getElement(static_cast<int>(i)) != m_real[list[i]].get())
                    fail("an element differs from the model", m_opIndex, e);
            }
            if (group->getEnabled() != modelEnabled(e))
                fail("getEnabled differs from the model", m_opIndex, e);
        }
    }

    bool modelEnabled(int e) const
    {
        if (!isGroup(e))
            return true;
        for (int c : m_children[e]) {
            if (modelEnabled(c))
                return true;
        }
        return false;
    }

    tn::Reference<tnUI::Element> m_real[kElements];
    std::vector<std::unique_ptr<Listener>> m_listeners;
    std::vector<int> m_children[kElements];
    double m_order[kElements] = {50, 50, 50, 50, 50, 50, 50, 50};
    int m_parent[kElements] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int m_opIndex = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::int32_t liveAtStart = tnUI::Entity::numberOfActiveObjects();
    {
        FuzzInput in(data, size);
        World world;
        for (int opIndex = 0; opIndex < kMaxOps && !in.done(); ++opIndex)
            world.run(in, opIndex);
    }
    if (tnUI::Entity::numberOfActiveObjects() != liveAtStart)
        fail("entities left alive", kMaxOps, -1);
    return 0;
}
