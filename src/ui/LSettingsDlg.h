#pragma once
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class LCDDriveSettings;
class QSpinBox;

// "Settings...": the preferences of the section "Settings" a user changes,
// read when the dialog opens and written on OK. A new working folder must
// exist; changing it makes the editor close (it is used from the next start).
class LSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // `devices` names the playback devices, the default device first.
    explicit LSettingsDlg(const std::vector<std::string>& devices, QWidget* parent = nullptr);
    ~LSettingsDlg() override;
    // True after OK when the working folder changed: the editor must restart.
    bool MustRestart() const { return mustRestart_; }

    void accept() override;

private:
    QWidget* PlaybackPage(const std::vector<std::string>& devices);
    QWidget* EditingPage();
    QWidget* FoldersPage();
    // "CD": the drives found and the virtual drives, which the user adds and removes.
    QWidget* CDPage();
    QWidget* EmailPage();
    void FillDrives();
    void AddDrive();

    QComboBox* device_;
    QComboBox* speed_;
    QCheckBox* playWhenOpen_;
    QCheckBox* playBookmark_;
    QCheckBox* autoPlayback_;
    QCheckBox* reduceVolume_;
    QCheckBox* promptNew_;
    QComboBox* defaultRate_;
    QComboBox* defaultChannels_;
    QSpinBox* autoTrim_;
    QCheckBox* autoGap_;
    QSpinBox* autoGapMs_;
    QCheckBox* desktopColours_;
    QLineEdit* workingFolder_;
    QCheckBox* useDesktopMail_;
    QLineEdit* smtpHost_;
    QLineEdit* replyTo_;
    std::unique_ptr<LCDDriveSettings> cd_;
    QListWidget* drives_;
    QLineEdit* newDrive_;
    QCheckBox* lookup_;
    QLineEdit* cddbServer_;
    QSpinBox* readOffset_;
    QPushButton* removeDrive_;
    QCheckBox* internalRecorder_;
    bool mustRestart_ = false;
};
