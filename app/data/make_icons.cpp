// Writes the program's icon, drawn from the map's level colours, as PNG
// files of the hicolor theme's sizes: make_icons OUTPUT_FOLDER.
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "windows/about.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) return 2;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QDir().mkpath(folder);
        if (!qirt::ProgramPixmap(size).save(folder + QStringLiteral("/ru.qirt.qirt.png"), "PNG")) return 1;
    }
    return 0;
}
