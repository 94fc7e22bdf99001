#include "Fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions()
{
    // Noto Serif CJK first: IPAMincho has no bold face, and a synthetic bold reads as Gothic.
    const QStringList mincho{"Noto Serif CJK JP", "IPAMincho", "IPAPMincho"};
    const QStringList gothic{"Noto Sans CJK JP", "IPAPGothic", "IPAGothic"};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), mincho);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), mincho);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), gothic);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
    QFont::insertSubstitutions(QStringLiteral("Kochi Gothic"), gothic);
}
