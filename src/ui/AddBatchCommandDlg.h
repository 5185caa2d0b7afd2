#pragma once
#include <QDialog>
#include <cstdint>
#include <vector>

class QListWidget;
class QPushButton;

// The batch command picker: every command of the catalogue, several of which
// may be chosen at once (a click toggles a row); a double-click chooses that row
// and closes as OK would.
class AddBatchCommandDlg : public QDialog {
    Q_OBJECT
public:
    explicit AddBatchCommandDlg(QWidget* parent = nullptr);
    // The catalogue indexes chosen, in the list's order.
    std::vector<uint32_t> Chosen() const;
    QListWidget& List() const { return *list_; }

private:
    QListWidget* list_;
    QPushButton* ok_;
};
