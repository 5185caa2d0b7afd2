#include "ui/LSelectBatchCommandDlg.h"

#include <QFrame>
#include <algorithm>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/LKVBatchSettings.h"
#include "app/LKVScriptDocument.h"
#include "ui/AddBatchCommandDlg.h"
#include "ui/LKVBatchCommandModel.h"
#include "ui/LKVDialogExec.h"

namespace {

QPushButton* Button(const char* name, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

LSelectBatchCommandDlg::LSelectBatchCommandDlg(LKVScriptDocument& script, QWidget* parent)
    : QWizardPage(parent), script_(script)
{
    setObjectName(QStringLiteral("LSelectBatchCommandDlg"));
    setTitle(QStringLiteral("Step 2:"));
    setSubTitle(QStringLiteral("Select Commands"));
    model_ = new LKVBatchCommandModel(script_, this);
    view_ = new QTreeView;
    view_->setObjectName(QStringLiteral("commands"));
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setDragDropMode(QAbstractItemView::InternalMove);
    view_->setDefaultDropAction(Qt::MoveAction);
    view_->setDropIndicatorShown(true);
    view_->setDragDropOverwriteMode(false);
    view_->header()->setStretchLastSection(true);
    view_->header()->resizeSection(0, 230);
    view_->header()->setSectionsMovable(false);

    title_ = new QLabel;
    title_->setObjectName(QStringLiteral("script"));
    auto* add = Button("add", QStringLiteral("&Add..."));
    remove_ = Button("remove", QStringLiteral("&Remove"));
    settings_ = Button("settings", QStringLiteral("Se&ttings..."));
    auto* newScript = Button("new", QStringLiteral("&New"));
    auto* open = Button("open", QStringLiteral("&Open..."));
    auto* save = Button("save", QStringLiteral("&Save"));
    auto* saveAs = Button("saveAs", QStringLiteral("Save &As..."));
    connect(add, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmAdd);
    connect(remove_, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmRemove);
    connect(settings_, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmSettings);
    connect(newScript, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmNew);
    connect(open, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmOpen);
    connect(save, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmSave);
    connect(saveAs, &QPushButton::clicked, this, &LSelectBatchCommandDlg::CmSaveAs);
    connect(view_, &QTreeView::doubleClicked, this, [this] {
        if (settings_->isEnabled())
            CmSettings();
    });
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LSelectBatchCommandDlg::ShowState);
    connect(model_, &QAbstractItemModel::rowsMoved, this, &LSelectBatchCommandDlg::ShowState);

    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove_);
    buttons->addWidget(settings_);
    buttons->addWidget(line);
    buttons->addWidget(newScript);
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addWidget(saveAs);
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(title_, 0, 0);
    layout->addWidget(view_, 1, 0);
    layout->addLayout(buttons, 1, 1);
    layout->setColumnStretch(0, 1);
    ShowState();
}

// A run without commands converts the files' type or folder only: Next is always offered.
bool LSelectBatchCommandDlg::isComplete() const { return true; }

int LSelectBatchCommandDlg::CurrentRow() const
{
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LSelectBatchCommandDlg::ShowState()
{
    const int row = CurrentRow();
    const int32_t at = model_->Position(row);
    remove_->setEnabled(at >= 0);
    settings_->setEnabled(at >= 0 && LKVBatchSettings::HasSettings(script_.commands[size_t(at)].index));
    title_->setText(QStringLiteral("Command script: ") + QString::fromStdString(script_.Title()) +
                    (script_.Modified() ? QStringLiteral(" *") : QString()));
    emit completeChanged();
}

void LSelectBatchCommandDlg::Reloaded()
{
    model_->Reset();
    ShowState();
}

void LSelectBatchCommandDlg::CmAdd()
{
    AddBatchCommandDlg dialog(this);
    if (LKVExec(dialog) != QDialog::Accepted)
        return;
    for (uint32_t index : dialog.Chosen())
        model_->Add(index);
    view_->setCurrentIndex(model_->index(model_->rowCount() - 1, 0));
    ShowState();
}

void LSelectBatchCommandDlg::CmRemove()
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    model_->Remove(row);
    if (model_->rowCount() > 0)
        view_->setCurrentIndex(model_->index(std::min(row, model_->rowCount() - 1), 0));
    ShowState();
}

void LSelectBatchCommandDlg::CmSettings()
{
    const int row = CurrentRow();
    const int32_t at = model_->Position(row);
    if (at < 0)
        return;
    if (LKVBatchSettings::Edit(script_.commands[size_t(at)]))
        model_->Changed(row);
    ShowState();
}

void LSelectBatchCommandDlg::CmNew()
{
    script_.New();
    Reloaded();
}

void LSelectBatchCommandDlg::CmOpen()
{
    // A failed open leaves the list empty, a cancel leaves it as it was: both are shown.
    script_.Open();
    Reloaded();
}

void LSelectBatchCommandDlg::CmSave()
{
    script_.Save();
    ShowState();
}

void LSelectBatchCommandDlg::CmSaveAs()
{
    script_.SaveAs();
    ShowState();
}
