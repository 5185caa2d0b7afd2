#include "ui/LKVListWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

LKVListWindow::LKVListWindow(const QString& objectName, const QString& title, const QStringList& columns,
                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("list"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setAlternatingRowColors(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels(columns);
    list_->header()->setStretchLastSection(true);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &LKVListWindow::UpdateCommands);
    connect(list_, &QTreeWidget::itemActivated, this, [this] {
        if (defaultCommand_)
            defaultCommand_();
    });
    connect(list_, &QWidget::customContextMenuRequested, this, &LKVListWindow::ShowContextMenu);
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("contextMenu"));

    buttons_ = new QVBoxLayout;
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons_);
}

QPushButton* LKVListWindow::AddCommand(const QString& text, const char* name, Needs needs, std::function<void()> run,
                                       QKeySequence::StandardKey key)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    buttons_->addWidget(button);
    auto* action = menu_->addAction(text);
    connect(button, &QPushButton::clicked, this, run);
    connect(action, &QAction::triggered, this, run);
    if (key != QKeySequence::UnknownKey) {
        // The menu shows the key; the list answers it (eventFilter).
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    commands_.push_back({button, action, needs, key});
    return button;
}

void LKVListWindow::AddGap() { buttons_->addSpacing(10); }

void LKVListWindow::AddCloseButton()
{
    buttons_->addStretch();
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons_->addWidget(close);
    UpdateCommands();
}

std::vector<size_t> LKVListWindow::SelectedRows() const
{
    std::vector<size_t> rows;
    for (QTreeWidgetItem* item : list_->selectedItems())
        rows.push_back(size_t(list_->indexOfTopLevelItem(item)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

int LKVListWindow::CommandRow() const
{
    QTreeWidgetItem* current = list_->currentItem();
    if (current && current->isSelected())
        return list_->indexOfTopLevelItem(current);
    const std::vector<size_t> rows = SelectedRows();
    return rows.empty() ? -1 : int(rows.front());
}

QPushButton* LKVListWindow::Button(const char* name) const
{
    return findChild<QPushButton*>(QString::fromUtf8(name));
}

void LKVListWindow::Fill(const std::vector<QStringList>& rows)
{
    QSet<QString> selected;
    for (QTreeWidgetItem* item : list_->selectedItems())
        selected.insert(item->text(0));
    const QString current = list_->currentItem() ? list_->currentItem()->text(0) : QString();
    // Columns fit the first rows shown; after that the user's widths stay.
    const bool first = list_->topLevelItemCount() == 0 && !rows.empty();
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
        for (const QStringList& row : rows) {
            auto* item = new QTreeWidgetItem(list_, row);
            if (selected.contains(row.value(0)))
                item->setSelected(true);
            if (!current.isEmpty() && row.value(0) == current)
                list_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        }
    }
    if (first)
        for (int c = 0; c + 1 < list_->columnCount(); ++c) {
            list_->resizeColumnToContents(c);
            list_->setColumnWidth(c, list_->columnWidth(c) + 12);
        }
    UpdateCommands();
}

void LKVListWindow::UpdateCommands()
{
    const int rows = list_->topLevelItemCount();
    const size_t selected = size_t(list_->selectedItems().size());
    for (const Command& c : commands_) {
        bool on = true;
        switch (c.needs) {
        case Needs::Nothing: break;
        case Needs::Rows: on = rows > 0; break;
        case Needs::Selection: on = selected > 0; break;
        case Needs::OneRow: on = CommandRow() >= 0; break;
        }
        c.button->setEnabled(on);
        c.action->setEnabled(on);
    }
}

void LKVListWindow::ShowContextMenu(const QPoint& at)
{
    UpdateCommands();
    menu_->popup(list_->viewport()->mapToGlobal(at));
}

bool LKVListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (const Command& c : commands_)
            if (c.key != QKeySequence::UnknownKey && key->matches(c.key)) {
                if (c.button->isEnabled())
                    c.button->click();
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void LKVListWindow::done(int result)
{
    // The frame forgets the window before it goes.
    if (!closing_) {
        closing_ = true;
        emit closed();
    }
    QDialog::done(result);
}
