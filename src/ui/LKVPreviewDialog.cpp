#include "ui/LKVPreviewDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/LSettingsTable.h"
#include "devices/LPlayerDevice.h"
#include "edit/LCutListAudio.h"

namespace {

std::function<const LCutListAudio*()>& Provider()
{
    static std::function<const LCutListAudio*()> provider;
    return provider;
}

LCutListAudio DocumentAudio()
{
    const LCutListAudio* audio = Provider() ? Provider()() : nullptr;
    return audio ? *audio : LCutListAudio();
}

} // namespace

void LKVPreviewDialog::SetDocumentAudio(std::function<const LCutListAudio*()> provider)
{
    Provider() = std::move(provider);
}

LKVPreviewDialog::LKVPreviewDialog(const QString& caption, QWidget* parent)
    : LKVEffectDlg(caption, parent),
      player_(std::make_unique<LPlayerDevice>()),
      preview_(DocumentAudio(), player_.get(), LKVSettings::kSoundOutDevice.Read())
{
    player_->SetListener(this);
    // A preview is heard at the main window's volume.
    player_->SetVolumeDb(LKVSettings::kPlayVolume.Read());
    previewButton_ = AddButton(140, QStringLiteral("Preview"));
    // Wide enough for either text, so the row does not jump when it changes.
    previewButton_->setMinimumWidth(
        previewButton_->fontMetrics().horizontalAdvance(QStringLiteral("Preview")) + 32);
    connect(previewButton_, &QPushButton::clicked, this, &LKVPreviewDialog::CmPreview);
    ShowState();
}

LKVPreviewDialog::~LKVPreviewDialog()
{
    preview_.Stop();
    player_->SetListener(nullptr);
}

void LKVPreviewDialog::CmPreview()
{
    if (preview_.IsPlaying())
        preview_.Stop();
    else
        preview_.Start([this] { return MakePreviewMaker(); });
    ShowState();
}

void LKVPreviewDialog::CmRestartIfPlaying()
{
    preview_.RestartIfPlaying([this] { return MakePreviewMaker(); });
    ShowState();
}

void LKVPreviewDialog::done(int result)
{
    preview_.Stop();
    ShowState();
    LKVEffectDlg::done(result);
}

void LKVPreviewDialog::WatchField(QLineEdit* field)
{
    connect(field, &QLineEdit::textChanged, this, [this] { CmRestartIfPlaying(); });
}

int32_t LKVPreviewDialog::TypedNumber(const QLineEdit* field)
{
    bool ok = false;
    const qlonglong v = field->text().trimmed().toLongLong(&ok);
    return ok ? int32_t(std::clamp<qlonglong>(v, INT32_MIN, INT32_MAX)) : 0;
}

void LKVPreviewDialog::PlayStateChanged() { ShowState(); }

void LKVPreviewDialog::ShowState()
{
    previewButton_->setText(QString::fromUtf8(preview_.ButtonText()));
    previewButton_->setEnabled(preview_.CanPreview());
}
