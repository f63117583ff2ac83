// torva-inout: the device panel.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>

#include "panel/form1.h"
#include "runtime/message_box.h"

namespace {

constexpr const char* kProgramName = "TORVA_InOut";
// Wide enough that a short message leaves room for the whole title.
constexpr const char* kMessageStyle = "QLabel { min-width: 160px; }";

// Modal, the text alone, a single OK button, no icon; ticks go on meanwhile.
void show_message_box(QWidget* owner, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kProgramName), QString::fromStdString(text),
                    QMessageBox::Ok, owner);
    box.setStyleSheet(QString::fromUtf8(kMessageStyle));
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kProgramName));
    panel::Form1 form;
    QPointer<QWidget> owner(&form);
    rt::set_message_box_handler([owner](const std::string& text) { show_message_box(owner, text); });
    form.show();
    return QApplication::exec();
}
