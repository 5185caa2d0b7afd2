#pragma once
#include <atomic>
#include <cstdint>
#include <utility>

// Error states of a source. Any state other than kSrcGood makes the source unusable
// as the input of a job; it still reads as silence.
enum : uint8_t {
    kSrcGood = 0,
    kSrcSilent = 1,          // the silent placeholder LSRCNull
    kSrcUpstreamError = 2,   // a filter's upstream is in error
    kSrcInvalid = 3,         // invalid format, or corrupt data found by a reader
    kSrcCannotOpen = 4,      // the file could not be opened or its header decoded
    kSrcNoCodec = 5,         // a needed codec could not be opened
};

// A pull source of interleaved frames. Held only through LSoundSource handles.
// A source is used by one thread at a time; the count itself is atomic so that
// handing a handle to the player or drawing thread is safe.
class LSoundSourceBase {
public:
    // A rate below 1 becomes 44100 and 0 channels become 1; both set kSrcInvalid.
    LSoundSourceBase(int32_t sampleRate, uint8_t channels, uint32_t maxAmplitude);
    virtual ~LSoundSourceBase() = default;
    LSoundSourceBase(const LSoundSourceBase&) = delete;
    LSoundSourceBase& operator=(const LSoundSourceBase&) = delete;

    // Fills exactly frames * channels values and advances the position by `frames`.
    // Frames before 0 and past the end are zeros: a read is never short.
    virtual void Read(int32_t* buffer, int32_t frames) = 0;
    // Frame index of the next frame Read delivers; above GetLength() after reading past the end.
    virtual int32_t GetPosition() = 0;
    // Total frames; compressed readers may report an estimate until they reach the end.
    virtual int32_t GetLength() = 0;
    // Moves the position; negative positions read as silence. The base does nothing.
    virtual void Seek(int32_t frame);

    int32_t GetSampleRate() const { return sampleRate_; }
    uint8_t GetChannels() const { return channels_; }
    uint32_t GetMaxAmplitude() const { return maxAmplitude_; }
    uint8_t GetError() const { return error_; }

protected:
    void SetSampleRate(int32_t rate);
    void SetChannels(uint8_t channels);
    void SetMaxAmplitude(uint32_t maxAmplitude) { maxAmplitude_ = maxAmplitude; }
    void SetError(uint8_t state) { error_ = state; }

private:
    friend class LSoundSource;
    int32_t sampleRate_;
    uint32_t maxAmplitude_;
    uint8_t channels_;
    uint8_t error_ = kSrcGood;
    std::atomic<uint32_t> refs_{0};
};

// Counted handle to a source. Never empty: a default or reset handle holds a new
// LSRCNull (11025 Hz mono, state kSrcSilent).
class LSoundSource {
public:
    LSoundSource();
    // Adopts a freshly created source (count 0 -> 1).
    explicit LSoundSource(LSoundSourceBase* source);
    LSoundSource(const LSoundSource& other);
    LSoundSource(LSoundSource&& other) noexcept;
    LSoundSource& operator=(const LSoundSource& other);
    LSoundSource& operator=(LSoundSource&& other) noexcept;
    ~LSoundSource();

    LSoundSourceBase* operator->() const { return p_; }
    LSoundSourceBase& operator*() const { return *p_; }
    LSoundSourceBase* Get() const { return p_; }
    void Reset();

    friend bool operator==(const LSoundSource& a, const LSoundSource& b) { return a.p_ == b.p_; }

private:
    static void AddRef(LSoundSourceBase* p);
    static void Release(LSoundSourceBase* p);
    LSoundSourceBase* p_;
};

// Creates a source of type T and returns it held by a handle (count 1).
template <class T, class... Args>
LSoundSource MakeSource(Args&&... args)
{
    return LSoundSource(new T(std::forward<Args>(args)...));
}
