#include "effects/LEfPreview.h"

#include "effects/CompressorRatioList.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCHighPass.h"
#include "effects/LSRCReverb.h"

std::unique_ptr<LEfSourceMaker> LEfPreview::EchoMaker(int32_t typedTimeMs, int32_t typedGainPercent)
{
    return std::make_unique<LEfEchoMaker>(EchoGainPercent(typedGainPercent), EchoTimeMs(typedTimeMs));
}

std::unique_ptr<LEfSourceMaker> LEfPreview::ReverbMaker(int32_t typedLevelPercent, int32_t typedTimeMs)
{
    return std::make_unique<LEfReverbMaker>(ReverbLevelPercent(typedLevelPercent), ReverbTimeMs(typedTimeMs));
}

std::unique_ptr<LEfSourceMaker> LEfPreview::HighPassMaker(int32_t typedFrequency)
{
    return std::make_unique<LEfHighPassMaker>(HighPassValue(typedFrequency));
}

std::unique_ptr<LEfSourceMaker> LEfPreview::CompressorMaker(int32_t thresholdDb, int32_t ratioIndex, int32_t limitDb)
{
    const CompressorRatioItem* ratio = CompressorRatioList::Find(ratioIndex);
    if (!ratio)
        ratio = CompressorRatioList::Find(0);
    return std::make_unique<LEfCompressorMaker>(thresholdDb, ratio->factor, limitDb);
}

std::unique_ptr<LEfSourceMaker> LEfPreview::SpeedMaker(int32_t mode, int32_t typedPercent)
{
    return LEfChangeSpeedPitch::MakeMaker(mode, typedPercent);
}

std::unique_ptr<LEfSourceMaker> LEfPreview::EqualizerMaker(const PointList& curve) const
{
    PointList points = curve;
    points.Validate();
    return std::make_unique<LEfEqMaker>(CreateEqFromPointList(points, audio_.sampleRate));
}

bool LEfPreview::Start(const MakerFactory& make)
{
    if (!player_)
        return false;
    player_->Stop();
    if (!CanPreview())
        return false;
    const std::unique_ptr<LEfSourceMaker> maker = make();
    return maker && player_->Start(MakeSource(*maker), device_);
}

void LEfPreview::Stop()
{
    if (player_)
        player_->Stop();
}

bool LEfPreview::IsPlaying() const { return player_ && (player_->State() & LPlayerPort::kActive); }

bool LEfPreview::RestartIfPlaying(const MakerFactory& make)
{
    return IsPlaying() && Start(make);
}
