#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "cd/LCDDBInfo.h"
#include "cd/LCDRipLog.h"

class LCutListAudio;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Loading audio CD tracks: the CD drives, the tracks of the disc in the chosen
// one with their titles (looked up on a CDDB server) and durations, names that
// can be edited before import, and a secure (verified) mode. OK rips every
// selected track into a new tank segment under the progress window "Import CD
// Track(s)" and hands it, with its name, to `onTrack` (the main window opens it
// as a document); then the AccurateRip checksums are shown and the rip log
// may be saved. The jobs run on worker threads, so the window stays alive.
class CDRipperDlg : public QDialog {
    Q_OBJECT
public:
    using TrackSink = std::function<void(const std::string& name, LCutListAudio& audio)>;

    explicit CDRipperDlg(TrackSink onTrack, QWidget* parent = nullptr);
    // Opens the dialog; without any drive shows kNoDrivesMessage instead.
    static void Run(TrackSink onTrack, QWidget* parent);

    // Reads the table of contents and titles of drive `index` into the list.
    void LoadTracks(int index);
    // Rips the selected tracks; how many were imported.
    int Import();
    const LCDDBInfo& Disc() const { return disc_; }
    const LCDRipLog& Log() const { return log_; }

    static constexpr const char* kNoDrivesMessage =
        "No CD-ROM drives have been detected. If you do have a CD-ROM drive installed but see this message please "
        "read the Help topic relating to Loading CD Tracks.";

    // Imports, shows the results and closes.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The results of the last import, with "Save Log..." offered.
    void ShowResults();
    void UpdateOk();

    TrackSink onTrack_;
    QComboBox* drives_;
    QTreeWidget* tracks_;
    QLabel* discLabel_;
    QLabel* idsLabel_;
    QCheckBox* secure_;
    QPushButton* ok_;
    LCDDBInfo disc_;
    LCDRipLog log_;
    bool loaded_ = false;
};
