#include "ui/LSettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/LKVWorkingFolder.h"
#include "cd/LCDDBLookup.h"
#include "cd/LCDROMRipSectors.h"
#include "cd/LCDBurnSettings.h"
#include "cd/LCDDriveSettings.h"
#include "app/LSettingsTable.h"
#include "core/LSettings.h"
#include "core/LUi.h"

namespace S = LKVSettings;

namespace {

constexpr int32_t kNewRates[] = {6000, 8000, 11025, 16000, 22050, 32000, 44100, 48000, 64000, 88200, 96000};

QCheckBox* Check(const char* text, const LSettingBool& setting)
{
    auto* c = new QCheckBox(QString::fromUtf8(text));
    c->setObjectName(QString::fromUtf8(setting.name));
    c->setChecked(setting.Read());
    return c;
}

} // namespace

LSettingsDlg::LSettingsDlg(const std::vector<std::string>& devices, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsDlg"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* tabs = new QTabWidget;
    tabs->addTab(PlaybackPage(devices), QStringLiteral("&Playback"));
    tabs->addTab(EditingPage(), QStringLiteral("&Editing"));
    tabs->addTab(FoldersPage(), QStringLiteral("&Folders"));
    tabs->addTab(CDPage(), QStringLiteral("&CD"));
    tabs->addTab(EmailPage(), QStringLiteral("E&mail"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

LSettingsDlg::~LSettingsDlg() = default;

QWidget* LSettingsDlg::PlaybackPage(const std::vector<std::string>& devices)
{
    auto* page = new QWidget;
    device_ = new QComboBox;
    device_->setObjectName(QStringLiteral("SoundOutDevice"));
    for (const std::string& d : devices)
        device_->addItem(QString::fromStdString(d));
    const int32_t stored = S::kSoundOutDevice.Read();
    while (device_->count() <= stored)
        device_->addItem(QStringLiteral("Device %1 (not present)").arg(device_->count()));
    device_->setCurrentIndex(std::max(0, stored));
    speed_ = new QComboBox;
    speed_->setObjectName(QStringLiteral("PlaySpeed"));
    speed_->addItems({QStringLiteral("Slow (half speed)"), QStringLiteral("Normal"),
                      QStringLiteral("Fast (one and a half)")});
    speed_->setCurrentIndex(std::clamp(S::kPlaySpeed.Read(), 0, 2));
    playWhenOpen_ = Check("Play a file when it is &opened", S::kPlayWhenOpen);
    playBookmark_ = Check("Play from a &bookmark when going to it", S::kPlayBookMark);
    autoPlayback_ = Check("Play the changed part after an &effect or edit", S::kAutoPlaybackAfterEffects);
    reduceVolume_ = Check("Lower the volume while &rewinding or fast-forwarding", S::kReduceVolWhenRewind);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Playback &device:"), device_);
    form->addRow(QStringLiteral("Play &speed:"), speed_);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(playWhenOpen_);
    layout->addWidget(playBookmark_);
    layout->addWidget(autoPlayback_);
    layout->addWidget(reduceVolume_);
    layout->addStretch();
    return page;
}

QWidget* LSettingsDlg::EditingPage()
{
    auto* page = new QWidget;
    promptNew_ = Check("&Ask for the sample rate and channels of a new file", S::kPromptSampleAndChannels);
    defaultRate_ = new QComboBox;
    defaultRate_->setObjectName(QStringLiteral("DefaultSampleRate"));
    defaultRate_->setEditable(true);
    defaultRate_->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t r : kNewRates)
        defaultRate_->addItem(QString::number(r));
    defaultRate_->setValidator(new QIntValidator(0, 99999999, defaultRate_));
    defaultRate_->setCurrentText(QString::number(S::kDefaultSampleRate.Read()));
    defaultChannels_ = new QComboBox;
    defaultChannels_->setObjectName(QStringLiteral("DefaultChannels"));
    defaultChannels_->addItems({QStringLiteral("1 - Mono"), QStringLiteral("2 - Stereo")});
    defaultChannels_->setCurrentIndex(S::kDefaultChannels.Read() == 2 ? 1 : 0);
    auto* newFiles = new QGroupBox(QStringLiteral("New files"));
    auto* newForm = new QFormLayout(newFiles);
    newForm->addRow(promptNew_);
    newForm->addRow(QStringLiteral("Default sample &rate (Hz):"), defaultRate_);
    newForm->addRow(QStringLiteral("Default &channels:"), defaultChannels_);
    auto updateDefaults = [this] {
        defaultRate_->setEnabled(!promptNew_->isChecked());
        defaultChannels_->setEnabled(!promptNew_->isChecked());
    };
    connect(promptNew_, &QCheckBox::toggled, this, updateDefaults);
    updateDefaults();

    autoTrim_ = new QSpinBox;
    autoTrim_->setObjectName(QStringLiteral("AutoTrimThreshold"));
    autoTrim_->setRange(-96, 0);
    autoTrim_->setSuffix(QStringLiteral(" dB"));
    autoTrim_->setValue(std::clamp(S::kAutoTrimThreshold.Read(), -96, 0));
    autoGap_ = Check("Insert &silence between assembled regions:", S::kAutoGap);
    autoGapMs_ = new QSpinBox;
    autoGapMs_->setObjectName(QStringLiteral("AutoGapTime"));
    autoGapMs_->setRange(0, 60000);
    autoGapMs_->setSuffix(QStringLiteral(" ms"));
    autoGapMs_->setValue(std::clamp(S::kAutoGapTime.Read(), 0, 60000));
    connect(autoGap_, &QCheckBox::toggled, autoGapMs_, &QSpinBox::setEnabled);
    autoGapMs_->setEnabled(autoGap_->isChecked());
    desktopColours_ = Check("Draw the waveform in the desktop's &colours", S::kUseWindowsColor);

    auto* editing = new QGroupBox(QStringLiteral("Editing"));
    auto* editForm = new QFormLayout(editing);
    editForm->addRow(QStringLiteral("Auto Trim &threshold:"), autoTrim_);
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(autoGap_);
    gapRow->addWidget(autoGapMs_);
    gapRow->addStretch();
    editForm->addRow(gapRow);
    editForm->addRow(desktopColours_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(newFiles);
    layout->addWidget(editing);
    layout->addStretch();
    return page;
}

QWidget* LSettingsDlg::FoldersPage()
{
    auto* page = new QWidget;
    workingFolder_ = new QLineEdit(QString::fromStdString(S::kWorkingFolder.Read()));
    workingFolder_->setObjectName(QStringLiteral("WorkingFolder"));
    workingFolder_->setPlaceholderText(QString::fromStdString(LSettings::GetFolder("Current")));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Working Folder"), workingFolder_->text());
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly);
        if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            workingFolder_->setText(d.selectedFiles().front());
    });
    auto* row = new QHBoxLayout;
    row->addWidget(workingFolder_, 1);
    row->addWidget(browse);
    auto* note = new QLabel(QStringLiteral(
        "Kelvane keeps the audio of open files in this folder while it runs. Leave it empty for the default "
        "folder shown. A new folder is used from the next start."));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(QStringLiteral("Audio &working folder:"));
    label->setBuddy(workingFolder_);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addStretch();
    return page;
}

QWidget* LSettingsDlg::EmailPage()
{
    auto* page = new QWidget;
    useDesktopMail_ = Check("Send files through the desktop's &mail program", S::kUseMAPI);
    smtpHost_ = new QLineEdit(QString::fromStdString(S::kMailSMTPHost.Read()));
    smtpHost_->setObjectName(QString::fromUtf8(S::kMailSMTPHost.name));
    smtpHost_->setPlaceholderText(QStringLiteral("smtp.example.org or smtp.example.org:587"));
    replyTo_ = new QLineEdit(QString::fromStdString(S::kReplyToEmail.Read()));
    replyTo_->setObjectName(QString::fromUtf8(S::kReplyToEmail.name));
    replyTo_->setPlaceholderText(QStringLiteral("name@example.org"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Mail &server:"), smtpHost_);
    form->addRow(QStringLiteral("Your e-mail &address:"), replyTo_);
    auto* note = new QLabel(QStringLiteral(
        "Without the desktop's mail program, Send asks for the recipient and sends the file itself through "
        "this server (with encryption when the server offers it), from your address."));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(useDesktopMail_);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addStretch();
    auto enable = [this] {
        smtpHost_->setEnabled(!useDesktopMail_->isChecked());
        replyTo_->setEnabled(!useDesktopMail_->isChecked());
    };
    connect(useDesktopMail_, &QCheckBox::toggled, this, enable);
    enable();
    return page;
}

QWidget* LSettingsDlg::CDPage()
{
    cd_ = std::make_unique<LCDDriveSettings>();
    auto* page = new QWidget;
    drives_ = new QListWidget;
    drives_->setObjectName(QStringLiteral("CDDrives"));
    newDrive_ = new QLineEdit;
    newDrive_->setObjectName(QStringLiteral("VirtualDrive"));
    newDrive_->setPlaceholderText(QStringLiteral("album.cue, disc.iso or cdr:FOLDER"));
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Disc Image"), QString(),
                      QStringLiteral("Disc images (*.cue *.iso);;All files (*)"));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::ExistingFile);
        if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            newDrive_->setText(d.selectedFiles().front());
    });
    auto* add = new QPushButton(QStringLiteral("&Add"));
    add->setObjectName(QStringLiteral("AddVirtualDrive"));
    connect(add, &QPushButton::clicked, this, &LSettingsDlg::AddDrive);
    connect(newDrive_, &QLineEdit::returnPressed, this, &LSettingsDlg::AddDrive);
    removeDrive_ = new QPushButton(QStringLiteral("Re&move"));
    removeDrive_->setObjectName(QStringLiteral("RemoveVirtualDrive"));
    connect(removeDrive_, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = drives_->currentItem()) {
            cd_->Remove(item->data(Qt::UserRole).toString().toStdString());
            FillDrives();
        }
    });
    connect(drives_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        removeDrive_->setEnabled(item && item->data(Qt::UserRole + 1).toBool());
    });

    auto* label = new QLabel(QStringLiteral("&Drives, numbered as the CD dialogs and kelvane-cd count them:"));
    label->setBuddy(drives_);
    auto* row = new QHBoxLayout;
    auto* entryLabel = new QLabel(QStringLiteral("&Virtual drive:"));
    entryLabel->setBuddy(newDrive_);
    row->addWidget(entryLabel);
    row->addWidget(newDrive_, 1);
    row->addWidget(browse);
    row->addWidget(add);
    auto* note = new QLabel(QStringLiteral(
        "A virtual drive holds a disc made of files: a .cue sheet with its BIN (an audio CD), an .iso image (a data "
        "CD), or cdr:FOLDER, cdr74:FOLDER or cdrw:FOLDER, a blank CD-R of 80 or 74 minutes or a CD-RW that keeps "
        "what is burned on it in FOLDER."));
    note->setWordWrap(true);
    note->setEnabled(false);
    internalRecorder_ = new QCheckBox(QStringLiteral("Write audio CDs with Kelvane's own &recorder"));
    internalRecorder_->setObjectName(QStringLiteral("Internal"));
    internalRecorder_->setChecked(LCDBurnSettings::Read().internal);
    auto* recorderNote = new QLabel(QStringLiteral(
        "Off: this system has no CD burning service to hand the tracks to, so Copy to CD saves them as WAV files "
        "\"Track 01.wav\", ... with a CUE sheet \"disc.cue\" in a folder you pick, for cdrdao, wodim (cdrecord), "
        "k3b or brasero to burn."));
    recorderNote->setWordWrap(true);
    recorderNote->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(removeDrive_);

    // Loading tracks: where titles come from, and the drive's read offset.
    lookup_ = new QCheckBox(QStringLiteral("Look up &titles on the CDDB server"));
    lookup_->setObjectName(QStringLiteral("CDDBLookup"));
    lookup_->setChecked(LCDDBLookup::Enabled());
    cddbServer_ = new QLineEdit(QString::fromStdString(LCDDBLookup::Options::FromSettings().server));
    cddbServer_->setObjectName(QStringLiteral("CDDBServer"));
    cddbServer_->setPlaceholderText(QString::fromLatin1(LCDDBLookup::kDefaultServer));
    cddbServer_->setEnabled(lookup_->isChecked());
    connect(lookup_, &QCheckBox::toggled, cddbServer_, &QWidget::setEnabled);
    readOffset_ = new QSpinBox;
    readOffset_->setObjectName(QStringLiteral("ReadOffset"));
    readOffset_->setRange(-LCDROMRipSectors::kMaxReadOffset, LCDROMRipSectors::kMaxReadOffset);
    readOffset_->setSuffix(QStringLiteral(" samples"));
    readOffset_->setValue(LCDROMRipSectors::ReadOffsetSetting());
    auto* rip = new QFormLayout;
    auto* lookupRow = new QHBoxLayout;
    lookupRow->addWidget(lookup_);
    lookupRow->addWidget(cddbServer_, 1);
    rip->addRow(lookupRow);
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(readOffset_);
    offsetRow->addStretch();
    auto* offsetLabel = new QLabel(QStringLiteral("Drive read o&ffset:"));
    offsetLabel->setBuddy(readOffset_);
    rip->addRow(offsetLabel, offsetRow);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addWidget(drives_, 1);
    layout->addLayout(buttons);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addLayout(rip);
    layout->addSpacing(8);
    layout->addWidget(internalRecorder_);
    layout->addWidget(recorderNote);
    FillDrives();
    return page;
}

void LSettingsDlg::FillDrives()
{
    drives_->clear();
    for (const LCDDriveSettings::Row& r : cd_->Rows()) {
        const QString detail = QString::fromStdString(r.detail);
        auto* item = new QListWidgetItem(QString::fromStdString(r.title) + QStringLiteral("\n    ") + detail, drives_);
        item->setToolTip(detail);
        item->setData(Qt::UserRole, QString::fromStdString(r.entry));
        item->setData(Qt::UserRole + 1, r.removable);
    }
    if (drives_->count() == 0)
        new QListWidgetItem(QStringLiteral("No CD drives found."), drives_);
    removeDrive_->setEnabled(false);
}

void LSettingsDlg::AddDrive()
{
    const std::string error = cd_->Add(newDrive_->text().trimmed().toStdString());
    if (!error.empty()) {
        LUiGet().Message(error, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
        newDrive_->setFocus();
        return;
    }
    newDrive_->clear();
    FillDrives();
}

void LSettingsDlg::accept()
{
    namespace W = LKVWorkingFolder;
    const std::string typed = workingFolder_->text().toStdString();
    const W::Change change = W::Check(typed, S::kWorkingFolder.Read());
    if (change == W::Change::Missing) {
        LUiGet().Message(W::kMissingMessage, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
        workingFolder_->setFocus();
        return;
    }
    std::string host;
    uint16_t port = 0;
    const std::string server = cddbServer_->text().trimmed().toStdString();
    if (!server.empty() && !LCDDBLookup::ParseServer(server, host, port)) {
        LUiGet().Message("The CDDB server \"" + server + "\" is not of the form host or host:port (a port of 1 to 65535).",
                         "Error", LUiButtons::Ok, LUiIcon::Exclamation);
        cddbServer_->setFocus();
        return;
    }
    // The defaults are used (and so checked) only when new files do not ask.
    const bool useDefaults = !promptNew_->isChecked();
    const int32_t rate = defaultRate_->currentText().trimmed().toInt();
    if (useDefaults && (rate < 6000 || rate > 96000)) {
        LUiGet().Message("Sample rates must be between 6000 and 96000 samples per second.", "Error", LUiButtons::Ok,
                         LUiIcon::Stop);
        defaultRate_->setFocus();
        return;
    }
    S::kUseMAPI.Write(useDesktopMail_->isChecked());
    S::kMailSMTPHost.Write(smtpHost_->text().trimmed().toStdString());
    S::kReplyToEmail.Write(replyTo_->text().trimmed().toStdString());
    S::kSoundOutDevice.Write(device_->currentIndex());
    S::kPlaySpeed.Write(speed_->currentIndex());
    S::kPlayWhenOpen.Write(playWhenOpen_->isChecked());
    S::kPlayBookMark.Write(playBookmark_->isChecked());
    S::kAutoPlaybackAfterEffects.Write(autoPlayback_->isChecked());
    S::kReduceVolWhenRewind.Write(reduceVolume_->isChecked());
    S::kPromptSampleAndChannels.Write(promptNew_->isChecked());
    if (useDefaults) {
        S::kDefaultSampleRate.Write(rate);
        S::kDefaultChannels.Write(defaultChannels_->currentIndex() + 1);
    }
    S::kAutoTrimThreshold.Write(autoTrim_->value());
    S::kAutoGap.Write(autoGap_->isChecked());
    S::kAutoGapTime.Write(autoGapMs_->value());
    S::kUseWindowsColor.Write(desktopColours_->isChecked());
    LSettings::WriteBool("CDDB", "Lookup", lookup_->isChecked());
    LSettings::WriteString("CDDB", "Server", server.empty() ? LCDDBLookup::kDefaultServer : server);
    LSettings::WriteInt("CD", "ReadOffset", readOffset_->value());
    cd_->Save();
    LCDBurnSettings recorder = LCDBurnSettings::Read();
    recorder.internal = internalRecorder_->isChecked();
    recorder.Write();
    if (change == W::Change::Changed) {
        S::kWorkingFolder.Write(W::Normalize(typed));
        mustRestart_ = true;
    }
    QDialog::accept();
}
