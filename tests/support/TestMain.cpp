#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "core/LFile.h"
#include "support/TestSupport.h"

namespace test {

namespace {
std::string g_home;
}

const std::string& HomeDir() { return g_home; }

} // namespace test

namespace {

void RemoveTree(const std::string& path) { std::system(("rm -rf " + test::Quote(path)).c_str()); }

} // namespace

int main(int argc, char** argv)
{
    // Every test process works in a folder of its own: settings, data folders and
    // temporary files never touch the user's.
    std::string base = GetTempFolder() + "/kelvane-test-XXXXXX";
    if (!mkdtemp(base.data()))
        return 2;
    test::g_home = base;
    setenv("KELVANE_HOME", base.c_str(), 1);
    setenv("TMPDIR", base.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    int status = RUN_ALL_TESTS();
    RemoveTree(base);
    return status;
}
