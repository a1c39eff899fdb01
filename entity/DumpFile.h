#pragma once

#include "../foundation/Export.h"

#include "../foundation/IString.h"

#include <memory>

namespace tnUI {

class Entity;

/// A numbered, indented text file into which the entity graph is written for
/// diagnosis. Every line starts with its five-digit number and the
/// indentation text of its level; an entity written once is afterwards
/// referred to by the number of the line it was first written on.
class TNUI_EXPORT DumpFile {
public:
    DumpFile();
    ~DumpFile();
    DumpFile(const DumpFile&) = delete;
    DumpFile& operator=(const DumpFile&) = delete;

    /// Opens path for writing (replacing its content), or standard output for
    /// ">". The line number starts again at 1; the record of written entities
    /// is kept. A stream already open is replaced without being closed.
    bool open(const tnString::IString& path);
    /// Closes an owned stream; forgets the stream in every case.
    void close();
    /// Whether a stream is open.
    bool ok() const;

    /// The separator, date and empty line that start a dump.
    void header() const;
    /// Writes the line number, the indentation of level and the formatted
    /// text. A format containing a newline advances the line number by one.
    /// Raises ImplError when no stream is open.
    void printf(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));
    /// The number of the line the next printf writes.
    int getLineNumber() const;

    /// "true" or "false".
    static const char* dumpBool(bool b) { return b ? "true" : "false"; }

    /// The line e was first written on, or -1 after recording e with the
    /// current line number when it was not written before. Raises ImplError,
    /// recording nothing, when no stream is open.
    int writtenEntity(const Entity* e) const;

    /// The indentation text of a level: 2 * level characters, a bar at every
    /// multiple of four and blanks elsewhere. Points into a shared cache that
    /// stays valid until the next call.
    static const char* indentation(int level);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tnUI
