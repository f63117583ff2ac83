#include "panel/picture_box.h"

#include <QPainter>
#include <QSvgRenderer>

namespace panel {

PictureBox::PictureBox(const QString& resource, const QColor& background, QWidget* parent)
    : QWidget(parent), background_(background) {
    if (resource.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        drawing_ = new QSvgRenderer(resource, this);
        drawing_->setAspectRatioMode(Qt::IgnoreAspectRatio);
    } else {
        bitmap_.load(resource);
    }
    setFocusPolicy(Qt::NoFocus);
}

bool PictureBox::hasPicture() const {
    return drawing_ ? drawing_->isValid() : !bitmap_.isNull();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    if (drawing_) drawing_->render(&painter, rect());
    else painter.drawImage(rect(), bitmap_);
}

}  // namespace panel
