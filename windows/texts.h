// Texts between the windows and the engine: Qt strings and the engine's
// UTF-8 strings, and numbers written the program's way.
#pragma once

#include <string>

#include <QString>

#include "func/scan.h"

namespace qirt {

inline std::string Std(const QString& s) { return s.toStdString(); }
inline QString Text(Real v) { return QString::fromStdString(RealToText(v)); }

} // namespace qirt
