#include "formats/LPipe16Sink.h"

#include <algorithm>
#include <functional>

#include "core/LProgressDialog.h"
#include "core/SampleConvert.h"

std::string QuoteEncoderFileName(const std::string& path) { return QuoteArgument(LChildPathArgument(path)); }

void AddEncoderNote(std::string& note, const std::string& reason)
{
    note += note.empty() ? reason : "; " + reason;
}

LPipe16Sink::LPipe16Sink(const std::string& commandLine, int32_t sampleRate, uint8_t channels)
    : LSoundSinkBase(sampleRate, channels)
{
    if (IsError())
        return;
    buffer_.resize(size_t(kBlockFrames) * GetChannels() * 2);
    if (!pipe_.Open(commandLine))
        SetError();
}

void LPipe16Sink::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    position_ += uint32_t(frames);
    if (IsError())
        return;
    if (finished_) {
        SetError();
        return;
    }
    const int32_t channels = GetChannels();
    std::function<bool()> cancelled;
    if (job_)
        cancelled = [this] { return writeCancelled_ = job_->IsCancelled(); };
    for (int32_t done = 0; done < frames;) {
        const int32_t n = std::min(frames - done, kBlockFrames);
        const int32_t bytes = n * channels * 2;
        SamplesToPcm16LE(buffer_.data(), buffer + size_t(done) * size_t(channels), n * channels);
        if (pipe_.Write(buffer_.data(), bytes, cancelled) != bytes) {
            SetError();
            return;
        }
        done += n;
    }
}

int32_t LPipe16Sink::Finish(LProgressDialog& job) { return FinishWith(&job); }

bool LPipe16Sink::Finish() { return FinishWith(nullptr) == kJobDone; }

int32_t LPipe16Sink::FinishWith(LProgressDialog* job)
{
    StartFinishing();
    finished_ = true;
    const int32_t result = pipe_.Finish(job);
    if (result == kJobCancelled)
        return result;
    if (result != kJobDone || IsError()) {
        SetError();
        return kJobFailed;
    }
    return kJobDone;
}

void LPipe16Sink::Stop()
{
    finished_ = true;
    pipe_.Stop();
}

LPipe16Sink* LPipe16Sink::Of(const LSoundSink& sink) { return dynamic_cast<LPipe16Sink*>(sink.Get()); }
