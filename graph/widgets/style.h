// The look shared by the program's windows: their layouts are measured for
// the small dialog font of 8 points and place their controls at fixed spots.
#pragma once

#include <QFont>
#include <QLabel>
#include <QWidget>

#include "graph/widgets/texts.h"

namespace qirt {

inline void UseDialogFont(QWidget* window) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    window->setFont(font);
}

// A label with its text (a marked text, translated) at a fixed place, as
// big as the text.
inline QLabel* MakeLabel(QWidget* parent, const char* text, int x, int y) {
    auto* label = new QLabel(Tr(text), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace qirt
