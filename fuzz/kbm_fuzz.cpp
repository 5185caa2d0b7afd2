// libFuzzer target: any bytes as the bookmark file (".kbm") of an audio file.
// What loads must show in the bookmark window's columns and survive being
// written back and read again unchanged. Seeds: files the program wrote.
#include "FuzzSupport.h"
#include "app/LKVBookMark.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string audio = fuzz::PathIn("seed.wav");
    LKVBookMarkList marks;
    for (uint32_t k = 0; k < 3; ++k) {
        marks.push_back({"mark " + std::to_string(k), audio, 1234 * k, uint8_t(k), 1600000000 + k});
        if (LKVWriteBookMarkFile(audio, marks) == LKVBookMarkWrite::Written)
            fuzz::WriteSeed(folder, "marks" + std::to_string(k), fuzz::ReadFile(LKVBookMarkFilePath(audio)));
    }
    LKVBookMarkList other = {{"elsewhere", "/other.wav", 1, 1, 1}};
    if (LKVWriteBookMarkFile(audio, other) == LKVBookMarkWrite::Written)
        fuzz::WriteSeed(folder, "none", fuzz::ReadFile(LKVBookMarkFilePath(audio)));
}

bool Same(const LKVBookMark& a, const LKVBookMark& b)
{
    return a.name == b.name && a.path == b.path && a.positionMs == b.positionMs &&
           a.timesVisited == b.timesVisited && a.lastVisited == b.lastVisited;
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
    const std::string audio = fuzz::PathIn("input.wav");
    fuzz::WriteInput(data, size, ".kbm");
    LKVBookMarkList marks;
    if (LKVReadBookMarkFile(audio, marks) != LKVBookMarkRead::Loaded)
        return 0;
    for (const LKVBookMark& m : marks) {
        m.TimeText();
        m.LastVisitedText();
    }
    if (LKVWriteBookMarkFile(audio, marks) != LKVBookMarkWrite::Written && !marks.empty())
        fuzz::Fail("loaded bookmarks cannot be written back");
    LKVBookMarkList again;
    if (!marks.empty() && LKVReadBookMarkFile(audio, again) != LKVBookMarkRead::Loaded)
        fuzz::Fail("written bookmarks do not load");
    if (again.size() != marks.size())
        fuzz::Fail("bookmarks lost or gained on the way back");
    for (size_t i = 0; i < marks.size(); ++i)
        if (!Same(marks[i], again[i]))
            fuzz::Fail("a bookmark changed on the way back");
    return 0;
}
