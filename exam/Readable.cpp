#include "Readable.h"

#include <QBoxLayout>
#include <QFrame>
#include <QScrollArea>

namespace exam {
namespace {
// A run longer than this gets a break opportunity every so many characters.
constexpr int kLongestRun = 16;
constexpr QChar kZeroWidthSpace(0x200B);

// Characters that the line breaker may not break between: not blanks, and below the CJK
// blocks, where every character is a break opportunity of its own.
bool Unbreakable(QChar c) { return !c.isSpace() && c.unicode() < 0x2E80 && c != kZeroWidthSpace; }
}  // namespace

QString Breakable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    int run = 0;
    for (QChar c : text) {
        if (!Unbreakable(c)) {
            run = 0;
        } else if (run == kLongestRun) {
            out += kZeroWidthSpace;
            run = 0;
        }
        if (Unbreakable(c))
            ++run;
        out += c;
    }
    return out;
}

QScrollArea* ScrollInPlace(QBoxLayout* row, QLayout* column, int stretch)
{
    const int index = row->indexOf(column);
    row->removeItem(column);
    column->setParent(nullptr);
    auto* inner = new QWidget;
    inner->setObjectName(column->objectName() + QStringLiteral("Widget"));
    inner->setLayout(column);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(column->objectName() + QStringLiteral("Scroll"));
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    row->insertWidget(index < 0 ? 0 : index, scroll, stretch);
    return scroll;
}

}  // namespace exam
