#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedLabeledEntity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/CString.h"
#include "../foundation/Containers.h"
#include "../foundation/Event.h"
#include "../foundation/IString.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "../values/Value.h"
#include "Registry.h"

namespace tnUI {

class CommandController;
class CommandDefn;
class CommandGroup;
class CommandInstance;
class Constants;
class Document;
class DocumentInstance;
class Environment;
class EventFilterManager;

/// The one application object of a running program: the registries of
/// command definitions, application values and menus, the lists of documents
/// and environments, the active document instance and environment, and the
/// process-wide interface state that toolkit bindings need (exit, modality,
/// posted menus, input time, tablet device, fonts, resources, constants).
///
/// The host makes exactly one before anything else of this kind, and destroys
/// it last; everything else reaches it through getInstance().
class TNUI_EXPORT Application : public NamedLabeledEntity {
public:
    /// Emitted by startInteraction (0) and stopInteraction (1) with the
    /// interaction's name.
    tnRTB::Signal<int, const tnString::CString&> interactionSignal;
    /// For the host's own notices; the library never emits it.
    tnRTB::Signal<int, const tnString::CString&> hostSignal;
    /// True when the first menu is posted, false when the last one goes.
    tnRTB::Signal<bool> menuPostedSignal;
    /// True from requestModal, false from cancelModal.
    tnRTB::Signal<bool> modalSignal;
    /// Emitted by forceExit, and when the active instance dies while no
    /// document is left.
    tnRTB::Signal<> exitSignal;

    /// ImplError when an application exists already.
    Application();
    ~Application() override;

    /// ImplError when no application exists.
    static Application& getInstance();
    /// The application, or null when none exists.
    static Application* findInstance() noexcept;

    /// Opens an initial document from path; a host's class replaces it. False
    /// here.
    virtual bool openInitialDocument(const tnString::IString& path);

    /// Registration under the object's name. NullError for a null or nameless
    /// object, DuplicateError for a name already registered in that registry.
    /// Nothing is taken out of the registries before the application dies.
    void addCommand(CommandDefn* c);
    /// The same for application values.
    void addValue(Value* v);
    /// The same for menus (command groups).
    void addMenu(CommandGroup* m);
    /// The registered entity of that name, or null.
    CommandDefn* getCommand(const tnString::CString& name) const;
    /// The registered value of that name, or null.
    Value* getValue(const tnString::CString& name) const;
    /// The registered menu of that name, or null.
    CommandGroup* getMenu(const tnString::CString& name) const;
    /// The number of commands.
    int getNumCommands() const noexcept { return static_cast<int>(m_commands.size()); }
    /// The number of values.
    int getNumValues() const noexcept { return static_cast<int>(m_values.size()); }
    /// The number of menus.
    int getNumMenus() const noexcept { return static_cast<int>(m_menus.size()); }

    /// ImplError unless a menu of that name is registered.
    void setMenuBar(const tnString::CString& name);
    /// The menu bar, or null while none is set.
    CommandGroup* getMenuBar() const;
    /// The constants.
    Constants& getConstants() const;
    /// The application's own controller, used while no document window is
    /// active.
    CommandController& getCommandController() const;

    /// NullError for null, DuplicateError for a document already listed. The
    /// Document constructor calls it.
    void addDocument(Document* d);
    /// The number of documents.
    int getNumDocuments() const noexcept { return m_documents.size(); }
    /// IndexError unless 0 <= i < getNumDocuments().
    Document* getDocument(int i) const;
    /// The index of the first document named name, or -1.
    int findDocument(const tnString::CString& name) const;
    /// The index of d, or -1.
    int findDocument(const Document* d) const;
    /// Lets go of the i-th document (IndexError unless it exists).
    void removeDocument(int i);

    /// NullError for a null or nameless environment, DuplicateError for a
    /// name already registered.
    void addEnvironment(Environment* e);
    /// The number of environments.
    int getNumEnvironments() const noexcept { return m_environments.size(); }
    /// IndexError unless 0 <= i < getNumEnvironments().
    Environment* getEnvironment(int i) const;
    /// The index of the environment named name, or -1.
    int findEnvironment(const tnString::CString& name) const;

    /// The active document instance.
    DocumentInstance* getActiveDocumentInstance() const noexcept { return m_activeInstance; }
    /// Tells the old instance it stops being active, then the new one that it
    /// becomes active. The active instance is not counted: its death makes
    /// the application forget it.
    void setActiveDocumentInstance(DocumentInstance* p);
    /// The active environment.
    Environment* getActiveEnvironment() const noexcept { return m_activeEnvironment; }
    /// Tells the old and the new environment, then switches the active
    /// instance to e. The active environment is not counted: its death makes
    /// the application forget it.
    void setActiveEnvironment(Environment* e);

    /// Selects c through the active instance's document window, or on the
    /// application's controller without one. Null c: nothing.
    void selectCommand(CommandInstance* c);

    /// Announce the start and the end of a named interaction on interactionSignal.
    void startInteraction(const tnString::CString& name);
    /// See startInteraction().
    void stopInteraction(const tnString::CString& name);

    /// Marks that the host wants to exit; windows may still refuse to close.
    void requestExit() noexcept { m_requestingExit = true; }
    /// Withdraws an exit request.
    void cancelExit() noexcept { m_requestingExit = false; }
    /// Whether it is requesting exit.
    bool isRequestingExit() const noexcept { return m_requestingExit; }
    /// From now on no window can refuse to close; emits exitSignal.
    void forceExit();
    /// Whether it is force exit.
    bool isForceExit() const noexcept { return m_forceExit; }
    /// Closes every document window, the active instance's document first.
    /// A window that refuses (unless the exit is forced) ends the closing and
    /// withdraws a pending exit request; false then.
    bool closeAllWindows();

    /// Enter and leave a modal state of the host (a dialog); emit modalSignal.
    void requestModal();
    /// See requestModal().
    void cancelModal();
    /// Counts posted menus; only the outermost one is announced.
    void postedMenu(bool posted);
    /// Whether it is menu posted.
    bool isMenuPosted() const noexcept { return m_menuPostCount > 0; }

    /// Runs the pending idle work of the process.
    void runIdleTask();
    /// Records the current calendar time in seconds (its low 32 bits).
    void updateLastInputTime();
    /// The time stamp of the last updateLastInputTime, 0 before the first.
    unsigned long getLastInputSeconds() const noexcept { return m_lastInputTime; }

    /// Sets the tablet device.
    void setTabletDevice(TabletEvent::DeviceType device) noexcept { m_tabletDevice = device; }
    /// The kind of tablet device in proximity (setTabletDevice), NoDevice for none.
    TabletEvent::DeviceType tabletDeviceInProximity() const noexcept { return m_tabletDevice; }
    /// Whether it is tablet device in proximity.
    bool isTabletDeviceInProximity() const noexcept { return m_tabletDevice != TabletEvent::NoDevice; }
    /// Sets the warm startup.
    void setWarmStartup(bool warm) noexcept { m_warmStartup = warm; }
    /// The warm startup.
    bool getWarmStartup() const noexcept { return m_warmStartup; }

    /// Process-wide font settings; they may be set before the application
    /// exists.
    static void setFontName(const tnString::IString& name);
    /// The font name.
    static tnString::IString getFontName();
    /// Sets the normal font size.
    static void setNormalFontSize(int size) noexcept;
    /// The normal font size.
    static int getNormalFontSize() noexcept;
    /// Sets the small font size.
    static void setSmallFontSize(int size) noexcept;
    /// The small font size.
    static int getSmallFontSize() noexcept;

    /// The resource directory becomes path, relative to the directory of the
    /// program's executable.
    void setResourceLocation(const tnString::IString& path);
    /// The resource location.
    const tnString::IString& getResourceLocation() const noexcept { return m_resourceLocation; }
    /// The path of resource file name. ImplError without an application or
    /// before setResourceLocation.
    static tnString::IString getResourceFile(const tnString::IString& name);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class ApplicationCommandIterator;
    friend class ApplicationValueIterator;
    friend class ApplicationMenuIterator;

    /// Closes the document windows of d's instances, the last first, skipping
    /// skip; false when a window refused.
    bool closeWindow(Document* d, const DocumentInstance* skip);
    /// The active instance died.
    void _activeInstanceLost();

    IndexedRegistry<Document> m_documents;
    IndexedRegistry<Environment> m_environments;
    NameTable<CommandDefn> m_commands;
    NameTable<Value> m_values;
    NameTable<CommandGroup> m_menus;
    WatchedPointer<DocumentInstance> m_activeInstance;
    tn::Reference<Constants> m_constants;
    WatchedPointer<Environment> m_activeEnvironment;
    tnString::IString m_resourceLocation;
    tnString::CString m_menuBarName;
    tn::Reference<CommandController> m_controller;
    int m_menuPostCount = 0;
    tn::Reference<EventFilterManager> m_eventFilterManager;
    bool m_requestingExit = false;
    bool m_forceExit = false;
    bool m_warmStartup = false;
    TabletEvent::DeviceType m_tabletDevice = TabletEvent::NoDevice;
    unsigned long m_lastInputTime = 0;
};

/// Walks the registered command definitions, in the table's order. It must
/// not outlive a registration.
class TNUI_EXPORT ApplicationCommandIterator : public RegistryIterator<CommandDefn> {
public:
    /// NullError for a null application.
    explicit ApplicationCommandIterator(const Application* application);
};

/// Walks the registered application values.
class TNUI_EXPORT ApplicationValueIterator : public RegistryIterator<Value> {
public:
    /// NullError for a null application.
    explicit ApplicationValueIterator(const Application* application);
};

/// Walks the registered menus.
class TNUI_EXPORT ApplicationMenuIterator : public RegistryIterator<CommandGroup> {
public:
    /// NullError for a null application.
    explicit ApplicationMenuIterator(const Application* application);
};

} // namespace tnUI
