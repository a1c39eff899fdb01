#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedLabeledEntity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/Signal.h"

namespace tnUI {

class CommandController;
class CommandInstance;
class DocumentWindow;
class ToolkitImpl;
class ToolkitWindowImpl;

/// The model side of a top-level window. The widget belongs to the host,
/// which binds a ToolkitWindowImpl to the window to raise, hide and close it;
/// the window counts as closed when that implementation is destroyed. The
/// window does not own its implementation and forgets it when it dies.
class TNUI_EXPORT Window : public NamedLabeledEntity {
public:
    /// Emitted by raiseWindow.
    tnRTB::Signal<Window*> raisedSignal;
    /// Emitted by hideWindow.
    tnRTB::Signal<Window*> hiddenSignal;
    /// Emitted when the toolkit implementation is destroyed.
    tnRTB::Signal<Window*> closedSignal;

    /// Whether it is a document window.
    virtual bool isDocumentWindow() const;
    /// Whether it is a utility window.
    virtual bool isUtilityWindow() const;

    /// Raises the widget (when bound), clears the hidden-by-group mark and
    /// emits raisedSignal.
    virtual void raiseWindow();
    /// Hides the widget (when bound) and emits hiddenSignal.
    virtual void hideWindow();
    /// Closes the widget when bound; otherwise nothing.
    virtual void closeWindow();

    /// The document window this window belongs to, or null.
    virtual DocumentWindow* getDocumentWindow() = 0;
    /// The document window.
    virtual const DocumentWindow* getDocumentWindow() const = 0;

    /// The bound toolkit implementation, or null.
    ToolkitWindowImpl* getToolkitImpl() const noexcept { return m_impl; }
    /// The widget's visibility; false while unbound.
    bool isVisible() const;

    /// Hides the window and marks it as hidden together with its group.
    void hideWindowAsPartOfGroup();
    /// Clears the mark of hideWindowAsPartOfGroup.
    void clearHideWindowAsPartOfGroup() noexcept { m_hiddenByGroup = false; }
    /// Whether the window was hidden together with its group.
    bool hiddenByGroup() const noexcept { return m_hiddenByGroup; }

    /// The controller of the document instance of this window's document
    /// window. NullError when the window belongs to no document instance.
    CommandController& getCommandController() const;
    /// Selects c on that controller with this window; null c raises NullError.
    void selectCommand(CommandInstance* c);

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    Window();

    /// Binds the implementation i (null unbinds) and watches its destruction.
    /// A previously bound implementation is no longer watched.
    void provideToolkitImpl(ToolkitWindowImpl* i);
    /// The bound implementation died: forget it and emit closedSignal. Run
    /// by the watch on the implementation, with null, since it is gone.
    void destroyedImpl(ToolkitImpl* i);

private:
    void _implLost() { destroyedImpl(nullptr); }

    WatchedPointer<ToolkitWindowImpl> m_impl;
    bool m_hiddenByGroup = false;
};

} // namespace tnUI
