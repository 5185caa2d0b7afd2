#include "ui/LKVCompressorDlg.h"

#include <QComboBox>
#include <QFormLayout>

#include "effects/LEfLevelChecks.h"
#include "effects/LEfPreview.h"
#include "ui/LKVLevelControl.h"

LKVCompressorDlg::LKVCompressorDlg(const std::vector<std::string>& ratioNames, int32_t thresholdDb,
                                   int32_t ratioIndex, int32_t limitDb, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("Dynamic Range Compressor"), parent),
      threshold_(thresholdDb),
      ratio_(ratioIndex),
      limit_(limitDb)
{
    setObjectName(QStringLiteral("LKVCompressorDlg"));
    thresholdControl_ = new LKVLevelControl(kLevelControlMin, 0, thresholdDb);
    thresholdControl_->setObjectName(IdName(101));
    ratioList_ = new QComboBox;
    ratioList_->setObjectName(IdName(102));
    for (const std::string& name : ratioNames)
        ratioList_->addItem(QString::fromStdString(name));
    ratioList_->setCurrentIndex(ratioIndex >= 0 && ratioIndex < ratioList_->count() ? ratioIndex : -1);
    limitControl_ = new LKVLevelControl(0, kCompressorLimitMax, limitDb);
    limitControl_->setObjectName(IdName(103));
    Form().addRow(QStringLiteral("Threshold:"), thresholdControl_);
    Form().addRow(QStringLiteral("Ratio:"), ratioList_);
    Form().addRow(QStringLiteral("Limit:"), limitControl_);
    connect(thresholdControl_, &LKVLevelControl::valueSettled, this, [this] { CmRestartIfPlaying(); });
    connect(limitControl_, &LKVLevelControl::valueSettled, this, [this] { CmRestartIfPlaying(); });
    connect(ratioList_, &QComboBox::currentIndexChanged, this, [this] { CmRestartIfPlaying(); });
}

int32_t LKVCompressorDlg::TypedRatio() const
{
    return ratioList_->currentIndex() >= 0 ? ratioList_->currentIndex() : ratio_;
}

LKVEffectDlg::Failure LKVCompressorDlg::Check()
{
    threshold_ = thresholdControl_->Value();
    ratio_ = TypedRatio();
    limit_ = limitControl_->Value();
    return FailIf(CheckCompressorLevels(threshold_, limit_), thresholdControl_);
}

std::unique_ptr<LEfSourceMaker> LKVCompressorDlg::MakePreviewMaker() const
{
    return LEfPreview::CompressorMaker(thresholdControl_->Value(), TypedRatio(), limitControl_->Value());
}
