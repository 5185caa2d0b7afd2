#include "ui/LKVScreenshots.h"
#include "ui/LQtUi.h"
#include "app/LKVSendChoice.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "app/LKVCommands.h"
#include "app/LRecordDlgModel.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "display/LFrequencyWindowModel.h"
#include "edit/LKVFile.h"
#include "formats/LAACEncoderSettings.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/LWaveSaveFormat.h"
#include "ui/CDRipperDlg.h"
#include "ui/LCDBurnDlg.h"
#include "ui/LCDDataDlg.h"
#include "core/LFile.h"
#include "ui/LAssembleOptionDlg.h"
#include "ui/LFrequencyWindow.h"
#include "ui/LKVBatchShots.h"
#include "ui/LKVBookMarkDlg.h"
#include "ui/LKVRegionDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVEffectShots.h"
#include "ui/LKVLoudnessLabel.h"
#include "ui/LDBDisplay.h"
#include "ui/LKVFFTDlg.h"
#include "ui/LKVFileWindow.h"
#include "ui/LKVHelpWindow.h"
#include "ui/LKVMainWindow.h"
#include "ui/LQtProgressDialog.h"
#include "ui/LRecordDlgAdvanced.h"

LKVScreenshots::LKVScreenshots(LKVMainWindow& window, const std::string& folder)
    : window_(window), folder_(QString::fromStdString(folder))
{
}

bool LKVScreenshots::Save(QWidget& widget, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "kelvane: could not write %s\n", qPrintable(path));
        ++failures_;
        return false;
    }
    return true;
}

void LKVScreenshots::Menus()
{
    for (QAction* top : window_.menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        menu->popup(window_.mapToGlobal(QPoint(0, 0)));
        QString name = top->text();
        name.remove(QLatin1Char('&'));
        Save(*menu, QStringLiteral("menu-") + name.toLower());
        menu->hide();
    }
    QMenu* context = window_.ContextMenu();
    context->popup(window_.mapToGlobal(QPoint(40, 40)));
    Save(*context, QStringLiteral("menu-document-context"));
    context->hide();
}

void LKVScreenshots::Dialog(const QString& name, const std::function<void()>& open)
{
    // Each dialog is pictured once it is up, then closed as if cancelled.
    LKVSetExecHook([this, name](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [this, name, &dialog] {
            if (auto* tabs = dialog.findChild<QTabWidget*>()) {
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    Save(dialog, name + QStringLiteral("-") + QString::number(i + 1));
                }
            } else {
                Save(dialog, name);
            }
            dialog.reject();
        });
    });
    open();
    LKVSetExecHook({});
}

void LKVScreenshots::Metering(const QString& name, int32_t command)
{
    LKVSetExecHook([this, name](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [this, name, &dialog] {
            LChannelLevels levels;
            levels.count = 2;
            levels.level[0] = -9;
            levels.level[1] = -12;
            for (LDBDisplay* meter : dialog.findChildren<LDBDisplay*>())
                meter->SetLevels(levels);
            for (LKVLoudnessLabel* loudness : dialog.findChildren<LKVLoudnessLabel*>())
                loudness->SetReading({-17.6, -18.9});
            Save(dialog, name);
            dialog.reject();
        });
    });
    window_.RunCommand(command);
    LKVSetExecHook({});
}

void LKVScreenshots::CdRipper()
{
    // No network here: the tracks keep their numbers, and one is renamed as a
    // user would before importing it.
    LSettings::SetOverride("CDDB", "Lookup", "0");
    LKVSetExecHook([this](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            auto* cd = qobject_cast<CDRipperDlg*>(&dialog);
            if (!cd) {
                Save(dialog, QStringLiteral("dialog-cd-rip-results"));
                dialog.reject();
                return;
            }
            cd->LoadTracks(0);
            auto* tracks = cd->findChild<QTreeWidget*>(QStringLiteral("tracks"));
            if (tracks && tracks->topLevelItemCount() >= 2) {
                tracks->topLevelItem(0)->setText(0, QStringLiteral("Plucked Chords"));
                tracks->topLevelItem(0)->setSelected(true);
                tracks->topLevelItem(1)->setSelected(true);
            }
            Save(dialog, QStringLiteral("dialog-cd-tracks"));
            cd->accept();
        });
    });
    window_.RunCommand(kCmLoadCDTracks);
    LKVSetExecHook({});
    LSettings::RemoveOverride("CDDB", "Lookup");
    SaveDocument(QStringLiteral("main-cd-tracks"));
}

void LKVScreenshots::SaveDocument(const QString& name)
{
    if (LKVFileWindow* w = window_.DocumentWindows().WindowOf(window_.Model().CurrentFile()))
        if (!w->WaitUntilDrawn(20000))
            std::fprintf(stderr, "kelvane: the views of %s took too long\n", qPrintable(name));
    Save(window_, name);
}

void LKVScreenshots::Documents(const std::string& speech, const std::string& music)
{
    MainDialog& model = window_.Model();
    LKVFile* doc = model.OpenFile(speech);
    if (!doc) {
        ++failures_;
        return;
    }
    const int32_t length = doc->audio.GetLength();
    SaveDocument(QStringLiteral("document-speech-ruler-whole"));
    model.SetSelection(length * 3 / 10, length * 5 / 10, length * 3 / 10);
    SaveDocument(QStringLiteral("document-speech-selection"));
    window_.RunCommand(kCmZoomIn);
    window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-speech-ruler-zoomed"));
    window_.RunCommand(kCmVerticalZoom);
    SaveDocument(QStringLiteral("document-speech-vertical-zoom"));

    doc = model.OpenFile(music);
    if (!doc) {
        ++failures_;
        return;
    }
    SaveDocument(QStringLiteral("document-music-lanes"));
    window_.RunCommand(kCmDisplayLeftRight);
    SaveDocument(QStringLiteral("document-music-left-right"));
    model.SetSelection(0, 0, doc->audio.GetLength() / 3);
    for (int i = 0; i < 6; ++i)
        window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-music-zoomed-in"));
    for (int i = 0; i < 6; ++i)
        window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-music-ruler-samples"));

    LSettings::SetOverride("Settings", "UseWindowsColor", "1");
    window_.RunCommand(kCmDisplayPlusMinus);
    SaveDocument(QStringLiteral("document-music-system-colours"));
    LSettings::RemoveOverride("Settings", "UseWindowsColor");

    window_.RunCommand(kCmZoomFull);
    window_.RunCommand(kCmDisplaySpectrogram);
    SaveDocument(QStringLiteral("document-music-spectrogram"));
    LSettings::SetOverride("Settings", "SpectrogramLogFrequency", "0");
    LSettings::SetOverride("Settings", "SpectrogramFFTSize", "512");
    if (LKVFileWindow* w = window_.DocumentWindows().WindowOf(doc))
        w->ViewCommand(kCmSpectrogramOptions);
    SaveDocument(QStringLiteral("document-music-spectrogram-linear"));
    LSettings::RemoveOverride("Settings", "SpectrogramLogFrequency");
    LSettings::RemoveOverride("Settings", "SpectrogramFFTSize");
    Dialog(QStringLiteral("dialog-spectrogram-options"), [this] { window_.RunCommand(kCmSpectrogramOptions); });
    window_.RunCommand(kCmDisplayLeftRight);

    // A document's own window at its first size, as a cascaded child shows it.
    if (QMdiSubWindow* sub = window_.DocumentWindows().SubWindowOf(doc)) {
        sub->showNormal();
        sub->resize(sub->sizeHint());
        SaveDocument(QStringLiteral("document-window"));
        Save(*sub, QStringLiteral("document-window"));
        sub->showMaximized();
    }

    window_.RunCommand(kCmFrequencyAnalysis);
    if (LKVFFTDlg* fft = window_.FrequencyAnalysis()) {
        Save(window_, QStringLiteral("spectrum-axes"));
        fft->LogarithmicBox().setChecked(false);
        Save(*fft->parentWidget(), QStringLiteral("spectrum-axes-linear"));
        fft->LogarithmicBox().setChecked(true);
        // The low end magnified, the pointer on the right channel's 440 Hz tone.
        fft->Zoom(false, true);
        fft->Zoom(true, true);
        fft->ScrollBar(false).triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const LFrequencyWindowModel& m = fft->Frequency().Model();
        const int x = m.MapIndextoPixelX(440);
        emit fft->Frequency().pointerMoved(x, m.CurveY(1, x));
        Save(*fft->parentWidget(), QStringLiteral("spectrum-zoomed"));
    } else {
        ++failures_;
    }
}

void LKVScreenshots::ListWindows()
{
    MainDialog& model = window_.Model();
    LKVFile* doc = model.CurrentFile();
    if (!doc) {
        ++failures_;
        return;
    }
    // Every name dialog is accepted as offered, so the names are the defaults.
    LKVSetExecHook([](QDialog& dialog) { QTimer::singleShot(0, &dialog, &QDialog::accept); });
    const int32_t rate = doc->audio.sampleRate;
    for (const double at : {0.75, 2.5, 4.2}) {
        model.SetSelection(0, 0, int32_t(at * rate));
        model.CmSetBookmark();
    }
    for (const auto& [from, to] : {std::pair{0.5, 1.75}, std::pair{2.0, 3.25}, std::pair{4.0, 5.5}}) {
        model.SetSelection(int32_t(from * rate), int32_t(to * rate), int32_t(from * rate));
        model.CmAddRegion();
    }
    LKVSetExecHook({});
    model.GoToBookmark(1);
    model.GoToBookmark(1);
    SaveDocument(QStringLiteral("document-interview-marks"));

    window_.RunCommand(kCmOpenBookmarkList);
    if (LKVBookMarkDlg* bookmarks = window_.BookMarkWindow()) {
        bookmarks->List().setCurrentItem(bookmarks->List().topLevelItem(1));
        Save(*bookmarks, QStringLiteral("window-bookmarks"));
        bookmarks->close();
    } else {
        ++failures_;
    }
    window_.RunCommand(kCmOpenRegionList);
    if (LKVRegionDlg* regions = window_.RegionWindow()) {
        regions->List().setCurrentItem(regions->List().topLevelItem(0));
        Save(*regions, QStringLiteral("window-regions"));
        regions->close();
    } else {
        ++failures_;
    }
    Dialog(QStringLiteral("dialog-audio-cd"), [&] {
        LCDBurnDlgModel burn;
        burn.settings.drive = 1;  // the blank CD-R of the virtual drives
        if (window_.Model().RegionsToCD({0, 1, 2}, burn)) {
            LCDBurnDlg dialog(burn, &window_);
            LKVExec(dialog);
        }
    });
    // A data CD of the documents' folder's sounds and notes, onto the blank
    // CD-R, then into an image file.
    const LKVFile* current = window_.Model().CurrentFile();
    const std::string home = current ? GetFolderFromPath(current->path) : std::string();
    QStringList dataFiles;
    for (const char* name : {"Project notes", "interview.wav", "music.wav", "speech.wav"})
        dataFiles << QString::fromStdString(FilePathCat(home, name));
    for (bool image : {false, true}) {
        Dialog(image ? QStringLiteral("dialog-data-cd-image") : QStringLiteral("dialog-data-cd"), [&] {
            LCDDataDlgModel disc;
            disc.settings.drive = 1;  // the blank CD-R of the virtual drives
            disc.label = "Interviews 2024";
            if (image)
                disc.imagePath = FilePathCat(home, "interviews.iso");
            LCDDataDlg dialog(disc, &window_);
            dialog.AddPaths(dataFiles);
            LKVExec(dialog);
        });
    }
    Dialog(QStringLiteral("dialog-assemble-options"), [&] {
        LAssembleOptionDlg options(&window_);
        LKVExec(options);
    });
    Dialog(QStringLiteral("dialog-open-project"), [&] { window_.RunCommand(kCmOpenProject); });
    Dialog(QStringLiteral("dialog-save-project-as"), [&] { window_.RunCommand(kCmSaveProjectAs); });
}

int LKVScreenshots::Run(const std::vector<std::string>& args)
{
    if (!QDir().mkpath(folder_)) {
        std::fprintf(stderr, "kelvane: cannot create %s\n", qPrintable(folder_));
        return 2;
    }
    LQtProgressDialog::SetShowDelay(0);
    window_.showNormal();
    window_.resize(1000, 680);
    Save(window_, QStringLiteral("main-empty"));
    window_.StartWith(std::vector<std::string>(args.begin(), args.begin() + std::min<size_t>(args.size(), 1)));
    if (LKVFile* doc = window_.Model().CurrentFile())
        window_.Model().SetSelection(doc->audio.sampleRate, doc->audio.sampleRate * 3, doc->audio.sampleRate);
    window_.Refresh();
    SaveDocument(QStringLiteral("main-document"));
    Menus();
    ListWindows();

    LUi& ui = LUiGet();
    Dialog(QStringLiteral("dialog-message"), [&] {
        ui.Message("Save changes to \"/home/user/interview.wav\"?", "Kelvane", LUiButtons::YesNoCancel,
                   LUiIcon::Question);
    });
    Dialog(QStringLiteral("dialog-new-file"), [&] {
        int32_t rate = 44100;
        uint8_t channels = 2;
        ui.NewFileDialog(rate, channels);
    });
    Dialog(QStringLiteral("dialog-raw"), [&] {
        LUiRawAudioSettings s;
        ui.RawSettingsDialog("RawAudio", s);
    });
    Dialog(QStringLiteral("dialog-wave-format"), [&] {
        LWaveFileFormat f = LWaveFileFormat::Pcm(44100, 2);
        LWaveSaveFormat::Choose(f, 0, "Select Wave File Format");
    });
    Dialog(QStringLiteral("dialog-mp3"), [&] {
        LMp3EncoderSettings s;
        ui.Mp3EncodeDialog(s);
    });
    Dialog(QStringLiteral("dialog-ogg"), [&] {
        LOggEncoderSettings s;
        ui.OggEncodeDialog(s);
    });
    Dialog(QStringLiteral("dialog-flac"), [&] {
        // As the batch wizard opens it: no document, nothing chosen yet.
        LFlacEncoderSettings s = LFlacEncoderSettings().ForDocument(0, 0);
        ui.FlacEncodeDialog(s);
    });
    Dialog(QStringLiteral("dialog-aac"), [&] {
        LAACEncoderSettings s;
        ui.AACEncodeDialog(s);
    });
    Dialog(QStringLiteral("dialog-open"), [&] {
        window_.RunCommand(kCmOpenFile);
    });
    Dialog(QStringLiteral("dialog-save-as"), [&] { window_.RunCommand(kCmSaveFileAs); });
    Dialog(QStringLiteral("dialog-text"), [&] {
        std::string name = "interview.wav@0:00:01.00";
        ui.TextDialog("Enter Bookmark Name", name);
    });
    Dialog(QStringLiteral("dialog-select-region"), [&] { window_.RunCommand(kCmSelectRegion); });
    Dialog(QStringLiteral("dialog-export-regions"), [&] {
        std::string folder = "/home/user/regions";
        int32_t format = 1;
        ui.ExportRegionDialog(folder, format);
    });
    Dialog(QStringLiteral("dialog-assemble-regions"), [&] {
        std::vector<size_t> order{0, 2};
        ui.AssembleRegionsDialog({"Intro", "Question 1", "Answer 1", "Question 2", "Closing"}, order);
    });
    Dialog(QStringLiteral("dialog-convert-rate"), [&] { window_.RunCommand(kCmConvertSampleRate); });
    Dialog(QStringLiteral("dialog-settings"), [&] { window_.RunCommand(kCmSettings); });
    window_.Model().KeyMacros().Set(0x20071, {kCmSelectAll, kCmCopy});   // Ctrl+F2
    window_.Model().KeyMacros().Set(0x40074, {kCmGoToStart, kCmPlay});  // Shift+F5
    Dialog(QStringLiteral("dialog-key-macros"), [&] { window_.ShowKeyMacros(); });
    window_.Model().KeyMacros().Clear();
    Dialog(QStringLiteral("dialog-about"), [&] { window_.RunCommand(kCmAbout); });
    Dialog(QStringLiteral("dialog-record"), [&] { window_.RunCommand(kCmRecord); });
    Dialog(QStringLiteral("dialog-record-advanced"), [&] {
        LRecordDlgModel model(44100, 2);
        LRecordDlgAdvanced dialog(model, &window_);
        LKVExec(dialog);
    });
    Dialog(QStringLiteral("dialog-player"), [&] { window_.RunCommand(kCmPlayer); });
    Metering(QStringLiteral("dialog-player-loudness"), kCmPlayer);
    Metering(QStringLiteral("dialog-record-loudness"), kCmRecord);
    Dialog(QStringLiteral("dialog-tone-generator"), [&] { window_.RunCommand(kCmToneGenerator); });
    Dialog(QStringLiteral("dialog-loudness"), [&] { window_.RunCommand(kCmLoudness); });
    Dialog(QStringLiteral("dialog-text-to-speech"), [&] { window_.RunCommand(kCmTextToSpeech); });
    Dialog(QStringLiteral("dialog-send"), [&] {
        LKVSendChoice choice{"", "interview.wav"};
        ui.SendDialog(choice);
    });
    Dialog(QStringLiteral("dialog-not-available"), [&] { LQtUi::NotAvailable("Writing regions to an audio CD"); });

    {
        LQtProgressDialog progress(QStringLiteral("Loading Audio File Source"), &window_);
        progress.SetLine(0, QStringLiteral("Loading file interview.wav"));
        progress.SetLine(1, QStringLiteral("Please wait..."));
        progress.SetPercent(42);
        progress.show();
        Save(progress, QStringLiteral("dialog-progress"));
    }
    window_.RunCommand(kCmHelpContents);
    if (LKVHelpWindow* help = window_.HelpWindow()) {
        Save(*help, QStringLiteral("help-contents"));
        help->close();
    }
    if (args.size() >= 3)
        Documents(args[1], args[2]);
    LKVEffectShots(&window_, [this](QWidget& w, const QString& name) { Save(w, name); });
    LKVBatchShots(&window_, [this](QWidget& w, const QString& name) { Save(w, name); });
    CdRipper();
    // Nothing is saved: the pictured documents are thrown away.
    for (const auto& doc : window_.Model().Documents())
        doc->modified = false;
    window_.Model().CmCloseAll();
    return failures_ ? 2 : 0;
}
