#include "app/AboutBox.h"

#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "Version.h"

namespace {

// The box is laid out in units of its own font, so that it grows with the
// font: a quarter of the average character width across, an eighth of
// the character height down.
struct FontUnits {
    int cw, h;
    QRect rect(int x, int y, int w, int hh) const
    {
        return QRect(x * cw / 4, y * h / 8, w * cw / 4, hh * h / 8);
    }
};

QLabel* centredLine(QDialog& dialog, const FontUnits& du, const QString& text, int y)
{
    auto* label = new QLabel(text, &dialog);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(du.rect(0, y, 210, 8));
    return label;
}

} // namespace

void showAboutBox(QWidget* owner)
{
    QDialog dialog(owner, Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setObjectName("AboutBox");
    dialog.setModal(true);
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    dialog.setFont(font);
    const QFontMetrics fm(font);
    const FontUnits du{fm.averageCharWidth(), fm.height()};
    dialog.setFixedSize(du.rect(0, 0, 210, 100).size());
    if (owner != nullptr)
        dialog.move(owner->mapToGlobal(QPoint(0, 0)) + du.rect(32, 32, 0, 0).topLeft());

    auto* frame = new QFrame(&dialog);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setGeometry(dialog.rect());

    centredLine(dialog, du, QString("kelvo %1 - surface plotter").arg(programVersion), 12);
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(QIcon(":/kelvo.svg").pixmap(32, 32));
    icon->move(du.rect(8, 8, 0, 0).topLeft());
    centredLine(dialog, du, "Draws z = f(x,y) as a hidden-line wire mesh", 35);
    centredLine(dialog, du, "Manual pages: kelvo(1) and kelvo-render(1)", 55);

    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    ok->setGeometry(du.rect(80, 81, 50, 14));
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(0); });
    dialog.exec();
}
