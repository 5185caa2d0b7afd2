#pragma once
#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;

// "ExportRegionDlg": the folder the regions are saved into and their format.
// The caller checks the folder.
class LExportRegionDlg : public QDialog {
    Q_OBJECT
public:
    LExportRegionDlg(const std::string& folder, int32_t formatIndex, QWidget* parent = nullptr);
    std::string Folder() const;
    int32_t FormatIndex() const;

private:
    QLineEdit* folder_;
    QComboBox* format_;
};
