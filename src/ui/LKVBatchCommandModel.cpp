#include "ui/LKVBatchCommandModel.h"

#include <QMimeData>

#include "app/KVBatchConverter.h"
#include "app/LKVScriptDocument.h"

LKVBatchCommandModel::LKVBatchCommandModel(LKVScriptDocument& script, QObject* parent)
    : QAbstractTableModel(parent), script_(script)
{
    Rebuild();
}

void LKVBatchCommandModel::Rebuild()
{
    shown_.clear();
    for (size_t i = 0; i < script_.commands.size(); ++i)
        if (LKVBatchCatalogue::Find(script_.commands[i].index))
            shown_.push_back(i);
}

int32_t LKVBatchCommandModel::Position(int row) const
{
    return row >= 0 && size_t(row) < shown_.size() ? int32_t(shown_[size_t(row)]) : -1;
}

void LKVBatchCommandModel::Add(uint32_t index)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    script_.Add(index);
    Rebuild();
    endInsertRows();
}

void LKVBatchCommandModel::Remove(int row)
{
    const int32_t at = Position(row);
    if (at < 0)
        return;
    beginRemoveRows({}, row, row);
    script_.Remove(size_t(at));
    Rebuild();
    endRemoveRows();
}

void LKVBatchCommandModel::MoveRow(int from, int before)
{
    const int32_t at = Position(from);
    if (at < 0 || before < 0 || before > rowCount() || before == from || before == from + 1)
        return;
    // Hidden commands keep their place: the moved one goes just before the
    // command shown in `before` (after everything, for the end).
    size_t to = before == rowCount() ? script_.commands.size() : shown_[size_t(before)];
    if (size_t(at) < to)
        --to;
    beginMoveRows({}, from, from, {}, before);
    script_.Move(size_t(at), to);
    Rebuild();
    endMoveRows();
}

void LKVBatchCommandModel::Changed(int row)
{
    if (Position(row) < 0)
        return;
    script_.Touch();
    emit dataChanged(index(row, 0), index(row, 1));
}

void LKVBatchCommandModel::Reset()
{
    beginResetModel();
    Rebuild();
    endResetModel();
}

int LKVBatchCommandModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown_.size());
}

int LKVBatchCommandModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant LKVBatchCommandModel::data(const QModelIndex& index, int role) const
{
    const int32_t at = Position(index.row());
    if (at < 0 || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const LKVCommand& command = script_.commands[size_t(at)];
    if (index.column() == 0)
        return QString::fromUtf8(LKVBatchCatalogue::Find(command.index)->name);
    return QString::fromStdString(KVBatchConverter::Describe(command));
}

QVariant LKVBatchCommandModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Command") : QStringLiteral("Parameters");
}

Qt::ItemFlags LKVBatchCommandModel::flags(const QModelIndex& index) const
{
    // Only the spaces between rows take a drop, so a row is never dropped "into" another.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions LKVBatchCommandModel::supportedDropActions() const { return Qt::MoveAction; }

Qt::DropActions LKVBatchCommandModel::supportedDragActions() const { return Qt::MoveAction; }

QStringList LKVBatchCommandModel::mimeTypes() const { return {QString::fromLatin1(kMimeType)}; }

QMimeData* LKVBatchCommandModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), QByteArray::number(indexes.first().row()));
    return data;
}

bool LKVBatchCommandModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                        const QModelIndex& parent)
{
    if (!data || action != Qt::MoveAction || !data->hasFormat(QString::fromLatin1(kMimeType)))
        return false;
    bool ok = false;
    const int from = data->data(QString::fromLatin1(kMimeType)).toInt(&ok);
    if (!ok || Position(from) < 0)
        return false;
    if (parent.isValid())
        row = parent.row();
    if (row < 0 || row > rowCount())
        row = rowCount();
    MoveRow(from, row);
    // The model has moved the row itself; the view's removal of the dragged
    // rows after a move finds nothing to remove (removeRows is not offered).
    return true;
}
