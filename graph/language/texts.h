// Texts between the engine and what shows it (the windows, the pictures,
// the reports): Qt strings and the engine's UTF-8 strings, and numbers
// written the program's way.
#pragma once

#include <charconv>
#include <initializer_list>
#include <string>

#include <QCoreApplication>
#include <QLocale>
#include <QString>

#include "func/scan.h"
#include "func/ui_text.h"

namespace qirt {

// A text marked with UI_TEXT in the language chosen (Russian: as written).
inline QString Tr(const char* source) { return QCoreApplication::translate("qirt", source); }
// A text given in place, in the language chosen; the translation tools
// collect it as they collect UI_TEXT.
inline QString Tr(const char* context, const char* source) {
    return QCoreApplication::translate(context, source);
}

inline std::string Std(const QString& s) { return s.toStdString(); }
inline QString Text(Real v) { return QString::fromStdString(RealToText(v)); }
// The largest gradient component beside a minimum; NaN where it could not
// be computed.
inline constexpr const char* kUndefinedGradient = UI_TEXT("qirt", "не определена");
inline QString GradientText(Real g) { return g == g ? Text(g) : Tr(kUndefinedGradient); }

// A field's text as the engine reads it: one of the engine's words shown in
// the language chosen becomes that word again; anything else goes as typed.
inline std::string EngineWord(const QString& shown, std::initializer_list<const char*> words) {
    for (const char* word : words)
        if (shown == Tr(word)) return word;
    return Std(shown);
}

// A number as C's "%.15g" writes it ("39300.986016", "1e-05"), with the
// decimal separator of the user's locale and no digit grouping.
inline QString GeneralNumberText(double v) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 15).ptr;
    QString s = QString::fromLatin1(text, end - text);
    s.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return s;
}

} // namespace qirt
