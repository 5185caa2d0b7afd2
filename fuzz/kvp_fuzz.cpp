// libFuzzer target: any bytes as a project file (".kvp") through the project
// load job; each restored document's and region's audio is then read whole.
// Seeds: projects the program's own save job wrote, with documents, bookmarks
// and regions.
#include <vector>

#include "FuzzSupport.h"
#include "app/LKVProject.h"
#include "core/LProgressDialog.h"

namespace {

void Fill(LCutListAudio& audio, int32_t rate, uint8_t channels, int32_t frames)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(i % 61) * 7000 - 210000;
    LSoundSink sink = audio.OpenSink(rate, channels);
    sink->Write(v.data(), frames);
}

void MakeSeeds(const std::string& folder)
{
    LKVFile a, b;
    a.path = "/music/a.wav";
    Fill(a.audio, 8000, 2, 120);
    a.pos = {10, 20, 30, 0, 119};
    Fill(b.audio, 11025, 1, 75);
    b.untitledNumber = 1;
    LKVBookMarkList marks = {{"start", "/music/a.wav", 1000, 2, 1700000000}, {"u", "Untitled 1", 5, 1, 0}};
    LKVRegionList regions(1);
    regions[0].name = "chorus";
    regions[0].path = "/music/a.wav";
    regions[0].endMs = 4;
    a.audio.EfCopy(5, 37, regions[0].audio);
    const std::string path = fuzz::PathIn("seed.kvp");
    const std::vector<std::vector<const LKVFile*>> sets = {{}, {&a}, {&a, &b}};
    for (size_t k = 0; k < sets.size(); ++k) {
        LKVProject::SaveData data{sets[k], sets[k].empty() ? nullptr : sets[k][0], &marks, &regions, path};
        if (RunJob("Saving Project", [&](LProgressDialog& d) { return LKVProject::Save(d, data); }) == kJobDone)
            fuzz::WriteSeed(folder, "project" + std::to_string(k), fuzz::ReadFile(path));
    }
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
    std::string path = fuzz::WriteInput(data, size, ".kvp");
    LKVProjectContents contents;
    if (RunJob("Loading Project", [&](LProgressDialog& d) { return LKVProject::Load(d, path, contents); }) != kJobDone)
        return 0;
    if (contents.currentIndex >= int32_t(contents.documents.size()))
        fuzz::Fail("the current document is not one of the documents");
    for (const auto& document : contents.documents)
        fuzz::ReadWhole(document->audio.OpenSource(), data, size);
    for (const LKVRegion& region : contents.regions)
        fuzz::ReadWhole(region.audio.OpenSource(), data, size);
    return 0;
}
