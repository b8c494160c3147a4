// What the program remembers between sessions: the windows' places and
// sizes, the chosen family and method, the step and accuracy fields, the
// colour count and the folders of the last saves. Kept with QSettings in
// the user's configuration folder; and the language. Anything damaged, foreign or out of
// range is ignored and the default stands; nothing in it can stop the
// program.
#pragma once

#include <memory>

#include <QSettings>

#include "graph/language/language.h"

namespace qirt {

class TForm1;
class TForm3;
class TForm4;

class TProgramSettings {
public:
    // The user's settings, or the store given (tests).
    explicit TProgramSettings(std::unique_ptr<QSettings> store = nullptr);
    ~TProgramSettings();

    // False when the file could not be read as settings: nothing is taken from it.
    bool Readable() const { return readable_; }

    void Restore(TForm1& window) const;
    void Remember(const TForm1& window);
    void Restore(TForm3& graph) const;
    void Remember(const TForm3& graph);
    void Restore(TForm4& region) const;
    void Remember(const TForm4& region);
    // The tasks opened or saved last, the latest first; files that are gone
    // are left out.
    QStringList RecentTasks() const;
    void RememberRecentTasks(const QStringList& files);
    // The language last chosen; Russian when none was or it is unknown.
    TLanguage Language() const;
    void RememberLanguage(TLanguage language);
    // Forgets everything: the next start is as the first.
    void Clear();

private:
    std::unique_ptr<QSettings> store_;
    bool readable_ = true;
};

} // namespace qirt
