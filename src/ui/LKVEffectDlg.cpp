#include "ui/LKVEffectDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "core/LUi.h"
#include "effects/LEfDialogChecks.h"

LKVEffectDlg::LKVEffectDlg(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough for the caption in the title bar, as long as some command names are.
    layout->addStrut(std::max(280, fontMetrics().horizontalAdvance(caption) + 120));
    body_ = new QVBoxLayout;
    layout->addLayout(body_);
    layout->addSpacing(6);
    // The dialog's own actions at the left, apart from OK and Cancel.
    actions_ = new QHBoxLayout;
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons_, &QDialogButtonBox::accepted, this, &LKVEffectDlg::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &LKVEffectDlg::reject);
    auto* row = new QHBoxLayout;
    row->addLayout(actions_);
    row->addStretch(1);
    row->addSpacing(24);
    row->addWidget(buttons_);
    layout->addLayout(row);
}

QFormLayout& LKVEffectDlg::Form()
{
    if (!form_) {
        form_ = new QFormLayout;
        form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        form_->setHorizontalSpacing(12);
        body_->addLayout(form_);
    }
    return *form_;
}

QPushButton* LKVEffectDlg::AddButton(int id, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(IdName(id));
    AddActionButton(b);
    return b;
}

void LKVEffectDlg::AddActionButton(QPushButton* button, bool first)
{
    button->setAutoDefault(false);
    actions_->insertWidget(first ? 0 : actions_->count(), button);
}

QLineEdit* LKVEffectDlg::AddNumberField(int id, const QString& label, int32_t value)
{
    auto* field = new QLineEdit(QString::number(value));
    field->setObjectName(IdName(id));
    // Digits with an optional sign; the range is checked on OK.
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]{0,10}")), field));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-0000000000")) + 16);
    Form().addRow(label, field);
    return field;
}

bool LKVEffectDlg::ReadNumber(QLineEdit* field, int32_t& value, Failure& failure)
{
    bool ok = false;
    const qlonglong v = field->text().trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX) {
        failure = {"Please type a whole number between -2147483648 and 2147483647.", field};
        return false;
    }
    value = int32_t(v);
    return true;
}

void LKVEffectDlg::accept()
{
    const Failure failure = Check();
    if (failure.message.empty()) {
        QDialog::accept();
        return;
    }
    LUiGet().Message(failure.message, kInvalidValueCaption, LUiButtons::Ok, LUiIcon::Information);
    if (failure.field) {
        failure.field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(failure.field))
            edit->selectAll();
        else if (auto* box = qobject_cast<QComboBox*>(failure.field); box && box->lineEdit())
            box->lineEdit()->selectAll();
    }
}
