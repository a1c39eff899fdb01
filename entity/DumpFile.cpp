#include "DumpFile.h"

#include "Error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace tnUI {

namespace {
// Room for most lines; a longer one grows the buffer once.
constexpr std::size_t initialLineCapacity = 256;
} // namespace

struct DumpFile::State {
    std::FILE* stream = nullptr;
    int line = 1;
    bool ownsStream = false;
    std::map<const Entity*, int> written;
    // Each line is formatted here whole and then written with one call.
    std::vector<char> buffer = std::vector<char>(initialLineCapacity);

    // Puts the line number (at least five digits) and the indentation of level
    // at the start of the buffer; returns their length.
    std::size_t writePrefix(int level);
};

std::size_t DumpFile::State::writePrefix(int level)
{
    char digits[16];
    std::size_t count = 0;
    for (unsigned n = static_cast<unsigned>(line); n != 0 || count < 5; n /= 10)
        digits[count++] = static_cast<char>('0' + n % 10);
    const std::size_t width = level > 0 ? 2 * static_cast<std::size_t>(level) : 0;
    const std::size_t length = count + 2 + width;
    if (buffer.size() < length + initialLineCapacity)
        buffer.resize(length + initialLineCapacity);
    char* out = buffer.data();
    while (count != 0)
        *out++ = digits[--count];
    *out++ = ':';
    *out++ = ' ';
    // The indentation repeats every four characters, so it is copied in
    // pieces of a multiple of four.
    static constexpr char bars[] = "|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   ";
    for (std::size_t left = width; left != 0;) {
        const std::size_t piece = left < sizeof bars - 1 ? left : sizeof bars - 1;
        std::memcpy(out, bars, piece);
        out += piece;
        left -= piece;
    }
    return length;
}

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
    State& s = *m_state;
    const std::size_t prefix = s.writePrefix(level);
    va_list args;
    va_start(args, format);
    int text = std::vsnprintf(s.buffer.data() + prefix, s.buffer.size() - prefix, format, args);
    va_end(args);
    if (text >= 0 && prefix + static_cast<std::size_t>(text) >= s.buffer.size()) {
        s.buffer.resize(prefix + static_cast<std::size_t>(text) + 1);
        va_start(args, format);
        text = std::vsnprintf(s.buffer.data() + prefix, s.buffer.size() - prefix, format, args);
        va_end(args);
    }
    // Text that cannot be formatted (an encoding error) leaves the number and
    // the indentation alone on the line.
    const std::size_t length = prefix + (text > 0 ? static_cast<std::size_t>(text) : 0);
    std::fwrite(s.buffer.data(), 1, length, s.stream);
    if (std::strchr(format, '\n'))
        ++s.line;
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
