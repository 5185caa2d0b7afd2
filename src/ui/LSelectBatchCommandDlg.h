#pragma once
#include <QWizardPage>

class LKVBatchCommandModel;
class LKVScriptDocument;
class QLabel;
class QPushButton;
class QTreeView;

// The batch converter's second page: the ordered command list (name and
// parameters), with Add, Remove, Settings, reordering by drag and drop, and the
// script commands New, Open, Save and Save As. The script's name shows above
// the list, with an asterisk while it has unsaved changes.
class LSelectBatchCommandDlg : public QWizardPage {
    Q_OBJECT
public:
    LSelectBatchCommandDlg(LKVScriptDocument& script, QWidget* parent = nullptr);

    // Next is offered with an empty list too: a run may only change the type.
    bool isComplete() const override;

    void CmAdd();
    void CmRemove();
    void CmSettings();
    void CmNew();
    void CmOpen();
    void CmSave();
    void CmSaveAs();

    QTreeView& View() const { return *view_; }
    LKVBatchCommandModel& Model() const { return *model_; }
    // The row selected, or -1.
    int CurrentRow() const;

private:
    // After the list or its script changed: buttons, title, Next.
    void ShowState();
    void Reloaded();

    LKVScriptDocument& script_;
    LKVBatchCommandModel* model_;
    QTreeView* view_;
    QLabel* title_;
    QPushButton* remove_;
    QPushButton* settings_;
};
