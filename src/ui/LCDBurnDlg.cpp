#include "ui/LCDBurnDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "cd/LCDDrives.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QCheckBox* Option(const char* name, const QString& text, bool checked, const QString& tip)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    box->setToolTip(tip);
    return box;
}

} // namespace

LCDBurnDlg::LCDBurnDlg(LCDBurnDlgModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("CDRecorder"));
    setWindowTitle(QStringLiteral("Copy to Audio CD"));
    const LCDBurnSettings& s = model_.settings;

    // The recorder.
    drive_ = new QComboBox;
    drive_->setObjectName(QStringLiteral("drive"));
    const std::vector<LCDBurnDlgModel::Drive> drives = model_.Drives();
    for (const LCDBurnDlgModel::Drive& d : drives)
        drive_->addItem(Q(d.label) + (d.canWrite ? QString() : QStringLiteral(" (cannot write)")));
    if (drives.empty())
        drive_->addItem(QStringLiteral("No CD drives"));
    drive_->setCurrentIndex(s.drive < drives.size() ? s.drive : 0);
    speed_ = new QComboBox;
    speed_->setObjectName(QStringLiteral("speed"));
    speed_->addItem(Q(LCDBurnSettings::SpeedText(LCDBurnSettings::kMaxSpeed)), int(LCDBurnSettings::kMaxSpeed));
    for (uint16_t x : kSpeeds)
        speed_->addItem(Q(LCDBurnSettings::SpeedText(x)), int(x));
    const int speedAt = speed_->findData(int(s.speed));
    speed_->setCurrentIndex(speedAt >= 0 ? speedAt : 0);
    disc_label_ = new QLabel;
    disc_label_->setObjectName(QStringLiteral("disc"));
    auto* refresh = new QPushButton(QStringLiteral("Look &Again"));
    refresh->setToolTip(QStringLiteral("Look at the disc in the drive again"));
    auto* recorder = new QGroupBox(QStringLiteral("Recorder"));
    auto* grid = new QGridLayout(recorder);
    grid->addWidget(new QLabel(QStringLiteral("&Drive:")), 0, 0);
    grid->addWidget(drive_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("&Speed:")), 1, 0);
    grid->addWidget(speed_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Disc:")), 2, 0);
    grid->addWidget(disc_label_, 2, 1);
    grid->addWidget(refresh, 2, 2);
    grid->setColumnStretch(1, 1);
    static_cast<QLabel*>(grid->itemAtPosition(0, 0)->widget())->setBuddy(drive_);
    static_cast<QLabel*>(grid->itemAtPosition(1, 0)->widget())->setBuddy(speed_);

    // The tracks.
    tracks_ = new QTreeWidget;
    tracks_->setObjectName(QStringLiteral("tracks"));
    tracks_->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Title"), QStringLiteral("Duration")});
    tracks_->setRootIsDecorated(false);
    tracks_->setSelectionMode(QAbstractItemView::SingleSelection);
    tracks_->setMinimumHeight(160);
    tracks_->header()->setStretchLastSection(false);
    tracks_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    tracks_->setColumnWidth(0, 36);
    tracks_->setColumnWidth(2, 80);
    auto* up = new QPushButton(QStringLiteral("Move &Up"));
    auto* down = new QPushButton(QStringLiteral("Move Do&wn"));
    auto* remove = new QPushButton(QStringLiteral("Re&move"));
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    remove->setObjectName(QStringLiteral("remove"));
    total_ = new QLabel;
    total_->setObjectName(QStringLiteral("total"));
    album_ = new QLineEdit(Q(model_.albumTitle));
    album_->setObjectName(QStringLiteral("album"));
    album_->setPlaceholderText(QStringLiteral("Disc title, written as CD-TEXT when the disc is written at once"));
    auto* trackButtons = new QHBoxLayout;
    trackButtons->addWidget(up);
    trackButtons->addWidget(down);
    trackButtons->addWidget(remove);
    trackButtons->addStretch(1);
    trackButtons->addWidget(total_);
    auto* trackBox = new QGroupBox(QStringLiteral("Tracks (double-click a title to change it)"));
    auto* trackLayout = new QVBoxLayout(trackBox);
    trackLayout->addWidget(tracks_, 1);
    trackLayout->addLayout(trackButtons);
    auto* albumRow = new QHBoxLayout;
    auto* albumLabel = new QLabel(QStringLiteral("Disc &title:"));
    albumLabel->setBuddy(album_);
    albumRow->addWidget(albumLabel);
    albumRow->addWidget(album_, 1);
    trackLayout->addLayout(albumRow);

    // The options.
    erase_ = Option("EraseCDRW", QStringLiteral("&Erase CD-RWs if they are not blank"), s.eraseCDRW,
                    QStringLiteral("A CD-RW that holds something is erased before it is written"));
    overburn_ = Option("Overburn", QStringLiteral("&Overburn"), s.overburn,
                       QStringLiteral("Write even when the tracks seem too long for the disc"));
    discAtOnce_ = Option("DiscAtOnce", QStringLiteral("Disc at once (&gapless, with CD-TEXT)"), s.discAtOnce,
                         QStringLiteral("No pause between the tracks, so live albums and mixes play without a "
                                        "break; the titles are written as CD-TEXT"));
    simulate_ = Option("Simulate", QStringLiteral("Simu&late (a test write: nothing is burned)"), s.simulate,
                       QStringLiteral("The drive goes through the whole burn with its laser off"));
    verify_ = Option("Verify", QStringLiteral("&Verify after writing"), s.verify,
                     QStringLiteral("Read the tracks back and compare them with what was sent, sample for sample"));
    internal_ = Option("Internal", QStringLiteral("Write with Kelvane's own &recorder"), s.internal,
                       QStringLiteral("Off: save the tracks for another CD writing program"));
    folder_ = new QLineEdit(Q(s.trackFolder));
    folder_->setObjectName(QStringLiteral("TrackFolder"));
    browse_ = new QPushButton(QStringLiteral("&Folder..."));
    auto* internalNote = new QLabel(QStringLiteral(
        "Without Kelvane's own recorder the tracks are saved in this folder as WAV files \"Track 01.wav\", ... "
        "with the CUE sheet \"disc.cue\", for cdrdao, wodim (cdrecord), k3b or brasero to burn:"));
    internalNote->setWordWrap(true);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse_);
    auto* options = new QGroupBox(QStringLiteral("Options"));
    auto* optionGrid = new QGridLayout(options);
    optionGrid->addWidget(erase_, 0, 0);
    optionGrid->addWidget(discAtOnce_, 0, 1);
    optionGrid->addWidget(overburn_, 1, 0);
    optionGrid->addWidget(simulate_, 1, 1);
    optionGrid->addWidget(verify_, 2, 0);
    optionGrid->addWidget(internal_, 2, 1);
    optionGrid->addWidget(internalNote, 3, 0, 1, 2);
    optionGrid->addLayout(folderRow, 4, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    burn_ = buttons->addButton(QStringLiteral("&Burn"), QDialogButtonBox::AcceptRole);
    burn_->setObjectName(QStringLiteral("burn"));
    burn_->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(burn_, &QPushButton::clicked, this, [this] {
        if (Burn() == kJobDone)
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recorder);
    layout->addWidget(trackBox, 1);
    layout->addWidget(options);
    layout->addWidget(buttons);

    connect(drive_, &QComboBox::currentIndexChanged, this, [this] { ReadDisc(); });
    connect(refresh, &QPushButton::clicked, this, [this] { ReadDisc(); });
    connect(discAtOnce_, &QCheckBox::toggled, this, [this] {
        model_.settings.discAtOnce = discAtOnce_->isChecked();
        UpdateTotal();
        UpdateEnabled();
    });
    connect(internal_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    connect(up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { MoveSelected(+1); });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = tracks_->indexOfTopLevelItem(tracks_->currentItem());
        if (row < 0)
            return;
        model_.RemoveTrack(size_t(row));
        FillTracks();
        tracks_->setCurrentItem(tracks_->topLevelItem(std::min(row, tracks_->topLevelItemCount() - 1)));
    });
    connect(tracks_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 1)
            tracks_->editItem(item, 1);
    });
    connect(tracks_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (filling_ || column != 1)
            return;
        model_.RenameTrack(size_t(tracks_->indexOfTopLevelItem(item)), item->text(1).toStdString());
    });
    connect(browse_, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Folder for the Tracks"), folder_->text());
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly);
        if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            folder_->setText(d.selectedFiles().front());
    });

    FillTracks();
    ReadDisc();
    UpdateEnabled();
    resize(560, sizeHint().height());
}

void LCDBurnDlg::FillTracks()
{
    filling_ = true;
    tracks_->clear();
    const std::vector<LCDBurnTrack>& tracks = model_.Tracks();
    for (size_t i = 0; i < tracks.size(); ++i) {
        auto* item = new QTreeWidgetItem(tracks_, {QString::number(i + 1), Q(tracks[i].title),
                                                   Q(model_.TrackDuration(i))});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    filling_ = false;
    UpdateTotal();
}

void LCDBurnDlg::MoveSelected(int32_t step)
{
    const int row = tracks_->indexOfTopLevelItem(tracks_->currentItem());
    if (row < 0 || !model_.MoveTrack(size_t(row), step))
        return;
    FillTracks();
    tracks_->setCurrentItem(tracks_->topLevelItem(row + step));
}

void LCDBurnDlg::ReadDisc()
{
    if (drive_->currentIndex() >= 0)
        model_.settings.drive = uint8_t(drive_->currentIndex());
    disc_ = LCDBurnDlgModel::Disc();
    if (LCDDrives::Count() > 0)
        disc_ = model_.ProbeDisc();
    disc_label_->setText(disc_.description.empty() ? QStringLiteral("no disc") : Q(disc_.description));
    UpdateTotal();
}

void LCDBurnDlg::UpdateTotal()
{
    model_.settings.discAtOnce = discAtOnce_ && discAtOnce_->isChecked();
    const bool tooLong = disc_.present && model_.SectorsNeeded() > disc_.capacitySectors;
    total_->setText(Q(model_.TotalAgainst(disc_)));
    total_->setStyleSheet(tooLong ? QStringLiteral("color: #b00000;") : QString());
    total_->setToolTip(tooLong ? QStringLiteral("The tracks are longer than the disc holds") : QString());
}

void LCDBurnDlg::UpdateEnabled()
{
    const bool internal = internal_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{drive_, speed_, erase_, overburn_, simulate_, verify_})
        w->setEnabled(internal);
    folder_->setEnabled(!internal);
    browse_->setEnabled(!internal);
    album_->setEnabled(discAtOnce_->isChecked() || !internal);
    burn_->setText(internal ? QStringLiteral("&Burn") : QStringLiteral("&Save Tracks"));
    burn_->setEnabled(!model_.Tracks().empty());
}

void LCDBurnDlg::TakeOptions()
{
    LCDBurnSettings& s = model_.settings;
    if (drive_->currentIndex() >= 0)
        s.drive = uint8_t(drive_->currentIndex());
    s.speed = uint16_t(speed_->currentData().toInt());
    s.eraseCDRW = erase_->isChecked();
    s.overburn = overburn_->isChecked();
    s.discAtOnce = discAtOnce_->isChecked();
    s.simulate = simulate_->isChecked();
    s.verify = verify_->isChecked();
    s.internal = internal_->isChecked();
    s.trackFolder = folder_->text().trimmed().toStdString();
    model_.albumTitle = album_->text().trimmed().toStdString();
}

int32_t LCDBurnDlg::Burn()
{
    TakeOptions();
    if (!model_.settings.internal && model_.settings.trackFolder.empty()) {
        LUiGet().Message("Please choose the folder the tracks are saved in for the CD writing program.", "Error",
                         LUiButtons::Ok, LUiIcon::Exclamation);
        return kJobFailed;
    }
    if (!model_.settings.Write())
        LUiGet().Message("The CD recorder settings could not be stored; the burn goes on with them.", "Kelvane",
                         LUiButtons::Ok, LUiIcon::Exclamation);
    const int32_t r = model_.Burn();
    ReadDisc();
    return r;
}

QString LCDBurnDlg::TotalText() const { return total_->text(); }
QString LCDBurnDlg::DiscText() const { return disc_label_->text(); }
