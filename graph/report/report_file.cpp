// Writing a report: HTML as it is, or the same document laid out on A4
// pages as PDF; either written aside and renamed over the file.
#include <cerrno>
#include <cstring>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextDocument>
#include <QUrl>

#include "graph/language/texts.h"
#include "graph/report/report.h"
#include "graph/report/report_parts.h"
#include "graph/track/track.h"

namespace qirt {

namespace {

constexpr double kMarginMillimetres = 15;
constexpr double kFooterMillimetres = 8; // the page number's line
constexpr int kPdfResolution = 300;
constexpr double kPdfFontPoints = 9;

// Why a file could not be written, in the user's words where there are
// some, else in the system's.
QString Reason(int error) {
    if (const char* text = WriteFailureText(error)) return Tr(text);
    return QString::fromLocal8Bit(std::strerror(error));
}

// The logical pixels the text document measures pictures in: those of the
// screen, or 96 to the inch without one.
double DocumentDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

// The report on A4 pages: the document laid out on the writer's pixels a
// page high less the footer, each page drawn with its number below it.
QByteArray ReportPdf(const TReport& report) {
    const TReportPictures pictures = ReportPictures(report);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter));
    writer.setTitle(ReportTitle(report));
    writer.setCreator(QStringLiteral("QIRT"));

    const QRectF paper = writer.pageLayout().paintRectPixels(kPdfResolution);
    const double footer = kFooterMillimetres / 25.4 * kPdfResolution;
    const QSizeF page(paper.width(), paper.height() - footer);

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    QFont font = document.defaultFont();
    font.setPointSizeF(kPdfFontPoints);
    document.setDefaultFont(font);
    document.setPageSize(page);
    document.addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(kMapResource)),
                         pictures.Map);
    if (!pictures.Convergence.isNull())
        document.addResource(QTextDocument::ImageResource,
                             QUrl(QString::fromLatin1(kConvergenceResource)), pictures.Convergence);
    const double textWidth =
        writer.pageLayout().paintRect(QPageLayout::Inch).width() * DocumentDpi();
    document.setHtml(ReportMarkup(report, pictures, {false, textWidth}));

    QPainter p(&writer);
    const int pages = document.pageCount();
    for (int k = 0; k < pages; ++k) {
        if (k > 0) writer.newPage();
        p.save();
        p.translate(0, -k * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black); // whatever the desktop's colours
        context.clip = QRectF(0, k * page.height(), page.width(), page.height());
        p.setClipRect(context.clip);
        document.documentLayout()->draw(&p, context);
        p.restore();
        p.setPen(Qt::black);
        p.setFont(font);
        p.drawText(QRectF(0, page.height(), page.width(), footer), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("%1 / %2").arg(k + 1).arg(pages));
    }
    p.end();
    return bytes;
}

bool IsPdfName(const QString& fileName) {
    return fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

} // namespace

bool IsReportName(const QString& fileName) {
    return IsPdfName(fileName) || fileName.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
           fileName.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
}

bool WriteReport(const TReport& report, const QString& fileName, QString& error) {
    QByteArray bytes;
    if (IsPdfName(fileName)) {
        bytes = ReportPdf(report);
    } else if (IsReportName(fileName)) {
        bytes = ReportHtml(report).toUtf8();
    } else {
        error = Tr("qirt",
                   "Отчёт «%1» не записан: имя файла должно оканчиваться на .html, .htm или .pdf")
                    .arg(fileName);
        return false;
    }
    errno = 0;
    const bool written = WriteWholeFile(Std(fileName), [&](std::FILE* f) {
        return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), f) ==
               std::size_t(bytes.size());
    });
    if (!written)
        error = Tr("qirt", "Отчёт «%1» не записан: %2").arg(fileName, Reason(errno ? errno : EIO));
    return written;
}

} // namespace qirt
