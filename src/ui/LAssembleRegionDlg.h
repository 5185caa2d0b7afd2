#pragma once
#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QSpinBox;

// "AssembleRegionDlg": the user picks regions into a playing order, and sets
// the silence put between them ("AutoGap", "AutoGapTime", stored on OK).
class LAssembleRegionDlg : public QDialog {
    Q_OBJECT
public:
    LAssembleRegionDlg(const std::vector<std::string>& names, QWidget* parent = nullptr);
    // Indexes into the names, in playing order.
    std::vector<size_t> Order() const;

    void accept() override;

private:
    void Add();
    void Remove();
    void Move(int by);
    void UpdateButtons();

    QListWidget* available_;
    QListWidget* order_;
    QCheckBox* gap_;
    QSpinBox* gapMs_;
    QPushButton* ok_ = nullptr;
};
