#pragma once
#include "core/LSoundSink.h"
#include "core/LSoundSource.h"
#include "core/LSoundTime.h"
#include "edit/LCutListAudio.h"
#include "edit/LSNKCutTank.h"

// What the recorder records into: a working copy of a document's audio and the
// prefix kept in front of a recording that starts part-way in.
class LRecordTarget {
public:
    explicit LRecordTarget(const LCutListAudio& audio) : working_(audio) {}
    virtual ~LRecordTarget() = default;

    // Merges the kept prefix back in front, then a source over the working list.
    virtual LSoundSource OpenSource();
    // Merges, keeps [0, position) aside, and returns the tank sink for the working
    // list: released, it makes the working list the new recording alone.
    virtual LSoundSink OpenRecordSink(LSoundTime position);

    const LCutListAudio& Working() const { return working_; }
    // While a take records: what is kept in front of it, and how far the sink
    // of the last OpenRecordSink has written (safe to read on any thread).
    const LCutListAudio& Kept() const { return kept_; }
    std::shared_ptr<const LTankSinkProgress> Progress() const { return progress_; }

private:
    void Merge();
    LCutListAudio working_;
    LCutListAudio kept_;
    std::shared_ptr<LTankSinkProgress> progress_;
};
