#include "widgets/ImageBox.h"

#include "imagestats/ImageDecoder.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

ImageBox::ImageBox(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool ImageBox::setFile(const QString& path)
{
    return load(path, std::nullopt);
}

bool ImageBox::setFile(const QString& path, QSize bound)
{
    return load(path, bound);
}

bool ImageBox::load(const QString& path, std::optional<QSize> bound)
{
    m_image = QImage();
    m_natural = QSize(0, 0);
    m_scaled = QImage();
    m_file.clear();
    m_error.clear();
    if (!path.isEmpty()) {
        const DecodeResult decoded = bound ? decodeImageFile(path, *bound) : decodeImageFile(path);
        if (!decoded.ok()) {
            m_error = decoded.error.isEmpty() ? QStringLiteral("Cannot load %1").arg(path) : decoded.error;
            update();
            return false;
        }
        m_image = decoded.image;
        m_natural = decoded.naturalSize.isValid() ? decoded.naturalSize : decoded.image.size();
        m_file = path;
    }
    applyMode();
    update();
    return true;
}

void ImageBox::setImage(const QImage& image)
{
    m_image = image;
    m_natural = image.isNull() ? QSize(0, 0) : image.size();
    m_scaled = QImage();
    m_file.clear();
    m_error.clear();
    applyMode();
    update();
}

void ImageBox::setDisplayMode(int mode)
{
    m_mode = qBound(0, mode, 3);
    applyMode();
    update();
}

void ImageBox::applyMode()
{
    if (m_image.isNull() || m_adjusting)
        return;
    const double iw = m_image.width();
    const double ih = m_image.height();
    QSize wanted = size();
    switch (m_mode) {
    case NaturalSize:
        wanted = m_image.size();
        break;
    case FitWidth:
        wanted.setHeight(qMax(1, int(std::lround(width() * ih / iw))));
        break;
    case FitHeight:
        wanted.setWidth(qMax(1, int(std::lround(height() * iw / ih))));
        break;
    default:
        return;
    }
    if (wanted != size()) {
        m_adjusting = true;
        resize(wanted);
        m_adjusting = false;
    }
}

QImage ImageBox::picture() const
{
    if (m_image.isNull() || m_mode == NaturalSize || size() == m_image.size())
        return m_image;
    if (m_scaled.size() != size())
        m_scaled = m_image.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_scaled;
}

QSize ImageBox::sizeHint() const
{
    return m_image.isNull() ? QSize(100, 100) : m_image.size();
}

void ImageBox::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPoint(0, 0), picture());
}

void ImageBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyMode();
}

void ImageBox::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
    if (!click)
        return;
    // The click is this control's alone: passed up, it would reach a parent the click has just
    // resized (the viewer's zoom), where it could land on bare background and act a second time.
    event->accept();
    Q_EMIT clicked();
}

void ImageBox::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    Q_EMIT mouseMoved(event->position().toPoint());
}
