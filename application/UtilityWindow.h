#pragma once

#include "../foundation/Export.h"

#include "../entity/WatchedPointer.h"
#include "../foundation/CString.h"
#include "../foundation/ReferenceCount.h"
#include "Window.h"

/// The host's widget class; the library only stores pointers to it.
class QtUtilityWindow;

namespace tnUI {

class WindowPane;

/// A tool window of a document window's group. It shows one pane. The flags
/// and the four operations for expanding, shrinking and the internal state
/// mean what a host's class makes of them.
class TNUI_EXPORT UtilityWindow : public Window {
public:
    /// For a host's expandWindow and shrinkWindow to announce; the library
    /// emits neither.
    tnRTB::Signal<Window*> expandedSignal;
    /// See expandedSignal.
    tnRTB::Signal<Window*> shrunkSignal;
    /// Emitted by dropWindow.
    tnRTB::Signal<Window*> droppedSignal;

    /// NullError for a null d; otherwise the window joins d's group.
    explicit UtilityWindow(DocumentWindow* d);
    ~UtilityWindow() override;

    /// Whether it is a utility window.
    bool isUtilityWindow() const override;
    /// The document window given to the constructor; null once it has died.
    DocumentWindow* getDocumentWindow() override;
    /// The document window.
    const DocumentWindow* getDocumentWindow() const override;

    /// Binds the host's widget w and its implementation i (see Window).
    void setQtUtilityWindow(QtUtilityWindow* w, ToolkitWindowImpl* i);
    /// The host widget stored for the window, or null.
    QtUtilityWindow* getQtUtilityWindow() const noexcept { return m_qtWindow; }

    /// Shows p (NullError when null): holds it, tells it its window and
    /// passes its messages on. A pane shown before is let go.
    void setContent(WindowPane* p);
    /// The window pane.
    WindowPane* getWindowPane() const;

    /// Raises the window while its document instance is the active one;
    /// otherwise hides it as part of the group, so that tool windows of an
    /// inactive document stay hidden until their group is raised.
    void raiseWindow() override;
    /// Emits droppedSignal.
    void dropWindow();

    /// Expands or collapses the window; nothing here.
    virtual void expandWindow(bool expand);
    /// Shrinks the window; nothing here.
    virtual void shrinkWindow();
    /// The internal state.
    virtual tnString::CString getInternalState();
    /// Sets the internal state.
    virtual void setInternalState(const tnString::CString& state);

    /// Sets whether it is fixed size.
    void setIsFixedSize(bool b) noexcept { m_isFixedSize = b; }
    /// Whether it is fixed size.
    bool getIsFixedSize() const noexcept { return m_isFixedSize; }
    /// Sets whether it allows peek.
    void setAllowPeek(bool b) noexcept { m_allowPeek = b; }
    /// Whether it allows peek.
    bool getAllowPeek() const noexcept { return m_allowPeek; }
    /// Sets whether it is peeking.
    void setPeek(bool b) noexcept { m_isPeeking = b; }
    /// Whether it is peeking.
    bool getIsPeeking() const noexcept { return m_isPeeking; }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    WatchedPointer<DocumentWindow> m_documentWindow;
    QtUtilityWindow* m_qtWindow = nullptr;
    tn::Reference<WindowPane> m_content;
    bool m_isFixedSize = true;
    bool m_allowPeek = false;
    bool m_isPeeking = false;
};

} // namespace tnUI
