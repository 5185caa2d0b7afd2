#pragma once
#include <string>
#include <vector>

#include "app/LKVTransport.h"
#include "devices/LPlayerDevice.h"

// What the transport dialog's model tells its window, on the user-interface thread.
class LPlayerBaseDlgView {
public:
    virtual ~LPlayerBaseDlgView() = default;
    // Started, stopped, cued or paused: State() changed.
    virtual void PlayerStateChanged() {}
    // The position moved: by playback, a button or the position bar.
    virtual void PlayerPositionChanged() {}
    // The levels of what is heard now.
    virtual void PlayerLevels(const LChannelLevels& levels) { (void)levels; }
    // The momentary and short-term loudness of what was heard since Play.
    virtual void PlayerLoudness(const LLoudnessReading& loudness) { (void)loudness; }
};

// One piece of audio the transport dialog plays, with its own cursor and selection.
struct LPlayerTrack {
    std::string name;
    LCutListAudio audio;
    LKVFile::Positions pos;
};

// The transport dialog without its window: a player of its own on the device
// and at the volume of the "Player" settings, the tracks it plays, and the
// transport buttons by the same rules as the main window's. Its position is
// its own (a track's cursor), never a document's. User-interface thread only.
class LPlayerBaseDlgModel : private LKVTransportOwner, private LPlayerListener {
public:
    static constexpr int32_t kStepMs = 2000;  // a line or page of the position bar

    // Reads "Device" and "VolumeDB" under "Player" and applies the volume.
    LPlayerBaseDlgModel();
    ~LPlayerBaseDlgModel() override;
    // Where the notifications go (not owned; nullptr for none).
    void SetView(LPlayerBaseDlgView* view) { view_ = view; }

    // ---- What plays ----
    // Stops playback; track `current` is shown.
    void SetTracks(std::vector<LPlayerTrack> tracks, size_t current);
    size_t TrackCount() const { return tracks_.size(); }
    size_t CurrentTrack() const { return current_; }
    // The shown track; nullptr without tracks.
    const LPlayerTrack* Track() const { return tracks_.empty() ? nullptr : &tracks_[current_]; }
    // Go to Start / Previous Track (PgUp): to the start of the track, or from
    // its start to the previous one. Next Track (PgDn). A playing transport
    // plays on in the new track. False when there is none to go to.
    bool PreviousTrack();
    bool NextTrack();

    // ---- The transport ----
    bool Play();
    bool Scrub();
    void Stop();
    void GoToStart();
    void GoToEnd();
    void ScanPressed(LKVScan direction);
    void ScanReleased(LKVScan direction);
    // LPlayerPort state bits (0 idle).
    uint16_t State() const { return player_.State(); }
    bool Playing() const { return (State() & LPlayerPort::kActive) && !(State() & LPlayerPort::kCueing); }
    bool Cueing() const { return (State() & LPlayerPort::kCueing) != 0; }

    // ---- The position ----
    int32_t Cursor() const;
    int32_t PositionMs() const;
    int32_t LengthMs() const;
    // "h:mm:ss.cc" of the position.
    std::string TimeText() const;
    // The position bar, 0..100: 100 * position / length.
    int32_t BarValue() const;
    enum class Scroll : uint8_t { LineBack, LineForward, PageBack, PageForward, Thumb, Top, Bottom };
    // Line and page steps move 2000 ms (not below 0), the thumb to
    // length * thumb / 100, top and bottom to the start and the end; an active
    // player continues from there.
    void ScrollBar(Scroll action, int32_t thumb);
    // Moves the position to `frame` of the shown track (an active player follows).
    void MoveTo(int32_t frame);

    // ---- Device and volume ----
    // Output device number: 0 the default device, n >= 1 device n - 1. Stops playback.
    int32_t Device() const { return device_; }
    void SetDevice(int32_t device);
    // The dialog's volume, -36..+10 dB: its player's gain, heard at once.
    int32_t VolumeDb() const { return volumeDb_; }
    void SetVolumeDb(int32_t dB);
    // Stores "Device" and "VolumeDB" (the dialog's close).
    void StoreSettings() const;

    LPlayerDevice& Player() { return player_; }

private:
    bool TransportStart(LSoundSource source) override;
    void TransportStop() override { player_.Stop(); }
    void TransportReduceVolume(bool reduced) override;
    void PlayStateChanged() override;
    void PlayPosition(int32_t ms) override;
    void Moved();
    LPlayerTrack* Shown() { return tracks_.empty() ? nullptr : &tracks_[current_]; }
    bool ChangeTrack(size_t track);

    LPlayerDevice player_;
    LKVTransport transport_;
    LPlayerBaseDlgView* view_ = nullptr;
    std::vector<LPlayerTrack> tracks_;
    size_t current_ = 0;
    int32_t device_ = 0;
    int32_t volumeDb_ = 0;
};
