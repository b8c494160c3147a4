#include "windows/settings.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTabBar>

#include "func/scan.h"
#include "graph/window/grafik.h"
#include "graph/widgets/fit.h"
#include "graph/widgets/texts.h"
#include "windows/interf.h"
#include "windows/vvod_obl.h"

namespace qirt {

namespace {

// A remembered number text, or nothing when it is not a usable one.
QString NumberOrEmpty(const QVariant& v, bool step) {
    const QString text = v.toString();
    if (step && text == QString::fromUtf8(kSymbolicStepText)) return Tr(kSymbolicStepText);
    const std::string s = Std(text);
    if (!IsRealText(s) || TextToReal(s) < 0) return {};
    return text;
}

// Where a window stood: its inside, without the frame (whose size only
// the window manager knows, and which a window placed by its frame before
// it is shown would gain again below its title each time), and whether it
// was maximised.
void RememberPlace(QSettings& s, const QString& window, const QWidget& w) {
    s.setValue(window + QStringLiteral("/inside"), w.isMaximized() ? w.normalGeometry() : w.geometry());
    s.setValue(window + QStringLiteral("/maximised"), w.isMaximized());
}

// The window where it stood, within the screen; junk changes nothing.
void RestorePlace(const QSettings& s, const QString& window, QWidget& w) {
    const QVariant inside = s.value(window + QStringLiteral("/inside"));
    const QRect r = inside.typeId() == QMetaType::QRect ? inside.toRect() : QRect();
    if (r.isValid() && r.width() < 100000 && r.height() < 100000) w.setGeometry(r);
    FitToScreen(&w); // a place on a larger screen
    if (s.value(window + QStringLiteral("/maximised")).toBool()) w.setWindowState(w.windowState() | Qt::WindowMaximized);
}

} // namespace

TProgramSettings::TProgramSettings(std::unique_ptr<QSettings> store) : store_(std::move(store)) {
    if (!store_) store_ = std::make_unique<QSettings>(QStringLiteral("qirt"), QStringLiteral("qirt"));
    readable_ = store_->status() == QSettings::NoError;
}

TProgramSettings::~TProgramSettings() = default;

void TProgramSettings::Restore(TForm1& w) const {
    if (!readable_) return;
    const QSettings& s = *store_;
    RestorePlace(s, QStringLiteral("main"), w);
    bool ok = false;
    const int family = s.value(QStringLiteral("main/family")).toInt(&ok);
    if (ok && family >= family::ZeroOrder && family <= family::GraphOnly && family != family::Statistical) {
        w.ChooseFamily(family);
        const int tab = s.value(QStringLiteral("main/method")).toInt(&ok);
        if (ok && tab >= 0 && tab < w.TabControl1->count()) w.TabControl1->setCurrentIndex(tab);
    }
    const QString step = NumberOrEmpty(s.value(QStringLiteral("main/step")), true);
    if (!step.isEmpty()) w.ComboBox5->setEditText(step);
    const QString variable = NumberOrEmpty(s.value(QStringLiteral("main/variableAccuracy")), false);
    if (!variable.isEmpty()) w.ComboBox1->setEditText(variable);
    const QString value = NumberOrEmpty(s.value(QStringLiteral("main/valueAccuracy")), false);
    if (!value.isEmpty()) w.ComboBox2->setEditText(value);
    w.RecentTasks = RecentTasks();
    w.UpdateRecentMenu();
}

QStringList TProgramSettings::RecentTasks() const {
    QStringList files;
    if (!readable_) return files;
    for (const QString& f : store_->value(QStringLiteral("tasks/recent")).toStringList())
        if (files.size() < TForm1::kRecentTasks && QFileInfo(f).isAbsolute() && QFileInfo(f).isFile() &&
            !files.contains(f))
            files << f;
    return files;
}

void TProgramSettings::RememberRecentTasks(const QStringList& files) {
    store_->setValue(QStringLiteral("tasks/recent"), files);
    store_->sync();
}

void TProgramSettings::Remember(const TForm1& w) {
    QSettings& s = *store_;
    RememberPlace(s, QStringLiteral("main"), w);
    s.setValue(QStringLiteral("main/family"), w.MethodFamily);
    s.setValue(QStringLiteral("main/method"), w.TabControl1->currentIndex());
    s.setValue(QStringLiteral("main/step"), QString::fromStdString(w.EngineStepText()));
    s.setValue(QStringLiteral("main/variableAccuracy"), w.ComboBox1->currentText());
    s.setValue(QStringLiteral("main/valueAccuracy"), w.ComboBox2->currentText());
    s.sync();
}

void TProgramSettings::Restore(TForm3& g) const {
    if (!readable_) return;
    const QSettings& s = *store_;
    RestorePlace(s, QStringLiteral("graph"), g);
    const QString colours = s.value(QStringLiteral("graph/colours")).toString();
    const std::string text = Std(colours);
    if (IsNumberText(text) && TextToReal(text) >= 1 && TextToReal(text) <= 1e6) g.Edit5->setText(colours);
    for (auto [key, dialog] : {std::pair{"folders/map", g.SavePictureDialog1},
                               std::pair{"folders/track", g.SaveDialog1}}) {
        const QString folder = s.value(QString::fromUtf8(key)).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog->setDirectory(folder);
    }
}

void TProgramSettings::Remember(const TForm3& g) {
    QSettings& s = *store_;
    RememberPlace(s, QStringLiteral("graph"), g);
    s.setValue(QStringLiteral("graph/colours"), g.Edit5->text());
    if (!g.MapFileName.isEmpty())
        s.setValue(QStringLiteral("folders/map"), QFileInfo(g.MapFileName).absolutePath());
    if (!g.TrackFileName.isEmpty())
        s.setValue(QStringLiteral("folders/track"), QFileInfo(g.TrackFileName).absolutePath());
    s.sync();
}

void TProgramSettings::Restore(TForm4& r) const {
    if (readable_)
        RestorePlace(*store_, QStringLiteral("region"), r);
    else
        FitToScreen(&r);
}

void TProgramSettings::Remember(const TForm4& r) {
    RememberPlace(*store_, QStringLiteral("region"), r);
    store_->sync();
}

TLanguage TProgramSettings::Language() const {
    TLanguage language = TLanguage::Russian;
    if (readable_) LanguageFromCode(store_->value(QStringLiteral("language")).toString(), language);
    return language;
}

void TProgramSettings::RememberLanguage(TLanguage language) {
    store_->setValue(QStringLiteral("language"), LanguageCode(language));
    store_->sync();
}

void TProgramSettings::Clear() {
    store_->clear();
    store_->sync();
    readable_ = true;
}

} // namespace qirt
