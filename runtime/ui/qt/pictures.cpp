// The picture box on Qt: a bitmap, or a vector drawing rendered at the box's size.
#include <QPainter>
#include <QSvgRenderer>

#include "runtime/ui/qt/qt.h"

namespace rt::qt {

PictureBox::PictureBox(const QString& resource, const QColor& background, QWidget* parent)
    : QWidget(parent), resource_(resource), background_(background) {
    setFocusPolicy(Qt::NoFocus);
}

// The image is read when it is first needed, so the window shows sooner.
void PictureBox::load() {
    if (loaded_) return;
    loaded_ = true;
    if (resource_.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        drawing_ = new QSvgRenderer(resource_, this);
        drawing_->setAspectRatioMode(Qt::IgnoreAspectRatio);
    } else {
        bitmap_.load(resource_);
    }
}

bool PictureBox::hasPicture() {
    load();
    return drawing_ ? drawing_->isValid() : !bitmap_.isNull();
}

void PictureBox::paintEvent(QPaintEvent*) {
    load();
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    if (drawing_) drawing_->render(&painter, rect());
    else painter.drawImage(rect(), bitmap_);
}

}  // namespace rt::qt
