#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedLabeledEntity.h"
#include "../foundation/Signal.h"

/// The host's widget class; the library only passes pointers to it on.
class QWidget;

namespace tnUI {

class DocumentWindow;
class Window;

/// The model side of a utility window's content. A derived class builds the
/// widget in realizePane().
class TNUI_EXPORT WindowPane : public NamedLabeledEntity {
public:
    /// For the host's own notices; the library never emits it.
    tnRTB::Signal<WindowPane*> hostSignal;

    /// The window the pane was last given; null once any window it was given
    /// has died.
    Window* getWindow() const noexcept { return m_window; }
    /// The document window.
    DocumentWindow* getDocumentWindow();
    /// The document window.
    const DocumentWindow* getDocumentWindow() const;

    /// The pane's widget; null here.
    virtual QWidget* realizePane();
    /// Stores w and watches its destruction. Windows given earlier stay
    /// watched, so the death of any of them clears the window.
    virtual void setWindow(Window* w);

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    WindowPane() = default;

    /// The pane's window died: forget it.
    void destroyedWindow(Entity* e);

private:
    Window* m_window = nullptr;
};

} // namespace tnUI
