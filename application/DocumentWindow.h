#pragma once

#include "../foundation/Export.h"

#include "../entity/WatchedPointer.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "Window.h"

/// The host's widget classes; the library only stores pointers to them.
class QtDocumentWindow;

namespace tnUI {

class Application;
class Document;
class DocumentInstance;
class UtilityWindow;

/// The window of one shown document instance, and the head of a window group:
/// its utility windows are raised, hidden and closed together with it. The
/// instance holds the document window; the document window holds its utility
/// windows. A host's class supplies the widget and realizeWindow().
///
/// When the bound implementation is destroyed the document window closes: the
/// instance leaves its document and every utility window of the group closes.
class TNUI_EXPORT DocumentWindow : public Window {
public:
    /// Emitted by addWindow with the added utility window.
    tnRTB::Signal<Window*> windowAddedSignal;
    /// For the host's own notices; the library never emits it.
    tnRTB::Signal<Window*> hostSignal;

    ~DocumentWindow() override;

    /// Whether it is a document window.
    bool isDocumentWindow() const override;
    DocumentWindow* getDocumentWindow() override;
    /// The document window.
    const DocumentWindow* getDocumentWindow() const override;

    /// The instance shown; null once it has died.
    DocumentInstance* getDocumentInstance() const noexcept { return m_instance; }
    /// The document.
    Document* getDocument() const;
    /// The application.
    Application* getApplication() const;

    /// Stores the host's widget, binds i and closes the window group when i
    /// is destroyed.
    void setQtDocumentWindow(QtDocumentWindow* w, ToolkitWindowImpl* i);
    /// The host widget stored for the window, or null.
    QtDocumentWindow* getQtDocumentWindow() const noexcept { return m_qtWindow; }

    /// Appends u to the group with a reference and removes it again when it
    /// closes. NullError for null, DuplicateError when u is in the group. The
    /// UtilityWindow constructor calls it.
    void addWindow(UtilityWindow* u);
    /// u closed: it leaves the group. ImplError when u is not in the group.
    void childWindowClosed(Window* u);

    /// The number of windows.
    int getNumWindows() const noexcept { return static_cast<int>(m_windows.size()); }
    /// IndexError unless 0 <= i < getNumWindows().
    UtilityWindow* getWindow(int i) const;
    /// The first utility window named name, or null.
    UtilityWindow* findWindow(const tnString::CString& name) const;
    /// The index of w in the group, or -1.
    int findWindow(const Window* w) const;

    /// Raises the group, then this window.
    void raiseWindow() override;
    /// Raises every utility window that was hidden as part of the group.
    void raiseGroup();
    /// Hides every visible utility window as part of the group.
    void hideGroup();

    /// For the host's class; the library never calls it.
    virtual void realizeWindow() = 0;
    /// Whether the window may close; a host's class answers false to refuse.
    virtual bool canCloseWindow();
    /// Asks every utility window to close, the last one first.
    virtual void closeUtilityWindows();

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// NullError for a null d; otherwise d holds this window from now on.
    explicit DocumentWindow(DocumentInstance* d);

private:
    /// The bound implementation died: the instance is told, then the group
    /// closes.
    void masterWindowClosed(Window* w);
    /// Closes every utility window and lets go of them all.
    void closeGroup();

    WatchedPointer<DocumentInstance> m_instance;
    QtDocumentWindow* m_qtWindow = nullptr;
    tn::vector<tn::Reference<UtilityWindow>> m_windows;
};

} // namespace tnUI
