// torva-inout: the device panel.
#include <QApplication>
#include <QPointer>

#include "panel/form1.h"
#include "panel/message_box.h"
#include "runtime/message_box.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(panel::kProgramName));
    panel::Form1 form;
    QPointer<QWidget> owner(&form);
    rt::set_message_box_handler([owner](const std::string& text) {
        panel::show_message_box(owner, QString::fromStdString(text));
    });
    form.show();
    return QApplication::exec();
}
