#pragma once
#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

// "AssembleRegionDlg": the user picks regions into a playing order; Options
// opens the silence put between them (LAssembleOptionDlg).
class LAssembleRegionDlg : public QDialog {
    Q_OBJECT
public:
    // The order list starts with the names of `start` (indexes into `names`).
    LAssembleRegionDlg(const std::vector<std::string>& names, const std::vector<size_t>& start = {},
                       QWidget* parent = nullptr);
    // Indexes into the names, in playing order.
    std::vector<size_t> Order() const;

private:
    void Add();
    void Remove();
    void Move(int by);
    void UpdateButtons();

    QListWidget* available_;
    QListWidget* order_;
    QLabel* summary_;
    QPushButton* ok_ = nullptr;
};
