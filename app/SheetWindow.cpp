#include "app/SheetWindow.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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
    createControls();
}

// Going away saves the edits, as the button does.
SheetWindow::~SheetWindow()
{
    commit();
}

void SheetWindow::createControls()
{
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int cw = metrics.averageCharWidth();
    const std::size_t count = entryCount(sheet_);
    std::size_t longest = 0;
    for (std::size_t i = 0; i <= count && i < sheet_.size(); ++i)
        longest = std::max(longest, std::strlen(sheet_[i].display));
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + cw * static_cast<int>(longest);

    // The list has room for one row more than it holds.
    list_ = new QListWidget(this);
    list_->setGeometry(cw, 5 * h, w, static_cast<int>(count + 1) * h);
    button_ = new QPushButton("update", this);
    button_->setGeometry(cw, h, 8 * cw, h * 3 / 2);
    edit_ = new QLineEdit(this);
    edit_->setGeometry(cw, h + h * 9 / 5, w, h);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    list_->setFont(fixed);
    edit_->setFont(fixed);
    fillList();

    connect(list_, &QListWidget::itemDoubleClicked, this, &SheetWindow::pickRow);
    connect(edit_, &QLineEdit::textEdited, this, &SheetWindow::rewriteSelectedRow);
    connect(button_, &QPushButton::clicked, this, &SheetWindow::commit);

    if (list_->count() > 0) {
        list_->setCurrentRow(0);
        edit_->setText(list_->item(0)->text());
        edit_->setCursorPosition(0);
    }
}

// Row i stands for line i + 1; the header is never listed.
void SheetWindow::fillList()
{
    const std::size_t count = entryCount(sheet_);
    for (std::size_t i = 1; i <= count; ++i)
        list_->insertItem(static_cast<int>(i) - 1, toQString(sheet_[i].display));
}

void SheetWindow::pickRow(QListWidgetItem* item)
{
    selected_ = list_->row(item);
    edit_->setText(item->text());
    edit_->setCursorPosition(0);
}

// Every keystroke shows at once in the selected row.
void SheetWindow::rewriteSelectedRow(const QString& text)
{
    if (selected_ < 0 || selected_ >= list_->count())
        return;
    const QString buffer = text.left(bufferLimit);
    list_->insertItem(selected_, buffer);
    delete list_->takeItem(selected_ + 1);
    list_->setCurrentRow(selected_);
}

void SheetWindow::commit()
{
    std::vector<std::string> rows;
    for (int i = 0; i < list_->count(); ++i)
        rows.push_back(list_->item(i)->text().toLatin1().toStdString());
    commitSheetList(rows, sheet_);
}
