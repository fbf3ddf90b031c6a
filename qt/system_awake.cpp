#include "system_awake.h"

#include "message.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <functional>
#include <optional>

namespace qtui {
namespace {

const QString kWho = QStringLiteral("Thermometer");
// What the system's list of inhibitors shows as the reason.
QString why() {
    return QString::fromStdString(text::render(text::MessageId::KeepingAwake));
}

// Long enough for a busy bus; the call never blocks the window either way.
constexpr int kAnswerTimeoutMs = 2000;
// org.gnome.SessionManager.Inhibit's flag for "suspending the session".
constexpr quint32 kGnomeInhibitSuspend = 4;

class DesktopAwakeHold final : public QObject, public AwakeHold {
public:
    void hold() noexcept override {
        wanted_ = true;
        try {
            askLogind();
            askGnome();
        } catch (...) {
            // Best effort: the recording goes on without the lock.
        }
    }

    void release() noexcept override {
        wanted_ = false;
        try {
            // logind lets go once every copy of the descriptor is closed.
            logindLock_ = QDBusUnixFileDescriptor();
            if (gnomeCookie_)
                uninhibitGnome(*gnomeCookie_);
            gnomeCookie_.reset();
        } catch (...) {
        }
    }

private:
    void askLogind() {
        if (logindAsked_ || logindLock_.isValid())
            return;
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
        call << QStringLiteral("idle") << kWho << why() << QStringLiteral("block");
        logindAsked_ = true;
        whenAnswered(bus.asyncCall(call, kAnswerTimeoutMs), [this](QDBusPendingCallWatcher& answer) {
            logindAsked_ = false;
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = answer;
            if (wanted_ && reply.isValid())
                logindLock_ = reply.value();
        });
    }

    void askGnome() {
        if (gnomeAsked_ || gnomeCookie_)
            return;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
            QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Inhibit"));
        call << QStringLiteral("thermometer") << quint32(0) << why() << kGnomeInhibitSuspend;
        gnomeAsked_ = true;
        whenAnswered(bus.asyncCall(call, kAnswerTimeoutMs), [this](QDBusPendingCallWatcher& answer) {
            gnomeAsked_ = false;
            const QDBusPendingReply<quint32> reply = answer;
            if (!reply.isValid())
                return;
            if (wanted_)
                gnomeCookie_ = reply.value();
            else
                uninhibitGnome(reply.value());
        });
    }

    static void uninhibitGnome(quint32 cookie) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
            QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Uninhibit"));
        call << cookie;
        QDBusConnection::sessionBus().send(call);
    }

    void whenAnswered(const QDBusPendingCall& call,
                      std::function<void(QDBusPendingCallWatcher&)> onAnswer) {
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [onAnswer = std::move(onAnswer)](QDBusPendingCallWatcher* answer) {
                    onAnswer(*answer);
                    answer->deleteLater();
                });
    }

    bool wanted_ = false;
    bool logindAsked_ = false;
    bool gnomeAsked_ = false;
    QDBusUnixFileDescriptor logindLock_;
    std::optional<quint32> gnomeCookie_;
};

} // namespace

std::unique_ptr<AwakeHold> makeDesktopAwakeHold() {
    return std::make_unique<DesktopAwakeHold>();
}

} // namespace qtui
