#include "ui/LKVFileDialog.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

#include "core/LFile.h"
#include "formats/LGenSink.h"
#include "ui/LKVDialogExec.h"
#include "ui/LQtUi.h"

namespace {

// ".wav" of "*.wav": the first pattern that names one extension; empty for "*".
std::string FirstExtension(const LUiFileFilter& filter)
{
    for (const std::string& pattern : filter.patterns)
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern.find('*', 1) == std::string::npos)
            return pattern.substr(1);
    return {};
}

} // namespace

QString LKVFileDialog::NameFilter(const LUiFileFilter& filter)
{
    QStringList patterns;
    for (const std::string& p : filter.patterns)
        patterns << QString::fromStdString(p);
    // The patterns go last in parentheses, where Qt reads them; the dialog shows
    // only the description (HideNameFilterDetails), which may name them itself.
    return QString::fromStdString(filter.description) + QStringLiteral(" (") + patterns.join(' ') +
           QStringLiteral(")");
}

LKVFileDialog::LKVFileDialog(const LUiFileRequest& request, QWidget* parent)
    : QFileDialog(parent, QString::fromStdString(request.title)), request_(request)
{
    setObjectName(QStringLiteral("LKVFileDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    // The caller asks about replacing a file, after it has added the extension.
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const LUiFileFilter& f : request.filters)
        filters << NameFilter(f);
    if (!filters.isEmpty())
        setNameFilters(filters);
    if (!request.folder.empty() && FolderExists(request.folder))
        setDirectory(QString::fromStdString(request.folder));
    if (!request.fileName.empty())
        selectFile(QString::fromStdString(request.fileName));
    if (request.save && request.formatOptions)
        AddOptionsButton();
    FitColumns();
}

void LKVFileDialog::FitColumns()
{
    // Size, type and date whole (Qt's own widths cut the date short), the name
    // taking what is left, in a dialog wide enough for all four.
    auto* view = findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return;
    const QFontMetrics fm = view->fontMetrics();
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const int pad = 24;
    const int size = fm.horizontalAdvance(QStringLiteral("1023.9 KiB")) + pad;
    const int type = fm.horizontalAdvance(QStringLiteral("Folder")) + fm.horizontalAdvance(QStringLiteral("wav File")) / 2 + pad;
    // Qt writes the date in the locale's long form, up to the seconds.
    const int date = fm.horizontalAdvance(QStringLiteral("30 Sep 2026 22:19:00")) + pad;
    header->resizeSection(1, size);
    header->resizeSection(2, type);
    header->resizeSection(3, date);
    const int name = fm.horizontalAdvance(QStringLiteral("a recording with a long name.wav")) + pad;
    resize(std::max(width(), 180 + name + size + type + date), std::max(height(), 440));
}

int LKVFileDialog::SelectedFilterIndex() const
{
    // With the details hidden Qt names the chosen filter by its description only.
    const QString selected = selectedNameFilter();
    const QStringList filters = nameFilters();
    for (int i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(" (")))
            return i;
    return -1;
}

std::string LKVFileDialog::ChosenExtension() const
{
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const std::string typed = edit ? edit->text().toStdString() : std::string();
    std::string ext = GetFileExtension(GetFileFromPath(typed));
    if (!ext.empty())
        return ext;
    const int index = SelectedFilterIndex();
    if (index < 0 || size_t(index) >= request_.filters.size())
        return {};
    return FirstExtension(request_.filters[size_t(index)]);
}

void LKVFileDialog::AddOptionsButton()
{
    auto* grid = qobject_cast<QGridLayout*>(layout());
    if (!grid)
        return;
    auto* options = new QPushButton(QStringLiteral("O&ptions..."), this);
    options->setObjectName(QStringLiteral("formatOptions"));
    options->setToolTip(QStringLiteral("Settings of the chosen file type (WAV format, encoder options)"));
    options->setAutoDefault(false);
    grid->addWidget(options, grid->rowCount(), grid->columnCount() - 1);
    auto update = [this, options] { options->setEnabled(LGenSinkHasOptions(ChosenExtension())); };
    connect(this, &QFileDialog::filterSelected, this, update);
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(edit, &QLineEdit::textChanged, this, update);
    connect(options, &QPushButton::clicked, this, [this] {
        LGenSinkCheckSettings(ChosenExtension(), request_.optionsRate, request_.optionsChannels);
    });
    update();
}

std::string LKVFileDialog::ChosenPath() const
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return {};
    std::string path = files.front().toStdString();
    if (acceptMode() != QFileDialog::AcceptSave || !GetFileExtension(GetFileFromPath(path)).empty())
        return path;
    const int index = SelectedFilterIndex();
    if (index < 0 || size_t(index) >= request_.filters.size())
        return path;
    return path + FirstExtension(request_.filters[size_t(index)]);
}

bool LKVFileDialog::Ask(const LUiFileRequest& request, std::string& path)
{
    LKVFileDialog dialog(request, LQtUi::Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    path = dialog.ChosenPath();
    return !path.empty();
}
