#pragma once
#include <functional>

#include "devices/LSoundPlayer.h"
#include "edit/LPlayerPort.h"

// The main window's player: an LSoundPlayer behind the port the main window's
// model uses.
class LPlayerDevice : public LPlayerPort, private LSoundPlayerNotify {
public:
    LPlayerDevice();
    ~LPlayerDevice() override;

    bool Start(LSoundSource source, int32_t device) override;
    void Stop() override { player_.Stop(); }
    void Cue() override { player_.Cue(); }
    void Play() override { player_.Play(); }
    void Seek(int32_t frame) override { player_.Seek(frame); }
    uint16_t State() const override { return player_.GetState(); }
    void SetVolumeDb(int32_t dB) override { player_.SetVolumeDb(dB); }
    void SetListener(LPlayerListener* listener) override { listener_ = listener; }

    LSoundPlayer& Player() { return player_; }
    // Receives the levels of what is heard (the port's listener does not), on
    // the user-interface thread; empty for none.
    std::function<void(const LChannelLevels&)> onLevels;
    // The loudness of what was heard, with the levels; empty for none.
    std::function<void(const LLoudnessReading&)> onLoudness;

private:
    void PlayStarted(uint32_t) override { Changed(); }
    void PlayStopped(uint32_t) override { Changed(); }
    void PlayCued(uint32_t) override { Changed(); }
    void PlayPaused(uint32_t) override { Changed(); }
    void PlayPosition(int32_t ms, uint32_t) override
    {
        if (listener_)
            listener_->PlayPosition(ms);
    }
    void PlayLevels(const LChannelLevels& levels, uint32_t) override
    {
        if (onLevels)
            onLevels(levels);
    }
    void PlayLoudness(const LLoudnessReading& loudness, uint32_t) override
    {
        if (onLoudness)
            onLoudness(loudness);
    }
    void Changed()
    {
        if (listener_)
            listener_->PlayStateChanged();
    }

    LSoundPlayer player_;
    LPlayerListener* listener_ = nullptr;
};
