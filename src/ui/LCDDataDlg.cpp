#include "ui/LCDDataDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "cd/LCDDrives.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"
#include "ui/LCDBurnDlg.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString SizeText(uint64_t bytes)
{
    if (bytes < 10000)
        return QString::number(bytes) + QStringLiteral(" B");
    if (bytes < 10000000)
        return QString::number(double(bytes) / 1024.0, 'f', 1) + QStringLiteral(" KB");
    return QString::number(double(bytes) / 1048576.0, 'f', 1) + QStringLiteral(" MB");
}

uint64_t Bytes(const LCDFile& node)
{
    uint64_t total = node.size;
    for (const auto& c : node.children)
        total += Bytes(*c);
    return total;
}

QCheckBox* Option(const char* name, const QString& text, bool checked, const QString& tip)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    box->setToolTip(tip);
    return box;
}

// The tree keeps the node each row shows.
const LCDFile* NodeOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<const LCDFile*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

} // namespace

LCDDataDlg::LCDDataDlg(LCDDataDlgModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("DataCD"));
    setWindowTitle(QStringLiteral("Copy Files to Data CD"));
    setAcceptDrops(true);
    const LCDBurnSettings& s = model_.settings;

    label_ = new QLineEdit(Q(model_.label));
    label_->setObjectName(QStringLiteral("label"));
    label_->setMaxLength(32);
    label_->setPlaceholderText(QStringLiteral("The name the disc shows when it is inserted"));
    auto* labelRow = new QHBoxLayout;
    auto* labelCaption = new QLabel(QStringLiteral("Volume &label:"));
    labelCaption->setBuddy(label_);
    labelRow->addWidget(labelCaption);
    labelRow->addWidget(label_, 1);

    files_ = new QTreeWidget;
    files_->setObjectName(QStringLiteral("files"));
    files_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size")});
    files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    files_->setMinimumHeight(180);
    files_->header()->setStretchLastSection(false);
    files_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    files_->setColumnWidth(1, 90);
    files_->setAcceptDrops(false);  // drops land on the dialog
    auto* addFiles = new QPushButton(QStringLiteral("Add &Files..."));
    auto* addFolder = new QPushButton(QStringLiteral("Add F&older..."));
    auto* remove = new QPushButton(QStringLiteral("Re&move"));
    addFiles->setObjectName(QStringLiteral("addFiles"));
    addFolder->setObjectName(QStringLiteral("addFolder"));
    remove->setObjectName(QStringLiteral("remove"));
    total_ = new QLabel;
    total_->setObjectName(QStringLiteral("total"));
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(addFiles);
    fileButtons->addWidget(addFolder);
    fileButtons->addWidget(remove);
    fileButtons->addStretch(1);
    fileButtons->addWidget(total_);
    auto* fileBox = new QGroupBox(QStringLiteral("Files and folders (drop them here)"));
    auto* fileLayout = new QVBoxLayout(fileBox);
    fileLayout->addLayout(labelRow);
    fileLayout->addWidget(files_, 1);
    fileLayout->addLayout(fileButtons);

    // Where it goes: a recorder, or an image file.
    target_ = new QComboBox;
    target_->setObjectName(QStringLiteral("target"));
    const std::vector<LCDBurnDlgModel::Drive> drives = model_.Drives();
    driveCount_ = int32_t(drives.size());
    for (const LCDBurnDlgModel::Drive& d : drives)
        target_->addItem(Q(d.label) + (d.canWrite ? QString() : QStringLiteral(" (cannot write)")));
    target_->addItem(QStringLiteral("Write to image file..."));
    target_->setCurrentIndex(!model_.imagePath.empty() || drives.empty() ? driveCount_
                             : s.drive < drives.size()                   ? s.drive
                                                                         : 0);
    image_ = new QLineEdit(Q(model_.imagePath));
    image_->setObjectName(QStringLiteral("image"));
    image_->setPlaceholderText(QStringLiteral("The ISO image file to write"));
    browse_ = new QPushButton(QStringLiteral("&Browse..."));
    speed_ = new QComboBox;
    speed_->setObjectName(QStringLiteral("speed"));
    speed_->addItem(Q(LCDBurnSettings::SpeedText(LCDBurnSettings::kMaxSpeed)), int(LCDBurnSettings::kMaxSpeed));
    for (uint16_t x : LCDBurnDlg::kSpeeds)
        speed_->addItem(Q(LCDBurnSettings::SpeedText(x)), int(x));
    const int speedAt = speed_->findData(int(s.speed));
    speed_->setCurrentIndex(speedAt >= 0 ? speedAt : 0);
    disc_label_ = new QLabel;
    disc_label_->setObjectName(QStringLiteral("disc"));
    auto* destination = new QGroupBox(QStringLiteral("Destination"));
    auto* grid = new QGridLayout(destination);
    auto* targetCaption = new QLabel(QStringLiteral("Write &to:"));
    targetCaption->setBuddy(target_);
    grid->addWidget(targetCaption, 0, 0);
    grid->addWidget(target_, 0, 1, 1, 2);
    auto* imageCaption = new QLabel(QStringLiteral("&Image:"));
    imageCaption->setBuddy(image_);
    grid->addWidget(imageCaption, 1, 0);
    grid->addWidget(image_, 1, 1);
    grid->addWidget(browse_, 1, 2);
    auto* speedCaption = new QLabel(QStringLiteral("&Speed:"));
    speedCaption->setBuddy(speed_);
    grid->addWidget(speedCaption, 2, 0);
    grid->addWidget(speed_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Disc:")), 3, 0);
    grid->addWidget(disc_label_, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    erase_ = Option("EraseCDRW", QStringLiteral("&Erase CD-RWs if they are not blank"), s.eraseCDRW,
                    QStringLiteral("A CD-RW that holds something is erased before it is written"));
    overburn_ = Option("Overburn", QStringLiteral("O&verburn"), s.overburn,
                       QStringLiteral("Write even when the files seem too large for the disc"));
    simulate_ = Option("Simulate", QStringLiteral("Simul&ate (a test write: nothing is burned)"), s.simulate,
                       QStringLiteral("The drive goes through the whole write with its laser off"));
    rockRidge_ = Option("RockRidge", QStringLiteral("&Rock Ridge (Linux names, permissions and links)"),
                        s.rockRidge,
                        QStringLiteral("Off: only the ISO 9660 and Joliet names; symbolic links are followed"));
    auto* options = new QGroupBox(QStringLiteral("Options"));
    auto* optionGrid = new QGridLayout(options);
    optionGrid->addWidget(erase_, 0, 0);
    optionGrid->addWidget(overburn_, 0, 1);
    optionGrid->addWidget(simulate_, 1, 0);
    optionGrid->addWidget(rockRidge_, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    write_ = buttons->addButton(QStringLiteral("&Write"), QDialogButtonBox::AcceptRole);
    write_->setObjectName(QStringLiteral("write"));
    write_->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(write_, &QPushButton::clicked, this, [this] {
        if (Write() == kJobDone)
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileBox, 1);
    layout->addWidget(destination);
    layout->addWidget(options);
    layout->addWidget(buttons);

    connect(addFiles, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Add Files to the Data CD"));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::ExistingFiles);
        if (d.exec() == QDialog::Accepted)
            AddPaths(d.selectedFiles());
    });
    connect(addFolder, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Add a Folder to the Data CD"));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly);
        if (d.exec() == QDialog::Accepted)
            AddPaths(d.selectedFiles());
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        std::vector<const LCDFile*> nodes;
        for (QTreeWidgetItem* item : files_->selectedItems())
            nodes.push_back(NodeOf(item));
        // A folder removed first takes its selected children with it: remove the
        // deepest first.
        std::sort(nodes.begin(), nodes.end(), [](const LCDFile* a, const LCDFile* b) {
            auto depth = [](const LCDFile* n) {
                int d = 0;
                for (; n && n->parent; n = n->parent)
                    ++d;
                return d;
            };
            return depth(a) > depth(b);
        });
        for (const LCDFile* n : nodes)
            model_.Remove(n);
        FillTree();
    });
    connect(browse_, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Write to Image File"), image_->text());
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setNameFilters({QStringLiteral("ISO images (*.iso)"), QStringLiteral("All files (*)")});
        d.setDefaultSuffix(QStringLiteral("iso"));
        if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            image_->setText(d.selectedFiles().front());
    });
    connect(target_, &QComboBox::currentIndexChanged, this, [this] {
        ReadDisc();
        UpdateEnabled();
    });
    connect(image_, &QLineEdit::textChanged, this, [this] { UpdateEnabled(); });
    connect(rockRidge_, &QCheckBox::toggled, this, [this](bool on) {
        model_.SetRockRidge(on);
        FillTree();
    });

    FillTree();
    ReadDisc();
    UpdateEnabled();
    resize(580, sizeHint().height());
}

bool LCDDataDlg::ToImage() const { return target_->currentIndex() >= driveCount_; }

void LCDDataDlg::AddPaths(const QStringList& paths)
{
    for (const QString& p : paths)
        model_.Add(p.toStdString());
    FillTree();
}

void LCDDataDlg::FillItem(QTreeWidgetItem* item, const LCDFile& node)
{
    const QString name = Q(node.posixName);
    item->setText(0, node.isLink ? name + QStringLiteral(" \u2192 ") + Q(node.linkTarget) : name);
    item->setText(1, node.isDirectory ? QString() : SizeText(Bytes(node)));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(&node)));
    item->setToolTip(0, Q(node.sourcePath) + QStringLiteral("\nOn the CD: ") + Q(node.shortName) +
                            QStringLiteral(" / ") + QString::fromStdU16String(node.longName));
    if (node.isDirectory)
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    for (const auto& c : node.children)
        FillItem(new QTreeWidgetItem(item), *c);
}

void LCDDataDlg::FillTree()
{
    files_->clear();
    for (const auto& c : model_.Tree().Root().children)
        FillItem(new QTreeWidgetItem(files_), *c);
    UpdateTotal();
    UpdateEnabled();
}

void LCDDataDlg::ReadDisc()
{
    disc_ = LCDBurnDlgModel::Disc();
    if (ToImage()) {
        disc_label_->setText(QStringLiteral("(an image file has no disc)"));
    } else {
        model_.settings.drive = uint8_t(target_->currentIndex());
        disc_ = model_.ProbeDisc();
        disc_label_->setText(disc_.description.empty() ? QStringLiteral("no disc") : Q(disc_.description));
    }
    UpdateTotal();
}

void LCDDataDlg::UpdateTotal()
{
    const bool tooLarge = disc_.present && model_.Sectors() > disc_.capacitySectors;
    total_->setText(Q(model_.TotalText(&disc_)));
    total_->setStyleSheet(tooLarge ? QStringLiteral("color: #b00000;") : QString());
    total_->setToolTip(tooLarge ? QStringLiteral("The files are larger than the disc holds") : QString());
}

void LCDDataDlg::UpdateEnabled()
{
    const bool image = ToImage();
    image_->setEnabled(image);
    browse_->setEnabled(image);
    for (QWidget* w : std::initializer_list<QWidget*>{speed_, erase_, overburn_, simulate_})
        w->setEnabled(!image);
    write_->setEnabled(!model_.Tree().Empty() && (!image || !image_->text().trimmed().isEmpty()));
}

void LCDDataDlg::TakeOptions()
{
    LCDBurnSettings& s = model_.settings;
    if (!ToImage())
        s.drive = uint8_t(target_->currentIndex());
    s.speed = uint16_t(speed_->currentData().toInt());
    s.eraseCDRW = erase_->isChecked();
    s.overburn = overburn_->isChecked();
    s.simulate = simulate_->isChecked();
    s.rockRidge = rockRidge_->isChecked();
    model_.label = label_->text().toStdString();
    model_.imagePath = ToImage() ? image_->text().trimmed().toStdString() : std::string();
}

int32_t LCDDataDlg::Write()
{
    TakeOptions();
    if (!model_.settings.Write())
        LUiGet().Message("The CD recorder settings could not be stored; the write goes on with them.", "Kelvane",
                         LUiButtons::Ok, LUiIcon::Exclamation);
    const int32_t r = model_.Write();
    if (!ToImage())
        ReadDisc();
    return r;
}

QString LCDDataDlg::TotalText() const { return total_->text(); }

void LCDDataDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LCDDataDlg::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    AddPaths(paths);
    event->acceptProposedAction();
}
