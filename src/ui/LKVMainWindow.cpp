#include "ui/LKVMainWindow.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "app/LKVCommands.h"
#include "app/LKVMenuLayout.h"
#include "devices/LSoundDeviceList.h"
#include "app/LKVWindowPlacement.h"
#include "app/LRecentFiles.h"
#include "ui/CDRipperDlg.h"
#include "app/MainDialogShared.h"
#include "cd/LCDBurnDlgModel.h"
#include "core/LFile.h"
#include "ui/LCDBurnDlg.h"
#include "ui/LCDDataDlg.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVFileDialog.h"
#include "ui/LKVBookMarkDlg.h"
#include "ui/LKVRegionDlg.h"
#include "display/LSpectrum.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVFFTDlg.h"
#include "ui/LKVSpectrogramDlg.h"
#include "app/LKVWorkingFolder.h"
#include "ui/LConvertRateDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVBatchWizardDlg.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVHelpWindow.h"
#include "ui/LKVMdiArea.h"
#include "ui/LKVVirtualKeys.h"
#include "ui/LKeyMacroDlg.h"
#include "ui/LQtClipboardPort.h"
#include "ui/LSettingsDlg.h"
#include "ui/LKVFileWindow.h"
#include "ui/LKVPreviewDialog.h"
#include "ui/LKVReadoutPanel.h"
#include "ui/LKVTransportBar.h"
#include "ui/LPlayDlg.h"
#include "ui/LKVVolumeControl.h"
#include "ui/LKVShortcuts.h"
#include "ui/LQtProgressBackend.h"
#include "ui/LQtUi.h"

namespace {

LKVRect ToRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect ToQRect(const LKVRect& r) { return {r.x, r.y, r.width, r.height}; }

} // namespace

LKVMainWindow::LKVMainWindow(LPlayerPort* player, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("LKVMainWindow"));
    setWindowIcon(LKVAppIcon());
    setAcceptDrops(true);
    model_ = std::make_unique<MainDialog>(player, this);
    LKVPreviewDialog::SetDocumentAudio([this]() -> const LCutListAudio* {
        const LKVFile* doc = model_ ? model_->CurrentFile() : nullptr;
        return doc ? &doc->audio : nullptr;
    });
    clipboard_ = std::make_unique<LQtClipboardPort>();
    model_->SetClipboardPort(clipboard_.get());

    area_ = new LKVMdiArea;
    area_->setObjectName(QStringLiteral("MDICLIENT"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(area_);

    BuildActions();
    BuildMenus();
    BuildToolBars();
    windows_ = new LKVDocumentWindows(*model_, *area_, contextMenu_, this);
    statusBar()->setObjectName(QStringLiteral("msctls_statusbar32"));
    statusBar()->showMessage(QString());

    setWindowTitle(QString::fromStdString(model_->Caption()));
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(500);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        // Mid-job the documents are being changed; the job's end refreshes.
        if (!LQtProgressBackend::Busy())
            Refresh();
    });
    refreshTimer_->start();
    qApp->installEventFilter(this);
    Refresh();
}

LKVMainWindow::~LKVMainWindow()
{
    // The list windows show the model's lists: they go first.
    delete bookmarkDlg_;
    delete regionDlg_;
    bookmarkDlg_ = nullptr;
    regionDlg_ = nullptr;
    LKVPreviewDialog::SetDocumentAudio({});
    // The document windows go before the documents they show.
    qApp->removeEventFilter(this);
    // The document windows go before the documents they show, the clipboard's
    // offer before the model that would render it.
    delete area_;
    area_ = nullptr;
    model_->SetClipboardPort(nullptr);
    clipboard_.reset();
    model_.reset();
}

QAction* LKVMainWindow::Action(int32_t id) const
{
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void LKVMainWindow::BuildActions()
{
    for (const LKVCommandInfo& c : LKVCommandTable()) {
        auto* a = new QAction(QString::fromUtf8(c.menuText).trimmed(), this);
        a->setObjectName(QStringLiteral("cm%1").arg(c.id));
        a->setData(c.id);
        a->setStatusTip(QString::fromUtf8(c.help));
        a->setShortcuts(LKVShortcuts(c.shortcut));
        a->setShortcutContext(Qt::WindowShortcut);
        const int32_t id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        addAction(a);
        actions_[c.id] = a;
    }
    // The keys beside the menus' shortcuts work only where no text field or
    // key macro wants the key (both take it before a shortcut does).
    for (const LKVExtraKey& k : LKVExtraKeys()) {
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence::fromString(QString::fromUtf8(k.key), QKeySequence::PortableText));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, k] {
            if (model_->IsCommandEnabled(k.id) || k.stopsWhilePlaying) {
                model_->OnExtraKey(k);
                Refresh();
            }
        });
        addAction(a);
    }
}

void LKVMainWindow::FillMenu(QMenu* menu, const std::vector<LKVMenuEntry>& entries, bool contextMenu)
{
    using Kind = LKVMenuEntry::Kind;
    for (const LKVMenuEntry& e : entries) {
        switch (e.kind) {
        case Kind::Command:
            if (QAction* a = Action(e.id))
                menu->addAction(a);
            break;
        case Kind::Separator: menu->addSeparator(); break;
        case Kind::Submenu: FillMenu(menu->addMenu(QString::fromUtf8(e.text)), e.entries, contextMenu); break;
        case Kind::RecentFiles:
            if (!contextMenu)
                recentMarker_ = menu->addSeparator();
            break;
        case Kind::WindowList:
            if (!contextMenu)
                windowListMarker_ = menu->addSeparator();
            break;
        case Kind::KeyMacros: {
            QAction* a = menu->addAction(QStringLiteral("&Key Macros..."));
            a->setObjectName(QStringLiteral("keyMacros"));
            a->setStatusTip(QStringLiteral("Assigns lists of commands to keys."));
            connect(a, &QAction::triggered, this, &LKVMainWindow::ShowKeyMacros);
            break;
        }
        }
    }
}

void LKVMainWindow::BuildMenus()
{
    for (const LKVMenu& m : LKVMenuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.title));
        menu->setObjectName(QString::fromUtf8(m.title).remove(QLatin1Char('&')) + QStringLiteral("Menu"));
        // Status help while an item is highlighted needs tooltips off in menus.
        menu->setToolTipsVisible(false);
        FillMenu(menu, m.entries, false);
        if (m.title == std::string("&File"))
            fileMenu_ = menu;
        if (m.title == std::string("&Window"))
            windowMenu_ = menu;
    }
    connect(fileMenu_, &QMenu::aboutToShow, this, &LKVMainWindow::RefreshRecentFiles);
    connect(windowMenu_, &QMenu::aboutToShow, this, &LKVMainWindow::RefreshWindowList);
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("DocumentContextMenu"));
    FillMenu(contextMenu_, LKVDocumentContextMenu(), true);
}

void LKVMainWindow::RefreshRecentFiles()
{
    for (QAction* a : recentActions_)
        delete a;
    recentActions_.clear();
    if (!recentMarker_)
        return;
    const std::vector<LRecentFiles::MenuItem> items = LRecentFiles::Menu();
    for (const LRecentFiles::MenuItem& item : items) {
        auto* a = new QAction(QString::fromStdString(item.text), fileMenu_);
        a->setData(item.command);
        a->setObjectName(QStringLiteral("cm%1").arg(item.command));
        a->setStatusTip(QStringLiteral("Open the recent closed file."));
        const int32_t id = item.command;
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        fileMenu_->insertAction(recentMarker_, a);
        recentActions_.push_back(a);
    }
    // The marker separates the list from Exit; without a list the separator
    // above it already does.
    recentMarker_->setVisible(!items.empty());
}

void LKVMainWindow::RefreshWindowList()
{
    for (QAction* a : windowListActions_)
        delete a;
    windowListActions_.clear();
    if (!windowListMarker_)
        return;
    // The documents' windows and the frequency analysis window, in the order they opened.
    const QList<QMdiSubWindow*> subs = area_->subWindowList(QMdiArea::CreationOrder);
    windowListMarker_->setVisible(!subs.empty());
    int32_t n = 0;
    for (QMdiSubWindow* sub : subs) {
        QString title = sub->windowTitle();
        title.replace(QStringLiteral("[*]"), sub->isWindowModified() ? QStringLiteral("*") : QString());
        QString text = n < 9 ? QStringLiteral("&%1 %2").arg(n + 1).arg(title) : QStringLiteral("%1 %2").arg(n + 1).arg(title);
        auto* a = new QAction(text, windowMenu_);
        a->setData(kLKVFirstMdiChild + n);
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { area_->setActiveSubWindow(sub); });
        windowMenu_->addAction(a);
        windowListActions_.push_back(a);
        ++n;
    }
}

void LKVMainWindow::Refresh()
{
    for (auto& [id, action] : actions_)
        action->setEnabled(model_->IsCommandEnabled(id));
    // Scrub works on the document like Play.
    scrub_->setEnabled(model_->IsCommandEnabled(kCmPlay));
    UndoItemChanged(model_->UndoMenuItem());
    RedoItemChanged(model_->RedoMenuItem());
    readouts_->Show(model_->Readouts());
    transport_->SetPlaying(IsPlaying());
}

void LKVMainWindow::BuildToolBars()
{
    scrub_ = new QAction(QStringLiteral("Scrub"), this);
    scrub_->setObjectName(QStringLiteral("scrub"));
    scrub_->setStatusTip(QStringLiteral("Plays a short loop at the current position."));
    scrub_->setCheckable(true);
    connect(scrub_, &QAction::triggered, this, [this] {
        model_->CmScrub();
        Refresh();
    });
    transport_ = new LKVTransportBar(actions_, scrub_, this);
    addToolBar(Qt::TopToolBarArea, transport_);
    // Rewind and Forward scan while they are held down.
    connect(transport_, &LKVTransportBar::scanPressed, this, [this](bool forward) {
        model_->ScanPressed(forward ? LKVScan::Forward : LKVScan::Rewind);
    });
    connect(transport_, &LKVTransportBar::scanReleased, this, [this](bool forward) {
        model_->ScanReleased(forward ? LKVScan::Forward : LKVScan::Rewind);
        Refresh();
    });
    transport_->Volume()->SetDb(
        std::clamp(model_->PlayVolume(), LKVVolumeControl::kMinDb, LKVVolumeControl::kMaxDb));
    connect(transport_->Volume(), &LKVVolumeControl::volumeChanged, this,
            [this](int32_t db) { model_->SetPlayVolume(db); });

    addToolBarBreak(Qt::TopToolBarArea);
    auto* position = new QToolBar(QStringLiteral("Position"), this);
    position->setObjectName(QStringLiteral("PositionBar"));
    position->setMovable(false);
    readouts_ = new LKVReadoutPanel;
    position->addWidget(readouts_);
    addToolBar(Qt::TopToolBarArea, position);
}

void LKVMainWindow::RunCommand(int32_t id)
{
    if (!model_->ExecuteCommand(id))
        FrameCommand(id);
    Refresh();
}

LKVFileWindow* LKVMainWindow::CurrentWindow() const { return windows_->WindowOf(model_->CurrentFile()); }

void LKVMainWindow::FrameCommand(int32_t id)
{
    switch (id) {
    case kCmExit: close(); return;
    case kCmCascade: area_->cascadeSubWindows(); return;
    case kCmTileHorizontal: TileWindows(true); return;
    case kCmTileVertical: TileWindows(false); return;
    case kCmArrangeIcons: ArrangeIcons(); return;
    case kCmFrequencyAnalysis: RefreshSpectrum(true); return;
    case kCmSettings: ShowSettings(); return;
    case kCmHelpContents: ShowHelp(); return;
    case kCmAbout: ShowAbout(); return;
    case kCmConvertSampleRate: ConvertSampleRate(); return;
    case kCmOpenBookmarkList: ShowBookMarks(); return;
    case kCmOpenRegionList: ShowRegions(); return;
    case kCmPlayer: ShowPlayer(); return;
    case kCmBatchConverter: ShowBatchConverter(); return;
    case kCmLoadCDTracks:
        CDRipperDlg::Run([this](const std::string& name, LCutListAudio& audio) { model_->OpenCDTrack(name, audio); },
                         this);
        return;
    case kCmCopyFilesToAudioCD: CopyFilesToAudioCD(); return;
    case kCmCopyFilesToDataCD: CopyFilesToDataCD(); return;
    default: break;
    }
    if (id == kCmSpectrogramOptions) {
        // The options are the user's, not a document's: every open spectrogram follows them.
        if (LKVSpectrogramDlg::Run(this))
            for (QMdiSubWindow* sub : windows_->SubWindows())
                if (auto* w = qobject_cast<LKVFileWindow*>(sub->widget()))
                    w->ViewCommand(id);
        return;
    }
    if ((id >= kCmZoomIn && id <= kCmDisplayLeftRight) || id == kCmDisplayLanes || id == kCmDisplaySpectrogram) {
        LKVFileWindow* w = CurrentWindow();
        if (w && w->ViewCommand(id))
            return;
    }
    LQtUi::NotAvailable(LKVCommandName(id));
}

bool LKVMainWindow::IsPlaying() const { return (model_->PlayerState() & LPlayerPort::kActive) != 0; }

void LKVMainWindow::TransportChanged()
{
    transport_->SetPlaying(IsPlaying());
    scrub_->setChecked((model_->PlayerState() & LPlayerPort::kCueing) != 0);
    if (regionDlg_)
        regionDlg_->TransportChanged();
}

namespace {

// Brings `window` up, creating it first when it is closed.
template <class Window>
void ShowListWindow(Window*& window, MainDialog& model, QWidget* frame)
{
    if (!window) {
        window = new Window(model, frame);
        window->resize(window->sizeHint());
        // Closed is as good as gone (it is deleted later): the next command opens a new window.
        QObject::connect(window, &LKVListWindow::closed, frame, [&window] { window = nullptr; });
        QObject::connect(window, &QObject::destroyed, frame, [&window, w = window] {
            if (window == w)
                window = nullptr;
        });
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void LKVMainWindow::ShowBookMarks() { ShowListWindow(bookmarkDlg_, *model_, this); }
void LKVMainWindow::ShowRegions() { ShowListWindow(regionDlg_, *model_, this); }

void LKVMainWindow::BookMarksChanged()
{
    windows_->MarksChanged();
    if (bookmarkDlg_)
        bookmarkDlg_->Refresh();
}

void LKVMainWindow::RegionsChanged()
{
    windows_->MarksChanged();
    if (regionDlg_)
        regionDlg_->Refresh();
}

std::vector<std::string> LKVMainWindow::PlaybackDeviceNames() const { return LSoundPlayDevice::List(); }

void LKVMainWindow::ShowSettings()
{
    LSettingsDlg dialog(PlaybackDeviceNames(), this);
    if (LKVExec(dialog) != QDialog::Accepted || !dialog.MustRestart())
        return;
    LUiGet().Message(LKVWorkingFolder::kShutDownMessage, LKVWorkingFolder::kShutDownCaption, LUiButtons::Ok,
                     LUiIcon::Information);
    close();
}

void LKVMainWindow::ShowKeyMacros()
{
    LKeyMacroDlg dialog(model_->KeyMacros(), this);
    if (LKVExec(dialog) != QDialog::Accepted)
        return;
    model_->KeyMacros() = dialog.Macros();
    model_->SaveKeyMacros();
}

void LKVMainWindow::ShowHelp()
{
    if (!help_)
        help_ = new LKVHelpWindow(this);
    // A window of its own beside the frame, not inside it.
    help_->setWindowFlag(Qt::Window);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void LKVMainWindow::ShowAbout()
{
    QMessageBox box(this);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setWindowTitle(QStringLiteral("About Kelvane"));
    box.setIconPixmap(LKVAppIcon().pixmap(64, 64));
    box.setText(QStringLiteral("<b>%1</b>").arg(LKVProductLine()));
    box.setInformativeText(QStringLiteral("A sound-file editor for Linux.<br>"
                                          "Audio is kept in a working folder and edited as a list of cuts, so "
                                          "edits and undo cost no audio copying.<br><br>Built with Qt %1.")
                               .arg(QString::fromLatin1(qVersion())));
    box.setStandardButtons(QMessageBox::Ok);
    LKVExec(box);
}

void LKVMainWindow::ConvertSampleRate()
{
    LKVFile* doc = model_->CurrentFile();
    if (!doc)
        return;
    LConvertRateDlg dialog(doc->audio.sampleRate, this);
    if (LKVExec(dialog) == QDialog::Accepted)
        model_->ConvertSampleRate(dialog.Rate(), dialog.Quality());
}

bool LKVMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || model_->KeyMacros().Macros().empty())
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys pressed in the frame and its document windows; a dialog's
    // keys are its own.
    if (!widget || widget->window() != this || QApplication::activeModalWidget() || LQtProgressBackend::Busy())
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const uint32_t code = LKVKeyCode(*key);
    if (code == 0 || !model_->KeyMacros().Find(code))
        return QMainWindow::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Taken as a key press, so the menu shortcut of the same key stays quiet.
        event->accept();
        return true;
    }
    if (!key->isAutoRepeat()) {
        model_->OnKey(code);
        Refresh();
    }
    return true;
}

void LKVMainWindow::TileWindows(bool horizontal)
{
    std::vector<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            subs.push_back(sub);
    if (subs.empty())
        return;
    const QRect all = area_->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs[size_t(i)];
        if (sub->isMaximized())
            sub->showNormal();
        // Horizontal tiles lie one above the other, each as wide as the area.
        if (horizontal) {
            const int top = all.height() * i / n, bottom = all.height() * (i + 1) / n;
            sub->setGeometry(0, top, all.width(), bottom - top);
        } else {
            const int left = all.width() * i / n, right = all.width() * (i + 1) / n;
            sub->setGeometry(left, 0, right - left, all.height());
        }
    }
}

void LKVMainWindow::ArrangeIcons()
{
    const QRect all = area_->viewport()->rect();
    int x = 0, y = all.bottom();
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize s = sub->size();
        if (x > 0 && x + s.width() > all.width()) {
            x = 0;
            y -= s.height();
        }
        sub->move(x, y - s.height() + 1);
        x += s.width();
    }
}

void LKVMainWindow::DocumentChanged(LKVFile& doc)
{
    windows_->Changed(doc);
    if (&doc == model_->CurrentFile()) {
        readouts_->Show(model_->Readouts());
        RefreshSpectrum(false);
    }
}

void LKVMainWindow::PlayCursorMoved(LKVFile& doc)
{
    if (LKVFileWindow* w = windows_->WindowOf(&doc))
        w->PlayCursorMoved((model_->PlayerState() & LPlayerPort::kCueing) != 0);
    if (&doc == model_->CurrentFile())
        RefreshSpectrum(false);
}

void LKVMainWindow::RefreshSpectrum(bool open)
{
    const LKVFile* doc = model_->CurrentFile();
    if (!doc || (!fft_ && !open))
        return;
    if (!fft_) {
        fft_ = new LKVFFTDlg;
        fftSub_ = area_->addSubWindow(fft_);
        fftSub_->setWindowTitle(QStringLiteral("Frequency Analysis"));
        fftSub_->setWindowIcon(LKVAppIcon());
        fftSub_->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the window ends the spectra.
        connect(fft_, &LKVFFTDlg::closed, this, [this] {
            fft_ = nullptr;
            fftSub_ = nullptr;
        });
        fftSub_->resize(fft_->sizeHint());
        fftSub_->show();
    }
    fft_->SetData(ComputeSpectrum(doc->audio, doc->pos.cursor));
    if (open)
        area_->setActiveSubWindow(fftSub_);
}

void LKVMainWindow::ShowWholeDocument(LKVFile& doc) { windows_->ShowWhole(doc); }

void LKVMainWindow::UndoItemChanged(const LUndoMenuItem& item)
{
    if (QAction* undo = Action(kCmUndo)) {
        const std::string::size_type tab = item.text.find('\t');
        undo->setText(QString::fromStdString(item.text.substr(0, tab)).trimmed());
    }
}

void LKVMainWindow::RedoItemChanged(const LUndoMenuItem& item)
{
    if (QAction* redo = Action(kCmRedo)) {
        const std::string::size_type tab = item.text.find('\t');
        redo->setText(QString::fromStdString(item.text.substr(0, tab)).trimmed());
    }
}

void LKVMainWindow::SaveEnabledChanged(bool)
{
    if (LKVFile* doc = model_->CurrentFile())
        windows_->Changed(*doc);
    if (QAction* save = Action(kCmSaveFile))
        save->setEnabled(model_->IsCommandEnabled(kCmSaveFile));
}

void LKVMainWindow::DocumentOpened(LKVFile& doc) { windows_->Opened(doc); }

void LKVMainWindow::DocumentClosing(LKVFile& doc) { windows_->Closing(doc); }

void LKVMainWindow::CurrentFileChanged(LKVFile* doc)
{
    windows_->Current(doc);
    RefreshSpectrum(false);
    Refresh();
}

void LKVMainWindow::CaptionChanged(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void LKVMainWindow::BatchConverterRequested()
{
    if (batch_) {
        batch_->FilesChanged();
        return;
    }
    // Opened once the caller (a command line, another instance) has returned.
    QMetaObject::invokeMethod(this, [this] { ShowBatchConverter(); }, Qt::QueuedConnection);
}

void LKVMainWindow::ShowBatchConverter()
{
    if (batch_) {
        batch_->raise();
        return;
    }
    LKVBatchWizardDlg wizard(model_->BatchFiles(), this);
    batch_ = &wizard;
    LKVExec(wizard);
    batch_ = nullptr;
    Refresh();
}

void LKVMainWindow::CopyFilesToAudioCD()
{
    const LKVFile* current = model_->CurrentFile();
    LUiFileRequest request{"Copy File(s) to Audio CD", current ? GetFolderFromPath(current->path) : std::string(),
                           {}, LKVAudioFileFilters(), false, {}};
    LKVFileDialog files(request, this);
    files.setFileMode(QFileDialog::ExistingFiles);
    if (LKVExec(files) != QDialog::Accepted)
        return;
    std::vector<std::string> paths;
    for (const QString& path : files.selectedFiles())
        paths.push_back(path.toStdString());
    LCDBurnDlgModel burn;
    if (!MainDialog::FilesToCD(paths, burn))
        return;
    LCDBurnDlg dialog(burn, this);
    LKVExec(dialog);
}

void LKVMainWindow::CopyFilesToDataCD()
{
    LCDDataDlgModel disc;
    LCDDataDlg dialog(disc, this);
    const LKVFile* current = model_->CurrentFile();
    if (current && FileExists(current->path))
        dialog.AddPaths({QString::fromStdString(current->path)});
    LKVExec(dialog);
}

void LKVMainWindow::closeEvent(QCloseEvent* event)
{
    if (!model_->CmExit()) {
        event->ignore();
        return;
    }
    SavePlacement();
    event->accept();
}

void LKVMainWindow::SavePlacement()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const LKVRect desktop = screen ? ToRect(screen->availableGeometry()) : LKVRect{0, 0, 1 << 20, 1 << 20};
    LKVWindowPlacement::Save(ToRect(normalGeometry()), isMaximized(), isMinimized(), desktop);
}

void LKVMainWindow::ShowPlaced()
{
    const LKVWindowPlacement p = LKVWindowPlacement::Read();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const LKVRect desktop = screen ? ToRect(screen->availableGeometry()) : p.rect;
    setGeometry(ToQRect(LKVWindowPlacement::FitInside(p.rect, desktop)));
    if (p.maximized)
        showMaximized();
    else
        show();
}

void LKVMainWindow::StartWith(const std::vector<std::string>& args)
{
    if (model_->RunCommandLine(args).kind == LKVStartAction::Kind::InstallPrompt)
        QTimer::singleShot(500, this, [] {
            LUiGet().Message("Kelvane is installed. Open a sound file with File > Open File..., or drop one on "
                             "this window.",
                             "Kelvane", LUiButtons::Ok, LUiIcon::Information);
        });
    Refresh();
}

void LKVMainWindow::InstanceMessage(int32_t message, const std::string& argument)
{
    // The batch converter takes files while it waits for the user, not while it converts.
    QWidget* modal = QApplication::activeModalWidget();
    if (LQtProgressBackend::Busy() || (modal && modal != batch_)) {
        QTimer::singleShot(200, this, [this, message, argument] { InstanceMessage(message, argument); });
        return;
    }
    if (isMinimized()) {
        if (wasMaximized_)
            showMaximized();
        else
            showNormal();
    }
    raise();
    activateWindow();
    if (message != 0)
        model_->OnInstanceMessage(message, argument);
    Refresh();
}

void LKVMainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        wasMaximized_ = isMaximized();
    QMainWindow::changeEvent(event);
}

void LKVMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LKVMainWindow::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished: a load runs a job with its own window.
    QMetaObject::invokeMethod(
        this,
        [this, paths] {
            for (const std::string& path : paths)
                model_->OpenFile(path);
            Refresh();
        },
        Qt::QueuedConnection);
}

void LKVMainWindow::ShowPlayer()
{
    std::vector<LPlayerTrack> tracks;
    size_t current = 0;
    for (const auto& doc : model_->Documents()) {
        if (doc.get() == model_->CurrentFile())
            current = tracks.size();
        tracks.push_back({doc->GetTitle(), doc->audio, doc->pos});
    }
    if (tracks.empty())
        return;
    // One player at a time on the device.
    model_->StopPlayback();
    Refresh();
    LPlayDlg dialog(std::move(tracks), current, this);
    LKVExec(dialog);
}
