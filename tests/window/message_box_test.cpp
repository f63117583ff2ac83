// The panel's real message box, shown and closed on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "runtime/text.h"
#include "runtime/ui/qt/qt.h"

namespace {

struct Shown {
    QString title, text;
    QMessageBox::Icon icon;
    int buttons;
    Qt::TextFormat format;
    QSize size;
    bool text_fits;  // the text lies wholly inside its label: nothing cut off
};

// Shows the box, notes what it shows, and presses OK.
Shown show(const QString& text) {
    Shown seen{};
    rt::qt::show_message_box(nullptr, text, [&seen](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&seen, &box] {
            auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            const QRect room = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, label->text());
            seen = {box.windowTitle(),
                    box.text(),
                    box.icon(),
                    static_cast<int>(box.buttons().size()),
                    box.textFormat(),
                    box.size(),
                    needed.width() <= room.width() && needed.height() <= room.height()};
            box.button(QMessageBox::Ok)->click();
        });
    });
    return seen;
}

TEST(MessageBox, ShowsTheTextAloneWithOneOkButton) {
    const Shown seen = show("Overflow: <b>256</b>");
    EXPECT_EQ(seen.title, "TORVA_InOut");
    EXPECT_EQ(seen.text, "Overflow: <b>256</b>");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.text_fits);
}

TEST(MessageBox, ALongNumberWrapsInsideTheScreen) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // a surrogate pair in UTF-16
    for (const QString& number :
         {QString(1000, u'9') + QChar(0x2026), QString(49, u'1') + emoji + QString(950, u'2')}) {
        const Shown seen = show("Overflow: " + number);
        const QSize screen = QGuiApplication::primaryScreen()->availableSize();
        EXPECT_LE(seen.size.width(), screen.width());
        EXPECT_LE(seen.size.height(), screen.height());
        EXPECT_TRUE(seen.text_fits);
    }
}

TEST(Breakable, AddsInvisibleBreaksOnlyToLongRuns) {
    EXPECT_EQ(rt::breakable("Overflow: 256"), "Overflow: 256");
    const QString run(120, u'9');
    const QString broken = QString::fromStdString(rt::breakable(run.toStdString()));
    EXPECT_EQ(broken.size(), 122);
    EXPECT_EQ(QString(broken).remove(QChar(0x200B)), run);
    EXPECT_EQ(broken.at(50), QChar(0x200B));
}

}  // namespace
