#pragma once
#include <QWizardPage>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

// The batch converter's first page: the files to convert. Add picks several
// audio files at once, Remove drops every selected row. The list is the frame's
// (other instances add to it), so the page shows it again on Refresh.
class LSelectBatchFileDlg : public QWizardPage {
    Q_OBJECT
public:
    LSelectBatchFileDlg(std::vector<std::string>& files, QWidget* parent = nullptr);

    // Next is offered only while the list holds a file.
    bool isComplete() const override;
    // Shows the list as it stands now.
    void Refresh();
    void CmAdd();
    void CmRemove();
    QListWidget& List() const { return *list_; }

private:
    void ShowButtons();

    std::vector<std::string>& files_;
    QListWidget* list_;
    QPushButton* remove_;
};
