#include "display/LWaveModel.h"

LWaveModel::~LWaveModel() { StopThread(); }

void LWaveModel::Start(LSoundSource source)
{
    Stop();
    columns_ = std::make_unique<LWaveColumns>(std::move(source));
    StartThread();
    InvalidateColumns(0, kWaveMaxColumns);
}

void LWaveModel::Stop()
{
    StopThread();
    columns_.reset();
    InvalidateColumns(0, kWaveMaxColumns);
}

bool LWaveModel::ComputeColumns(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* upper, uint8_t*,
                                const std::atomic<bool>* stop)
{
    return columns_ && columns_->Compute(map, from, to, upper, stop);
}

void LWaveModel::FillPictureLocked(LWavePicture& picture) const { picture.symmetric = true; }
