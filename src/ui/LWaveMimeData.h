#pragma once
#include <QMimeData>

#include "app/LKVClipboardPort.h"

// Wave data on the clipboard, rendered only when someone asks for it: offering
// an hour of audio costs nothing until it is pasted somewhere. Rendered once,
// then kept for further requests.
class LWaveMimeData : public QMimeData {
    Q_OBJECT
public:
    explicit LWaveMimeData(LKVClipboardPort::Render render) : render_(std::move(render)) {}

    // "audio/wav" and "audio/x-wav".
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // The bytes of the WAV file; false when they cannot be made.
    bool Render(std::vector<uint8_t>& bytes) const;
    bool Rendered() const { return rendered_; }
    // Forgets the renderer (its source is going away); later requests get nothing.
    void Detach() { render_ = nullptr; }

    static bool IsWave(const QString& mimeType);

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    LKVClipboardPort::Render render_;
    mutable bool rendered_ = false;
    mutable std::vector<uint8_t> bytes_;
};
