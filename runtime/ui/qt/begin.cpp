// Qt's begin step for the start routine, and Qt as its window system: a
// message handler that turns Qt's abort for a missing display or platform
// plugin into one line and status 1, the application's name, version and desktop file
// name for window managers and Wayland, its message box and event loop.
#include <QApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "runtime/ui/qt/qt.h"
#include "runtime/ui/start.h"

namespace rt::qt {
namespace {

using start::Displays;
using start::failure_line;

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
    std::string said = text.toStdString();
    for (const HeldMessage& message : held) said += '\n' + message.text.toStdString();
    const Displays displays{std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")};
    const std::string line = failure_line(ui::application().command, displays, display_refused, said);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

// Until started() is called, a failure to reach the display or to start a
// platform plugin ends the program with failure_line() and status 1, and Qt's other start messages
// are held back; started() passes them on and names the application.
void guard_window_start() { previous_handler = qInstallMessageHandler(on_start_message); }

void started() {
    qInstallMessageHandler(previous_handler);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        previous_handler(message.type, context, message.text);
    }
    held.clear();
    QGuiApplication::setApplicationName(QString::fromUtf8(ui::application().title));
    QGuiApplication::setApplicationVersion(QString::fromUtf8(ui::application().version));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(ui::application().desktop_file));
}

// Qt Widgets as the start routine's window system: the application
// object, QMessageBox over the form, and Qt's event loop.
class QtWindowSystem : public start::WindowSystem {
public:
    QtWindowSystem(int& argc, char** argv) : app_(argc, argv) { started(); }

    void message_box(ui::Form* owner, const std::string& text) override {
        show_message_box(owner ? widget(*owner) : nullptr, QString::fromStdString(text));
    }

    int loop(ui::Form&) override { return QApplication::exec(); }

private:
    // Guards the application object's start, which comes after it.
    struct Guard {
        Guard() { guard_window_start(); }
    } guard_;
    QApplication app_;
};

}  // namespace
}  // namespace rt::qt

namespace rt::start {

std::unique_ptr<WindowSystem> begin_window_system(int& argc, char** argv) {
    return std::make_unique<qt::QtWindowSystem>(argc, argv);
}

}  // namespace rt::start
