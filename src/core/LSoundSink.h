#pragma once
#include <atomic>
#include <cstdint>
#include <utility>

// A push sink of interleaved frames. Held only through LSoundSink handles.
// A file sink's file is complete once Finish() has written what was pending
// (a last block, the final sizes of its header) and closed it. A save calls
// Finish() and learns whether that worked; releasing the last handle of a sink
// that was not finished finishes it too, without telling anyone.
class LSoundSinkBase {
public:
    // 0 channels become 1 and set the error bit; a rate below 1 becomes 44100.
    LSoundSinkBase(int32_t sampleRate, uint8_t channels);
    virtual ~LSoundSinkBase() = default;
    LSoundSinkBase(const LSoundSinkBase&) = delete;
    LSoundSinkBase& operator=(const LSoundSinkBase&) = delete;

    // Consumes frames * channels values, already limited to +-0x7FFF0, and adds
    // `frames` to the position. A sink that cannot store them sets its error bit.
    virtual void Write(const int32_t* buffer, int32_t frames) = 0;
    // Repositions the sink; the base does nothing.
    virtual void Seek(int32_t frame);
    // Completes the output: writes what is pending and closes the file. False
    // when that failed or any write before failed: the error bit is set and
    // GetSystemError() says why. Writes after it are refused; calling it again
    // gives the same answer. Sinks without a file only report their state.
    virtual bool Finish();

    uint32_t GetPosition() const { return position_; }
    int32_t GetSampleRate() const { return sampleRate_; }
    uint8_t GetChannels() const { return channels_; }
    // Bit 0: the sink is unusable (not created, codec not opened, a write failed).
    bool IsError() const { return (errorFlags_ & 1) != 0; }
    // The errno of the system call whose failure first set the error bit (a full
    // disk, a file-size limit, no permission), or 0 when the fault was not the system's.
    int32_t GetSystemError() const { return systemError_; }

protected:
    // Sets the error bit; `systemError` is the errno of the call that failed, if any.
    void SetError(int32_t systemError = 0)
    {
        if (!IsError())
            systemError_ = systemError;
        errorFlags_ |= 1;
    }
    // True the first time it is called: a Finish() override completes its file
    // only then (and its destructor calls Finish() to cover a sink never finished).
    bool StartFinishing()
    {
        if (finished_)
            return false;
        finished_ = true;
        return true;
    }
    bool IsFinished() const { return finished_; }
    uint32_t position_ = 0;

private:
    friend class LSoundSink;
    int32_t sampleRate_;
    uint8_t channels_;
    uint8_t errorFlags_ = 0;
    bool finished_ = false;
    int32_t systemError_ = 0;
    std::atomic<uint32_t> refs_{0};
};

// Counted handle to a sink; may be empty.
class LSoundSink {
public:
    LSoundSink() = default;
    explicit LSoundSink(LSoundSinkBase* sink);
    LSoundSink(const LSoundSink& other);
    LSoundSink(LSoundSink&& other) noexcept;
    LSoundSink& operator=(const LSoundSink& other);
    LSoundSink& operator=(LSoundSink&& other) noexcept;
    ~LSoundSink();

    explicit operator bool() const { return p_ != nullptr; }
    LSoundSinkBase* operator->() const { return p_; }
    LSoundSinkBase* Get() const { return p_; }
    // Drops this reference; a file sink whose last handle goes completes its file.
    void Reset();

private:
    static void AddRef(LSoundSinkBase* p);
    static void Release(LSoundSinkBase* p);
    LSoundSinkBase* p_ = nullptr;
};

template <class T, class... Args>
LSoundSink MakeSink(Args&&... args)
{
    return LSoundSink(new T(std::forward<Args>(args)...));
}
