#include "graph/language/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qirt {

QString LanguageCode(TLanguage language) {
    return language == TLanguage::English ? QStringLiteral("en") : QStringLiteral("ru");
}

bool LanguageFromCode(const QString& code, TLanguage& language) {
    if (code == QLatin1String("ru")) {
        language = TLanguage::Russian;
        return true;
    }
    if (code == QLatin1String("en")) {
        language = TLanguage::English;
        return true;
    }
    return false;
}

TTranslations::TTranslations() {
    // Qt's own texts (its file dialogs, the standard buttons) are English
    // as written: in Russian they come from Qt's translations, where
    // installed. Without them those texts stay English.
    auto qt = std::make_unique<QTranslator>();
    if (QCoreApplication::instance() &&
        qt->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qtRussian_ = std::move(qt);
        QCoreApplication::installTranslator(qtRussian_.get());
    }
}

TTranslations::~TTranslations() {
    if (!QCoreApplication::instance()) return;
    if (english_) QCoreApplication::removeTranslator(english_.get());
    if (qtRussian_) QCoreApplication::removeTranslator(qtRussian_.get());
}

bool TTranslations::Set(TLanguage language) {
    if (language == current_) return true;
    if (language == TLanguage::English) {
        auto english = std::make_unique<QTranslator>();
        if (!english->load(QStringLiteral(":/i18n/qirt_en.qm"))) return false;
        english_ = std::move(english);
        if (QCoreApplication::instance()) {
            if (qtRussian_) QCoreApplication::removeTranslator(qtRussian_.get());
            QCoreApplication::installTranslator(english_.get());
        }
    } else {
        if (QCoreApplication::instance()) {
            QCoreApplication::removeTranslator(english_.get());
            if (qtRussian_) QCoreApplication::installTranslator(qtRussian_.get());
        }
        english_.reset();
    }
    current_ = language;
    return true;
}

QString TTranslations::Translate(const char* source) const {
    if (english_) {
        const QString text = english_->translate("qirt", source);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(source);
}

} // namespace qirt
