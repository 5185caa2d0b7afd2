#pragma once
#include <string>
#include <vector>

#include "ui/LKVPreviewDialog.h"

class LKVLevelControl;
class QComboBox;

// The "Dynamic Range Compressor" dialog: the threshold (-40..0 dB), the ratio
// picked from the named rows of the ratio list, and the limit (0..12 dB). The
// preview follows every settled change of the three controls.
class LKVCompressorDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVCompressorDlg(const std::vector<std::string>& ratioNames, int32_t thresholdDb, int32_t ratioIndex,
                     int32_t limitDb, QWidget* parent = nullptr);
    int32_t ThresholdDb() const { return threshold_; }
    // The stored index when it named no row and the user picked none.
    int32_t RatioIndex() const { return ratio_; }
    int32_t LimitDb() const { return limit_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    int32_t TypedRatio() const;

    LKVLevelControl* thresholdControl_;
    QComboBox* ratioList_;
    LKVLevelControl* limitControl_;
    int32_t threshold_;
    int32_t ratio_;
    int32_t limit_;
};
