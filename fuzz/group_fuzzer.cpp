// Builds, rearranges and compiles menu trees through a script decoded from
// the fuzzer's input and checks every group against a reference model.
//
// The pool holds four items, three separators, an element of no kind and five
// command groups for the whole run. Operations append, insert sorted (before or after equal orders),
// remove by index (in range or not), search for an element, change an
// element's order value (NaN and infinities included) or a group's layout
// preference, and compile a group. The model keeps each group's children
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
//
// Compiling is checked against the three passes applied literally to the
// model's tree: build a node for every group, command and separator (the
// element of no kind has none); merge
// each group laid out as EmbeddedInParent into its parent, bottom-up, by
// putting its items in its place; then, bottom-up, drop groups left empty,
// leading separators, all but the first of each run of separators, and
// trailing separators. The last few compiled trees are kept: they must not
// change whatever the groups go through afterwards, and every element's
// reference count must be its holders in the pool, the groups and those
// trees.

#include "FuzzInput.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>
#include <tnUI/foundation/Containers.h>
#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CompiledCommandGroup.h>
#include <tnUI/menus/Element.h>
#include <tnUI/menus/Group.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kItems = 4, kSeparators = 3, kGroups = 5;
constexpr int kInert = kItems + kSeparators; // the element of no kind
constexpr int kLeaves = kInert + 1;
constexpr int kElements = kLeaves + kGroups; // items, separators, inert, groups
constexpr int kMaxOps = 48;
constexpr std::size_t kSnapshots = 3;

bool isGroup(int e)
{
    return e >= kLeaves;
}

bool isSeparator(int e)
{
    return e >= kItems && e < kInert;
}

// Neither group, command nor separator.
class Inert : public tnUI::Element {
public:
    bool getEnabled() const override { return true; }
};

// A node of a compiled tree in the model.
struct Node {
    int element;
    bool group;
    std::vector<Node> items;
};

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
            if (isGroup(e))
                m_real[e] = new tnUI::CommandGroup;
            else if (isSeparator(e))
                m_real[e] = new tnUI::Separator;
            else if (e == kInert)
                m_real[e] = new Inert;
            else
                m_real[e] = new tnUI::Item;
            m_listeners.push_back(std::make_unique<Listener>(m_real[e].get()));
            m_order[e] = 50.0;
            m_parent[e] = -1;
        }
    }

    void run(FuzzInput& in, int opIndex)
    {
        m_opIndex = opIndex;
        for (auto& l : m_listeners)
            l->heard = 0;
        std::vector<int> expected(kElements, 0);
        const int op = in.next() % 8;
        const int g = kLeaves + in.next() % kGroups;
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
            case 6: group->setLayoutPreference(static_cast<tnUI::Group::ELayoutPreference>(extra % 5)); break;
            case 7: checkCompile(g); break;
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
        case 6: m_layout[g] = extra % 5; break;
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
        checkSnapshots();
    }

private:
    tnUI::Group* realGroup(int g) { return static_cast<tnUI::Group*>(m_real[g].get()); }

    // Pass 1: a node for the group and, in order, for each of its elements.
    Node modelBuild(int g) const
    {
        Node node{g, true, {}};
        for (int c : m_children[g]) {
            if (c != kInert)
                node.items.push_back(isGroup(c) ? modelBuild(c) : Node{c, false, {}});
        }
        return node;
    }

    // Pass 2: from the last item down, embedded groups (themselves done
    // first) give way to their items.
    void modelEmbed(Node& node) const
    {
        for (std::size_t i = node.items.size(); i-- > 0;) {
            if (!node.items[i].group)
                continue;
            modelEmbed(node.items[i]);
            if (m_layout[node.items[i].element] != tnUI::Group::EmbeddedInParent)
                continue;
            std::vector<Node> inner = std::move(node.items[i].items);
            node.items.erase(node.items.begin() + static_cast<std::ptrdiff_t>(i));
            node.items.insert(node.items.begin() + static_cast<std::ptrdiff_t>(i), inner.begin(), inner.end());
        }
    }

    // Pass 3, in its four steps.
    static void modelTidy(Node& node)
    {
        std::vector<Node>& items = node.items;
        const auto separator = [&items](std::size_t i) { return isSeparator(items[i].element); };
        for (std::size_t i = items.size(); i-- > 0;) {
            if (!items[i].group)
                continue;
            modelTidy(items[i]);
            if (items[i].items.empty())
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        }
        while (!items.empty() && separator(0))
            items.erase(items.begin());
        for (std::size_t i = items.size() < 2 ? 0 : items.size() - 1; i-- > 0;) {
            if (separator(i) && separator(i + 1))
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
        while (!items.empty() && separator(items.size() - 1))
            items.pop_back();
    }

    bool sameTree(const tnUI::CompiledCommandNode* real, const Node& model) const
    {
        if (real->getElement() != m_real[model.element].get())
            return false;
        const auto* group = dynamic_cast<const tnUI::CompiledCommandGroup*>(real);
        if (!group)
            return !model.group;
        if (!model.group || group->getNumItems() != static_cast<int>(model.items.size()))
            return false;
        for (std::size_t i = 0; i < model.items.size(); ++i) {
            if (!sameTree(group->getItem(static_cast<int>(i)), model.items[i]))
                return false;
        }
        return true;
    }

    void checkCompile(int g)
    {
        Node model = modelBuild(g);
        modelEmbed(model);
        modelTidy(model);
        tn::Reference<tnUI::CompiledCommandGroup> real =
            tnUI::compileCommandGroup(static_cast<tnUI::CommandGroup*>(realGroup(g)));
        if (!sameTree(real, model))
            fail("the compiled tree differs from the model", m_opIndex, g);
        m_snapshots.push_back({std::move(real), std::move(model)});
        if (m_snapshots.size() > kSnapshots)
            m_snapshots.pop_front();
    }

    static void countNodes(const Node& node, int* counts)
    {
        ++counts[node.element];
        for (const Node& n : node.items)
            countNodes(n, counts);
    }

    // Earlier compiled trees are as they were, and they, the pool and the
    // groups hold every reference there is.
    void checkSnapshots() const
    {
        int holders[kElements];
        for (int e = 0; e < kElements; ++e)
            holders[e] = 1;
        for (int g = kLeaves; g < kElements; ++g) {
            for (int c : m_children[g])
                ++holders[c];
        }
        for (const auto& snapshot : m_snapshots) {
            if (!sameTree(snapshot.first, snapshot.second))
                fail("a compiled tree changed", m_opIndex, snapshot.second.element);
            countNodes(snapshot.second, holders);
        }
        for (int e = 0; e < kElements; ++e) {
            if (m_real[e]->getRefCount() != holders[e])
                fail("the reference count differs from the model", m_opIndex, e);
        }
    }

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
    double m_order[kElements];
    int m_parent[kElements];
    int m_layout[kElements] = {};
    std::deque<std::pair<tn::Reference<tnUI::CompiledCommandGroup>, Node>> m_snapshots;
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
