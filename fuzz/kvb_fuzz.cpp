// libFuzzer target: any bytes as a command script (".kvb"). What loads is shown
// as the command page shows it (names and parameter texts), its values and
// curves are read as a run reads them, and it must survive being written back
// and read again unchanged. Seeds: scripts of every command, with and without
// their data, that the program wrote.
#include "FuzzSupport.h"
#include "app/KVBatchConverter.h"
#include "app/LKVBatchCatalogue.h"
#include "app/LKVScriptFile.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.kvb");
    std::vector<LKVCommand> bare, full;
    for (uint32_t i = 0; i < LKVBatchCatalogue::kCount + 2; ++i) {
        bare.push_back({i, {}});
        LKVCommand c{i, {}};
        for (int k = 0; k < 12; ++k)
            c.data.push_back(uint8_t(i * 13 + k * 5));
        if (i == 6 || i == 9)
            c.data = {2, 0, 128, 255, 128};  // a two-point curve
        full.push_back(c);
    }
    for (auto [name, commands] : {std::pair{"bare", &bare}, std::pair{"full", &full}})
        if (LKVScriptFile::Write(path, *commands))
            fuzz::WriteSeed(folder, name, fuzz::ReadFile(path));
    fuzz::WriteSeed(folder, "empty", std::string(1, '\0'));
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
    std::string path = fuzz::WriteInput(data, size, ".kvb");
    std::vector<LKVCommand> commands;
    if (LKVScriptFile::Read(path, commands) != LKVScriptFile::ReadResult::Ok)
        return 0;
    for (const LKVCommand& c : commands) {
        KVBatchConverter::Describe(c);
        LKVBatchCatalogue::Values(c);
        if (c.index == 6 || c.index == 9)
            LKVBatchCatalogue::Curve(c);
    }
    const std::string back = fuzz::PathIn("back.kvb");
    if (!LKVScriptFile::Write(back, commands))
        fuzz::Fail("a loaded script cannot be written back");
    std::vector<LKVCommand> again;
    if (LKVScriptFile::Read(back, again) != LKVScriptFile::ReadResult::Ok || again.size() != commands.size())
        fuzz::Fail("a written script does not load as it was");
    for (size_t i = 0; i < again.size(); ++i)
        if (again[i].index != commands[i].index || again[i].data != commands[i].data)
            fuzz::Fail("a command changed on the way back");
    return 0;
}
