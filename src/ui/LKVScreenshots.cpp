#include "ui/LKVScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <cstdio>

#include "app/LKVCommands.h"
#include "core/LSettings.h"
#include "edit/LKVFile.h"
#include "display/LFrequencyWindowModel.h"
#include "ui/LFrequencyWindow.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVEffectShots.h"
#include "ui/LKVFFTDlg.h"
#include "ui/LKVFileWindow.h"
#include "ui/LKVMainWindow.h"

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
    SaveDocument(QStringLiteral("document-speech"));
    model.SetSelection(length * 3 / 10, length * 5 / 10, length * 3 / 10);
    SaveDocument(QStringLiteral("document-speech-selection"));
    window_.RunCommand(kCmZoomIn);
    window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-speech-zoomed"));
    window_.RunCommand(kCmVerticalZoom);
    SaveDocument(QStringLiteral("document-speech-vertical-zoom"));

    doc = model.OpenFile(music);
    if (!doc) {
        ++failures_;
        return;
    }
    SaveDocument(QStringLiteral("document-music"));
    window_.RunCommand(kCmDisplayLeftRight);
    SaveDocument(QStringLiteral("document-music-left-right"));
    model.SetSelection(0, 0, doc->audio.GetLength() / 3);
    for (int i = 0; i < 6; ++i)
        window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-music-zoomed-in"));
    for (int i = 0; i < 6; ++i)
        window_.RunCommand(kCmZoomIn);
    SaveDocument(QStringLiteral("document-music-samples"));

    LSettings::SetOverride("Settings", "UseWindowsColor", "1");
    window_.RunCommand(kCmDisplayPlusMinus);
    SaveDocument(QStringLiteral("document-music-system-colours"));
    LSettings::RemoveOverride("Settings", "UseWindowsColor");
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
        Save(window_, QStringLiteral("spectrum"));
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

int LKVScreenshots::Run(const std::vector<std::string>& args)
{
    if (!QDir().mkpath(folder_)) {
        std::fprintf(stderr, "kelvane: cannot create %s\n", qPrintable(folder_));
        return 2;
    }
    window_.showNormal();
    window_.resize(1000, 680);
    Save(window_, QStringLiteral("main-empty"));
    window_.StartWith(std::vector<std::string>(args.begin(), args.begin() + std::min<size_t>(args.size(), 1)));
    SaveDocument(QStringLiteral("main-document"));
    Menus();
    if (args.size() >= 3)
        Documents(args[1], args[2]);
    LKVEffectShots(&window_, [this](QWidget& w, const QString& name) { Save(w, name); });
    window_.Model().CmCloseAll();
    return failures_ ? 2 : 0;
}
