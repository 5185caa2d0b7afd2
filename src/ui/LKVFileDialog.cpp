#include "ui/LKVFileDialog.h"

#include "core/LFile.h"
#include "ui/LKVDialogExec.h"
#include "ui/LQtUi.h"

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
}

std::string LKVFileDialog::ChosenPath() const
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return {};
    std::string path = files.front().toStdString();
    if (acceptMode() != QFileDialog::AcceptSave || !GetFileExtension(GetFileFromPath(path)).empty())
        return path;
    const int index = nameFilters().indexOf(selectedNameFilter());
    if (index < 0 || size_t(index) >= request_.filters.size())
        return path;
    for (const std::string& pattern : request_.filters[size_t(index)].patterns)
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern.find('*', 1) == std::string::npos)
            return path + pattern.substr(1);
    return path;
}

bool LKVFileDialog::Ask(const LUiFileRequest& request, std::string& path)
{
    LKVFileDialog dialog(request, LQtUi::Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    path = dialog.ChosenPath();
    return !path.empty();
}
