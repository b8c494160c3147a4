// The languages of the program. Russian is the language of the source: its
// texts are shown as they are written. English comes from the translation
// compiled into the program (":/i18n/qirt_en.qm").
#pragma once

#include <memory>

#include <QString>

class QTranslator;

namespace qirt {

enum class TLanguage { Russian, English };

// "ru" and "en".
QString LanguageCode(TLanguage language);
// The language of a code; false for a code the program has no texts for.
bool LanguageFromCode(const QString& code, TLanguage& language);

// The translation in use. Set installs it in the application (or removes
// it for Russian), upon which every window gets a LanguageChange event and
// Tr gives the texts of the new language.
class TTranslations {
public:
    TTranslations();
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    // False (and the language unchanged) if the translation cannot be read.
    bool Set(TLanguage language);
    TLanguage Current() const { return current_; }
    // A text of the context "qirt" in the current language, with no
    // application object needed (qirt-batch has none).
    QString Translate(const char* source) const;

private:
    std::unique_ptr<QTranslator> english_;
    std::unique_ptr<QTranslator> qtRussian_; // Qt's own texts, while Russian is chosen
    TLanguage current_ = TLanguage::Russian;
};

} // namespace qirt
