#include <tnUI/foundation/Signal.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Listener {
    tnRTB::SignalClient signalClient;
    std::vector<int> seen;
    void onValue(int v) { seen.push_back(v); }
};

TEST(Signal, CallsConnectionsInOrder)
{
    tnRTB::Signal<int> signal;
    std::vector<int> order;
    tnRTB::SignalClient client;
    tnRTB::connect(signal, &client, [&](int v) { order.push_back(v * 10 + 1); });
    tnRTB::connect(signal, &client, [&](int v) { order.push_back(v * 10 + 2); });
    signal.emit(3);
    EXPECT_EQ(order, (std::vector<int>{31, 32}));
}

TEST(Signal, MemberConnectionCutByReceiverDeath)
{
    tnRTB::Signal<int> signal;
    auto listener = std::make_unique<Listener>();
    tnRTB::connect(signal, listener.get(), &Listener::onValue);
    signal.emit(1);
    EXPECT_EQ(listener->seen, std::vector<int>{1});
    listener.reset();
    EXPECT_EQ(signal.getNumConnections(), 0);
    signal.emit(2);
}

} // namespace
