#include "ui/CDRipperDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "cd/LCDDrives.h"
#include "cd/LCDROMRipSectors.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "edit/LCutListAudio.h"
#include "ui/LKVDialogExec.h"

namespace {

constexpr char kSection[] = "CD";
constexpr char kSecure[] = "SecureRip";

enum Column { kName = 0, kDuration = 1 };

QString Duration(int32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%.2d", int(seconds / 60), int(seconds % 60));
    return QString::fromLatin1(text);
}

} // namespace

CDRipperDlg::CDRipperDlg(TrackSink onTrack, QWidget* parent) : QDialog(parent), onTrack_(std::move(onTrack))
{
    setObjectName(QStringLiteral("CDRipperDlg"));
    setWindowTitle(QStringLiteral("Load Audio CD Track(s)"));
    drives_ = new QComboBox;
    drives_->setObjectName(QStringLiteral("drives"));
    const int32_t count = LCDDrives::Count();
    for (int32_t i = 0; i < count; ++i)
        drives_->addItem(QString::fromStdString(LCDDrives::Label(i)));
    discLabel_ = new QLabel;
    discLabel_->setObjectName(QStringLiteral("disc"));
    discLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    idsLabel_ = new QLabel;
    idsLabel_->setObjectName(QStringLiteral("ids"));
    idsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tracks_ = new QTreeWidget;
    tracks_->setObjectName(QStringLiteral("tracks"));
    tracks_->setHeaderLabels({QStringLiteral("Track"), QStringLiteral("Duration")});
    tracks_->setRootIsDecorated(false);
    tracks_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tracks_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::SelectedClicked);
    tracks_->header()->setStretchLastSection(false);
    tracks_->header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    tracks_->header()->setSectionResizeMode(kDuration, QHeaderView::ResizeToContents);
    secure_ = new QCheckBox(QStringLiteral("&Secure: read every sector twice and verify"));
    secure_->setObjectName(QStringLiteral("secure"));
    secure_->setChecked(LSettings::ReadBool(kSection, kSecure, true));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDRipperDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* driveRow = new QHBoxLayout;
    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"));
    driveLabel->setBuddy(drives_);
    driveRow->addWidget(driveLabel);
    driveRow->addWidget(drives_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(driveRow);
    layout->addWidget(discLabel_);
    layout->addWidget(tracks_, 1);
    layout->addWidget(idsLabel_);
    layout->addWidget(secure_);
    layout->addWidget(buttons);
    resize(460, 420);

    connect(drives_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (loaded_)
            LoadTracks(index);
    });
    connect(tracks_, &QTreeWidget::itemSelectionChanged, this, &CDRipperDlg::UpdateOk);
    UpdateOk();
}

void CDRipperDlg::Run(TrackSink onTrack, QWidget* parent)
{
    if (LCDDrives::Count() == 0) {
        LUiGet().Message(kNoDrivesMessage, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
        return;
    }
    CDRipperDlg dialog(std::move(onTrack), parent);
    LKVExec(dialog);
}

void CDRipperDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The disc is read once the window is up, so the user sees what waits for it.
    if (!loaded_)
        QTimer::singleShot(0, this, [this] {
            if (!loaded_ && drives_->count() > 0)
                LoadTracks(drives_->currentIndex());
        });
}

void CDRipperDlg::LoadTracks(int index)
{
    loaded_ = true;
    tracks_->clear();
    discLabel_->clear();
    idsLabel_->clear();
    disc_ = LCDDBInfo();
    UpdateOk();
    if (index < 0 || index >= drives_->count())
        return;
    if (drives_->currentIndex() != index) {
        const QSignalBlocker block(drives_);
        drives_->setCurrentIndex(index);
    }
    disc_.drive = uint8_t(index);
    disc_.lookup = LCDDBLookup::Enabled();
    disc_.server = LCDDBLookup::Options::FromSettings();
    const int32_t r = RunJobOnWorker("Loading Track(s)", [this](LProgressDialog& d) { return LCDDBInfo::Process(d, disc_); });
    if (r != kJobDone) {
        discLabel_->setText(r == kJobCancelled ? QStringLiteral("Cancelled.")
                                               : QString::fromStdString(disc_.error.empty() ? "No disc." : disc_.error));
        discLabel_->setWordWrap(true);
        return;
    }
    discLabel_->setText(disc_.discTitle.empty() ? QStringLiteral("%1 tracks").arg(disc_.tracks.size())
                                                : QString::fromStdString(disc_.discTitle));
    idsLabel_->setText(QStringLiteral("CDDB %1   MusicBrainz %2")
                           .arg(QString::fromStdString(disc_.cddbId), QString::fromStdString(disc_.musicBrainzId)));
    for (const LCDTrackRecord& t : disc_.tracks) {
        auto* item = new QTreeWidgetItem(tracks_, {QString::fromStdString(t.name), Duration(t.duration)});
        item->setTextAlignment(kDuration, Qt::AlignRight | Qt::AlignVCenter);
        if (t.data)
            item->setFlags(Qt::NoItemFlags);
        else
            item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    UpdateOk();
}

void CDRipperDlg::UpdateOk()
{
    bool any = false;
    for (const QTreeWidgetItem* item : tracks_->selectedItems())
        any |= (item->flags() & Qt::ItemIsEnabled) != 0;
    ok_->setEnabled(any);
}

int CDRipperDlg::Import()
{
    log_ = LCDRipLog();
    // OK works on drives 0 to 7 only.
    if (disc_.drive > 7 || disc_.tracks.empty())
        return 0;
    std::vector<size_t> chosen;
    for (int i = 0; i < tracks_->topLevelItemCount(); ++i)
        if (tracks_->topLevelItem(i)->isSelected() && size_t(i) < disc_.tracks.size() && !disc_.tracks[size_t(i)].data)
            chosen.push_back(size_t(i));
    const bool secure = secure_->isChecked();
    LSettings::WriteBool(kSection, kSecure, secure);
    log_.drive = LCDDrives::Label(disc_.drive) + " (" + disc_.driveName + ")";
    log_.readOffset = LCDROMRipSectors::ReadOffsetSetting();
    log_.secure = secure;
    log_.cddbId = disc_.cddbId;
    log_.musicBrainzId = disc_.musicBrainzId;
    log_.discTitle = disc_.discTitle;
    int imported = 0;
    for (size_t i : chosen) {
        // The name shown, as the user may have edited it, is the one used.
        std::string name = tracks_->topLevelItem(int(i))->text(kName).trimmed().toStdString();
        if (name.empty())
            name = LCDDBInfo::DefaultName(int32_t(i));
        LCutListAudio audio;
        LCDROMRipSectors::Data rip =
            LCDROMRipSectors::ForTrack(disc_, i, audio.OpenSink(44100, 2), secure, log_.readOffset);
        rip.trackName = name;
        LCDRipLog::Track entry;
        entry.number = disc_.toc.firstTrack + int32_t(i);
        entry.name = name;
        entry.start = disc_.tracks[i].start;
        entry.result = RunJobOnWorker("Import CD Track(s)",
                                      [&rip](LProgressDialog& d) { return LCDROMRipSectors::Process(d, rip); });
        // Releasing the sink makes the list one cut over the new segment.
        rip.sink.Reset();
        entry.report = rip.report;
        log_.tracks.push_back(entry);
        if (entry.result == kJobDone) {
            onTrack_(name, audio);
            ++imported;
        } else {
            if (entry.result == kJobFailed)
                LUiGet().Message("Cannot load \"" + name + "\" from " + LCDDrives::Label(disc_.drive) + ": " +
                                     (rip.report.error.empty() ? "the drive could not read it" : rip.report.error) + ".",
                                 "Error", LUiButtons::Ok, LUiIcon::Exclamation);
            break;
        }
    }
    return imported;
}

void CDRipperDlg::accept()
{
    Import();
    if (!log_.tracks.empty())
        ShowResults();
    QDialog::accept();
}

void CDRipperDlg::ShowResults()
{
    QString text;
    for (const LCDRipLog::Track& t : log_.tracks)
        text += QStringLiteral("%1  %2: %3\n      AccurateRip v1 %4   v2 %5\n")
                    .arg(t.number, 2, 10, QLatin1Char('0'))
                    .arg(QString::fromStdString(t.name), QString::fromStdString(LCDRipLog::Outcome(t)),
                         QString::fromStdString(LCDRipLog::Hex(t.report.accurateRipV1)),
                         QString::fromStdString(LCDRipLog::Hex(t.report.accurateRipV2)));
    QMessageBox box(this);
    box.setObjectName(QStringLiteral("CDRipResults"));
    box.setWindowTitle(QStringLiteral("Import CD Track(s)"));
    box.setIcon(QMessageBox::Information);
    box.setText(log_.secure ? QStringLiteral("The tracks were read twice and compared.")
                            : QStringLiteral("The tracks were read once."));
    box.setInformativeText(text.trimmed());
    // Wide enough that a checksum line does not wrap.
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 22em; }"));
    QPushButton* save = box.addButton(QStringLiteral("Save &Log..."), QMessageBox::ActionRole);
    save->setObjectName(QStringLiteral("saveLog"));
    box.addButton(QMessageBox::Close);
    LKVExec(box);
    if (box.clickedButton() != save)
        return;
    LUiFileRequest request;
    request.title = "Save Rip Log";
    request.fileName = "rip.log";
    request.filters = {{"Rip logs (*.log)", {"*.log"}}, {"All Files (*.*)", {"*.*"}}};
    request.save = true;
    request.defaultExtension = ".log";
    std::string path;
    if (!LUiGet().FileDialog(request, path) || path.empty())
        return;
    std::string error;
    if (!log_.Write(path, error))
        LUiGet().Message(error, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
}
