#include "ui/LKVBatchShots.h"

#include <QApplication>
#include <QListWidget>
#include <QTreeView>

#include "app/LKVBatchSettings.h"
#include "ui/AddBatchCommandDlg.h"
#include "ui/LConvertChannelDlg.h"
#include "ui/LConvertRateDlg.h"
#include "ui/LKVBatchCommandModel.h"
#include "ui/LKVBatchWizardDlg.h"
#include "ui/LSelectBatchCommandDlg.h"
#include "ui/LSelectBatchFileDlg.h"

namespace {

void Shoot(QWidget& w, const QString& name, const std::function<void(QWidget&, const QString&)>& save)
{
    w.show();
    QApplication::processEvents();
    save(w, name);
}

} // namespace

void LKVBatchShots(QWidget* parent, const std::function<void(QWidget&, const QString&)>& save)
{
    std::vector<std::string> files = {"/home/user/interviews/monday-morning.wav", "/home/user/interviews/monday-afternoon.wav",
                                      "/home/user/interviews/tuesday.mp3", "/home/user/interviews/wednesday.aiff"};
    {
        LKVBatchWizardDlg wizard(files, parent);
        wizard.FilePage().List().item(1)->setSelected(true);
        Shoot(wizard, QStringLiteral("batch-files"), save);

        LKVBatchCommandModel& commands = wizard.CommandPage().Model();
        LKVScriptDocument& script = wizard.Script();
        for (uint32_t index : {0u, 4u, 5u, 15u, 7u, 16u, 17u})
            commands.Add(index);
        LKVBatchSettings::SetValues(script.commands[1], {95});
        LKVBatchSettings::SetValues(script.commands[6], {2});
        commands.Reset();
        wizard.next();
        wizard.CommandPage().View().setCurrentIndex(commands.index(3, 0));
        Shoot(wizard, QStringLiteral("batch-commands"), save);

        wizard.next();
        Shoot(wizard, QStringLiteral("batch-output"), save);
        wizard.hide();
        // The pictured lists are not the user's: closing asks nothing.
        script.commands.clear();
        wizard.CommandPage().CmNew();
    }
    files.clear();
    {
        AddBatchCommandDlg d(parent);
        d.List().item(3)->setSelected(true);
        d.List().item(4)->setSelected(true);
        Shoot(d, QStringLiteral("batch-add-command"), save);
    }
    {
        LConvertRateDlg d(0, 22050, false, parent);
        Shoot(d, QStringLiteral("batch-convert-rate"), save);
    }
    {
        LConvertChannelDlg d(1, parent);
        Shoot(d, QStringLiteral("batch-convert-channel"), save);
    }
}
