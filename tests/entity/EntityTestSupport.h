#pragma once

// Helpers shared by the entity tests: a recorder of the messages an entity
// sends, a dump file written to a temporary file and read back, and a fixture
// that checks that every test leaves as many live entities as it found.

#include <tnUI/entity/DumpFile.h>
#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/entity/Message.h>

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tnUITest {

// A picture file entity for the path; nothing is read.
inline tn::Reference<tnUI::ImageFile> image(const tnString::IString& path)
{
    return tn::Reference<tnUI::ImageFile>(new tnUI::ImageFile(new tnUI::Filename(path)));
}

// One message of a recorded chain.
struct Link {
    const tnUI::Entity* entity;
    tnUI::Message::Type type;

    friend bool operator==(const Link&, const Link&) = default;
};

inline void PrintTo(const Link& link, std::ostream* os)
{
    *os << tnUI::enumName(link.type) << " from " << link.entity;
}

// A message and its causes, the message itself first.
using Chain = std::vector<Link>;
using Chains = std::vector<Chain>;

// Records every message an entity sends, with its cause chain copied (the
// messages themselves do not outlive the emission).
class MessageRecorder {
public:
    explicit MessageRecorder(const tnUI::Entity* source)
    {
        tnRTB::connect(source->messageSignal, &m_client, [this](tnUI::Message& m) {
            Chain chain;
            for (const tnUI::Message* c = &m; c; c = c->causedBy())
                chain.push_back({c->getEntity(), c->getType()});
            chains.push_back(chain);
        });
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Chain> chains;

private:
    tnRTB::SignalClient m_client;
};

// A DumpFile on a temporary file; lines() closes it and gives the lines
// written, without their line ends.
class DumpCapture {
public:
    DumpCapture()
    {
        char path[] = "/tmp/tnui-dump-XXXXXX";
        const int fd = mkstemp(path);
        if (fd >= 0)
            ::close(fd);
        m_path = path;
        m_opened = file.open(tnString::IString(m_path.c_str()));
        EXPECT_TRUE(m_opened) << m_path;
    }
    ~DumpCapture()
    {
        file.close();
        std::remove(m_path.c_str());
    }
    DumpCapture(const DumpCapture&) = delete;
    DumpCapture& operator=(const DumpCapture&) = delete;

    bool opened() const { return m_opened; }
    // Opens the same file again, emptied; the record of written entities is
    // kept.
    bool reopen() { return file.open(tnString::IString(m_path.c_str())); }

    std::vector<std::string> lines()
    {
        file.close();
        std::vector<std::string> result;
        std::ifstream in(m_path);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    tnUI::DumpFile file;

private:
    std::string m_path;
    bool m_opened = false;
};

// An address as the dump writes it.
inline std::string ptr(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%08" PRIxPTR, reinterpret_cast<std::uintptr_t>(p));
    return text;
}

// Checks that a test leaves the live-entity count where it found it.
class EntityTest : public ::testing::Test {
protected:
    void SetUp() override { m_liveAtStart = tnUI::Entity::numberOfActiveObjects(); }
    void TearDown() override { EXPECT_EQ(tnUI::Entity::numberOfActiveObjects(), m_liveAtStart); }

private:
    std::int32_t m_liveAtStart = 0;
};

} // namespace tnUITest
