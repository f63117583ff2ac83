// The Qt side of the start: a message handler that turns Qt's abort for a
// missing display into one line and status 1, and the application's
// name, version and desktop file name for window managers and Wayland.
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/startup.h"

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif
#ifndef TORVA_APP_ID
#define TORVA_APP_ID "torva-inout"
#endif

namespace rt::startup {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

QtMessageHandler previous_handler = nullptr;
std::vector<HeldMessage> held;
bool display_refused = false;

// What Qt's X11 and Wayland platforms say when their display is not there.
constexpr const char* kRefusals[] = {"could not connect to display", "Failed to create wl_display"};

void on_start_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    for (const char* refusal : kRefusals)
        display_refused = display_refused || text.contains(QLatin1String(refusal));
    if (type != QtFatalMsg) {
        held.push_back({type, context.category ? context.category : "", text});
        return;
    }
    const std::string reason = text.section(QLatin1Char('\n'), 0, 0).toStdString();
    const Displays displays{std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")};
    std::fprintf(stderr, "%s\n", failure_line(displays, display_refused, reason).c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

void guard_window_start() { previous_handler = qInstallMessageHandler(on_start_message); }

void started() {
    qInstallMessageHandler(previous_handler);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        previous_handler(message.type, context, message.text);
    }
    held.clear();
    QGuiApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QGuiApplication::setApplicationVersion(QStringLiteral(TORVA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(TORVA_APP_ID));
}

}  // namespace rt::startup
