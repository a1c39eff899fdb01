#include "DumpFile.h"

#include "Error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

namespace tnUI {

struct DumpFile::State {
    std::FILE* stream = nullptr;
    int line = 1;
    bool ownsStream = false;
    std::map<const Entity*, int> written;
};

DumpFile::DumpFile() : m_state(std::make_unique<State>())
{}

DumpFile::~DumpFile()
{
    close();
}

bool DumpFile::open(const tnString::IString& path)
{
    if (path == tnString::IString(">")) {
        m_state->stream = stdout;
        m_state->ownsStream = false;
    } else {
        // The wide path is opened through its UTF-8 form, the file-system
        // encoding of the platforms this library runs on.
        m_state->stream = std::fopen(path.asUTF8().asChar(), "w");
        m_state->ownsStream = m_state->stream != nullptr;
    }
    m_state->line = 1;
    return m_state->stream != nullptr;
}

void DumpFile::close()
{
    if (m_state->stream && m_state->ownsStream)
        std::fclose(m_state->stream);
    m_state->stream = nullptr;
    m_state->ownsStream = false;
}

bool DumpFile::ok() const
{
    return m_state->stream != nullptr;
}

void DumpFile::header() const
{
    const std::time_t now = std::time(nullptr);
    std::string date = std::ctime(&now);
    if (!date.empty() && date.back() == '\n')
        date.pop_back();
    printf(0, "------------------------------------------------\n");
    printf(0, "tnUI dump file at: %s\n", date.c_str());
    printf(0, "\n");
}

void DumpFile::printf(int level, const char* format, ...) const
{
    if (!m_state->stream)
        throw ImplError();
    std::fprintf(m_state->stream, "%05d: %s", m_state->line, indentation(level));
    va_list args;
    va_start(args, format);
    std::vfprintf(m_state->stream, format, args);
    va_end(args);
    if (std::strchr(format, '\n'))
        ++m_state->line;
}

int DumpFile::getLineNumber() const
{
    return m_state->line;
}

int DumpFile::writtenEntity(const Entity* e) const
{
    // Refused before anything is recorded: an entity not written must not
    // count as written once a stream is open.
    if (!m_state->stream)
        throw ImplError();
    const auto [it, inserted] = m_state->written.try_emplace(e, m_state->line);
    return inserted ? -1 : it->second;
}

const char* DumpFile::indentation(int level)
{
    // Only lengthened or cut back, so repeating a level builds nothing.
    static std::string cache;
    const std::size_t wanted = level > 0 ? 2 * static_cast<std::size_t>(level) : 0;
    if (cache.size() > wanted)
        cache.resize(wanted);
    while (cache.size() < wanted)
        cache += cache.size() % 4 == 0 ? '|' : ' ';
    return cache.c_str();
}

} // namespace tnUI
