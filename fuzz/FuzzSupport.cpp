#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <iterator>
#include <vector>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LUi.h"
#include "core/SampleConvert.h"

namespace fuzz {

namespace {

// Frames read in all, whatever a damaged header claims: enough for every input
// of the sizes the targets run with.
constexpr int64_t kMaxFrames = int64_t(1) << 18;
constexpr int32_t kBlock = 8192;

// Message boxes answer Cancel unseen: a target must not print one per input.
class QuietUi : public LUi {
public:
    LUiAnswer MessageBox(const LUiMessage&) override { return LUiAnswer::Cancel; }
};

bool IsEmptyFolder(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    bool empty = true;
    while (dirent* e = readdir(dir))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            empty = false;
    closedir(dir);
    return empty;
}

} // namespace

const std::string& Home()
{
    static const std::string home = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/kelvane-fuzz-home-XXXXXX";
        if (!mkdtemp(base.data()))
            Fail("cannot make a private folder");
        setenv("KELVANE_HOME", base.c_str(), 1);
        setenv("TMPDIR", base.c_str(), 1);
        static QuietUi quiet;
        LUiSet(&quiet);
        return base;
    }();
    return home;
}

std::string PathIn(const std::string& name) { return Home() + "/" + name; }

std::string WriteInput(const uint8_t* data, size_t size, const std::string& ext)
{
    std::string path = PathIn("input" + ext);
    LFile out;
    if (!out.Open(path, LFile::Mode::Create) || out.Write(data, int32_t(size)) != int32_t(size))
        Fail("cannot write the input file");
    return path;
}

void SeedOnce(int argc, char** argv, const std::function<void(const std::string&)>& make)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue;
        if (IsEmptyFolder(argv[i]))
            make(argv[i]);
        return;
    }
}

void WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes)
{
    LFile out;
    if (!out.Open(folder + "/" + name, LFile::Mode::Create) ||
        out.Write(bytes.data(), int32_t(bytes.size())) != int32_t(bytes.size()))
        Fail("cannot write a seed");
}

std::string ReadFile(const std::string& path)
{
    LFile in;
    if (!in.Open(path, LFile::Mode::Read))
        return {};
    std::string bytes(size_t(std::max<int64_t>(in.GetFileSizeBytes(), 0)), '\0');
    bytes.resize(size_t(std::max(in.Read(bytes.data(), int32_t(bytes.size())), 0)));
    return bytes;
}

void ReadWhole(LSoundSource source, const uint8_t* data, size_t size, uint8_t maxChannels)
{
    if (source->GetError() != kSrcGood)
        return;
    const int32_t channels = source->GetChannels();
    if (channels < 1 || channels > maxChannels)
        Fail("a reader delivers more channels than it may");
    if (source->GetSampleRate() < 1)
        Fail("a reader reports no sample rate");
    // -0x80000, a 16-bit -32768, is one step beyond the declared 0x7FFF0.
    const bool checkAmplitude = source->GetMaxAmplitude() <= uint32_t(kFullScale16);
    const int64_t limit = int64_t(source->GetMaxAmplitude()) + 16;
    std::vector<int32_t> buffer(size_t(kBlock) * size_t(channels));
    auto read = [&](int32_t frames) {
        const int32_t before = source->GetPosition();
        source->Read(buffer.data(), frames);
        if (int64_t(source->GetPosition()) != std::min<int64_t>(int64_t(before) + frames, INT32_MAX))
            Fail("a read moved the position by other than its frame count");
        if (checkAmplitude)
            for (size_t i = 0; i < size_t(frames) * size_t(channels); ++i)
                if (std::abs(int64_t(buffer[i])) > limit)
                    Fail("a value beyond the reader's maximum amplitude");
    };
    int64_t total = 0;
    while (source->GetPosition() < source->GetLength() && total < kMaxFrames) {
        read(kBlock);
        total += kBlock;
    }
    const int32_t length = source->GetLength();
    const uint32_t pick = size >= 4 ? GetLE32(data) : 0;
    const int32_t places[] = {length / 2, int32_t(pick % uint32_t(std::max(length, 1))), -100, length - 1,
                              length + 1000, 0};
    const int32_t sizes[] = {1, 333, 1559, 2048, 4097, 77};
    for (size_t i = 0; i < std::size(places); ++i) {
        source->Seek(places[i]);
        if (source->GetPosition() != places[i])
            Fail("a seek left the position elsewhere");
        read(sizes[i]);
    }
}

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

} // namespace fuzz
