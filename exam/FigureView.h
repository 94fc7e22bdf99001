#pragma once
// A question's figure drawn as large as the view allows, centred, its proportions kept. A click
// on it asks for the enlarged view, where a hazard item's road users can be made out.

#include <QImage>
#include <QWidget>

namespace exam {

class FigureView : public QWidget {
    Q_OBJECT
public:
    explicit FigureView(QWidget* parent = nullptr);
    // Decodes BYTES (a picture file's bytes); unreadable or empty bytes show nothing.
    void SetFigure(const QByteArray& bytes);
    void SetPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // Where the picture is drawn in a view of size VIEW.
    static QRect Placement(QSize picture, QSize view);
    // In the picture's proportions (used where the view's size policy asks for it).
    int heightForWidth(int width) const override;

    // Shows PICTURE enlarged over PARENT's screen, in a window of its own that Esc, a click or
    // its close box closes; returns that window (null for no picture). Nothing waits for it.
    static QWidget* ShowEnlarged(QWidget* parent, const QImage& picture);

signals:
    void enlargeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    // The picture at the device size it was last drawn at, when that is larger than the picture.
    QImage enlarged_;
};

}  // namespace exam
