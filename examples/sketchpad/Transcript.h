#pragma once

#include <QString>
#include <QStringList>

// The running account of a session: numbered user actions, each followed by
// indented lines of what the program did about it. Lines go to standard
// output as they come when printing is on, and the lines of the step under
// way are kept for checks.
class Transcript {
public:
    // Off by default: a person using the program reads the window, not
    // standard output.
    void setPrinting(bool on) { m_printing = on; }
    bool isPrinting() const { return m_printing; }

    // Starts a new numbered step.
    void user(const QString& action);
    // One line of what happened during the current step.
    void note(const QString& line);
    // Everything noted since the current step began.
    const QStringList& stepNotes() const { return m_stepNotes; }
    // Whether some line of the current step contains text.
    bool stepMentions(const QString& text) const;

private:
    void print(const QString& line) const;

    QStringList m_stepNotes;
    int m_step = 0;
    bool m_printing = false;
};
