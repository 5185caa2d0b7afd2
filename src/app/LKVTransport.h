#pragma once
#include <cstdint>

#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"
#include "edit/LKVFile.h"
#include "edit/LPlayerPort.h"

// The direction of a held Rewind or Forward button.
enum class LKVScan : uint8_t { None, Rewind, Forward };

// What a transport asks of its owner: the owner knows the device, the volume
// and who is told about a device that cannot be opened.
class LKVTransportOwner {
public:
    virtual ~LKVTransportOwner() = default;
    // Starts the player on `source` (positioned already; its positions are
    // those of the audio the transport was given). False when the device
    // failed, after the owner has told the user.
    virtual bool TransportStart(LSoundSource source) = 0;
    virtual void TransportStop() = 0;
    // A scan with "ReduceVolWhenRewind" plays at -8 dB (true) and the owner's
    // own volume comes back at its release (false).
    virtual void TransportReduceVolume(bool reduced) { (void)reduced; }
};

// The transport buttons' rules over one player, shared by the main window's
// toolbar and the transport dialogs: Play, Scrub, the held scans and the moves
// of the cursor. Each call names the audio and the positions (cursor,
// selection) it works on; the owner redraws. User-interface thread only.
class LKVTransport {
public:
    // `player` (not owned) may be null: then nothing plays.
    LKVTransport(LPlayerPort* player, LKVTransportOwner& owner) : player_(player), owner_(owner) {}

    // Play (F9). While cueing it only leaves the scrub loop. Otherwise it plays
    // from the cursor, from 0 when the cursor lies within one second of the end;
    // with a selection from the selection start to its end (the cursor moves to
    // the start). False when nothing plays.
    bool Play(const LCutListAudio& audio, LKVFile::Positions& pos);
    // Scrub (Space): plays first when idle, then loops 25 ms at the position.
    bool Scrub(const LCutListAudio& audio, LKVFile::Positions& pos);
    // The cursor goes to `frame` (within the audio); an active player goes on
    // from there when `seek` (it plays this audio).
    void MoveCursor(const LCutListAudio& audio, LKVFile::Positions& pos, int32_t frame, bool seek);
    // A press starts a scan that begins slowly and speeds up over 8 s (from the
    // scrub loop slower still); the release resumes what was going on before
    // (play, scrub or nothing) from where the scan got to. A press of the scan
    // already running is ignored; one of the other direction ends that first.
    void ScanPressed(LKVScan direction, const LCutListAudio& audio, LKVFile::Positions& pos);
    void ScanReleased(LKVScan direction, const LCutListAudio& audio, LKVFile::Positions& pos);
    LKVScan Scanning() const { return scan_; }
    // Ends a scan without resuming anything (its audio went away).
    void CancelScan();
    uint16_t State() const { return player_ ? player_->State() : 0; }
    LPlayerPort* Player() const { return player_; }

    // `audio` from `frame` at the stored "PlaySpeed" (half, normal or one and
    // a half times the tempo, same pitch).
    static LSoundSource PlaySource(const LCutListAudio& audio, int32_t frame);
    // The cursor for a reported play position of `ms`: `cursor` itself when it
    // already lies within that millisecond, so it never snaps back.
    static int32_t CursorAt(int32_t ms, int32_t cursor, const LCutListAudio& audio);

private:
    LPlayerPort* player_;
    LKVTransportOwner& owner_;
    LKVScan scan_ = LKVScan::None;
    int32_t scanResume_ = 0;  // 2 was playing, 1 was cueing, 0 idle
};
