#include "DumpFile.h"

#include "Error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace tnUI {

namespace {

// Room for most lines; a longer one grows the buffer.
constexpr std::size_t initialLineCapacity = 256;

// A line being built at the end of a growing buffer.
class Line {
public:
    explicit Line(std::vector<char>& buffer) : m_buffer(buffer) {}

    std::size_t length() const { return m_length; }
    // Room for n more characters and a terminating zero.
    char* reserve(std::size_t n)
    {
        if (m_length + n + 1 > m_buffer.size())
            m_buffer.resize(std::max(2 * m_buffer.size(), m_length + n + 1));
        return m_buffer.data() + m_length;
    }
    void advance(std::size_t n) { m_length += n; }
    void put(const char* s, std::size_t n)
    {
        std::memcpy(reserve(n), s, n);
        m_length += n;
    }
    void fill(char c, std::size_t n)
    {
        std::memset(reserve(n), c, n);
        m_length += n;
    }
    // text of n characters, padded with blanks (or zeros after the sign)
    // to width.
    void padded(const char* text, std::size_t n, std::size_t width, bool left, bool zeros, std::size_t sign = 0)
    {
        const std::size_t pad = width > n ? width - n : 0;
        if (left) {
            put(text, n);
            fill(' ', pad);
        } else if (zeros) {
            put(text, sign);
            fill('0', pad);
            put(text + sign, n - sign);
        } else {
            fill(' ', pad);
            put(text, n);
        }
    }

private:
    std::vector<char>& m_buffer;
    std::size_t m_length = 0;
};

enum class Size { Int, Char, Short, Long, LongLong, SizeT, IntMax, PtrDiff, LongDouble };

// Some of the sizes name the same type on some platforms only.
// NOLINTBEGIN(bugprone-branch-clone)
std::uintmax_t unsignedArgument(Size size, va_list& args)
{
    switch (size) {
    case Size::Char: return static_cast<unsigned char>(va_arg(args, unsigned));
    case Size::Short: return static_cast<unsigned short>(va_arg(args, unsigned));
    case Size::Long: return va_arg(args, unsigned long);
    case Size::LongLong: return va_arg(args, unsigned long long);
    case Size::SizeT: return va_arg(args, std::size_t);
    case Size::IntMax: return va_arg(args, std::uintmax_t);
    case Size::PtrDiff: return static_cast<std::uintmax_t>(va_arg(args, std::ptrdiff_t));
    default: return va_arg(args, unsigned);
    }
}

std::intmax_t signedArgument(Size size, va_list& args)
{
    switch (size) {
    case Size::Char: return static_cast<signed char>(va_arg(args, int));
    case Size::Short: return static_cast<short>(va_arg(args, int));
    case Size::Long: return va_arg(args, long);
    case Size::LongLong: return va_arg(args, long long);
    case Size::SizeT: return static_cast<std::intmax_t>(va_arg(args, std::size_t));
    case Size::IntMax: return va_arg(args, std::intmax_t);
    case Size::PtrDiff: return va_arg(args, std::ptrdiff_t);
    default: return va_arg(args, int);
    }
}
// NOLINTEND(bugprone-branch-clone)

// Appends the printf formatting of format and args to line, as the C
// library writes it, for the conversions a dump uses: integers, characters
// and strings with the flags '-' and '0' and a width, strings with a
// precision, and floating-point numbers (those the standard library cannot
// write, the C library formats one by one). Returns false at anything else (other flags, '*', a precision on an
// integer, a null string, wide characters...), args then being partly read.
bool appendFormatted(Line& line, const char* format, va_list& args)
{
    for (const char* p = format;;) {
        const char* percent = std::strchr(p, '%');
        if (!percent) {
            line.put(p, std::strlen(p));
            return true;
        }
        line.put(p, static_cast<std::size_t>(percent - p));
        const char* directive = percent;
        p = percent + 1;
        bool left = false;
        bool zeros = false;
        for (;; ++p) {
            if (*p == '-')
                left = true;
            else if (*p == '0')
                zeros = true;
            else
                break;
        }
        std::size_t width = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            width = 10 * width + static_cast<std::size_t>(*p - '0');
        int precision = -1;
        if (*p == '.') {
            precision = 0;
            for (++p; *p >= '0' && *p <= '9'; ++p)
                precision = 10 * precision + (*p - '0');
        }
        Size size = Size::Int;
        switch (*p) {
        case 'h':
            size = p[1] == 'h' ? Size::Char : Size::Short;
            p += p[1] == 'h' ? 2 : 1;
            break;
        case 'l':
            size = p[1] == 'l' ? Size::LongLong : Size::Long;
            p += p[1] == 'l' ? 2 : 1;
            break;
        case 'z':
            size = Size::SizeT;
            ++p;
            break;
        case 'j':
            size = Size::IntMax;
            ++p;
            break;
        case 't':
            size = Size::PtrDiff;
            ++p;
            break;
        case 'L':
            size = Size::LongDouble;
            ++p;
            break;
        default: break;
        }
        if (width > 4096 || precision > 4096)
            return false;
        const char conversion = *p++;
        switch (conversion) {
        case '%':
            if (p - directive != 2)
                return false;
            line.put("%", 1);
            break;
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X': {
            if (precision >= 0 || size == Size::LongDouble)
                return false;
            char text[32];
            char* end = text + sizeof text;
            char* out = end;
            bool negative = false;
            std::uintmax_t magnitude;
            if (conversion == 'd' || conversion == 'i') {
                const std::intmax_t v = signedArgument(size, args);
                negative = v < 0;
                magnitude = negative ? 0 - static_cast<std::uintmax_t>(v) : static_cast<std::uintmax_t>(v);
            } else {
                magnitude = unsignedArgument(size, args);
            }
            if (conversion == 'x' || conversion == 'X') {
                const char* digits = conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
                do {
                    *--out = digits[magnitude & 15];
                    magnitude >>= 4;
                } while (magnitude != 0);
            } else {
                do {
                    *--out = static_cast<char>('0' + magnitude % 10);
                    magnitude /= 10;
                } while (magnitude != 0);
            }
            if (negative)
                *--out = '-';
            line.padded(out, static_cast<std::size_t>(end - out), width, left, zeros, negative ? 1 : 0);
            break;
        }
        case 'c': {
            if (precision >= 0 || size != Size::Int || zeros)
                return false;
            const char c = static_cast<char>(va_arg(args, int));
            line.padded(&c, 1, width, left, false);
            break;
        }
        case 's': {
            if (size != Size::Int || zeros)
                return false;
            const char* text = va_arg(args, const char*);
            if (!text)
                return false;
            const std::size_t n =
                precision >= 0 ? strnlen(text, static_cast<std::size_t>(precision)) : std::strlen(text);
            line.padded(text, n, width, left, false);
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            if (size == Size::LongDouble || p - directive > 24)
                return false;
            const double v = va_arg(args, double);
            if (conversion == 'f' || conversion == 'e' || conversion == 'g') {
                // The standard library writes finite numbers exactly as
                // printf does in the "C" locale, without its overhead.
                const auto style = conversion == 'f'   ? std::chars_format::fixed
                                   : conversion == 'e' ? std::chars_format::scientific
                                                       : std::chars_format::general;
                char text[128];
                const auto [end, error] =
                    std::isfinite(v) ? std::to_chars(text, text + sizeof text, v, style, precision < 0 ? 6 : precision)
                                     : std::to_chars_result{text, std::errc::not_supported};
                if (error == std::errc()) {
                    line.padded(text, static_cast<std::size_t>(end - text), width, left, zeros, text[0] == '-' ? 1 : 0);
                    break;
                }
            }
            char one[32];
            std::memcpy(one, directive, static_cast<std::size_t>(p - directive));
            one[p - directive] = '\0';
            constexpr std::size_t usual = 64;
            int n = std::snprintf(line.reserve(usual), usual + 1, one, v);
            if (n > static_cast<int>(usual))
                n = std::snprintf(line.reserve(static_cast<std::size_t>(n)), static_cast<std::size_t>(n) + 1, one, v);
            if (n < 0)
                return false;
            line.advance(static_cast<std::size_t>(n));
            break;
        }
        default: return false;
        }
    }
}

// The entities written so far with the lines they were written on: open
// addressing by address over a table at most half full.
class WrittenEntities {
public:
    WrittenEntities() = default;
    WrittenEntities(const WrittenEntities&) = delete;
    WrittenEntities& operator=(const WrittenEntities&) = delete;

    // The line e was recorded with, or -1 after recording it with line.
    int record(const Entity* e, int line)
    {
        if (!e) {
            if (m_nullLine >= 0)
                return m_nullLine;
            m_nullLine = line;
            return -1;
        }
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        for (std::size_t i = slotOf(e);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[i];
            if (slot.entity == e)
                return slot.line;
            if (!slot.entity) {
                slot = {e, line};
                ++m_count;
                return -1;
            }
        }
    }

private:
    struct Slot {
        const Entity* entity = nullptr;
        int line = 0;
    };

    std::size_t slotOf(const Entity* e) const
    {
        // Fibonacci hashing: the high bits of the product mix every bit of
        // the address.
        const auto x = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(e));
        return static_cast<std::size_t>((x * 0x9E3779B97F4A7C15ull) >> (64 - m_bits));
    }

    void grow()
    {
        m_bits = m_bits == 0 ? 6 : m_bits + 1;
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(std::size_t{1} << m_bits, Slot{});
        for (const Slot& slot : old) {
            if (!slot.entity)
                continue;
            std::size_t i = slotOf(slot.entity);
            while (m_slots[i].entity)
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    unsigned m_bits = 0;
    // The line of a null entity, which no slot can hold; -1 before it.
    int m_nullLine = -1;
};

} // namespace

struct DumpFile::State {
    std::FILE* stream = nullptr;
    int line = 1;
    bool ownsStream = false;
    WrittenEntities written;
    // Each line is formatted here whole and then written with one call.
    std::vector<char> buffer = std::vector<char>(initialLineCapacity);

    // Puts the line number (at least five digits) and the indentation of
    // level into line.
    void writePrefix(Line& out, int level) const;
};

void DumpFile::State::writePrefix(Line& out, int level) const
{
    char digits[16];
    char* end = digits + sizeof digits;
    char* first = end;
    *--first = ' ';
    *--first = ':';
    for (unsigned n = static_cast<unsigned>(line); n != 0 || end - first < 7; n /= 10)
        *--first = static_cast<char>('0' + n % 10);
    out.put(first, static_cast<std::size_t>(end - first));
    // The indentation repeats every four characters, so it is copied in
    // pieces of a multiple of four.
    static constexpr char bars[] = "|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   ";
    for (std::size_t left = level > 0 ? 2 * static_cast<std::size_t>(level) : 0; left != 0;) {
        const std::size_t piece = left < sizeof bars - 1 ? left : sizeof bars - 1;
        out.put(bars, piece);
        left -= piece;
    }
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
    Line line(s.buffer);
    s.writePrefix(line, level);
    const std::size_t prefix = line.length();
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const bool done = appendFormatted(line, format, copy);
    va_end(copy);
    std::size_t length = line.length();
    if (!done) {
        // Whatever the formatting above left out, the C library writes.
        const std::size_t room = s.buffer.size() - prefix;
        const int text = std::vsnprintf(s.buffer.data() + prefix, room, format, args);
        if (text >= 0 && static_cast<std::size_t>(text) >= room) {
            s.buffer.resize(prefix + static_cast<std::size_t>(text) + 1);
            va_end(args);
            va_start(args, format);
            std::vsnprintf(s.buffer.data() + prefix, s.buffer.size() - prefix, format, args);
        }
        // Text that cannot be formatted (an encoding error) leaves the
        // number and the indentation alone on the line.
        length = prefix + (text > 0 ? static_cast<std::size_t>(text) : 0);
    }
    va_end(args);
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
    return m_state->written.record(e, m_state->line);
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
