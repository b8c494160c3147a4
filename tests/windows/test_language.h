// Window tests run in either language: with QIRT_TEST_LANGUAGE=en every
// window shows English. T gives a marked text as the windows show it in the
// language of the run, so one assertion checks the Russian texts byte for
// byte in one run and their English translation in the other.
#pragma once

#include <QApplication>
#include <QtTest>

#include "graph/language/language.h"
#include "graph/widgets/texts.h"

namespace qirt::testing {

inline TTranslations& Translations() {
    static TTranslations translations;
    return translations;
}

// The language the run was started in.
inline TLanguage& RunLanguage() {
    static TLanguage language = TLanguage::Russian;
    return language;
}

inline QString T(const char* source) { return Tr(source); }

inline bool InEnglish() { return Translations().Current() == TLanguage::English; }

} // namespace qirt::testing

#define QIRT_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                           \
        QApplication application(argc, argv);                                                   \
        qirt::TLanguage& language = qirt::testing::RunLanguage();                               \
        if (qEnvironmentVariableIsSet("QIRT_TEST_LANGUAGE") &&                                  \
            !qirt::LanguageFromCode(qEnvironmentVariable("QIRT_TEST_LANGUAGE"), language))      \
            return 2;                                                                           \
        if (!qirt::testing::Translations().Set(language)) return 2;                             \
        TestObject test;                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        return QTest::qExec(&test, argc, argv);                                                 \
    }
