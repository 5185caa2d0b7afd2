#pragma once
#include <functional>
#include <memory>

#include "edit/LPlayerPort.h"
#include "effects/LEfPreview.h"
#include "ui/LKVEffectDlg.h"

class LCutListAudio;

// The base of the effect dialogs that can be heard before OK: it copies the
// current document's audio when it opens and plays it from its first frame,
// through the effect as the values stand typed, on its own player on the
// output device "SoundOutDevice". The button with id 140 reads "Preview" or
// "Stop" and is enabled only when the copy holds a frame. Typing in the fields
// 101 and 102 (and the other changes a dialog reports) restarts a running
// preview with the new values. The preview stops when the dialog closes, and
// the button reads "Preview" again when the player stops by itself.
class LKVPreviewDialog : public LKVEffectDlg, private LPlayerListener {
    Q_OBJECT
public:
    LKVPreviewDialog(const QString& caption, QWidget* parent = nullptr);
    ~LKVPreviewDialog() override;

    // Where the dialogs find the current document's audio (nullptr: none, as
    // for settings asked for a batch command). The frame sets it; empty resets.
    static void SetDocumentAudio(std::function<const LCutListAudio*()> provider);

    QPushButton& PreviewButton() const { return *previewButton_; }
    bool IsPreviewing() const { return preview_.IsPlaying(); }
    // Preview/Stop, as the button does.
    void CmPreview();
    // When the preview plays, start it again with the values as they stand now.
    void CmRestartIfPlaying();

    void done(int result) override;

protected:
    // The maker of the effect with the values as typed (clamped, not checked).
    virtual std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const = 0;
    // A change of `field`'s text restarts a running preview.
    void WatchField(QLineEdit* field);
    // The number typed in `field` for the preview: 0 when it holds none, held
    // within the 32-bit range.
    static int32_t TypedNumber(const QLineEdit* field);
    const LEfPreview& Preview() const { return preview_; }

private:
    void PlayStateChanged() override;
    void ShowState();

    std::unique_ptr<LPlayerPort> player_;
    LEfPreview preview_;
    QPushButton* previewButton_;
};
