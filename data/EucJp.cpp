#include "EucJp.h"

#include "Exception.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace eucjp {
namespace {

// Characters whose usual Unicode form has no EUC-JP code in the decoder's table, mapped to the
// form that has one (the same glyphs on screen).
QString Normalise(QString s)
{
    for (QChar& c : s) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break;   // WAVE DASH -> FULLWIDTH TILDE
        case 0x2212: c = QChar(0xFF0D); break;   // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        case 0x2016: c = QChar(0x2225); break;   // DOUBLE VERTICAL LINE -> PARALLEL TO
        case 0x00AC: c = QChar(0xFFE2); break;   // NOT SIGN -> FULLWIDTH NOT SIGN
        default: break;
        }
    }
    return s;
}

}  // namespace

bool Available()
{
    QStringDecoder d("EUC-JP", QStringConverter::Flag::Stateless);
    return d.isValid();
}

QString Decode(const std::string& bytes)
{
    QStringDecoder d("EUC-JP", QStringConverter::Flag::Stateless);
    if (!d.isValid())
        throw Exception("EUC-JP の文字コード変換が使えません");
    QString text = d.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!d.hasError())
        return text;
    // The converter marks bad bytes with a control character or drops them: decode one
    // character at a time so that each bad one shows as U+FFFD.
    text.clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t n = std::size_t(CharLength(lead));
        bool ok = i + n <= bytes.size() && !(lead >= 0x80 && lead < 0xA1 && lead != 0x8E && lead != 0x8F);
        for (std::size_t j = 1; ok && j < n; ++j) {
            const auto trail = static_cast<unsigned char>(bytes[i + j]);
            ok = trail >= 0xA1 && trail <= 0xFE;
        }
        if (ok) {
            QStringDecoder one("EUC-JP", QStringConverter::Flag::Stateless);
            const QString ch = one.decode(QByteArrayView(bytes.data() + i, qsizetype(n)));
            ok = !one.hasError() && !ch.isEmpty();
            if (ok)
                text += ch;
        }
        if (!ok) {
            text += QChar(QChar::ReplacementCharacter);
            n = 1;
        }
        i += n;
    }
    return text;
}

std::string Encode(const QString& text)
{
    const QString s = Normalise(text);
    QStringEncoder e("EUC-JP", QStringConverter::Flag::Stateless);
    if (!e.isValid())
        throw Exception("EUC-JP の文字コード変換が使えません");
    // Encode character by character and check each one decodes back: the converter replaces
    // what it cannot encode instead of failing, and a silent substitute would corrupt the bank.
    std::string out;
    out.reserve(std::size_t(s.size()) * 2);
    QStringDecoder d("EUC-JP", QStringConverter::Flag::Stateless);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const qsizetype len = (s[i].isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
        const QString ch = s.mid(i, len);
        const QByteArray b = e.encode(ch);
        if (e.hasError() || b.isEmpty() || d.decode(b) != ch)
            throw Exception("EUC-JP で表せない文字があります: 「" + ch.toStdString() + "」(" +
                            std::to_string(i + 1) + " 文字目)");
        out.append(b.constData(), std::size_t(b.size()));
        i += len - 1;
    }
    return out;
}

int CharLength(unsigned char lead)
{
    if (lead == 0x8F) return 3;                 // JIS X 0212
    if (lead == 0x8E || lead >= 0xA1) return 2; // half-width kana, JIS X 0208
    return 1;
}

std::string Truncate(const std::string& bytes, std::size_t maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t n = std::size_t(CharLength(static_cast<unsigned char>(bytes[i])));
        if (i + n > maxBytes)
            break;
        i += n;
    }
    return bytes.substr(0, i);
}

}  // namespace eucjp
