// A rectangle in a background colour showing a stored image stretched to
// fill it: a bitmap, or a vector drawing (.svg) drawn at the box's size.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

class QSvgRenderer;

namespace panel {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QString& resource, const QColor& background, QWidget* parent = nullptr);

    bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_;
    QImage bitmap_;
    QSvgRenderer* drawing_ = nullptr;
};

}  // namespace panel
