#include "Transcript.h"

#include <cstdio>

void Transcript::user(const QString& action)
{
    m_stepNotes.clear();
    print(QStringLiteral("%1. %2").arg(++m_step, 2).arg(action));
}

void Transcript::note(const QString& line)
{
    // Outside a step nothing reads the lines back; a long session must not
    // pile them up.
    if (m_step > 0)
        m_stepNotes.append(line);
    print(QStringLiteral("      ") + line);
}

bool Transcript::stepMentions(const QString& text) const
{
    for (const QString& line : m_stepNotes)
        if (line.contains(text))
            return true;
    return false;
}

void Transcript::print(const QString& line) const
{
    if (!m_printing)
        return;
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}
