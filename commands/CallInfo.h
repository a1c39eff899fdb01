#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/CString.h"

namespace tnUI {

class Application;
class CommandInstance;
class CommandInstanceState;
class Document;
class DocumentInstance;
class DocumentWindow;
class Environment;
class Value;
class Window;
class WindowPane;

/// The record that accompanies every call into a command: the window pane,
/// window, document instance and command instance concerned, any of which may
/// be missing. The four are not counted; the record watches each one's
/// destruction and forgets it, announcing every such loss with one root
/// "Content" message, so that a holder (the command controller) can react.
///
/// Unlike other entities a call record can be copied and assigned; a copy
/// starts like any new entity, with no references and no listeners.
class TNUI_EXPORT CallInfo : public Entity {
public:
    /// A call in pane and window, for the document instance and the command instance; any may be null.
    CallInfo(WindowPane* pane, Window* window, DocumentInstance* documentInstance, CommandInstance* command);
    /// Copies other.
    CallInfo(const CallInfo& other);
    /// Takes other's four objects; nothing happens when they are this record's
    /// already.
    CallInfo& operator=(const CallInfo& other);
    ~CallInfo() override;

    /// Pane, window and document instance are all known (the command instance
    /// is not required).
    bool isValid() const noexcept;

    /// The window pane.
    WindowPane* getWindowPane() const noexcept { return m_windowPane; }
    /// The window.
    Window* getWindow() const noexcept { return m_window; }
    /// The document instance.
    DocumentInstance* getDocumentInstance() const noexcept { return m_documentInstance; }
    /// The command instance.
    CommandInstance* getCommandInstance() const noexcept { return m_commandInstance; }

    /// The window's document window; null without a window.
    DocumentWindow* getDocumentWindow() const;
    /// The document instance's document; null without a document instance.
    Document* getDocument() const;
    /// The document instance's application or, without a document instance,
    /// the application of the program; null when there is none.
    Application* getApplication() const;
    /// The document instance's current environment; null without a document
    /// instance.
    Environment* getEnvironment() const;
    /// The value named name as the document instance finds it, looking in its
    /// document and the application too; null without a document instance.
    Value* getValue(const tnString::CString& name) const;
    /// The command instance's state for the document instance; null without a
    /// command instance or without a state.
    CommandInstanceState* getCommandInstanceState() const;

    /// other is not null and names the same command instance.
    bool isSameCommandInstance(const CallInfo* other) const noexcept;
    /// The command instance's answers; false without one.
    bool isCommandMomentary() const;
    /// Whether the command instance is continuous; false without one.
    bool isCommandContinuous() const;
    /// The command instance's answer; false without one.
    bool actsLikeMomentary() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    /// One of the four died: announced with a "Content" message.
    void _forgotten();
    void _setCallbacks() noexcept;

    WatchedPointer<WindowPane> m_windowPane;
    WatchedPointer<Window> m_window;
    WatchedPointer<DocumentInstance> m_documentInstance;
    WatchedPointer<CommandInstance> m_commandInstance;
};

} // namespace tnUI
