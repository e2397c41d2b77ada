#include "app/MessageBoxWidth.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

int captionWidth(const QString& caption)
{
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    title.setBold(true);
    const QFontMetrics metrics(title);
    // An icon and three buttons, each about two lines of the font square.
    const int buttons = 4 * 2 * metrics.height();
    return metrics.horizontalAdvance(caption) + buttons;
}

// A message box sizes itself to its layout when shown: an empty row as
// wide as the caption needs widens it.
void fitCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    grid->addItem(new QSpacerItem(captionWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
