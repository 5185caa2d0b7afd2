#include "core/LSoundSource.h"

#include "core/LSRCNull.h"

LSoundSourceBase::LSoundSourceBase(int32_t sampleRate, uint8_t channels, uint32_t maxAmplitude)
    : sampleRate_(sampleRate), maxAmplitude_(maxAmplitude), channels_(channels)
{
    SetSampleRate(sampleRate);
    SetChannels(channels);
}

void LSoundSourceBase::Seek(int32_t) {}

void LSoundSourceBase::SetSampleRate(int32_t rate)
{
    sampleRate_ = rate;
    if (rate < 1) {
        sampleRate_ = 44100;
        error_ = kSrcInvalid;
    }
}

void LSoundSourceBase::SetChannels(uint8_t channels)
{
    channels_ = channels;
    if (channels == 0) {
        channels_ = 1;
        error_ = kSrcInvalid;
    }
}

void LSoundSource::AddRef(LSoundSourceBase* p)
{
    p->refs_.fetch_add(1, std::memory_order_relaxed);
}

void LSoundSource::Release(LSoundSourceBase* p)
{
    if (p->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete p;
}

LSoundSource::LSoundSource() : p_(new LSRCNull) { AddRef(p_); }

LSoundSource::LSoundSource(LSoundSourceBase* source) : p_(source ? source : new LSRCNull) { AddRef(p_); }

LSoundSource::LSoundSource(const LSoundSource& other) : p_(other.p_) { AddRef(p_); }

LSoundSource::LSoundSource(LSoundSource&& other) noexcept : p_(other.p_)
{
    // The moved-from handle must stay non-empty; it takes a reference too.
    AddRef(p_);
}

LSoundSource& LSoundSource::operator=(const LSoundSource& other)
{
    AddRef(other.p_);
    LSoundSourceBase* old = p_;
    p_ = other.p_;
    Release(old);
    return *this;
}

LSoundSource& LSoundSource::operator=(LSoundSource&& other) noexcept
{
    return *this = static_cast<const LSoundSource&>(other);
}

LSoundSource::~LSoundSource() { Release(p_); }

void LSoundSource::Reset() { *this = LSoundSource(); }
