// libFuzzer target: any bytes as a command script (".kvb"), up to past the
// reader's 1 MB bound (run it with -max_len above 1048576). What loads is shown
// as the command page shows it (names and parameter texts), its values and
// curves are read and checked as a run reads and checks them, and it must
// survive being written back and read again unchanged; a file over the bound
// must be refused whole. Seeds: scripts of every command, with and without
// their data, that the program wrote, and one just under the bound.
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
    // Envelope records with their whole curve, as many as fit under the bound.
    std::vector<LKVCommand> many;
    const LKVCommand envelope{9, std::vector<uint8_t>(129, 128)};
    for (int64_t bytes = 1; bytes + 8 + 129 <= LKVScriptFile::kMaxBytes; bytes += 8 + 129)
        many.push_back(envelope);
    if (LKVScriptFile::Write(path, many))
        fuzz::WriteSeed(folder, "large", fuzz::ReadFile(path));
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
    const LKVScriptFile::ReadResult read = LKVScriptFile::Read(path, commands);
    if (int64_t(size) > LKVScriptFile::kMaxBytes) {
        if (read != LKVScriptFile::ReadResult::TooLarge || !commands.empty())
            fuzz::Fail("a script over the bound was read");
        return 0;
    }
    if (read != LKVScriptFile::ReadResult::Ok)
        return 0;
    for (const LKVCommand& c : commands) {
        KVBatchConverter::Describe(c);
        LKVBatchCatalogue::Values(c);
        LKVBatchCatalogue::CheckValues(c, true);
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
