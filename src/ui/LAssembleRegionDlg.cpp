#include "ui/LAssembleRegionDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/LSettingsTable.h"

namespace S = LKVSettings;

LAssembleRegionDlg::LAssembleRegionDlg(const std::vector<std::string>& names, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AssembleRegionDlg"));
    setWindowTitle(QStringLiteral("Assemble Regions"));
    available_ = new QListWidget;
    available_->setObjectName(QStringLiteral("available"));
    available_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(names[i]), available_);
        item->setData(Qt::UserRole, qulonglong(i));
    }
    order_ = new QListWidget;
    order_->setObjectName(QStringLiteral("order"));
    auto* add = new QPushButton(QStringLiteral("&Add >"));
    add->setObjectName(QStringLiteral("add"));
    auto* remove = new QPushButton(QStringLiteral("< &Remove"));
    auto* up = new QPushButton(QStringLiteral("Move &Up"));
    auto* down = new QPushButton(QStringLiteral("Move &Down"));
    connect(add, &QPushButton::clicked, this, &LAssembleRegionDlg::Add);
    connect(available_, &QListWidget::itemDoubleClicked, this, &LAssembleRegionDlg::Add);
    connect(remove, &QPushButton::clicked, this, &LAssembleRegionDlg::Remove);
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(1); });

    gap_ = new QCheckBox(QStringLiteral("&Insert silence between regions:"));
    gap_->setChecked(S::kAutoGap.Read());
    gapMs_ = new QSpinBox;
    gapMs_->setRange(0, 60000);
    gapMs_->setSuffix(QStringLiteral(" ms"));
    gapMs_->setValue(S::kAutoGapTime.Read());
    gapMs_->setEnabled(gap_->isChecked());
    connect(gap_, &QCheckBox::toggled, gapMs_, &QSpinBox::setEnabled);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(remove);
    middle->addSpacing(12);
    middle->addWidget(up);
    middle->addWidget(down);
    middle->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Regions:")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Assemble in this order:")), 0, 2);
    grid->addWidget(available_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(order_, 1, 2);
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(gap_);
    gapRow->addWidget(gapMs_);
    gapRow->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &LAssembleRegionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(gapRow);
    layout->addWidget(buttons);
    resize(560, 360);
    UpdateButtons();
}

void LAssembleRegionDlg::Add()
{
    for (QListWidgetItem* item : available_->selectedItems())
        order_->addItem(item->clone());
    UpdateButtons();
}

void LAssembleRegionDlg::Remove()
{
    delete order_->currentItem();
    UpdateButtons();
}

void LAssembleRegionDlg::Move(int by)
{
    const int row = order_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= order_->count())
        return;
    QListWidgetItem* item = order_->takeItem(row);
    order_->insertItem(to, item);
    order_->setCurrentRow(to);
}

void LAssembleRegionDlg::UpdateButtons() { ok_->setEnabled(order_->count() > 0); }

std::vector<size_t> LAssembleRegionDlg::Order() const
{
    std::vector<size_t> order;
    for (int i = 0; i < order_->count(); ++i)
        order.push_back(size_t(order_->item(i)->data(Qt::UserRole).toULongLong()));
    return order;
}

void LAssembleRegionDlg::accept()
{
    S::kAutoGap.Write(gap_->isChecked());
    S::kAutoGapTime.Write(gapMs_->value());
    QDialog::accept();
}
