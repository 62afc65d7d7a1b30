#include "QRImageItem.hpp"

#include <QPainter>

namespace Selvor {

QRImageItem::QRImageItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(false);
    setSmooth(false);
}

void QRImageItem::setImage(const QImage& image) {
    if (m_image == image)
        return;
    m_image = image;
    emit imageChanged();
    update();
}

void QRImageItem::paint(QPainter* painter) {
    if (m_image.isNull())
        return;
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QSizeF fitted = QSizeF(m_image.size()).scaled(size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                        fitted);
    painter->drawImage(target, m_image);
}

} // namespace Selvor
