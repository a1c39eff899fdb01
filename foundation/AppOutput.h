#pragma once

#include "Export.h"

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

namespace tnOS {

/// The process-wide diagnostic output. Text written at a verbosity level
/// appears when that level is at most the current verbosity (0 by default, so
/// only errors show); error() always appears, on the error channel. Every line
/// is indented by two blanks per indentation level. Output goes to standard
/// error unless a host or a test installs a sink of its own.
class TNUI_EXPORT AppOutput {
public:
    /// Where text goes.
    enum Channel { Diagnostic = 0, Error = 1 };
    /// Receives each piece of text with its channel.
    using Sink = std::function<void(Channel channel, std::string_view text)>;

    /// The process-wide object.
    static AppOutput& getInstance();

    AppOutput(const AppOutput&) = delete;
    AppOutput& operator=(const AppOutput&) = delete;

    /// printf-style text on the diagnostic channel, shown when level <= verbosity.
    void operator()(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    /// printf-style text on the error channel, always shown.
    void error(const char* format, ...) __attribute__((format(printf, 2, 3)));

    /// Indents the following lines by two more blanks.
    void increaseIndentLevel() noexcept { ++m_indent; }
    /// Undoes increaseIndentLevel(); never below zero.
    void decreaseIndentLevel() noexcept
    {
        if (m_indent > 0)
            --m_indent;
    }
    /// The current indentation level.
    int getIndentLevel() const noexcept { return m_indent; }

    /// Sets the verbosity.
    void setVerbosity(int level) noexcept { m_verbosity = level; }
    /// The verbosity.
    int getVerbosity() const noexcept { return m_verbosity; }
    /// Whether text at level appears.
    bool isShown(int level) const noexcept { return level <= m_verbosity; }

    /// Replaces where text goes and returns the previous sink; an empty sink
    /// restores standard error.
    Sink setSink(Sink sink);

private:
    AppOutput() = default;
    void write(Channel channel, const char* format, va_list args);

    Sink m_sink;
    int m_verbosity = 0;
    int m_indent = 0;
    bool m_atLineStart = true;
};

} // namespace tnOS
