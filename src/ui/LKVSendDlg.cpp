#include "ui/LKVSendDlg.h"

#include <QFormLayout>
#include <QLineEdit>

LKVSendDlg::LKVSendDlg(const LKVSendChoice& choice, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Send"), parent), choice_(choice)
{
    setObjectName(QStringLiteral("LKVSendDlg"));
    to_ = new QLineEdit(QString::fromStdString(choice.to));
    to_->setObjectName(IdName(101));
    to_->setPlaceholderText(QStringLiteral("name@example.com"));
    to_->setMinimumWidth(320);
    subject_ = new QLineEdit(QString::fromStdString(choice.subject));
    subject_->setObjectName(IdName(102));
    Form().setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    Form().addRow(QStringLiteral("To:"), to_);
    Form().addRow(QStringLiteral("Subject:"), subject_);
}

LKVEffectDlg::Failure LKVSendDlg::Check()
{
    const std::string to = to_->text().trimmed().toStdString();
    if (to.find('@') == std::string::npos || to.find_first_of(" \t<>,;") != std::string::npos)
        return FailIf("Please type the recipient's e-mail address, e.g. name@example.com.", to_);
    choice_.to = to;
    choice_.subject = subject_->text().toStdString();
    return {};
}
