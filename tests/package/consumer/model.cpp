// Uses the installed library through its toolkit-independent umbrella header
// only, with no Qt header in reach.
#include <tnUI/tnUI.h>

#if __has_include(<QObject>)
#error "the model host sees Qt's headers: tnUI::UIBase must not carry Qt's include directories"
#endif

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

int fail(const char* what)
{
    std::fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

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

        // The library's types are the host's: its errors are caught by their
        // classes, its entities cast to theirs.
        bool caught = false;
        try {
            tnUI::Message orphan(nullptr, tnUI::Message::Value);
        } catch (const tnUI::ImplError&) {
            caught = true;
        }
        if (!caught)
            return fail("a null entity raised no ImplError");
        tn::Reference<tnUI::Entity> command(new tnUI::MomentaryCommandDefn(tnString::CString("undo")));
        if (!dynamic_cast<tnUI::CommandDefn*>(command.get()))
            return fail("a command definition is not a CommandDefn");
    }
    if (seen != 1 || tnUI::Entity::numberOfActiveObjects() != 0) {
        std::fprintf(stderr, "consumer: unexpected result (seen %d, alive %d)\n", seen,
                     static_cast<int>(tnUI::Entity::numberOfActiveObjects()));
        return 1;
    }
    std::printf("consumer: ok\n");
    return 0;
}
