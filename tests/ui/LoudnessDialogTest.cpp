#include <QComboBox>
#include <QLabel>
#include <gtest/gtest.h>

#include "EffectTestSupport.h"
#include "UiTestSupport.h"
#include "ui/LKVNormalizeLoudnessDlg.h"

using efftest::Control;
using efftest::Press;
using efftest::Type;

TEST(LoudnessDialog, PresetsFollowTheTargetAndTheGainSaysWhenTheLimiterRuns)
{
    LUiLoudnessValues v;
    v.measuredLufs = -20.0;
    v.measuredPeakDbtp = -6.0;
    LKVNormalizeLoudnessDlg d(v);
    QComboBox* preset = Control<QComboBox>(d, 103);
    QLabel* gain = d.findChild<QLabel*>(QStringLiteral("gain"));
    ASSERT_TRUE(preset && gain);
    EXPECT_EQ(preset->currentIndex(), 0) << "-23 LUFS is the broadcast preset";
    EXPECT_EQ(gain->text(), QStringLiteral("-3.0 dB"));
    Type(d, 101, QStringLiteral("-16"));
    EXPECT_EQ(preset->currentIndex(), 1);
    // -6 dBTP raised by 4 dB stays under -1 dBTP; raised by 10 dB it would not.
    EXPECT_EQ(gain->text(), QStringLiteral("+4.0 dB"));
    Type(d, 101, QStringLiteral("-10"));
    EXPECT_EQ(preset->currentIndex(), 3) << "Custom";
    EXPECT_EQ(gain->text(), QStringLiteral("+10.0 dB, with the peak limiter"));
    preset->activated(2);
    EXPECT_EQ(efftest::Text(d, 101), QStringLiteral("-14"));
    Type(d, 102, QStringLiteral("-2"));
    Press(d, QDialogButtonBox::Ok);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Values().targetLufs, -14);
    EXPECT_EQ(d.Values().ceilingDbtp, -2);
}
