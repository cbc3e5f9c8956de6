#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

// The image display control: loads a picture file through the program's decoder and draws it
// in one of four display modes. A file that cannot be loaded is reported to the caller, which
// shows error.bmp instead.
class ImageBox : public QWidget
{
    Q_OBJECT
public:
    enum DisplayMode {
        KeepSize = 0, // the box keeps the size the window gives it; the picture is stretched to it
        NaturalSize = 1, // the box takes the picture's own size
        FitWidth = 2, // the width is the window's, the height follows the picture's proportions
        FitHeight = 3, // the height is the window's, the width follows
    };

    explicit ImageBox(QWidget* parent = nullptr);

    // Loads and draws the file; the empty path shows nothing. False, with the box empty and
    // lastError() saying why, when the file cannot be loaded.
    bool setFile(const QString& path);
    // The same with the picture decoded to fit inside the bound, its proportions kept (much
    // faster for a large photograph shown small); its own size is still what imageWidth() and
    // imageHeight() report.
    bool setFile(const QString& path, QSize bound);
    // Shows a picture already in memory, with no file behind it.
    void setImage(const QImage& image);
    QString file() const { return m_file; }
    QString lastError() const { return m_error; }
    bool hasImage() const { return !m_image.isNull(); }

    void setDisplayMode(int mode);
    int displayMode() const { return m_mode; }

    // The loaded picture's own size in pixels (0 when none).
    int imageWidth() const { return m_natural.width(); }
    int imageHeight() const { return m_natural.height(); }

    // The picture as the box draws it: its own size in NaturalSize, else the box's size.
    QImage picture() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();
    void mouseMoved(const QPoint& position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void applyMode();

    bool load(const QString& path, std::optional<QSize> bound);

    QImage m_image;
    QSize m_natural; // the picture's own size; m_image may be smaller
    mutable QImage m_scaled; // the picture at the last drawn size, so repaints do not rescale
    QString m_file;
    QString m_error;
    int m_mode = KeepSize;
    bool m_adjusting = false;
    bool m_pressed = false;
};
