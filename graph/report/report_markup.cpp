#include "graph/report/report_parts.h"

namespace qirt {

namespace {

QString Class(const char* cls) {
    return cls ? QStringLiteral(" class=\"%1\"").arg(QString::fromLatin1(cls)) : QString();
}

} // namespace

// Escapes the XML specials; the result is the same text in HTML and XML.
QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString Heading(int level, const QString& text, const char* id, bool newPage) {
    QString attributes = id ? QStringLiteral(" id=\"%1\"").arg(QString::fromLatin1(id)) : QString();
    if (newPage) attributes += QStringLiteral(" style=\"page-break-before: always\"");
    return QStringLiteral("<h%1%2>%3</h%1>\n").arg(level).arg(attributes, Escaped(text));
}

QString Paragraph(const QString& text, const char* cls) {
    return QStringLiteral("<p%1>%2</p>\n").arg(Class(cls), Escaped(text));
}

QString HeaderRow(const QStringList& cells) {
    QString row = QStringLiteral("<tr>");
    for (const QString& c : cells)
        row += QStringLiteral("<th>") + Escaped(c) + QStringLiteral("</th>");
    return row + QStringLiteral("</tr>\n");
}

QString Row(const QStringList& cells, const char* cls, bool numbers, const QString& lead) {
    QString row = QStringLiteral("<tr%1>").arg(Class(cls));
    const QString open = numbers ? QStringLiteral("<td class=\"number\">") : QStringLiteral("<td>");
    for (qsizetype k = 0; k < cells.size(); ++k)
        row += open + (k == 0 ? lead : QString()) + Escaped(cells[k]) + QStringLiteral("</td>");
    return row + QStringLiteral("</tr>\n");
}

QString Field(const QString& caption, const QString& value) {
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n")
        .arg(Escaped(caption), Escaped(value));
}

// The attributes lay a table out where the style sheet is not read (the
// PDF's text document); the style sheet does the rest in a browser.
QString TableStart(const char* cls) {
    return QStringLiteral("<table%1 border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n")
        .arg(Class(cls));
}

} // namespace qirt
