#pragma once
#include "ui/LKVListWindow.h"

class MainDialog;

// "RegionDlg": the region list window. One row per region of the main
// window's list (its name, its time range, the name of its file); the commands
// run the model's region commands on the selected rows. Play turns into Stop
// while a region it started is playing. The frame calls Refresh whenever the
// list changes and TransportChanged whenever the player's state does.
class LKVRegionDlg : public LKVListWindow {
    Q_OBJECT
public:
    LKVRegionDlg(MainDialog& model, QWidget* parent = nullptr);
    void Refresh();
    void TransportChanged();
    // Whether a region started here is playing (the button reads "Stop").
    bool Playing() const { return playing_; }

    QSize sizeHint() const override { return {620, 420}; }

protected:
    void UpdateCommands() override;

private:
    void PlayOrStop();
    // Runs `command` on the row a one-row command works on.
    void OnRow(void (*command)(MainDialog&, size_t));

    MainDialog& model_;
    QPushButton* play_ = nullptr;
    bool playing_ = false;
};
