// libFuzzer target: any bytes as the key macro file "keys.dat". What loads is
// named as the macro dialog names it and must survive being written back and
// read again unchanged. Seeds: files the program wrote.
#include "FuzzSupport.h"
#include "app/LKeyMacros.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.dat");
    LKeyMacros macros;
    macros.Set(LKeyMacros::KeyCode('A', false, true, false), {101, 102});
    macros.Set(LKeyMacros::KeyCode(0x70, true, false, true), {});
    macros.Set(LKeyMacros::KeyCode('Z', true, true, true), std::vector<int32_t>(40, 1234));
    if (macros.Save(path) == LKeyMacros::Result::Ok)
        fuzz::WriteSeed(folder, "keys", fuzz::ReadFile(path));
    fuzz::WriteSeed(folder, "version-only", std::string(1, '\0'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Home();
    fuzz::SeedOnce(*argc, *argv, MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteInput(data, size, ".dat");
    LKeyMacros macros;
    macros.Load(path);  // a cut-off file keeps the whole records before the damage
    for (const LKeyMacro& m : macros.Macros()) {
        LKeyMacros::KeyName(m.key);
        if (macros.Find(m.key) == nullptr)
            fuzz::Fail("a loaded macro cannot be found by its key");
    }
    const std::string back = fuzz::PathIn("back.dat");
    if (macros.Save(back) != LKeyMacros::Result::Ok)
        fuzz::Fail("loaded macros cannot be written back");
    LKeyMacros again;
    if (again.Load(back) != LKeyMacros::Result::Ok || again.Macros().size() != macros.Macros().size())
        fuzz::Fail("written macros do not load as they were");
    for (size_t i = 0; i < again.Macros().size(); ++i)
        if (again.Macros()[i].key != macros.Macros()[i].key ||
            again.Macros()[i].commands != macros.Macros()[i].commands)
            fuzz::Fail("a macro changed on the way back");
    return 0;
}
