#include "ui/LKVDocumentWindows.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/MainDialog.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVFileWindow.h"

LKVDocumentWindows::LKVDocumentWindows(MainDialog& model, QMdiArea& area, QMenu* contextMenu, QObject* parent)
    : QObject(parent), model_(model), area_(area), contextMenu_(contextMenu)
{
    connect(&area_, &QMdiArea::subWindowActivated, this, &LKVDocumentWindows::Activated);
}

const LKVDocumentWindows::Entry* LKVDocumentWindows::Find(const LKVFile* doc) const
{
    for (const Entry& e : entries_)
        if (e.doc == doc)
            return &e;
    return nullptr;
}

LKVFileWindow* LKVDocumentWindows::WindowOf(const LKVFile* doc) const
{
    const Entry* e = Find(doc);
    return e ? e->window : nullptr;
}

QMdiSubWindow* LKVDocumentWindows::SubWindowOf(const LKVFile* doc) const
{
    const Entry* e = Find(doc);
    return e ? e->sub : nullptr;
}

std::vector<QMdiSubWindow*> LKVDocumentWindows::SubWindows() const
{
    std::vector<QMdiSubWindow*> subs;
    for (const Entry& e : entries_)
        subs.push_back(e.sub);
    return subs;
}

void LKVDocumentWindows::Opened(LKVFile& doc)
{
    if (Find(&doc))
        return;
    auto* window = new LKVFileWindow(model_, doc);
    window->SetContextMenu(contextMenu_);
    QMdiSubWindow* sub = area_.addSubWindow(window);
    sub->setWindowIcon(LKVAppIcon());
    sub->installEventFilter(this);
    entries_.push_back({&doc, sub, window});
    connect(window, &LKVFileWindow::activated, this, [this, &doc] {
        if (model_.CurrentFile() != &doc)
            model_.SetCurrentFile(&doc);
    });
    connect(window, &LKVFileWindow::closeRequested, this, [this, &doc] { RequestClose(&doc); });
    UpdateTitle(entries_.back());
    window->ShowWholeDocument();
    // The first window fills the area; later ones cascade over it as Qt places them.
    if (area_.subWindowList().size() == 1 || (area_.activeSubWindow() && area_.activeSubWindow()->isMaximized()))
        sub->showMaximized();
    else
        sub->show();
}

void LKVDocumentWindows::Closing(LKVFile& doc)
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->doc == &doc) {
            QMdiSubWindow* sub = it->sub;
            entries_.erase(it);
            sub->removeEventFilter(this);
            // The model picks the next current document once this one is gone;
            // the area's own pick of a window to activate must not get there first.
            removing_ = true;
            // Deleted later: this may run inside one of the window's own events.
            sub->hide();
            area_.removeSubWindow(sub);
            removing_ = false;
            sub->deleteLater();
            return;
        }
}

void LKVDocumentWindows::Current(LKVFile* doc)
{
    const Entry* e = Find(doc);
    if (e && area_.activeSubWindow() != e->sub)
        area_.setActiveSubWindow(e->sub);
}

void LKVDocumentWindows::Changed(LKVFile& doc)
{
    if (const Entry* e = Find(&doc)) {
        UpdateTitle(*e);
        e->window->DocumentChanged();
    }
}

void LKVDocumentWindows::ShowWhole(LKVFile& doc)
{
    if (const Entry* e = Find(&doc))
        e->window->ShowWholeDocument();
}

void LKVDocumentWindows::MarksChanged()
{
    for (const Entry& e : entries_)
        e.window->MarksChanged();
}

void LKVDocumentWindows::UpdateTitle(const Entry& e)
{
    // Qt shows "*" in place of "[*]" while the window is marked modified.
    e.sub->setWindowTitle(QString::fromStdString(e.doc->GetTitle()) + QStringLiteral("[*]"));
    e.sub->setWindowModified(e.doc->modified);
    e.sub->setToolTip(QString::fromStdString(e.doc->GetPathOrTitle()));
}

void LKVDocumentWindows::Activated(QMdiSubWindow* sub)
{
    // No window is active while the frame itself is inactive: the current
    // document stays what it was.
    if (!sub || removing_)
        return;
    for (const Entry& e : entries_)
        if (e.sub == sub && model_.CurrentFile() != e.doc) {
            model_.SetCurrentFile(e.doc);
            return;
        }
}

void LKVDocumentWindows::RequestClose(LKVFile* doc)
{
    // Queued: the model's questions and the window's removal must not run
    // inside the close event of the window being removed.
    QMetaObject::invokeMethod(
        this,
        [this, doc] {
            if (Find(doc))
                model_.CloseFile(*doc);
        },
        Qt::QueuedConnection);
}

bool LKVDocumentWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close)
        for (const Entry& e : entries_)
            if (e.sub == watched) {
                event->ignore();
                RequestClose(e.doc);
                return true;
            }
    return QObject::eventFilter(watched, event);
}
