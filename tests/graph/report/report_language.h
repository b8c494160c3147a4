// The report tests run once in each language (QIRT_TEST_LANGUAGE=en for
// English): an expected text is given in both, and the run's is compared.
#pragma once

#include <initializer_list>
#include <utility>

#include <QString>
#include <QStringList>

namespace qirt::testing {

bool ReportInEnglish();
inline QString Text1(const char* russian, const char* english) {
    return QString::fromUtf8(ReportInEnglish() ? english : russian);
}
inline QStringList Texts(std::initializer_list<std::pair<const char*, const char*>> texts) {
    QStringList list;
    for (const auto& [russian, english] : texts)
        list << Text1(russian, english);
    return list;
}

} // namespace qirt::testing
