#include "platform/WindowFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr),
        &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<xcb_atom_t> atomList(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64),
            nullptr),
        &free);
    if (!reply || reply->format != 32)
        return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {atoms, atoms + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t)};
}

void setAtomList(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                 const std::vector<xcb_atom_t>& atoms)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());
}

void addAtom(std::vector<xcb_atom_t>& atoms, xcb_atom_t atom, bool first)
{
    if (std::ranges::find(atoms, atom) == atoms.end())
        atoms.insert(first ? atoms.begin() : atoms.end(), atom);
}

// Window managers go by the window type first and by the Motif hints Qt
// derives from its flags second, if at all: openbox lets neither take away
// minimise, and gives full screen to every normal window and dialog. Typed
// as a toolbar, the window keeps its caption and close box and gets none of
// the three, there and elsewhere; the types Qt chose stay behind it for
// window managers that do not know that one.
void writeX11Hints(xcb_connection_t* connection, xcb_window_t window, FrameKind kind)
{
    const xcb_atom_t typeProperty = internAtom(connection, "_NET_WM_WINDOW_TYPE");
    std::vector<xcb_atom_t> types = atomList(connection, window, typeProperty);
    addAtom(types, internAtom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"), true);
    setAtomList(connection, window, typeProperty, types);

    if (kind == FrameKind::Splash) {
        // Read when the window is mapped; Qt adds its own states to these.
        const xcb_atom_t stateProperty = internAtom(connection, "_NET_WM_STATE");
        std::vector<xcb_atom_t> states = atomList(connection, window, stateProperty);
        addAtom(states, internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"), false);
        addAtom(states, internAtom(connection, "_NET_WM_STATE_SKIP_PAGER"), false);
        setAtomList(connection, window, stateProperty, states);
    }
    xcb_flush(connection);
}

// Writes the hints onto each native window the widget gets, before it is
// mapped: Qt replaces a widget's native window when, for example, its flags
// change after it was first shown.
class X11FrameHints : public QObject {
public:
    X11FrameHints(QWidget& window, FrameKind kind, xcb_connection_t* connection)
        : QObject(&window)
        , kind_(kind)
        , connection_(connection)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if ((event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
            && window->testAttribute(Qt::WA_WState_Created))
            writeX11Hints(connection_, xcb_window_t(window->winId()), kind_);
        return false;
    }

private:
    FrameKind kind_;
    xcb_connection_t* connection_;
};

} // namespace

void setWindowFrame(QWidget& window, FrameKind kind)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags &= ~(Qt::WindowMinMaxButtonsHint | Qt::WindowFullscreenButtonHint);
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
    window.setWindowFlags(flags);
    if (kind == FrameKind::Splash) {
        // A window that names no icon gets the window manager's stock one in
        // its caption (openbox draws it); a fully transparent icon leaves
        // that place empty there and shows nothing anywhere else.
        QPixmap nothing(16, 16);
        nothing.fill(Qt::transparent);
        window.setWindowIcon(QIcon(nothing));
    }
    // Other platforms answer with no connection.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        new X11FrameHints(window, kind, x11->connection());
}
