#pragma once
#include "app/LKVSendChoice.h"
#include "ui/LKVEffectDlg.h"

// The "Send" dialog of sending over SMTP: the recipient's address and the
// subject. OK refuses an address without "@" or with spaces in it.
class LKVSendDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    explicit LKVSendDlg(const LKVSendChoice& choice, QWidget* parent = nullptr);
    const LKVSendChoice& Choice() const { return choice_; }

protected:
    Failure Check() override;

private:
    LKVSendChoice choice_;
    QLineEdit* to_;
    QLineEdit* subject_;
};
