#pragma once
// The windows keep their layouts to themselves; tests reach a component by its object name, as
// a pupil's screen reader or a test robot would.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtWidgets>   // the components' own classes, for what a test asks of them

#include <cstdio>
#include <cstdlib>

// The child of FORM (a window pointer or smart pointer) named NAME, of type W. A missing or
// mistyped component stops the test at once, naming it.
template <typename W = QWidget, typename Form>
W* Child(const Form& form, const char* name)
{
    W* w = form->template findChild<W*>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no component %s of the expected type\n", name);
        std::abort();
    }
    return w;
}
