#pragma once
#include "ui/LKVListWindow.h"

class MainDialog;

// "BookMarkDlg": the bookmark list window. One row per bookmark of the main
// window's list (Name, Time, Times Visited, Last Visited); Go To, Rename,
// Delete and Delete All run the model's commands on the selected rows. The
// frame calls Refresh whenever the list changes.
class LKVBookMarkDlg : public LKVListWindow {
    Q_OBJECT
public:
    LKVBookMarkDlg(MainDialog& model, QWidget* parent = nullptr);
    void Refresh();

    QSize sizeHint() const override { return {680, 300}; }

private:
    void GoTo();

    MainDialog& model_;
};
