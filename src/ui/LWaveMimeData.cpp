#include "ui/LWaveMimeData.h"

bool LWaveMimeData::IsWave(const QString& mimeType)
{
    return mimeType == QStringLiteral("audio/wav") || mimeType == QStringLiteral("audio/x-wav");
}

QStringList LWaveMimeData::formats() const { return {QStringLiteral("audio/wav"), QStringLiteral("audio/x-wav")}; }

bool LWaveMimeData::hasFormat(const QString& mimeType) const { return IsWave(mimeType); }

bool LWaveMimeData::Render(std::vector<uint8_t>& bytes) const
{
    if (!rendered_) {
        if (!render_ || !render_(bytes_))
            return false;
        rendered_ = true;
    }
    bytes = bytes_;
    return true;
}

QVariant LWaveMimeData::retrieveData(const QString& mimeType, QMetaType) const
{
    std::vector<uint8_t> bytes;
    if (!IsWave(mimeType) || !Render(bytes))
        return {};
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
