#pragma once
#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

class LKVScriptDocument;

// The command list of the batch converter as a two-column table (command name,
// parameter description) over the script document, which it edits. Commands of
// an index the catalogue does not know stay in the script but have no row. Rows
// are reordered by dragging them: a row dropped on another is put before it, one
// dropped below the last goes to the end.
class LKVBatchCommandModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LKVBatchCommandModel(LKVScriptDocument& script, QObject* parent = nullptr);

    static constexpr const char* kMimeType = "application/x-kelvane-batch-command";

    // The position in the script of the command shown in `row`, or -1.
    int32_t Position(int row) const;
    // Appends a command of catalogue index `index` without data.
    void Add(uint32_t index);
    // Removes the command of `row`.
    void Remove(int row);
    // Moves the command of `from` before the one now in `before` (rowCount(): to the end).
    void MoveRow(int from, int before);
    // The command of `row` changed its data.
    void Changed(int row);
    // The script was replaced (New, Open).
    void Reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    void Rebuild();

    LKVScriptDocument& script_;
    std::vector<size_t> shown_;  // the script positions of the rows
};
