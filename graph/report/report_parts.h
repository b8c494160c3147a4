// The pieces a report is made of, shared by its HTML and its PDF: the
// pictures, drawn once, and the markup around them.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace qirt {

struct TReport;

struct TReportPictures {
    QImage Map;         // the plot around the map with its tracks
    QImage Convergence; // null when no run took a step
};
TReportPictures ReportPictures(const TReport& report);

struct TMarkupOptions {
    // The pictures inside the document as PNG data; else named by the
    // resources below, which the caller provides.
    bool Inline = true;
    // The width the pictures are shown at (the page's); 0: their own.
    double ImageWidth = 0;
};
inline constexpr const char* kMapResource = "qirt-map.png";
inline constexpr const char* kConvergenceResource = "qirt-convergence.png";

QString ReportMarkup(const TReport& report, const TReportPictures& pictures,
                     const TMarkupOptions& options);
// The report's title, for the document and the PDF's properties.
QString ReportTitle(const TReport& report);

// Markup pieces: every text is escaped here, nowhere else.
QString Escaped(const QString& text);
// A section that starts a page when printed keeps its heading with its
// picture.
QString Heading(int level, const QString& text, const char* id = nullptr, bool newPage = false);
QString Paragraph(const QString& text, const char* cls = nullptr);
// A row of header cells, or of data cells: numbers aligned right, and
// markup (a colour swatch) before the first cell's text.
QString HeaderRow(const QStringList& cells);
QString Row(const QStringList& cells, const char* cls = nullptr, bool numbers = false,
            const QString& lead = {});
// A caption and its value, a row of a two-column table.
QString Field(const QString& caption, const QString& value);
QString TableStart(const char* cls);
inline const QString kTableEnd = QStringLiteral("</table>\n");

// The sections that are tables: the task (what ran, the region, the view),
// the results, and the iteration tables.
QString TaskSection(const TReport& report);
QString ResultsSection(const TReport& report);
QString IterationsSection(const TReport& report);

} // namespace qirt
