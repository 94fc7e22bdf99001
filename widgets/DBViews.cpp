// The read-only data-aware views: DBMemo, DBEdit, DBImage.
#include "DBEdit.h"
#include "DBImage.h"
#include "Exception.h"
#include "DBMemo.h"
#include "LanguageChoice.h"
#include "Layouts.h"
#include "Picture.h"
#include "Placement.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QTextDocument>
#include <QImageReader>
#include <QPainter>

namespace {
// Text of the field for display: decoded text, an integer in decimal, nothing for a blob.
QString DisplayText(const FieldLink& link)
{
    const auto f = link.field();
    if (!f || f->DataType() == FieldType::Blob)
        return QString();
    return f->AsText();
}

}  // namespace

// ---- DBMemo ---------------------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void DBMemo::setDataSource(DataSource* source) { link_.setDataSource(this, source, [this] { refresh(); }); }

void DBMemo::setDataField(const QString& name)
{
    link_.setDataField(name);
    refresh();
}

void DBMemo::setTranslated(const char* source, const char* keyField)
{
    if (!translatedSource_)
        connect(&LanguageChoice::Instance(), &LanguageChoice::changed, this, &DBMemo::refresh);
    translatedSource_ = source;
    translatedKey_ = keyField;
    refresh();
}

void DBMemo::refresh()
{
    QString text = DisplayText(link_);
    if (translatedSource_ && link_.dataSource()) {
        if (const auto key = link_.dataSource()->field(translatedKey_))
            text = LanguageChoice::Instance().Statement(translatedSource_, key->AsText().toStdString(),
                                                        link_.dataField().toStdString(), text);
    }
    if (text != toPlainText())
        setPlainText(text);
    if (translatedSource_)
        FitText();
}

void DBMemo::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    // A memo laid out only when first shown fits its text to its real size then.
    if (translatedSource_)
        FitText();
}

void DBMemo::FitText()
{
    QFont f = font();
    if (designPixels_ < 0)
        designPixels_ = f.pixelSize();
    int pixels = designPixels_;
    const bool fit = pixels > 0 && !LanguageChoice::Instance().showsJapaneseOnly();
    // Laying the text out at several sizes is the costly part: once per text and size.
    const QString fitted = fit ? toPlainText() + QLatin1Char('\x1f') + QString::number(viewport()->width()) +
                                     QLatin1Char('x') + QString::number(viewport()->height())
                               : QString();
    if (fit && fitted == fittedFor_)
        return;
    fittedFor_ = fitted;
    if (fit) {
        // The text's wrapped height in the viewport's width, smaller by steps down to a size
        // still easily read; beyond that the memo scrolls.
        constexpr int kSmallest = 16;
        const QString text = toPlainText();
        const int width = viewport()->width() - 2 * int(document()->documentMargin());
        const int height = viewport()->height() - 2 * int(document()->documentMargin());
        for (; pixels > kSmallest; pixels -= 2) {
            QFont trial = f;
            trial.setPixelSize(pixels);
            const QRect need = QFontMetrics(trial).boundingRect(QRect(0, 0, width, 100000),
                                                                Qt::TextWordWrap, text);
            if (need.height() <= height)
                break;
        }
    }
    if (pixels > 0 && f.pixelSize() != pixels) {
        f.setPixelSize(pixels);
        setFont(f);
    }
}

// ---- DBEdit ---------------------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }

void DBEdit::setDataSource(DataSource* source) { link_.setDataSource(this, source, [this] { refresh(); }); }

void DBEdit::setDataField(const QString& name)
{
    link_.setDataField(name);
    refresh();
}

void DBEdit::refresh()
{
    const QString t = DisplayText(link_);
    if (t != text()) {
        setText(t);
        setCursorPosition(0);
    }
}

// ---- DBImage --------------------------------------------------------------------------------

DBImage::DBImage(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void DBImage::setDataSource(DataSource* source) { link_.setDataSource(this, source, [this] { refresh(); }); }

void DBImage::setDataField(const QString& name)
{
    link_.setDataField(name);
    refresh();
}

void DBImage::setMode(Mode mode)
{
    mode_ = mode;
    update();
}

QImage DBImage::Decode(const QByteArray& bytes)
{
    // Only the formats of our pictures, told by their first bytes: asking every installed image
    // plug-in would let one read other files of the PC, or block on a pipe they name.
    const QByteArray format = picture::ReaderName(picture::Sniff(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    if (format.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return QImage();
    // A picture's header may claim any size; refuse a huge one before memory is spent on it.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
        return QImage();
    // Room for the widest pixels a decoder gives (16 bits a channel, 8 bytes), so that the size
    // rule alone decides which pictures show.
    reader.setAllocationLimit(8 * MaxPictureSide * MaxPictureSide / (1024 * 1024) + 1);
    QImage image = reader.read();
    if (image.isNull() || image.width() > MaxPictureSide || image.height() > MaxPictureSide)
        return QImage();
    // Shown at 8 bits a channel: half the memory of a 16-bit picture, kept while it shows.
    if (image.depth() > 32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return image;
}

void DBImage::refresh()
{
    QByteArray bytes;
    if (const auto f = link_.field(); f && f->DataType() == FieldType::Blob) {
        try {
            const std::string& b = f->AsString();
            bytes = QByteArray(b.data(), qsizetype(b.size()));
        } catch (const Exception&) {
            // The picture is read from the file only now; one that can no longer be read is
            // shown as no picture, like one that cannot be decoded.
        }
    }
    if (bytes == bytes_)
        return;   // the same picture: no need to decode it again
    bytes_ = bytes;
    picture_ = Decode(bytes_);
    update();
}

void DBImage::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PictureRect(mode_, picture_.size(), area), picture_);
}

QRect DBImage::PictureRect(Mode mode, QSize size, const QRect& area)
{
    switch (mode) {
    case Mode::Fit:
        return placement::Fitted(size, area);
    case Mode::Center:
        return placement::Centred(size, area);
    case Mode::Stretch:
        break;
    }
    return area;
}
