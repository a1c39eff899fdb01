// Uses the installed library through its umbrella header only.
#include <tnUI/tnUI.h>

#include <cstdio>

namespace {

class Document : public tnUI::Entity {
public:
    void touch()
    {
        tnUI::Message m(this, tnUI::Message::Value);
        sendMessage(m);
    }
};

class Watcher : public tnUI::Entity {
public:
    explicit Watcher(const tnUI::Entity* source) { connectSignal(source); }
};

} // namespace

int main()
{
    int seen = 0;
    {
        tn::Reference<Document> document(new Document);
        tn::Reference<Watcher> watcher(new Watcher(document));
        tnRTB::connect(watcher->messageSignal, nullptr, [&seen](tnUI::Message& m) {
            if (m.getType() == tnUI::Message::Forward && m.getRoot()->getType() == tnUI::Message::Value)
                ++seen;
        });
        document->touch();
    }
    if (seen != 1 || tnUI::Entity::numberOfActiveObjects() != 0) {
        std::fprintf(stderr, "consumer: unexpected result (seen %d, alive %d)\n", seen,
                     static_cast<int>(tnUI::Entity::numberOfActiveObjects()));
        return 1;
    }
    std::printf("consumer: ok\n");
    return 0;
}
