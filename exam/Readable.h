#pragma once
// Keeping the exam's texts readable whatever their length: a statement, a sub-statement or an
// explanation may be 255 bytes, and a text without a break (a long run of ASCII) would make a
// word-wrapped label wider than the window.

#include <QString>

class QBoxLayout;
class QLayout;
class QScrollArea;

namespace exam {

// TEXT with a zero-width break allowed inside every long run that has no break of its own (a
// run of Latin letters, digits or signs without a blank), so that a word-wrapped label wraps
// it. Japanese text, which breaks between characters anyway, and short words are left as they
// are.
QString Breakable(const QString& text);

// Puts COLUMN, an item of ROW, into a scroll area at its place with STRETCH: the column scrolls
// up and down when its texts are taller than the window, instead of being cut off, and never
// grows wider than the room it is given.
QScrollArea* ScrollInPlace(QBoxLayout* row, QLayout* column, int stretch);

}  // namespace exam
