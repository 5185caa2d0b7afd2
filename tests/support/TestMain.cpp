#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include <unistd.h>

#include "core/LFile.h"
#include "core/LProcess.h"
#include "core/LSettings.h"
#include "support/TestSupport.h"

namespace test {

namespace {
std::string g_home;
}

const std::string& HomeDir() { return g_home; }

} // namespace test

namespace {

// Each test starts from default settings, also when a whole binary runs in one process.
class FreshSettings : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        LSettings::ClearOverrides();
        ::unlink(LSettings::IniPath().c_str());
    }
};

void RemoveTree(const std::string& path) { std::system(("rm -rf " + test::Quote(path)).c_str()); }

} // namespace

int main(int argc, char** argv)
{
    LIgnoreWriteSignals();
    // Every test process works in a folder of its own: settings, data folders and
    // temporary files never touch the user's.
    std::string base = GetTempFolder() + "/kelvane-test-XXXXXX";
    if (!mkdtemp(base.data()))
        return 2;
    test::g_home = base;
    setenv("KELVANE_HOME", base.c_str(), 1);
    setenv("TMPDIR", base.c_str(), 1);
    // The programs this build ships (the component adapters) are found on PATH, as
    // an installed Kelvane's are.
    const char* path = std::getenv("PATH");
    setenv("PATH", (std::string(KELVANE_BIN_DIR) + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    int status = RUN_ALL_TESTS();
    RemoveTree(base);
    return status;
}
