#pragma once
#include <QDialog>
#include <memory>

#include "app/LPlayerBaseDlgModel.h"

class LDBDisplay;
class LKVDeviceCombo;
class LKVLoudnessLabel;
class LKVVolumeControl;
class LWaveWindow;
class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QScrollBar;
class QToolButton;
class QVBoxLayout;

// The transport dialog: Play, Scrub, Stop, Go to Start, Rewind, Forward (both
// held down) and Go to End on a player of its own, the playback device, the
// volume, a level meter, the wave strip with the play cursor, the time and the
// position bar. The buttons follow the main window's rules (LKVTransport).
class LPlayerBaseDlg : public QDialog, protected LPlayerBaseDlgView {
    Q_OBJECT
public:
    // The order of the transport buttons.
    enum Button { kPlay, kScrub, kStop, kStart, kRewind, kForward, kEnd, kButtons };

    explicit LPlayerBaseDlg(QWidget* parent = nullptr);
    ~LPlayerBaseDlg() override;

    LPlayerBaseDlgModel& Model() { return model_; }
    QToolButton* TransportButton(Button b) const { return buttons_[b]; }
    QScrollBar* PositionBar() const { return bar_; }
    LDBDisplay* Meter() const { return meter_; }
    LKVLoudnessLabel* Loudness() const { return loudness_; }
    LWaveWindow* Strip() const { return strip_; }
    QString TimeShown() const;

protected:
    // Esc: stops what is going on and says so; false when there was nothing.
    virtual bool EscapeStops();
    // ---- LPlayerBaseDlgView ----
    void PlayerStateChanged() override;
    void PlayerPositionChanged() override;
    void PlayerLevels(const LChannelLevels& levels) override;
    void PlayerLoudness(const LLoudnessReading& loudness) override;

    // The dialog's own buttons; a record dialog gives some of them other work.
    virtual void ButtonClicked(Button b);
    virtual void ButtonPressed(Button b);
    virtual void ButtonReleased(Button b);
    // Shows the track the model holds now in the strip.
    void TrackChanged();
    // Places for a derived dialog's controls: under the transport row, and in
    // the row of the device controls.
    QVBoxLayout* Body() const { return body_; }
    QGridLayout* Devices() const { return devices_; }
    QHBoxLayout* TransportRow() const { return row_; }
    QDialogButtonBox* ButtonBox() const { return buttonBox_; }
    void SetTimeText(const QString& text);
    // F9, Space, Home and End: the button's click unless a derived dialog says otherwise.
    virtual void ShortcutPressed(Button b);
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Scrolled(int action);

    LPlayerBaseDlgModel model_;
    QToolButton* buttons_[kButtons] = {};
    QLabel* time_;
    LWaveWindow* strip_;
    QScrollBar* bar_;
    LDBDisplay* meter_;
    LKVLoudnessLabel* loudness_;
    LKVDeviceCombo* device_;
    LKVVolumeControl* volume_;
    QVBoxLayout* body_;
    QGridLayout* devices_;
    QHBoxLayout* row_;
    QDialogButtonBox* buttonBox_;
};
