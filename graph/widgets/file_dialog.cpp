#include "graph/widgets/file_dialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace qirt {

namespace {

// Icons and type names from a file's name, never its contents.
class TNameOnlyIcons : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override { return plain_.icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        return plain_.icon(info.isDir() ? QAbstractFileIconProvider::Folder : QAbstractFileIconProvider::File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return plain_.type(info); // "Folder", by the kind alone
        return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
    }

private:
    QFileIconProvider plain_;
};

} // namespace

void UseOwnFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    static TNameOnlyIcons icons; // outlives every dialog
    dialog.setIconProvider(&icons);
}

} // namespace qirt
