#include "ui/LQtProgressDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "ui/LKVAppInfo.h"

namespace {
int g_showDelay = 400;
}

void LQtProgressDialog::SetShowDelay(int ms) { g_showDelay = ms; }

LQtProgressDialog::LQtProgressDialog(const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setObjectName("LProgressDialog");

    auto* icon = new QLabel;
    icon->setPixmap(LKVAppIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    for (QLabel*& l : lines_) {
        l = new QLabel;
        l->setMinimumWidth(320);
        l->setTextFormat(Qt::PlainText);
    }
    lines_[0]->setObjectName("line0");
    lines_[1]->setObjectName("line1");
    bar_ = new QProgressBar;
    bar_->setRange(0, 100);
    bar_->setValue(0);
    auto* product = new QLabel(LKVProductLine());
    product->setEnabled(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &LQtProgressDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(lines_[0], 0, 1);
    grid->addWidget(lines_[1], 1, 1);
    grid->addWidget(bar_, 2, 0, 1, 2);
    grid->addWidget(product, 3, 0, 1, 2);
    grid->addWidget(buttons, 3, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    setFixedSize(sizeHint());
    age_.start();
}

void LQtProgressDialog::SetLine(int line, const QString& text)
{
    if (line == 0 || line == 1)
        lines_[line]->setText(text);
}

void LQtProgressDialog::SetPercent(int percent) { bar_->setValue(percent); }

bool LQtProgressDialog::Pump()
{
    if (!isVisible() && !cancelled_ && age_.elapsed() >= g_showDelay) {
        show();
        raise();
    }
    // Before the window shows, the user's input waits: a click on the frame must
    // not start another command in the middle of this one.
    QCoreApplication::processEvents(isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return cancelled_;
}

void LQtProgressDialog::reject()
{
    cancelled_ = true;
    hide();
}
