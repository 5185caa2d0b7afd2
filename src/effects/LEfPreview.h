#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"
#include "edit/LPlayerPort.h"
#include "effects/LEfSourceMaker.h"
#include "effects/PointList.h"

// What a preview dialog plays: a copy of the document's audio (rate, channels
// and the whole cut list) taken when the dialog opens, run through a maker
// built from the values currently typed. The typed values are clamped to what
// the filters can run, not validated: OK validates them. The dialog lives
// above this layer; it hands the preview a player and asks it to start, stop
// and restart. Used on the user-interface thread.
class LEfPreview {
public:
    using MakerFactory = std::function<std::unique_ptr<LEfSourceMaker>()>;

    // `player` (not owned, may be null: nothing plays) plays on output device
    // `device` (0 the default one, n >= 1 device n - 1).
    explicit LEfPreview(const LCutListAudio& audio, LPlayerPort* player = nullptr, int32_t device = 0)
        : audio_(audio), player_(player), device_(device)
    {
    }

    // The Preview button (id 140) is enabled only while there is a frame to play.
    bool CanPreview() const { return audio_.GetLength() > 0; }
    // `maker` applied to a source over the copy, from its first frame.
    LSoundSource MakeSource(const LEfSourceMaker& maker) const { return maker.MakeSource(audio_.OpenSource()); }
    const LCutListAudio& Audio() const { return audio_; }

    // Preview: plays the copy from its first frame through the maker `make`
    // builds, stopping what played before. False when nothing plays (no audio,
    // no player, or the player refused the source or the device).
    bool Start(const MakerFactory& make);
    // Stop, or the dialog closing; harmless when idle.
    void Stop();
    // Whether the player is playing the preview (it may have reached the end
    // and stopped by itself).
    bool IsPlaying() const;
    // When the preview plays, stop it and start again with a fresh source from
    // `make`; nothing (not even a maker) otherwise. True when it restarted.
    bool RestartIfPlaying(const MakerFactory& make);
    // The text of the button with id 140.
    const char* ButtonText() const { return IsPlaying() ? "Stop" : "Preview"; }

    static int32_t EchoTimeMs(int32_t typed) { return std::clamp(typed, 10, 3000); }
    static int32_t EchoGainPercent(int32_t typed) { return std::min(typed, 99); }
    static int32_t ReverbLevelPercent(int32_t typed) { return std::min(typed, 100); }
    static int32_t ReverbTimeMs(int32_t typed) { return std::clamp(typed, 10, 1000); }
    // The high-pass job works on twice the typed corner value; so does the preview.
    static int32_t HighPassValue(int32_t typed)
    {
        return int32_t(std::clamp<int64_t>(int64_t(typed) * 2, INT32_MIN, INT32_MAX));
    }

    // The makers of the preview dialogs, from the values as typed, clamped as above.
    static std::unique_ptr<LEfSourceMaker> EchoMaker(int32_t typedTimeMs, int32_t typedGainPercent);
    static std::unique_ptr<LEfSourceMaker> ReverbMaker(int32_t typedLevelPercent, int32_t typedTimeMs);
    static std::unique_ptr<LEfSourceMaker> HighPassMaker(int32_t typedFrequency);
    // The compressor's controls cannot leave their ranges; a ratio index that
    // names no row previews as "1:1".
    static std::unique_ptr<LEfSourceMaker> CompressorMaker(int32_t thresholdDb, int32_t ratioIndex, int32_t limitDb);
    // Mode 0, 1 or 2 of the speed dialog, with the floor the job applies.
    static std::unique_ptr<LEfSourceMaker> SpeedMaker(int32_t mode, int32_t typedPercent);
    // The curve's gain table at the copy's rate (the curve is validated first).
    std::unique_ptr<LEfSourceMaker> EqualizerMaker(const PointList& curve) const;

private:
    LCutListAudio audio_;
    LPlayerPort* player_;
    int32_t device_;
};
