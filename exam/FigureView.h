#pragma once
// A question's figure drawn as large as the view allows, centred, its proportions kept.

#include <QImage>
#include <QWidget>

namespace exam {

class FigureView : public QWidget {
    Q_OBJECT
public:
    explicit FigureView(QWidget* parent = nullptr);
    // Decodes BYTES (a picture file's bytes); unreadable or empty bytes show nothing.
    void SetFigure(const QByteArray& bytes);
    const QImage& picture() const { return picture_; }
    // Where the picture is drawn in a view of size VIEW.
    static QRect Placement(QSize picture, QSize view);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace exam
