#include "BlockedWindowClose.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibrary>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The X protocol's client message as it comes off the wire; Qt hands it over as an xcb event.
struct ClientMessage {
    std::uint8_t responseType;
    std::uint8_t format;
    std::uint16_t sequence;
    std::uint32_t window;
    std::uint32_t type;
    std::uint32_t data[5];
};
constexpr std::uint8_t ClientMessageType = 33;
// The top bit marks an event another client sent, as the window manager does.
constexpr std::uint8_t SentEventBit = 0x80;

struct AtomCookie {
    unsigned int sequence;
};
struct AtomReply {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t length;
    std::uint32_t atom;
};
using InternAtom = AtomCookie (*)(void*, std::uint8_t, std::uint16_t, const char*);
using InternAtomReply = AtomReply* (*)(void*, AtomCookie, void**);

// libxcb is in the process already, loaded by Qt's X11 platform plug-in; nothing needs linking for two calls.
quint32 internAtom(void* connection, const char* name, InternAtom intern, InternAtomReply reply)
{
    AtomReply* answer = reply(connection, intern(connection, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    if (!answer)
        return 0;
    const quint32 atom = answer->atom;
    std::free(answer);
    return atom;
}

} // namespace

BlockedWindowClose::BlockedWindowClose(QWidget* window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

BlockedWindowClose::~BlockedWindowClose()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void BlockedWindowClose::setCloseAtoms(quint32 protocols, quint32 deleteWindow)
{
    m_protocols = protocols;
    m_deleteWindow = deleteWindow;
}

bool BlockedWindowClose::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked))
        m_blocked = event->type() == QEvent::WindowBlocked;
    return QObject::eventFilter(watched, event);
}

bool BlockedWindowClose::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!m_blocked || !m_window || eventType != "xcb_generic_event_t" || !isCloseRequest(message))
        return false;
    // Later, out of the window system's event: the close may show an alert or end the event loop.
    QTimer::singleShot(0, m_window, [window = m_window] {
        if (window)
            window->close();
    });
    return true;
}

bool BlockedWindowClose::isCloseRequest(const void* message)
{
    const auto* event = static_cast<const ClientMessage*>(message);
    if ((event->responseType & ~SentEventBit) != ClientMessageType || event->format != 32)
        return false;
    if (!m_window->testAttribute(Qt::WA_WState_Created) || event->window != m_window->winId())
        return false;
    if (!m_deleteWindow && !resolveAtoms())
        return false;
    return event->type == m_protocols && event->data[0] == m_deleteWindow;
}

bool BlockedWindowClose::resolveAtoms()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    QLibrary xcb(QStringLiteral("xcb"), 1);
    auto intern = reinterpret_cast<InternAtom>(xcb.resolve("xcb_intern_atom"));
    auto reply = reinterpret_cast<InternAtomReply>(xcb.resolve("xcb_intern_atom_reply"));
    if (!intern || !reply)
        return false;
    setCloseAtoms(internAtom(x11->connection(), "WM_PROTOCOLS", intern, reply),
                  internAtom(x11->connection(), "WM_DELETE_WINDOW", intern, reply));
    return m_deleteWindow != 0;
}
