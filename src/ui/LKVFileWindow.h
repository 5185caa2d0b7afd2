#pragma once
#include <QWidget>

class LKVFile;
class MainDialog;
class QMenu;

// The content of one document's child window. The frame creates it for a
// document that joins the model and calls the three operations below; the
// window reports back through its two signals. Everything the window changes
// in the document (selection, cursor, view) goes through the model.
//
// For now it shows the document's name, format and length in place of the
// waveform views.
class LKVFileWindow : public QWidget {
    Q_OBJECT
public:
    // `model` and `doc` outlive the window: the frame deletes the window before
    // the document leaves the model.
    LKVFileWindow(MainDialog& model, LKVFile& doc, QWidget* parent = nullptr);

    LKVFile& Document() const { return doc_; }

    // The document's audio, selection, cursor, name or modified flag changed.
    void DocumentChanged();
    // The view should cover the whole document (after opening or converting it).
    void ShowWholeDocument();
    // A view command of the Window menu (zoom, vertical zoom, display modes) for
    // this document; false when the window does not perform it.
    bool ViewCommand(int32_t id);
    // The menu a right click opens (owned by the frame).
    void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

    QSize sizeHint() const override { return {560, 300}; }

signals:
    // The user clicked into the window: its document becomes current.
    void activated();
    // The user asked to close the document (the frame asks about unsaved changes).
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    MainDialog& model_;
    LKVFile& doc_;
    QMenu* contextMenu_ = nullptr;
};
