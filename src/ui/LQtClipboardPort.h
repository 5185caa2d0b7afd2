#pragma once
#include <QPointer>

#include "app/LKVClipboardPort.h"

class LWaveMimeData;

// The system clipboard's wave data over QClipboard. What the editor offers is
// rendered when another program (or Paste From Clipboard) asks; what another
// program put there as "audio/wav" or "audio/x-wav" is pasted. Owned by the
// frame; gone before the model whose clipboard it renders.
class LQtClipboardPort : public LKVClipboardPort {
public:
    ~LQtClipboardPort() override;
    void OfferWave(Render render) override;
    bool GetWave(std::vector<uint8_t>& bytes) override;

private:
    QPointer<LWaveMimeData> offered_;
};
