#include "ui/LKVBookMarkDlg.h"

#include <QTreeWidget>

#include "app/MainDialog.h"

LKVBookMarkDlg::LKVBookMarkDlg(MainDialog& model, QWidget* parent)
    : LKVListWindow(QStringLiteral("BookMarkDlg"), QStringLiteral("Bookmarks"),
                    {QStringLiteral("Name"), QStringLiteral("Time"), QStringLiteral("Times Visited"),
                     QStringLiteral("Last Visited")},
                    parent),
      model_(model)
{
    AddCommand(QStringLiteral("&Go To"), "goTo", Needs::OneRow, [this] { GoTo(); });
    AddGap();
    AddCommand(QStringLiteral("&Rename..."), "rename", Needs::OneRow, [this] {
        if (const int row = CommandRow(); row >= 0)
            model_.RenameBookmark(size_t(row));
    });
    AddCommand(QStringLiteral("&Delete"), "delete", Needs::Selection,
               [this] { model_.DeleteBookmarks(SelectedRows()); },
               QKeySequence::Delete);
    AddCommand(QStringLiteral("Delete &All"), "deleteAll", Needs::Rows, [this] { model_.DeleteAllBookmarks(); });
    AddCloseButton();
    SetDefaultCommand([this] { GoTo(); });
    Refresh();
}

void LKVBookMarkDlg::GoTo()
{
    if (const int row = CommandRow(); row >= 0)
        model_.GoToBookmark(size_t(row));
}

void LKVBookMarkDlg::Refresh()
{
    std::vector<QStringList> rows;
    for (const LKVBookMark& b : model_.BookMarks())
        rows.push_back({QString::fromStdString(b.name), QString::fromStdString(b.TimeText()),
                        QString::number(b.timesVisited), QString::fromStdString(b.LastVisitedText())});
    Fill(rows);
    for (int i = 0; i < List().topLevelItemCount(); ++i)
        List().topLevelItem(i)->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
}
