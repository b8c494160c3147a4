// Reports of real runs, made as the main window and qirt-batch make them,
// and the HTML read back as XML.
#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

#include "graph/report/run_report.h"

namespace qirt::testing {

// A task of the formula from (3, 4) by the named method, or comparing the
// named methods; the conditions are entered into the session too.
struct TReportCase {
    std::string Formula = "x[0]^2+x[1]^2";
    std::string Method = "fletcher-reeves";
    std::vector<std::string> Compare;
    std::vector<TTaskCondition> Conditions;
    TRegionStrategy Strategy = TRegionStrategy::Single;
    std::string Start = "3,4";
};

// Runs the case; false (with a failure recorded) when nothing ran.
bool MakeReport(const TReportCase& c, TReport& report);

// A report of one run with a straight track of `points` points, no map.
TReport ReportWithTrack(int points);

// What the HTML holds, read as XML: the ids of the h2 headings and their
// texts in order, the images' sources and sizes, and the rows of each
// table of a class (each row its cells' texts).
struct TReadHtml {
    QString Error; // empty: well-formed
    QStringList SectionIds, SectionTitles, H3Titles;
    struct TImage {
        QString Source;
        int Width = 0, Height = 0;
    };
    std::vector<TImage> Images;
    struct TTable {
        QString Class;
        std::vector<QStringList> Rows;
        std::vector<QString> RowClasses;
    };
    std::vector<TTable> Tables;
    std::vector<const TTable*> TablesOf(const QString& cls) const;
};
TReadHtml ReadHtml(const QString& html);

// The picture of a PNG data URI (null for anything else).
QImage DataImage(const QString& source);

} // namespace qirt::testing
