// The English translation against the sources: given the committed .ts file
// and one that lupdate has just made from the sources, every text of the
// sources is in the committed file (none new, none changed, none gone), and
// every translation is finished, not empty, and has the numbered places
// (%1, %2, ...) of its source. Prints each fault; exits 1 if there is one.
#include <cstdio>
#include <map>
#include <set>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

struct TMessage {
    QString Translation;
    QString Type; // "unfinished", "vanished", "obsolete" or empty
};

using TMessages = std::map<QString, TMessage>; // by context and source

bool Read(const char* path, TMessages& messages) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context, source;
    TMessage message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.Type = xml.attributes().value(QLatin1String("type")).toString();
            message.Translation = xml.readElementText();
            messages[context + QLatin1Char('|') + source] = message;
        }
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "%s: %s\n", path, qPrintable(xml.errorString()));
        return false;
    }
    return true;
}

std::multiset<QString> Places(const QString& text) {
    static const QRegularExpression place(QStringLiteral("%[1-9]"));
    std::multiset<QString> places;
    for (auto it = place.globalMatch(text); it.hasNext();) places.insert(it.next().captured());
    return places;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: translation_check COMMITTED.ts FROM_SOURCES.ts\n");
        return 2;
    }
    TMessages committed, sources;
    if (!Read(argv[1], committed) || !Read(argv[2], sources)) return 1;
    int faults = 0;
    auto fault = [&](const char* what, const QString& key) {
        std::fprintf(stderr, "%s: %s\n", what, qPrintable(key));
        ++faults;
    };
    for (const auto& [key, m] : sources) {
        const auto found = committed.find(key);
        if (found == committed.end()) fault("new in the sources, not in the translation", key);
        if (m.Type == QLatin1String("vanished") || m.Type == QLatin1String("obsolete"))
            fault("in the translation, gone from the sources", key);
    }
    for (const auto& [key, m] : committed) {
        if (!sources.count(key)) fault("in the translation, gone from the sources", key);
        if (!m.Type.isEmpty()) fault(qPrintable(QStringLiteral("translation %1").arg(m.Type)), key);
        if (m.Translation.trimmed().isEmpty()) fault("no translation", key);
        const QString source = key.section(QLatin1Char('|'), 1);
        if (Places(source) != Places(m.Translation)) fault("numbered places differ", key);
    }
    if (sources.empty()) fault("no texts found in the sources", QString());
    std::printf("%zu texts, %d faults\n", committed.size(), faults);
    return faults ? 1 : 0;
}
