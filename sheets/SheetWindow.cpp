#include "sheets/SheetWindow.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cstring>

#include "sheets/Readings.h"
#include "sheets/SheetCommit.h"

namespace {

// Sheet texts are bytes; the controls show each as its Latin-1 character.
QString toQString(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

SheetWindow::SheetWindow(const QString& caption, DataSheet& sheet, QWidget* owner)
    : QWidget(owner, Qt::Window), sheet_(sheet)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    move(30, 50);
    resize(200, 200);
    openSheetWindow();
}

SheetWindow::~SheetWindow()
{
    if (controlsReady_ == 1)
        commitSheetList();
    controlsReady_ = 0;
    selected_ = 0;
    if (onDestroyed)
        onDestroyed();
}

int SheetWindow::entryCount() const
{
    const int count = sheet_.size() > 0 ? integerReading(sheet_[0].value) : 0;
    return std::clamp(count, 0, static_cast<int>(sheet_.size()) - 1);
}

void SheetWindow::openSheetWindow()
{
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int cw = metrics.averageCharWidth();
    const int count = entryCount();
    std::size_t longest = 0;
    for (int i = 0; i <= count; ++i)
        longest = std::max(longest, std::strlen(sheet_[static_cast<std::size_t>(i)].display));
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + cw * static_cast<int>(longest);

    list_ = new QListWidget(this);
    list_->setGeometry(cw, 5 * h, w, (count + 1) * h);
    button_ = new QPushButton("update", this);
    button_->setGeometry(cw, h, 8 * cw, h * 3 / 2);
    edit_ = new QLineEdit(this);
    edit_->setGeometry(cw, h + h * 9 / 5, w, h);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    list_->setFont(fixed);
    edit_->setFont(fixed);
    fillSheetList();

    connect(list_, &QListWidget::itemDoubleClicked, this, &SheetWindow::pickRow);
    connect(edit_, &QLineEdit::textEdited, this, &SheetWindow::rewriteSelectedRow);
    connect(button_, &QPushButton::clicked, this, &SheetWindow::commitSheetList);

    if (list_->count() > 0) {
        list_->setCurrentRow(0);
        edit_->setText(list_->item(0)->text());
        edit_->setCursorPosition(0);
    }
    controlsReady_ = 1;
}

void SheetWindow::fillSheetList()
{
    const int count = entryCount();
    for (int i = 1; i <= count; ++i)
        list_->insertItem(i - 1, toQString(sheet_[static_cast<std::size_t>(i)].display));
}

void SheetWindow::pickRow(QListWidgetItem* item)
{
    selected_ = list_->row(item);
    edit_->setText(item->text());
    edit_->setCursorPosition(0);
}

void SheetWindow::rewriteSelectedRow(const QString& text)
{
    if (selected_ < 0 || selected_ >= list_->count())
        return;
    const QString buffer = text.left(bufferLimit);
    list_->insertItem(selected_, buffer);
    delete list_->takeItem(selected_ + 1);
    list_->setCurrentRow(selected_);
}

void SheetWindow::commitSheetList()
{
    for (int i = 0; i < list_->count(); ++i) {
        const auto line = static_cast<std::size_t>(i) + 1;
        if (line >= sheet_.size())
            break;
        commitRow(sheet_[line], list_->item(i)->text().toLatin1().toStdString());
    }
}
