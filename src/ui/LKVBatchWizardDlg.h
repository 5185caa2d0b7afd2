#pragma once
#include <QWizard>
#include <string>
#include <vector>

#include "app/LKVScriptDocument.h"

class LSelectBatchCommandDlg;
class LSelectBatchFileDlg;
class LSelectSaveFormatDlg;

// The batch converter, a wizard titled "Batch Converter" in three steps: the
// files, the commands, the output type and folder. Finish runs the conversion
// as one job under the progress window of the same title. The file list is the
// frame's (`files`); the wizard empties it, and drops its command list, when it
// closes. Closing without converting asks first whether to save a command list
// that would otherwise be lost.
class LKVBatchWizardDlg : public QWizard {
    Q_OBJECT
public:
    enum PageId { kFilePage, kCommandPage, kOutputPage };

    explicit LKVBatchWizardDlg(std::vector<std::string>& files, QWidget* parent = nullptr);
    ~LKVBatchWizardDlg() override;

    // The file list changed outside the wizard (a file added by another instance).
    void FilesChanged();

    LKVScriptDocument& Script() { return script_; }
    LSelectBatchFileDlg& FilePage() const { return *filePage_; }
    LSelectBatchCommandDlg& CommandPage() const { return *commandPage_; }
    LSelectSaveFormatDlg& OutputPage() const { return *outputPage_; }

    void reject() override;

private:
    std::vector<std::string>& files_;
    LKVScriptDocument script_;
    LSelectBatchFileDlg* filePage_;
    LSelectBatchCommandDlg* commandPage_;
    LSelectSaveFormatDlg* outputPage_;
};
