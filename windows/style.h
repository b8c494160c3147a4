// The look shared by the program's windows: their layouts are measured for
// the small dialog font of 8 points.
#pragma once

#include <QFont>
#include <QWidget>

namespace qirt {

inline void UseDialogFont(QWidget* window) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    window->setFont(font);
}

} // namespace qirt
