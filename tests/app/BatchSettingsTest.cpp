// The Settings of a batch command: which dialog opens on which values, and how
// the answer is laid out in the command's data.
#include <gtest/gtest.h>

#include "app/LKVBatchSettings.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "effects/PointList.h"

namespace {

// Records what each dialog opened on and answers with the values queued.
class SettingsUi : public LScriptedUi {
public:
    std::vector<int32_t> opened;
    std::vector<std::vector<int32_t>> replies;
    bool cancel = false;

    bool ReverbDialog(int32_t& level, int32_t& time) override { return Reply({&level, &time}); }
    bool EchoDialog(int32_t& time, int32_t& gain) override { return Reply({&time, &gain}); }
    bool AmplifyDialog(int32_t& gain) override { return Reply({&gain}); }
    bool CompressorDialog(const std::vector<std::string>&, int32_t& t, int32_t& r, int32_t& l) override
    {
        return Reply({&t, &r, &l});
    }
    bool EqualizerDialog(LUiCurve& curve) override
    {
        opened.push_back(curve.nPoints);
        if (cancel)
            return false;
        curve = PointList::Of({{0, 100}, {128, 200}, {255, 100}}).ToUi();
        return true;
    }

private:
    bool Reply(std::vector<int32_t*> fields)
    {
        for (int32_t* f : fields)
            opened.push_back(*f);
        if (cancel || replies.empty())
            return false;
        for (size_t i = 0; i < fields.size(); ++i)
            *fields[i] = replies.front()[i];
        replies.erase(replies.begin());
        return true;
    }
};

} // namespace

TEST(BatchSettings, TheDialogsValuesLandInTheCommandsOwnLayout)
{
    SettingsUi ui;
    // The reverb dialog asks for the level first; the data holds the time first.
    LKVCommand reverb{8, {}};
    ui.replies = {{80, 300}};
    ASSERT_TRUE(LKVBatchSettings::Edit(reverb));
    EXPECT_EQ(ui.opened, (std::vector<int32_t>{100, 50})) << "the batch defaults, level then time";
    EXPECT_EQ(reverb.data, (std::vector<uint8_t>{44, 1, 0, 0, 80, 0}));
    ui.opened.clear();
    ui.cancel = true;
    EXPECT_FALSE(LKVBatchSettings::Edit(reverb));
    EXPECT_EQ(ui.opened, (std::vector<int32_t>{80, 300})) << "it opens on the command's own data";
    EXPECT_EQ(reverb.data.size(), 6u);
    ui.cancel = false;

    // Data too short for its layout opens on the stored values and is replaced whole.
    LSettings::WriteInt("StoredValues", "EchoTime", 1200);
    LKVCommand echo{7, {9, 9, 9}};
    ui.opened.clear();
    ui.replies = {{20, 40}};
    ASSERT_TRUE(LKVBatchSettings::Edit(echo));
    EXPECT_EQ(ui.opened, (std::vector<int32_t>{1200, 50}));
    EXPECT_EQ(echo.data, (std::vector<uint8_t>{20, 0, 0, 0, 40, 0}));
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "EchoTime", 0), 1200) << "the stored value stays";

    // A value the dialog's own check refuses is asked again, as is one the data cannot hold.
    LKVCommand compressor{15, {}};
    ui.opened.clear();
    ui.replies = {{-50, 0, 3}, {-10, 6, 12}};
    ASSERT_TRUE(LKVBatchSettings::Edit(compressor));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Threshold must be between -40 and 0 dB. Please try again.");
    EXPECT_EQ(compressor.data, (std::vector<uint8_t>{uint8_t(-10), 6, 12}));
    LKVCommand amplify{3, {}};
    ui.replies = {{-5}, {250}};
    ASSERT_TRUE(LKVBatchSettings::Edit(amplify));
    EXPECT_EQ(ui.messages.back().text, "Amplify Gain must be between 0 and 400%. Please try again.");
    EXPECT_EQ(amplify.data, (std::vector<uint8_t>{250, 0}));

    // A curve fills the whole 129 bytes.
    LKVCommand eq{6, {}};
    ASSERT_TRUE(LKVBatchSettings::Edit(eq));
    ASSERT_EQ(eq.data.size(), 129u);
    EXPECT_EQ(LKVBatchCatalogue::Curve(eq), PointList::Of({{0, 100}, {128, 200}, {255, 100}}));

    // Auto Trim and Automatic Gain Control have nothing to set.
    for (uint32_t index : {0u, 10u, 19u}) {
        LKVCommand c{index, {}};
        EXPECT_FALSE(LKVBatchSettings::HasSettings(index));
        EXPECT_FALSE(LKVBatchSettings::Edit(c));
        EXPECT_TRUE(c.data.empty());
    }
}
