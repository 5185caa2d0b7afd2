#include "edit/LRecordTarget.h"

void LRecordTarget::Merge()
{
    working_.EfInsert(0, kept_);
    kept_.Clear();
}

LSoundSource LRecordTarget::OpenSource()
{
    Merge();
    return working_.OpenSource();
}

LSoundSink LRecordTarget::OpenRecordSink(LSoundTime position)
{
    Merge();
    working_.EfCopy(0, position.GetSamples(working_.sampleRate), kept_);
    progress_ = std::make_shared<LTankSinkProgress>();
    return working_.OpenSink(working_.sampleRate, working_.channels, progress_);
}
