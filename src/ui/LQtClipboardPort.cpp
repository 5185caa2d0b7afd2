#include "ui/LQtClipboardPort.h"

#include <QClipboard>
#include <QGuiApplication>

#include "ui/LWaveMimeData.h"

LQtClipboardPort::~LQtClipboardPort()
{
    if (!offered_)
        return;
    // The renderer needs the model, which goes with this port. Leaving the
    // offer on the clipboard would promise data no one can make any more.
    offered_->Detach();
    if (QGuiApplication::clipboard()->mimeData() == offered_.data())
        QGuiApplication::clipboard()->clear();
}

void LQtClipboardPort::OfferWave(Render render)
{
    if (offered_)
        offered_->Detach();
    auto* data = new LWaveMimeData(std::move(render));
    offered_ = data;
    // The clipboard owns the data from here on.
    QGuiApplication::clipboard()->setMimeData(data);
}

bool LQtClipboardPort::GetWave(std::vector<uint8_t>& bytes)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    // Our own offer is rendered directly, without a round trip through Qt.
    if (data == offered_.data())
        return offered_->Render(bytes);
    for (const QString& format : {QStringLiteral("audio/wav"), QStringLiteral("audio/x-wav")})
        if (data->hasFormat(format)) {
            const QByteArray wave = data->data(format);
            if (wave.isEmpty())
                continue;
            bytes.assign(wave.begin(), wave.end());
            return true;
        }
    return false;
}
