// torva-inout: the device panel.
#include <QApplication>
#include <QPointer>
#include <iostream>

#include "panel/form1.h"
#include "panel/message_box.h"
#include "runtime/message_box.h"
#include "runtime/startup.h"

int main(int argc, char** argv) {
    if (const auto status = rt::startup::handle_command_line(argc, argv, std::cout)) return *status;
    rt::startup::guard_window_start();
    QApplication app(argc, argv);
    rt::startup::started();
    panel::Form1 form;
    QPointer<QWidget> owner(&form);
    rt::set_message_box_handler([owner](const std::string& text) {
        panel::show_message_box(owner, QString::fromStdString(text));
    });
    form.show();
    return QApplication::exec();
}
