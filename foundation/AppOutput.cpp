#include "AppOutput.h"

#include <cstdarg>
#include <cstdio>

namespace tnOS {

AppOutput& AppOutput::getInstance()
{
    static AppOutput instance;
    return instance;
}

void AppOutput::operator()(int level, const char* format, ...)
{
    if (!isShown(level))
        return;
    va_list args;
    va_start(args, format);
    write(Diagnostic, format, args);
    va_end(args);
}

void AppOutput::error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    write(Error, format, args);
    va_end(args);
}

AppOutput::Sink AppOutput::setSink(Sink sink)
{
    Sink old = std::move(m_sink);
    m_sink = std::move(sink);
    return old;
}

void AppOutput::write(Channel channel, const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return;
    std::string text(static_cast<std::size_t>(n), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);

    // Indent the start of every line.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (m_atLineStart && c != '\n')
            out.append(2 * static_cast<std::size_t>(m_indent), ' ');
        m_atLineStart = false;
        out += c;
        if (c == '\n')
            m_atLineStart = true;
    }
    if (m_sink) {
        m_sink(channel, out);
    } else {
        std::fputs(out.c_str(), stderr);
        std::fflush(stderr);
    }
}

} // namespace tnOS
