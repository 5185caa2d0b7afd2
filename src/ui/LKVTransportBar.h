#pragma once
#include <QToolBar>
#include <map>

class LKVVolumeControl;
class QToolButton;

// The transport buttons (Play, Scrub, Stop, Go to Start, Rewind, Forward, Go
// to End, Record) and the volume control. The buttons show the commands'
// actions; Play and Stop swap their pictures while playing.
class LKVTransportBar : public QToolBar {
    Q_OBJECT
public:
    // `actions` holds the command actions by identifier; `scrub` is the Scrub
    // button's action (the scrub mode has no command of its own).
    LKVTransportBar(const std::map<int32_t, QAction*>& actions, QAction* scrub, QWidget* parent = nullptr);

    void SetPlaying(bool playing);
    bool Playing() const { return playing_; }
    LKVVolumeControl* Volume() const { return volume_; }
    // The button of a transport command; 0 is Scrub.
    QToolButton* Button(int32_t id) const;

signals:
    // Rewind (false) or Forward (true) was pressed or let go on the bar. From the
    // menu or a key these are commands of one step; on the bar they are held.
    void scanPressed(bool forward);
    void scanReleased(bool forward);

private:
    QToolButton* ScanButton(QAction* command, bool forward);

    std::map<int32_t, QAction*> actions_;
    std::map<int32_t, QToolButton*> scanButtons_;
    LKVVolumeControl* volume_;
    bool playing_ = true;
};
