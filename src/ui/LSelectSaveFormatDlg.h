#pragma once
#include <QWizardPage>
#include <functional>

#include "app/KVBatchConverter.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The batch converter's last page: the output type (each file's own, or one of
// the output format table, with its encoder settings) and folder (each file's
// own, or one chosen). Finish stores the choice, checks the folder (offering to
// create a missing one) and starts the run; the wizard stays open when the run
// did not complete, with everything the user chose.
class LSelectSaveFormatDlg : public QWizardPage {
    Q_OBJECT
public:
    // `run` converts the files with the options chosen and returns the job result.
    LSelectSaveFormatDlg(std::function<int32_t(const LKVBatchOutput&)> run, QWidget* parent = nullptr);

    // The options as the page shows them.
    LKVBatchOutput Output() const;
    void initializePage() override;
    bool validatePage() override;

    void CmBrowse();
    void CmFormatSettings();

private:
    void ShowState();

    std::function<int32_t(const LKVBatchOutput&)> run_;
    QRadioButton* sameFormat_;
    QRadioButton* chosenFormat_;
    QComboBox* format_;
    QPushButton* formatSettings_;
    QRadioButton* sameFolder_;
    QRadioButton* chosenFolder_;
    QLineEdit* folder_;
    QPushButton* browse_;
};
