#include "ui/LTextDlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

LTextDlg::LTextDlg(const QString& title, const QString& text, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TextDlg"));
    setWindowTitle(title);
    edit_ = new QLineEdit(text);
    edit_->setObjectName(QStringLiteral("text"));
    edit_->selectAll();
    edit_->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    setFixedHeight(sizeHint().height());
}

QString LTextDlg::Text() const { return edit_->text(); }
