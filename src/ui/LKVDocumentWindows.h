#pragma once
#include <QObject>
#include <vector>

class LKVFile;
class LKVFileWindow;
class MainDialog;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The one place where documents meet their child windows. A document that
// joins the model gets a sub-window holding its LKVFileWindow; one that leaves
// loses it; the current document's window is the active one, and activating a
// window (click, Window menu, Ctrl+Tab) makes its document current. Closing a
// sub-window asks the model, which may ask about unsaved changes and keep it.
class LKVDocumentWindows : public QObject {
    Q_OBJECT
public:
    // `contextMenu` is what a right click in a document window opens.
    LKVDocumentWindows(MainDialog& model, QMdiArea& area, QMenu* contextMenu, QObject* parent = nullptr);

    // Called from the model's view callbacks.
    void Opened(LKVFile& doc);
    void Closing(LKVFile& doc);
    void Current(LKVFile* doc);
    void Changed(LKVFile& doc);
    void ShowWhole(LKVFile& doc);
    // The bookmark or region list changed: every window draws its marks anew.
    void MarksChanged();

    LKVFileWindow* WindowOf(const LKVFile* doc) const;
    QMdiSubWindow* SubWindowOf(const LKVFile* doc) const;
    // The documents' sub-windows in opening order.
    std::vector<QMdiSubWindow*> SubWindows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        LKVFile* doc;
        QMdiSubWindow* sub;
        LKVFileWindow* window;
    };
    void Activated(QMdiSubWindow* sub);
    void RequestClose(LKVFile* doc);
    void UpdateTitle(const Entry& e);
    const Entry* Find(const LKVFile* doc) const;

    MainDialog& model_;
    QMdiArea& area_;
    QMenu* contextMenu_;
    std::vector<Entry> entries_;
    bool removing_ = false;
};
