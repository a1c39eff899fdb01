#include "Application.h"

#include "../commands/CommandController.h"
#include "../commands/CommandDefn.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../foundation/AppMain.h"
#include "../foundation/Filename.h"
#include "../foundation/IdleTasks.h"
#include "../menus/CommandGroup.h"
#include "../values/BoolValue.h"
#include "Constants.h"
#include "Document.h"
#include "DocumentInstance.h"
#include "DocumentWindow.h"
#include "Environment.h"
#include "EventFilter.h"

#include <cstdint>
#include <ctime>

namespace tnUI {

namespace {

Application* g_application = nullptr;
tnString::IString g_fontName;
int g_normalFontSize = 0;
int g_smallFontSize = 0;

// Empties container before its entries are released.
template <class Container>
void releaseAll(Container& container)
{
    Container released;
    released.swap(container);
    released.clear();
}

} // namespace

Application::Application()
{
    if (g_application)
        throw ImplError();
    m_constants = new Constants;
    m_controller = new CommandController(nullptr);
    // Made before the application is recorded, so that a refusal leaves the
    // existing state as it was.
    m_eventFilterManager = new EventFilterManager;
    m_activeInstance.setCallback<&Application::_activeInstanceLost>(this);
    g_application = this;
}

Application::~Application()
{
    m_documents.clear();
    m_eventFilterManager = nullptr;
    if (g_application == this)
        g_application = nullptr;
    m_controller = nullptr;
    m_menuBarName = tnString::CString();
    m_resourceLocation = tnString::IString();
    m_constants = nullptr;
    // Each registry is emptied before its entries may die, so that their
    // destruction listeners never see one half-cleared.
    releaseAll(m_menus);
    releaseAll(m_values);
    releaseAll(m_commands);
    m_environments.clear();
}

Application& Application::getInstance()
{
    if (!g_application)
        throw ImplError();
    return *g_application;
}

Application* Application::findInstance() noexcept
{
    return g_application;
}

bool Application::openInitialDocument(const tnString::IString& path)
{
    (void)path;
    return false;
}

void Application::addCommand(CommandDefn* c)
{
    registerNamed(m_commands, c);
}

void Application::addValue(Value* v)
{
    registerNamed(m_values, v);
}

void Application::addMenu(CommandGroup* m)
{
    registerNamed(m_menus, m);
}

CommandDefn* Application::getCommand(const tnString::CString& name) const
{
    return lookUpNamed(m_commands, name);
}

Value* Application::getValue(const tnString::CString& name) const
{
    return lookUpNamed(m_values, name);
}

CommandGroup* Application::getMenu(const tnString::CString& name) const
{
    return lookUpNamed(m_menus, name);
}

void Application::setMenuBar(const tnString::CString& name)
{
    if (!getMenu(name))
        throw ImplError();
    m_menuBarName = name;
}

CommandGroup* Application::getMenuBar() const
{
    return getMenu(m_menuBarName);
}

Constants& Application::getConstants() const
{
    return *m_constants;
}

CommandController& Application::getCommandController() const
{
    return *m_controller;
}

void Application::addDocument(Document* d)
{
    m_documents.add(d);
}

Document* Application::getDocument(int i) const
{
    return m_documents.get(i);
}

int Application::findDocument(const tnString::CString& name) const
{
    return m_documents.find(name);
}

int Application::findDocument(const Document* d) const
{
    return m_documents.find(d);
}

void Application::removeDocument(int i)
{
    m_documents.remove(i);
}

void Application::addEnvironment(Environment* e)
{
    m_environments.addNamed(e);
}

Environment* Application::getEnvironment(int i) const
{
    return m_environments.get(i);
}

int Application::findEnvironment(const tnString::CString& name) const
{
    return m_environments.find(name);
}

void Application::setActiveDocumentInstance(DocumentInstance* p)
{
    if (p == m_activeInstance)
        return;
    appout()(1, "Setting active document instance to: %p\n", static_cast<void*>(p));
    // The listeners of the notices may let go of either instance, or of the
    // application.
    const tn::Reference<Application> self = tn::keepAlive(this);
    const tn::Reference<DocumentInstance> incoming = tn::keepAlive(p);
    if (DocumentInstance* old = m_activeInstance) {
        const tn::Reference<DocumentInstance> heldOld = tn::keepAlive(old);
        old->setActiveInstance(false);
        // A listener may have chosen another active instance meanwhile.
        if (m_activeInstance != old)
            return;
    }
    m_activeInstance = p;
    if (p)
        p->setActiveInstance(true);
}

void Application::_activeInstanceLost()
{
    if (m_documents.empty())
        exitSignal.fire();
}

void Application::setActiveEnvironment(Environment* e)
{
    if (e == m_activeEnvironment)
        return;
    // The listeners of the notices may let go of either environment, of the
    // active instance or of the application.
    const tn::Reference<Application> self = tn::keepAlive(this);
    const tn::Reference<Environment> incoming = tn::keepAlive(e);
    if (Environment* old = m_activeEnvironment) {
        const tn::Reference<Environment> heldOld = tn::keepAlive(old);
        old->setActiveEnvironment(false);
        // A listener may have chosen another active environment meanwhile.
        if (m_activeEnvironment != old)
            return;
    }
    m_activeEnvironment = e;
    if (e) {
        // Not counted, but watched: a host's environment that is not
        // registered may die while active.
        e->setActiveEnvironment(true);
        if (m_activeEnvironment != e)
            return;
    }
    if (DocumentInstance* instance = m_activeInstance) {
        const tn::Reference<DocumentInstance> held = tn::keepAlive(instance);
        instance->setEnvironment(e);
    }
}

void Application::selectCommand(CommandInstance* c)
{
    if (!c)
        return;
    DocumentWindow* window = m_activeInstance ? m_activeInstance->getDocumentWindow() : nullptr;
    if (window)
        window->selectCommand(c);
    else
        m_controller->select(nullptr, c);
}

void Application::startInteraction(const tnString::CString& name)
{
    interactionSignal.fire(0, name);
}

void Application::stopInteraction(const tnString::CString& name)
{
    interactionSignal.fire(1, name);
}

void Application::forceExit()
{
    m_forceExit = true;
    exitSignal.fire();
}

// The static analyzer does not follow reference counts: it takes the
// release of the reference that setActiveDocumentInstance holds on this
// application for the last one, although closeAllWindows holds another. The
// sanitizer build runs these paths, hosts that let go of the application
// while its windows close included.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDelete)

bool Application::closeWindow(Document* d, const DocumentInstance* skip)
{
    // Closing a window may take the instance and even the document out of
    // the lists; the document lives until the walk is over, and walking
    // downwards keeps the remaining indexes valid.
    const tn::Reference<Document> heldDocument(d);
    for (int i = d->getNumInstances() - 1; i >= 0; --i) {
        if (i >= d->getNumInstances())
            continue;
        DocumentInstance* instance = d->getInstance(i);
        const tn::Reference<DocumentWindow> window(instance->getDocumentWindow());
        if (instance == skip || !window)
            continue;
        setActiveDocumentInstance(instance);
        if (!window->canCloseWindow() && !m_forceExit) {
            cancelExit();
            return false;
        }
        window->closeWindow();
    }
    return true;
}

bool Application::closeAllWindows()
{
    // The host may let go of the application while its windows close.
    const tn::Reference<Application> self = tn::keepAlive(this);
    // Only compared, never followed: the instance may die while closing.
    const DocumentInstance* active = m_activeInstance;
    if (active && active->getDocument() && !closeWindow(active->getDocument(), nullptr))
        return false;
    for (int i = getNumDocuments() - 1; i >= 0; --i) {
        if (i >= getNumDocuments())
            continue;
        if (!closeWindow(getDocument(i), active))
            return false;
    }
    return true;
}

// NOLINTEND(clang-analyzer-cplusplus.NewDelete)

void Application::requestModal()
{
    modalSignal.fire(true);
}

void Application::cancelModal()
{
    modalSignal.fire(false);
}

void Application::postedMenu(bool posted)
{
    if (posted) {
        if (++m_menuPostCount == 1)
            menuPostedSignal.fire(true);
    } else {
        if (--m_menuPostCount == 0)
            menuPostedSignal.fire(false);
    }
}

void Application::runIdleTask()
{
    tnUtil::getIdleTasks().run();
}

void Application::updateLastInputTime()
{
    m_lastInputTime = static_cast<std::uint32_t>(std::time(nullptr));
}

void Application::setFontName(const tnString::IString& name)
{
    g_fontName = name;
}

tnString::IString Application::getFontName()
{
    return g_fontName;
}

void Application::setNormalFontSize(int size) noexcept
{
    g_normalFontSize = size;
}

int Application::getNormalFontSize() noexcept
{
    return g_normalFontSize;
}

void Application::setSmallFontSize(int size) noexcept
{
    g_smallFontSize = size;
}

int Application::getSmallFontSize() noexcept
{
    return g_smallFontSize;
}

void Application::setResourceLocation(const tnString::IString& path)
{
    const tnString::IString base = tnOS::AppMain::getInstance().getBaseLocation();
    m_resourceLocation = tnOS::Filename::join(tnOS::Filename::dirname(base), path);
}

tnString::IString Application::getResourceFile(const tnString::IString& name)
{
    const Application& application = getInstance();
    if (application.m_resourceLocation.isEmpty())
        throw ImplError();
    return tnOS::Filename::join(application.m_resourceLocation, name);
}

bool Application::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    file.printf(level + 1, "%d documents\n", getNumDocuments());
    for (const auto& d : m_documents)
        d->dump(file, level + 2, nullptr);
    if (m_activeInstance)
        m_activeInstance->dump(file, level + 1, "current instance");
    file.printf(level + 1, "%d environments\n", getNumEnvironments());
    for (const auto& e : m_environments)
        e->dump(file, level + 2, nullptr);
    file.printf(level + 1, "%d commands\n", getNumCommands());
    for (ApplicationCommandIterator it(this); it.valid(); it.next())
        it.get()->dump(file, level + 2, nullptr);
    file.printf(level + 1, "%d values\n", getNumValues());
    for (ApplicationValueIterator it(this); it.valid(); it.next())
        it.get()->dump(file, level + 2, nullptr);
    file.printf(level + 1, "%d menus\n", getNumMenus());
    for (ApplicationMenuIterator it(this); it.valid(); it.next())
        it.get()->dump(file, level + 2, nullptr);
    return true;
}

ApplicationCommandIterator::ApplicationCommandIterator(const Application* application)
    : RegistryIterator(application ? &application->m_commands : nullptr)
{}

ApplicationValueIterator::ApplicationValueIterator(const Application* application)
    : RegistryIterator(application ? &application->m_values : nullptr)
{}

ApplicationMenuIterator::ApplicationMenuIterator(const Application* application)
    : RegistryIterator(application ? &application->m_menus : nullptr)
{}

BoolValue* registerBool(Application* owner, const tnString::CString& name, bool initial)
{
    return registerBoolIn(owner, name, initial);
}

} // namespace tnUI
