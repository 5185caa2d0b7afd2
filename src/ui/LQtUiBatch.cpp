// The batch converter's own settings dialogs of the user-interface port.
#include "ui/LConvertChannelDlg.h"
#include "ui/LConvertRateDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LQtUi.h"

bool LQtUi::ConvertRateDialog(int32_t& rate)
{
    LConvertRateDlg d(0, rate, false, Owner());
    if (LKVExec(d) != QDialog::Accepted)
        return false;
    rate = d.Rate();
    return true;
}

bool LQtUi::ConvertChannelDialog(int32_t& channels)
{
    LConvertChannelDlg d(channels, Owner());
    if (LKVExec(d) != QDialog::Accepted)
        return false;
    channels = d.Channels();
    return true;
}
