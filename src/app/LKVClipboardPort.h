#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// The system clipboard's wave data. Cut and Copy offer the internal clipboard in
// the wave format without rendering it (an hour of audio would otherwise be
// written on every Copy); the data is produced only when another program asks
// for it. The GUI implements the port over the platform clipboard; without one
// the main window uses LKVLocalClipboard.
// Called on the user-interface thread.
class LKVClipboardPort {
public:
    // Produces the bytes of a complete WAV file; false when it cannot.
    using Render = std::function<bool(std::vector<uint8_t>&)>;

    virtual ~LKVClipboardPort() = default;
    // Takes ownership of the clipboard and announces wave data rendered by `render`
    // on request.
    virtual void OfferWave(Render render) = 0;
    // The wave data on the clipboard as the bytes of a WAV file; false when the
    // clipboard holds none.
    virtual bool GetWave(std::vector<uint8_t>& bytes) = 0;
};

// A clipboard private to this process, for running without a window system: what
// is offered is rendered when pasted.
class LKVLocalClipboard : public LKVClipboardPort {
public:
    void OfferWave(Render render) override { render_ = std::move(render); }
    bool GetWave(std::vector<uint8_t>& bytes) override { return render_ && render_(bytes); }

private:
    Render render_;
};
