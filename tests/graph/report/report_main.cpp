// The reports draw text, so the tests need Qt's GUI part (offscreen) and
// the language of the run installed, as qirt-batch does.
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "graph/language/language.h"
#include "report_language.h"

namespace qirt::testing {

namespace {
TLanguage language = TLanguage::Russian;
}

bool ReportInEnglish() {
    return language == TLanguage::English;
}

} // namespace qirt::testing

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsSet("QIRT_TEST_LANGUAGE") &&
        !qirt::LanguageFromCode(qEnvironmentVariable("QIRT_TEST_LANGUAGE"),
                                qirt::testing::language))
        return 2;
    qirt::TTranslations translations;
    if (!translations.Set(qirt::testing::language)) return 2;
    return RUN_ALL_TESTS();
}
