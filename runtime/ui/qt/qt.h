// The Qt Widgets realisation of the window layer: what the start routine
// and the window's own tests reach beyond the portable interface.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

#include "runtime/ui/shared.h"

class QMessageBox;
class QSvgRenderer;

namespace rt::qt {

// The top-level widget of a form built by create_form, and the widget of
// one of its controls.
QWidget* widget(ui::Form& form);
QWidget* control(ui::Form& form, std::size_t control);

// Shows the text in the program's message box and returns when the user
// has closed it. Timers go on ticking meanwhile. `opened` sees the box
// before it waits.
void show_message_box(QWidget* owner, const QString& text,
                      const std::function<void(QMessageBox&)>& opened = {});

// A rectangle in a background colour showing a stored image stretched to
// fill it: a bitmap, or a vector drawing (.svg) drawn at the box's size.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QString& resource, const QColor& background, QWidget* parent = nullptr);
    bool hasPicture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void load();

    QString resource_;
    bool loaded_ = false;
    QColor background_;
    QImage bitmap_;
    QSvgRenderer* drawing_ = nullptr;
};

}  // namespace rt::qt
