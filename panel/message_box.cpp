#include "panel/message_box.h"

#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace panel {
namespace {

constexpr int kLongestRun = 50;
constexpr QChar kZeroWidthSpace(0x200B);
// Room for the whole title even beside a short message.
constexpr int kMinimumTextWidth = 160;

}  // namespace

QString breakable(const QString& text) {
    QString result;
    result.reserve(text.size() + text.size() / kLongestRun);
    int run = 0;
    for (QChar c : text) {
        result += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run == kLongestRun && !c.isHighSurrogate()) {
            result += kZeroWidthSpace;
            run = 0;
        }
    }
    return result;
}

void show_message_box(QWidget* owner, const QString& text,
                      const std::function<void(QMessageBox&)>& opened) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kProgramName), breakable(text),
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);  // a field's text is never markup
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(kMinimumTextWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    if (opened) opened(box);
    box.exec();
}

}  // namespace panel
