#pragma once
#include <QDialog>

#include "cd/LCDDataDlgModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Copy File(s) to CD > Data: the files and folders of a data CD (added with Add
// Files, Add Folder or dropped on the list), the volume label, where it goes (a
// recorder from the list, or "Write to image file..."), the size against the
// disc, the options, and Write, which stores the settings and writes under the
// progress window; the dialog closes after a write that went through.
class LCDDataDlg : public QDialog {
    Q_OBJECT
public:
    LCDDataDlg(LCDDataDlgModel& model, QWidget* parent = nullptr);

    // Adds files or folders as Add Files, Add Folder or a drop does.
    void AddPaths(const QStringList& paths);
    // Stores the options shown and writes; the job's result.
    int32_t Write();
    QString TotalText() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FillTree();
    void FillItem(QTreeWidgetItem* item, const LCDFile& node);
    void ReadDisc();
    void UpdateTotal();
    void UpdateEnabled();
    void TakeOptions();
    bool ToImage() const;

    LCDDataDlgModel& model_;
    LCDBurnDlgModel::Disc disc_;
    int32_t driveCount_ = 0;
    QLineEdit* label_;
    QTreeWidget* files_;
    QLabel* total_;
    QComboBox* target_;
    QLineEdit* image_;
    QPushButton* browse_;
    QComboBox* speed_;
    QLabel* disc_label_;
    QCheckBox* erase_;
    QCheckBox* overburn_;
    QCheckBox* simulate_;
    QCheckBox* rockRidge_;
    QPushButton* write_;
};
