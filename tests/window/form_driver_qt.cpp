// The form contract's driver for Qt, offscreen.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "form_driver.h"
#include "runtime/ui/qt/qt.h"

namespace driver {

int run(int& argc, char** argv, const std::function<int()>& tests) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return tests();
}

bool serve_until(const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }

bool activate(rt::ui::Form& form) {
    QWidget* window = rt::qt::widget(form);
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool has_focus(rt::ui::Form& form, std::size_t control) {
    return QApplication::focusWidget() == rt::qt::control(form, control);
}

void press_tab(rt::ui::Form&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

void click(rt::ui::Form& form, std::size_t control) {
    QTest::mouseClick(rt::qt::control(form, control), Qt::LeftButton);
}

void type(rt::ui::Form& form, std::size_t control, const std::string& keys) {
    QTest::keyClicks(rt::qt::control(form, control), QString::fromStdString(keys));
}

void show_message_box(rt::ui::Form& form, const std::string& text, const WhileOpen& while_open) {
    rt::qt::show_message_box(rt::qt::widget(form), QString::fromStdString(text), [&](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&] { while_open([&] { box.button(QMessageBox::Ok)->click(); }); });
    });
}

}  // namespace driver
