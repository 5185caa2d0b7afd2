#pragma once
#include <QMainWindow>
#include <map>
#include <memory>
#include <vector>

#include "app/MainDialog.h"

class LKVBookMarkDlg;
class LKVBatchWizardDlg;
class LKVDocumentWindows;
class LKVRegionDlg;
class LKVFFTDlg;
class LKVHelpWindow;
class LQtClipboardPort;
class LKVFileWindow;
class LKVReadoutPanel;
class LKVTransportBar;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
struct LKVMenuEntry;

// The frame: menus built from the command table, the document windows in a
// multiple-document area, the status bar with each command's help text. It owns
// the model (MainDialog) and is its view; every menu item, shortcut, toolbar
// button and key macro ends in RunCommand.
class LKVMainWindow : public QMainWindow, public LMainDialogView {
    Q_OBJECT
public:
    // `player` (not owned) plays the documents; without one the transport does nothing.
    explicit LKVMainWindow(LPlayerPort* player = nullptr, QWidget* parent = nullptr);
    ~LKVMainWindow() override;

    MainDialog& Model() { return *model_; }
    // Runs a command by identifier: the model's, else the frame's own.
    void RunCommand(int32_t id);
    // The action of a command of the table, or nullptr.
    QAction* Action(int32_t id) const;
    // Enables and disables every command by the table's rule, refreshes the Undo
    // text, the read-outs and the transport buttons (also every 500 ms).
    void Refresh();
    // Places the window as stored in "MainWindow" and shows it.
    void ShowPlaced();
    // Performs the first instance's command line.
    void StartWith(const std::vector<std::string>& args);
    // A later instance's message: the window comes to the front, then the model
    // opens the file or hands it to the batch converter. Waits while a job or a
    // dialog is running.
    void InstanceMessage(int32_t message, const std::string& argument);
    const LKVDocumentWindows& DocumentWindows() const { return *windows_; }
    QMdiArea& Area() const { return *area_; }
    QMenu* ContextMenu() const { return contextMenu_; }
    // The open "Frequency Analysis" window, or nullptr.
    LKVFFTDlg* FrequencyAnalysis() const { return fft_; }
    LKVTransportBar& Transport() const { return *transport_; }
    LKVReadoutPanel& Readouts() const { return *readouts_; }

    // ---- LMainDialogView ----
    void DocumentChanged(LKVFile& doc) override;
    void ShowWholeDocument(LKVFile& doc) override;
    void UndoItemChanged(const LUndoMenuItem& item) override;
    void RedoItemChanged(const LUndoMenuItem& item) override;
    void SaveEnabledChanged(bool enabled) override;
    void DocumentOpened(LKVFile& doc) override;
    void DocumentClosing(LKVFile& doc) override;
    void CurrentFileChanged(LKVFile* doc) override;
    void CaptionChanged(const std::string& caption) override;
    void BatchConverterRequested() override;
    void FrameCommand(int32_t id) override;
    void PlayCursorMoved(LKVFile& doc) override;
    void TransportChanged() override;
    void BookMarksChanged() override;
    void RegionsChanged() override;

    // The frame's own dialogs and windows.
    void ShowSettings();
    void ShowKeyMacros();
    void ShowHelp();
    void ShowAbout();
    void ConvertSampleRate();
    // The transport dialog over the open documents, from the current one.
    void ShowPlayer();
    // The batch converter wizard over the model's file list (raised when open).
    void ShowBatchConverter();
    // Copy File(s) to CD > Audio: files picked in a dialog become the tracks of an audio CD.
    void CopyFilesToAudioCD();
    // Copy File(s) to CD > Data: the data CD dialog, holding the current document's file to begin with.
    void CopyFilesToDataCD();
    // The open batch converter, or nullptr.
    LKVBatchWizardDlg* BatchConverter() const { return batch_; }
    LKVHelpWindow* HelpWindow() const { return help_; }
    // The bookmark and region list windows: modeless, at most one of each; the
    // command brings an open one to the front. Null while closed.
    void ShowBookMarks();
    void ShowRegions();
    LKVBookMarkDlg* BookMarkWindow() const { return bookmarkDlg_; }
    LKVRegionDlg* RegionWindow() const { return regionDlg_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Key macros: a key with a macro runs it instead of its shortcut.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void FillMenu(QMenu* menu, const std::vector<LKVMenuEntry>& entries, bool contextMenu);
    void RefreshRecentFiles();
    void RefreshWindowList();
    // ---- Playback: where the transport meets the audio devices ----
    // Whether the player is playing (or scrubbing) now.
    bool IsPlaying() const;
    // The playback devices for the settings, the default device first.
    std::vector<std::string> PlaybackDeviceNames() const;

    void BuildToolBars();
    void TileWindows(bool horizontal);
    void ArrangeIcons();
    void SavePlacement();
    LKVFileWindow* CurrentWindow() const;
    // The spectrum at the current document's cursor goes to the frequency
    // window; `open` creates the window when it is not there.
    void RefreshSpectrum(bool open);

    std::unique_ptr<LQtClipboardPort> clipboard_;
    std::unique_ptr<MainDialog> model_;
    LKVHelpWindow* help_ = nullptr;
    QMdiArea* area_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    LKVDocumentWindows* windows_ = nullptr;
    std::map<int32_t, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* recentMarker_ = nullptr;   // the recent files go before it
    std::vector<QAction*> recentActions_;
    QAction* windowListMarker_ = nullptr;  // the window list follows it
    std::vector<QAction*> windowListActions_;
    QTimer* refreshTimer_ = nullptr;
    QMdiSubWindow* fftSub_ = nullptr;
    LKVFFTDlg* fft_ = nullptr;
    QAction* scrub_ = nullptr;
    LKVTransportBar* transport_ = nullptr;
    LKVReadoutPanel* readouts_ = nullptr;
    bool wasMaximized_ = true;
    LKVBookMarkDlg* bookmarkDlg_ = nullptr;
    LKVRegionDlg* regionDlg_ = nullptr;
    LKVBatchWizardDlg* batch_ = nullptr;
};
