#include "ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <optional>

namespace {

const char kService[] = "org.freedesktop.ScreenSaver";
const char kPath[] = "/org/freedesktop/ScreenSaver";

QDBusMessage screenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

void uninhibit(uint cookie) {
    QDBusConnection::sessionBus().send(screenSaverCall("UnInhibit") << cookie);
}

} // namespace

// Shared with the pending call, which may answer after the inhibitor has gone.
struct ScreenSaverInhibitor::Inhibition {
    std::optional<uint> cookie;
    bool released = false;
};

ScreenSaverInhibitor::ScreenSaverInhibitor(QString reason) : m_reason(std::move(reason)) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    if (!m_inhibition)
        return;
    m_inhibition->released = true;
    if (m_inhibition->cookie)
        uninhibit(*m_inhibition->cookie);
}

void ScreenSaverInhibitor::inhibit() {
    if (m_inhibition)
        return;
    m_inhibition = std::make_shared<Inhibition>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(
        screenSaverCall("Inhibit") << QCoreApplication::applicationName() << m_reason));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [inhibition = m_inhibition](QDBusPendingCallWatcher* call) {
                         const QDBusPendingReply<uint> reply = *call;
                         call->deleteLater();
                         if (reply.isError())
                             return; // no such service: the desktop has nothing to inhibit
                         if (inhibition->released)
                             uninhibit(reply.value());
                         else
                             inhibition->cookie = reply.value();
                     });
}
