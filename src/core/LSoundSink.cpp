#include "core/LSoundSink.h"

LSoundSinkBase::LSoundSinkBase(int32_t sampleRate, uint8_t channels)
    : sampleRate_(sampleRate < 1 ? 44100 : sampleRate), channels_(channels)
{
    if (sampleRate < 1)
        SetError();
    if (channels == 0) {
        channels_ = 1;
        SetError();
    }
}

void LSoundSinkBase::Seek(int32_t) {}

bool LSoundSinkBase::Finish()
{
    StartFinishing();
    return !IsError();
}

void LSoundSink::AddRef(LSoundSinkBase* p)
{
    if (p)
        p->refs_.fetch_add(1, std::memory_order_relaxed);
}

void LSoundSink::Release(LSoundSinkBase* p)
{
    if (p && p->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete p;
}

LSoundSink::LSoundSink(LSoundSinkBase* sink) : p_(sink) { AddRef(p_); }
LSoundSink::LSoundSink(const LSoundSink& other) : p_(other.p_) { AddRef(p_); }
LSoundSink::LSoundSink(LSoundSink&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }

LSoundSink& LSoundSink::operator=(const LSoundSink& other)
{
    AddRef(other.p_);
    LSoundSinkBase* old = p_;
    p_ = other.p_;
    Release(old);
    return *this;
}

LSoundSink& LSoundSink::operator=(LSoundSink&& other) noexcept
{
    if (this != &other) {
        LSoundSinkBase* old = p_;
        p_ = other.p_;
        other.p_ = nullptr;
        Release(old);
    }
    return *this;
}

LSoundSink::~LSoundSink() { Release(p_); }

void LSoundSink::Reset()
{
    LSoundSinkBase* old = p_;
    p_ = nullptr;
    Release(old);
}
