#pragma once
#include <memory>

#include "core/LSoundSource.h"
#include "display/LWaveColumns.h"
#include "display/LWaveViewBase.h"

// The model of the transport dialog's one-line wave strip: one column array,
// symmetric about the centre, computed on the wave thread from a source its
// owner gives it; cursor and end marks, no selection and no mouse.
// Used on the user-interface thread.
class LWaveModel : public LWaveViewBase {
public:
    LWaveModel() = default;
    ~LWaveModel() override;

    // Restarts the strip on `source`, which the wave thread reads from now on:
    // the owner must not read it meanwhile. The view is empty until SetView.
    void Start(LSoundSource source);
    void Stop();

protected:
    bool ComputeColumns(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* upper, uint8_t* lower,
                        const std::atomic<bool>* stop) override;
    void FillPictureLocked(LWavePicture& picture) const override;

private:
    std::unique_ptr<LWaveColumns> columns_;
};
