#include "QmarkCompositing.h"

#include <QByteArray>
#include <QGuiApplication>

#ifdef TNUI_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

#ifdef TNUI_HAVE_XCB
// The X screen number of the display the application talks to: the part
// after the dot in DISPLAY (":0.1" is screen 1), else 0. Qt's screens of one
// X display are outputs of that one X screen.
int xScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

// Whether some client owns the compositing manager's selection.
bool x11CompositorRunning()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(xScreenNumber());
    const auto freeReply = [](void* reply) { std::free(reply); };
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(freeReply)> atom(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr),
        freeReply);
    // No such atom yet: no compositing manager ever claimed the selection.
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(freeReply)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr), freeReply);
    return owner && owner->owner != XCB_WINDOW_NONE;
}
#endif

} // namespace

bool QmarkCompositing::isActive()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
#ifdef TNUI_HAVE_XCB
    return x11CompositorRunning();
#else
    return false;
#endif
}
