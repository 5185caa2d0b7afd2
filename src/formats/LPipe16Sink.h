#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/LSoundSink.h"
#include "formats/LPipeOut.h"

class LProgressDialog;

// What an encoder opener starts: the command line of the encoder program and
// the format of the PCM it reads from its standard input.
struct LEncoderCommand {
    std::string commandLine;
    int32_t sampleRate = 44100;  // Hz
    uint8_t channels = 1;        // 1 or 2
    // Why the rate or channel count of the file differs from the one the
    // opener was asked for ("Ogg Vorbis at up to 128 kbit/s needs 22050 Hz or
    // more"); empty when both are kept.
    std::string note;
    // The rate of the file when the encoder resamples what it reads; 0 when it
    // writes `sampleRate`.
    int32_t outputRate = 0;

    int32_t FileRate() const { return outputRate ? outputRate : sampleRate; }
};

// Joins the reasons an opener gives in `note`.
void AddEncoderNote(std::string& note, const std::string& reason);

// `path` quoted for an encoder command line. A name starting with "-" gets "./"
// in front (LChildPathArgument), so that no encoder can take the output file for
// one of its options.
std::string QuoteEncoderFileName(const std::string& path);

// A sink that feeds an encoder program: frames become interleaved signed 16-bit
// little-endian PCM (rounded to nearest) on the program's standard input, and the
// program writes the output file.
//
// The save job ends with Finish(), which closes the pipe and waits for the
// encoder; only its kJobDone means the file is complete. Releasing the sink
// without Finish() or Stop() closes the pipe and gives the encoder 3000 ms, after
// which it finishes a shorter file on its own.
//
// A Write() waits while the encoder does not read; with a job set (SetJob), the
// wait keeps the job's window alive and ends when the user cancels, so an
// encoder that stops reading cannot hang the program.
class LPipe16Sink : public LSoundSinkBase {
public:
    // Starts `commandLine`, which must read PCM at `sampleRate` and `channels`.
    // The error bit is set when the program cannot be started (or the format is
    // invalid, in which case nothing is started).
    LPipe16Sink(const std::string& commandLine, int32_t sampleRate, uint8_t channels);
    explicit LPipe16Sink(const LEncoderCommand& command)
        : LPipe16Sink(command.commandLine, command.sampleRate, command.channels) {}
    ~LPipe16Sink() override = default;

    // Any number of frames. A write the encoder does not take (it has exited or
    // closed its input, or the user cancelled the wait) sets the error bit, so
    // the pump stops.
    void Write(const int32_t* buffer, int32_t frames) override;

    // The job whose Cancel ends a wait for the encoder to read; null for none.
    void SetJob(LProgressDialog* job) { job_ = job; }
    // Whether a write was given up because the user cancelled.
    bool WriteCancelled() const { return writeCancelled_; }

    // Closes the pipe and waits for the encoder, keeping `job`'s window alive.
    // kJobDone only when the encoder started, took every byte and exited with
    // status 0; kJobCancelled when the user cancelled the wait; else kJobFailed,
    // with the error bit set. Writes after Finish() are refused.
    int32_t Finish(LProgressDialog& job);
    // The same without a window to keep alive or a Cancel: true for kJobDone.
    bool Finish() override;

    // Ends the encoder at once, for a save that was cancelled or failed: once it
    // returns, the encoder writes nothing more. Writes afterwards are refused.
    void Stop();

    // The error lines the encoder printed last, for a failure message.
    std::string EncoderOutput() const { return pipe_.Output(); }

    // The encoder's exit status once known, else -1.
    int32_t ExitStatus() const { return pipe_.ExitStatus(); }

    // The encoder sink behind `sink`, or nullptr for any other sink: lets a save
    // job that opened a sink by file type finish an encoder when there is one.
    static LPipe16Sink* Of(const LSoundSink& sink);

    // Frames converted per pipe write.
    static constexpr int32_t kBlockFrames = 8192;

private:
    int32_t FinishWith(LProgressDialog* job);

    LPipeOut pipe_;
    std::vector<uint8_t> buffer_;
    LProgressDialog* job_ = nullptr;
    bool writeCancelled_ = false;
    bool finished_ = false;
};
