#pragma once
#include <vector>

#include "ui/LPlayerBaseDlg.h"

class QLabel;

// The transport dialog over a list of tracks (the open documents): Go to
// Start also steps to the previous track from a track's start (PgUp), Next
// Track (PgDn) to the next. Each track plays its selection when it has one.
class LPlayDlg : public LPlayerBaseDlg {
    Q_OBJECT
public:
    LPlayDlg(std::vector<LPlayerTrack> tracks, size_t current, QWidget* parent = nullptr);
    QToolButton* NextTrackButton() const { return next_; }
    QString TrackShown() const;

protected:
    void ButtonClicked(Button b) override;
    void PlayerPositionChanged() override;

private:
    void ShowTrack();

    QToolButton* next_;
    QLabel* track_;
    size_t shownTrack_ = size_t(-1);
};
