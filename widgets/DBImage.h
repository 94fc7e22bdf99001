#pragma once
// A picture held in a blob field as the bytes of a picture file: PNG, JPEG, GIF or BMP, told by
// its first bytes. Anything else, a picture that cannot be read, or one larger than
// MaxPictureSide either way, shows nothing.

#include "DataSource.h"

#include <QFrame>
#include <QImage>

class DBImage : public QFrame {
    Q_OBJECT
public:
    enum class Mode {
        Stretch,   // scaled to fill the view; the aspect ratio is not kept
        Center,    // natural size, centred; clipped when larger than the view
        Fit,       // as large as fits, centred, in its own proportions
    };
    // Where a picture of SIZE is drawn in AREA in MODE.
    static QRect PictureRect(Mode mode, QSize size, const QRect& area);
    static constexpr int MaxPictureSide = 4096;

    explicit DBImage(QWidget* parent = nullptr);
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name);
    QString dataField() const { return link_.dataField(); }
    void setMode(Mode mode);
    Mode mode() const { return mode_; }
    void refresh();

    // The picture on show; null when there is none.
    const QImage& picture() const { return picture_; }

    // Reads a picture from BYTES: a null image for empty, unreadable or oversized data, or any
    // format but ours. The size is checked from the header before the picture is decoded.
    static QImage Decode(const QByteArray& bytes);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FieldLink link_;
    Mode mode_ = Mode::Stretch;
    QByteArray bytes_;
    QImage picture_;
};
