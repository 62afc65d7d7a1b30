#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace Selvor {

// Draws a QR image scaled to fit the item without smoothing, so modules stay sharp.
class QRImageItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)

public:
    explicit QRImageItem(QQuickItem* parent = nullptr);

    [[nodiscard]] QImage image() const { return m_image; }
    void setImage(const QImage& image);

    void paint(QPainter* painter) override;

signals:
    void imageChanged();

private:
    QImage m_image;
};

} // namespace Selvor
