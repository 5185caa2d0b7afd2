#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "core/LThread.h"
#include "core/LThreadQueuedNotify.h"
#include "display/LWaveMapping.h"
#include "display/LWavePicture.h"

// What a wave view tells the window that paints it.
class LWaveViewListener {
public:
    virtual ~LWaveViewListener() = default;
    // Columns [from, to) changed and should be repainted. Always called on the
    // user-interface thread (the wave thread's results arrive through the dispatcher).
    virtual void WaveInvalidate(int32_t from, int32_t to) = 0;
};

// The thread and state shared by a document's wave view and the transport
// dialog's wave strip. The window thread asks for views (SetView returns at
// once; requests coalesce, only the latest counts); the wave thread, at the
// lowest priority, applies the latest one under the paint lock, computes the
// columns the view exposes and reports them. Painting copies a picture under
// the same lock. Cursor and end marks change only the picture, never the columns.
// Create, drive and destroy it on the user-interface thread; a subclass must
// call StopThread in its destructor.
class LWaveViewBase : protected LThread, private LThreadQueuedNotify {
public:
    LWaveViewBase();
    ~LWaveViewBase() override;

    void SetListener(LWaveViewListener* listener) { listener_ = listener; }

    // The client size of the window: the picture is client width - 2 columns
    // (1..2048) and client height - 1 rows. The current view is computed afresh.
    void SetSize(int32_t clientWidth, int32_t clientHeight);
    // Asks for the frames [start, start + length) across the width.
    void SetView(int32_t start, int32_t length);
    // The play or edit cursor and the width of the band drawn after it (frames).
    void SetCursor(int32_t position, int32_t bandWidth);
    // The document length; columns at and past it use the past-the-end colours.
    void SetEnd(int32_t frames);

    bool IsStarted() const { return started_; }
    // A copy of what to paint, taken under the paint lock.
    LWavePicture Picture() const;
    // The mapping, frame at a column and column of a frame, under the paint lock.
    LWaveMapping Mapping() const;
    int32_t PixelToFrame(int32_t pixel) const;
    int32_t FrameToPixel(int32_t frame) const;

    // Runs one request on the calling thread exactly as the wave thread does and
    // returns what it computed. For benchmarks and tests, while the wave thread
    // is idle (no SetView meanwhile).
    LWaveApply Process(int32_t start, int32_t length);
    // Waits until the wave thread has computed the latest request; false after
    // `ms` milliseconds. For tests and benchmarks.
    bool WaitIdle(int32_t ms);
    // Requests computed since the object was made.
    int32_t ComputedRequests() const { return computed_.load(); }

protected:
    // Columns [from, to) of `map` into upper[x] and lower[x] (a second lane into
    // upper[kWaveLaneStride + x] and lower[kWaveLaneStride + x]); runs on the
    // wave thread outside the paint lock; false when it stopped early.
    virtual bool ComputeColumns(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* upper, uint8_t* lower,
                                const std::atomic<bool>* stop) = 0;
    // Called under the paint lock after a scroll was applied (the selection of a
    // drag past an edge follows the view).
    virtual void ScrolledLocked(const LWaveMapping&) {}
    // Adds what the subclass paints to a picture, under the paint lock.
    virtual void FillPictureLocked(LWavePicture&) const {}
    // Under the paint lock: the picture's columns moved `shift` columns right
    // (negative: left) within the width, as the wave arrays just did; a subclass
    // that keeps columns of its own moves them alike.
    virtual void ShiftedLocked(int32_t /*shift*/, int32_t /*width*/) {}
    // Under the paint lock: the columns [from, to) that ComputeColumns just made
    // are now the picture's (not called for a computation that was outdated).
    virtual void CommitLocked(int32_t /*from*/, int32_t /*to*/) {}

    // Starts the wave thread with a fresh picture computation; the subclass has
    // set up what ComputeColumns reads. Stops the thread first.
    void StartThread();
    // Stops the wave thread (waits for the column it computes to finish).
    void StopThread();
    // Repaints [from, to) now; user-interface thread.
    void InvalidateColumns(int32_t from, int32_t to);
    // Repaints between two pixels (inclusive, -1 allowed); user-interface thread.
    void InvalidateBetween(int32_t a, int32_t b);

    mutable std::mutex paintLock_;
    LWaveMapping map_;  // guarded by paintLock_
    int32_t height_ = 1;
    int32_t cursor_ = 0;
    int32_t band_ = 0;
    int32_t end_ = 0;

private:
    void ThreadBody() override;
    void OnNotify() override;
    // Wave thread: reports columns to repaint through the dispatcher.
    void PostInvalidate(int32_t from, int32_t to);

    LWaveViewListener* listener_ = nullptr;
    bool started_ = false;

    std::array<uint8_t, 2 * kWaveLaneStride> upper_{};  // guarded by paintLock_
    std::array<uint8_t, 2 * kWaveLaneStride> lower_{};
    std::array<uint8_t, 2 * kWaveLaneStride> scratchUpper_{};  // the wave thread's
    std::array<uint8_t, 2 * kWaveLaneStride> scratchLower_{};
    uint64_t generation_ = 0;  // bumped whenever the mapping changes; guarded by paintLock_

    std::mutex requestLock_;
    std::condition_variable requestEvent_;
    std::condition_variable idle_;
    int32_t requestStart_ = 0;
    int32_t requestLength_ = 0;
    bool requested_ = false;  // a request is waiting
    bool force_ = true;       // recompute even a request equal to the last one
    bool busy_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<int32_t> computed_{0};

    std::mutex dirtyLock_;
    int32_t dirtyFrom_ = 0;
    int32_t dirtyTo_ = 0;
    bool posted_ = false;
};
