#include "ui/LSelectRegionDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "core/LSoundTime.h"

namespace {

QLineEdit* TimeEdit(int32_t ms, const char* name)
{
    auto* e = new QLineEdit(QString::fromStdString(LSoundTime(ms).GetTextMs()));
    e->setObjectName(QString::fromUtf8(name));
    e->setToolTip(QStringLiteral("hours:minutes:seconds.milliseconds"));
    return e;
}

int32_t Ms(const QLineEdit* e)
{
    LSoundTime t;
    t.SetText(e->text().toStdString());
    return t.GetMs();
}

} // namespace

LSelectRegionDlg::LSelectRegionDlg(int32_t startMs, int32_t endMs, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectRegionDlg"));
    setWindowTitle(QStringLiteral("Select Region"));
    start_ = TimeEdit(startMs, "start");
    end_ = TimeEdit(endMs, "end");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Start:"), start_);
    form->addRow(QStringLiteral("&End:"), end_);
    form->addRow(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

int32_t LSelectRegionDlg::StartMs() const { return Ms(start_); }
int32_t LSelectRegionDlg::EndMs() const { return Ms(end_); }
