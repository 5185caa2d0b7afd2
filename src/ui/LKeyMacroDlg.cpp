#include "ui/LKeyMacroDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/LKVCommands.h"
#include "app/LKVMenuLayout.h"
#include "ui/LKVVirtualKeys.h"

namespace {

QString MacroText(const LKeyMacro& m)
{
    QStringList names;
    for (int32_t id : m.commands)
        names << QString::fromStdString(LKVCommandName(id));
    return QString::fromStdString(LKeyMacros::KeyName(m.key)) + QStringLiteral("  \u2192  ") +
           (names.isEmpty() ? QStringLiteral("(no commands)") : names.join(QStringLiteral(", ")));
}

QListWidgetItem* CommandItem(int32_t id)
{
    auto* item = new QListWidgetItem(QString::fromStdString(LKVCommandName(id)));
    item->setData(Qt::UserRole, id);
    return item;
}

} // namespace

LKeyCaptureEdit::LKeyCaptureEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setPlaceholderText(QStringLiteral("Press a key"));
}

void LKeyCaptureEdit::SetCode(uint32_t code)
{
    code_ = code;
    setText(code ? QString::fromStdString(LKeyMacros::KeyName(code)) : QString());
}

bool LKeyCaptureEdit::event(QEvent* e)
{
    // Tab, Backtab and the shortcuts of the window are keys to capture here.
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void LKeyCaptureEdit::keyPressEvent(QKeyEvent* e)
{
    const uint32_t code = LKVKeyCode(*e);
    if (code == 0 || !LKeyMacros::IsAcceptedKey(uint16_t(code & 0xFFFF))) {
        // A modifier alone is the start of a combination, not a refusal.
        const int key = e->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            emit refused();
        return;
    }
    SetCode(code);
    emit captured(code);
}

LKeyMacroDlg::LKeyMacroDlg(const LKeyMacros& macros, QWidget* parent) : QDialog(parent), macros_(macros)
{
    setObjectName(QStringLiteral("KeyMacroDlg"));
    setWindowTitle(QStringLiteral("Key Macros"));
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("macros"));
    auto* remove = new QPushButton(QStringLiteral("&Delete Macro"));
    remove->setObjectName(QStringLiteral("deleteMacro"));
    key_ = new LKeyCaptureEdit;
    key_->setObjectName(QStringLiteral("key"));
    hint_ = new QLabel(QStringLiteral("Click the field and press the key (with Ctrl, Alt or Shift) that runs the "
                                      "commands. Enter and Esc cannot be used."));
    hint_->setWordWrap(true);
    commands_ = new QListWidget;
    commands_->setObjectName(QStringLiteral("commands"));
    for (const LKVCommandInfo& c : LKVCommandTable())
        commands_->addItem(CommandItem(c.id));
    chosen_ = new QListWidget;
    chosen_->setObjectName(QStringLiteral("chosen"));
    auto* add = new QPushButton(QStringLiteral("&Add >"));
    add->setObjectName(QStringLiteral("addCommand"));
    auto* take = new QPushButton(QStringLiteral("< &Remove"));
    auto* up = new QPushButton(QStringLiteral("Move &Up"));
    auto* down = new QPushButton(QStringLiteral("Move Do&wn"));

    connect(key_, &LKeyCaptureEdit::captured, this, &LKeyMacroDlg::NewMacro);
    connect(key_, &LKeyCaptureEdit::refused, this,
            [this] { hint_->setText(QStringLiteral("Enter, Esc, Shift, Ctrl and Alt alone cannot start a macro.")); });
    connect(list_, &QListWidget::currentRowChanged, this, &LKeyMacroDlg::ShowMacro);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (const uint32_t key = SelectedKey()) {
            macros_.Remove(key);
            FillMacros(0);
        }
    });
    auto addCommand = [this] {
        if (!SelectedKey() || !commands_->currentItem())
            return;
        chosen_->addItem(CommandItem(commands_->currentItem()->data(Qt::UserRole).toInt()));
        StoreCommands();
    };
    connect(add, &QPushButton::clicked, this, addCommand);
    connect(commands_, &QListWidget::itemDoubleClicked, this, addCommand);
    connect(take, &QPushButton::clicked, this, [this] {
        delete chosen_->currentItem();
        StoreCommands();
    });
    auto move = [this](int by) {
        const int row = chosen_->currentRow(), to = row + by;
        if (row < 0 || to < 0 || to >= chosen_->count())
            return;
        chosen_->insertItem(to, chosen_->takeItem(row));
        chosen_->setCurrentRow(to);
        StoreCommands();
    };
    connect(up, &QPushButton::clicked, this, [move] { move(-1); });
    connect(down, &QPushButton::clicked, this, [move] { move(1); });

    auto* left = new QVBoxLayout;
    auto* macrosLabel = new QLabel(QStringLiteral("&Macros:"));
    macrosLabel->setBuddy(list_);
    left->addWidget(macrosLabel);
    left->addWidget(list_, 1);
    left->addWidget(remove);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(take);
    middle->addSpacing(12);
    middle->addWidget(up);
    middle->addWidget(down);
    middle->addStretch();
    auto* right = new QGridLayout;
    auto* keyLabel = new QLabel(QStringLiteral("&Key:"));
    keyLabel->setBuddy(key_);
    right->addWidget(keyLabel, 0, 0);
    right->addWidget(key_, 0, 1, 1, 3);
    right->addWidget(hint_, 1, 0, 1, 4);
    auto* commandsLabel = new QLabel(QStringLiteral("C&ommands:"));
    commandsLabel->setBuddy(commands_);
    right->addWidget(commandsLabel, 2, 0, 1, 2);
    right->addWidget(new QLabel(QStringLiteral("Runs in this order:")), 2, 3);
    right->addWidget(commands_, 3, 0, 1, 2);
    right->addLayout(middle, 3, 2);
    right->addWidget(chosen_, 3, 3);
    right->setColumnStretch(1, 1);
    right->setColumnStretch(3, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addSpacing(8);
    top->addLayout(right, 5);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // A macro that runs nothing would only hide its key's shortcut.
        const LKeyMacros edited = macros_;
        for (const LKeyMacro& m : edited.Macros())
            if (m.commands.empty())
                macros_.Remove(m.key);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    resize(860, 480);
    FillMacros(macros_.Macros().empty() ? 0 : macros_.Macros().front().key);
}

uint32_t LKeyMacroDlg::SelectedKey() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toUInt() : 0;
}

void LKeyMacroDlg::FillMacros(uint32_t select)
{
    const QSignalBlocker block(list_);
    list_->clear();
    for (const LKeyMacro& m : macros_.Macros()) {
        auto* item = new QListWidgetItem(MacroText(m), list_);
        item->setData(Qt::UserRole, m.key);
        if (m.key == select)
            list_->setCurrentItem(item);
    }
    ShowMacro();
}

void LKeyMacroDlg::ShowMacro()
{
    chosen_->clear();
    const LKeyMacro* m = macros_.Find(SelectedKey());
    key_->SetCode(m ? m->key : 0);
    if (m)
        for (int32_t id : m->commands)
            chosen_->addItem(CommandItem(id));
}

void LKeyMacroDlg::NewMacro(uint32_t code)
{
    // A key that has a macro already selects it; a new key starts an empty one.
    if (!macros_.Find(code))
        macros_.Set(code, {});
    FillMacros(code);
}

void LKeyMacroDlg::StoreCommands()
{
    const uint32_t key = SelectedKey();
    if (!key)
        return;
    std::vector<int32_t> commands;
    for (int i = 0; i < chosen_->count(); ++i)
        commands.push_back(chosen_->item(i)->data(Qt::UserRole).toInt());
    if (!macros_.Set(key, commands)) {
        hint_->setText(QStringLiteral("A macro runs at most 255 commands."));
        ShowMacro();
        return;
    }
    if (QListWidgetItem* item = list_->currentItem())
        item->setText(MacroText(*macros_.Find(key)));
}
