#include "windows/about.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "graph/map/map.h"
#include "graph/widgets/style.h"

namespace qirt {

QPixmap ProgramPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Rings of the map's level colours around the minimum, outermost first.
    const int rings = 7;
    for (int level = rings; level >= 1; --level) {
        const TColour c = LevelColour(level);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(c.Red, c.Green, c.Blue));
        const double r = size * 0.48 * level / rings;
        p.drawEllipse(QPointF(size * 0.55, size * 0.55), r * 1.15, r * 0.85);
    }
    p.setPen(QPen(Qt::black, std::max(1, size / 50)));
    const QPointF track[] = {{size * 0.12, size * 0.15}, {size * 0.4, size * 0.3},
                             {size * 0.5, size * 0.5}, {size * 0.55, size * 0.55}};
    p.drawPolyline(track, 4);
    p.setBrush(Qt::black);
    p.drawEllipse(track[0], size / 30.0 + 1, size / 30.0 + 1);
    return pixmap;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Tr("qirt", "About"));
    UseDialogFont(this);
    setFixedSize(304, 210);
    auto* panel = new QFrame(this);
    panel->setGeometry(8, 8, 289, 161);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    ProgramIcon = new QLabel(panel);
    ProgramIcon->setGeometry(8, 8, 105, 105);
    ProgramIcon->setPixmap(ProgramPixmap(105));
    QFont bold = font();
    bold.setBold(true);
    ProductName = new QLabel(QStringLiteral("Dravik"), panel);
    ProductName->setFont(bold);
    ProductName->move(128, 16);
    Version = new QLabel(Tr("qirt", "Version 1.0"), panel);
    Version->setFont(bold);
    Version->move(128, 40);
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setGeometry(114, 180, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(Tr("qirt", "About"));
        Version->setText(Tr("qirt", "Version 1.0"));
        Version->adjustSize();
    }
    QDialog::changeEvent(event);
}

} // namespace qirt
