#include <gtest/gtest.h>

#include <cerrno>

#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LVoxFile.h"
#include "formats/LWaveFile.h"
#include "formats/gsm/LGSMFile.h"
#include "support/TestSupport.h"

TEST(SinkFailure, EveryFileSinkKeepsTheSystemsReason)
{
    // /dev/full takes an open and fails every write with ENOSPC, like a full disk.
    struct Case {
        const char* name;
        LSoundSink (*open)(const std::string& path);
    };
    const Case cases[] = {
        {"wav", [](const std::string& p) { return LWaveFile::OpenSinkPCM(p, 8000, 0, 16, 1); }},
        {"wav 8-bit", [](const std::string& p) { return LWaveFile::OpenSinkPCM(p, 8000, 0, 8, 1); }},
        {"au", [](const std::string& p) { return LAuFile::OpenSink(p, 8000, 1); }},
        {"aiff", [](const std::string& p) { return LAifFile::OpenSink(p, 8000, 1); }},
        {"gsm", [](const std::string& p) { return LGSMFile::OpenSink(p); }},
        {"vox", [](const std::string& p) { return LVoxFile::OpenSink(p, 8000); }},
    };
    std::vector<int32_t> frames = test::Sine(40000, 8000, 440, 100000);
    for (const Case& c : cases) {
        LSoundSink full = c.open("/dev/full");
        ASSERT_TRUE(full) << c.name;
        full->Write(frames.data(), 40000);
        EXPECT_TRUE(full->IsError()) << c.name;
        EXPECT_EQ(full->GetSystemError(), ENOSPC) << c.name;

        LSoundSink nowhere = c.open(test::TempPath("no such folder/x"));
        ASSERT_TRUE(nowhere) << c.name;
        EXPECT_TRUE(nowhere->IsError()) << c.name;
        EXPECT_EQ(nowhere->GetSystemError(), ENOENT) << c.name;
    }
}
