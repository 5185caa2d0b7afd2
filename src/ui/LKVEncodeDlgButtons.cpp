#include "ui/LKVEncodeDlgButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QWidget* LKVEncodeDlgButtons(QDialog& dialog, std::function<void()> restore)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* defaults = buttons->addButton(QStringLiteral("&Restore Defaults"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("restoreDefaults"));
    QObject::connect(defaults, &QPushButton::clicked, &dialog, std::move(restore));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}
