// The message box on Qt: QMessageBox with the text alone and one OK button.
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "runtime/text.h"
#include "runtime/ui/qt/qt.h"

namespace rt::qt {

void show_message_box(QWidget* owner, const QString& text, const std::function<void(QMessageBox&)>& opened) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ui::application().title),
                    QString::fromStdString(breakable(text.toStdString())), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);  // a field's text is never markup
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(
            new QSpacerItem(ui::kMessageBoxLeastWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
            grid->rowCount(), 0, 1, grid->columnCount());
    if (opened) opened(box);
    box.exec();
}

}  // namespace rt::qt
