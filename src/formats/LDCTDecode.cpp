#include "formats/LDCTDecode.h"

#include <vector>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"

namespace {

// Reads little-endian fields and skips, remembering a short read.
class Fields {
public:
    explicit Fields(LFile& file) : file_(file) {}
    uint32_t U8() { return Take(1) ? buffer_[0] : 0; }
    uint32_t U16() { return Take(2) ? GetLE16(buffer_) : 0; }
    uint32_t U32() { return Take(4) ? GetLE32(buffer_) : 0; }
    void Skip(int64_t bytes)
    {
        if (!file_.Seek(file_.Tell() + bytes) || file_.Tell() > file_.GetFileSizeBytes())
            ok_ = false;
    }
    void SkipText() { Skip(U8()); }
    bool Ok() const { return ok_; }

private:
    bool Take(int32_t n)
    {
        if (file_.Read(buffer_, n) != n)
            ok_ = false;
        return ok_;
    }
    LFile& file_;
    uint8_t buffer_[4] = {};
    bool ok_ = true;
};

int32_t Fail(LProgressDialog& dialog, const char* text)
{
    dialog.Error(text);
    return kJobFailed;
}

} // namespace

int32_t LDCTDecode(LProgressDialog& dialog, const std::string& input, const std::string& wavPath)
{
    dialog.SetText("Loading DCT File", 0);
    dialog.SetText(GetFileFromPath(input), 1);
    LFile file;
    if (!file.Open(input, LFile::Mode::ReadPlain))
        return Fail(dialog, "DCT File load error");
    const int64_t size = file.GetFileSizeBytes();
    Fields f(file);
    const uint32_t version = f.U16();
    if (!f.Ok() || version >= 4)
        return Fail(dialog, "DCT File load error");
    const uint32_t length = f.U32();
    if (!f.Ok() || int64_t(length) != size)
        return Fail(dialog, "DCT File is corrupt");
    const uint32_t flags = f.U32();
    if ((flags & 2) && version >= 2)
        return Fail(dialog, "This dictation file is encrypted. Encrypted DCT files cannot be loaded by Kelvane.");
    f.Skip(8);
    if (version > 2) {
        uint32_t extra = f.U32();
        if (extra >= length)
            return Fail(dialog, "DCT File is corrupt");
        f.Skip(extra);
    }
    f.Skip(4);
    for (int i = 0; i < 11; ++i)
        f.SkipText();
    f.Skip(1);
    if (f.U32() > length)
        return Fail(dialog, "Unable to load dct file because of file corruption (notes error). Please ask the dictator "
                            "to send it again.");
    if (flags & 4) {
        uint32_t count = f.U8();
        for (uint32_t i = 0; i < count && f.Ok(); ++i) {
            f.SkipText();
            uint32_t bytes = f.U32();
            if (bytes > length)
                return Fail(dialog, "Unable to load dct file because of file corruption (attachment too large). Please "
                                    "ask the dictator to send it again.");
            f.Skip(bytes);
        }
    }
    int64_t audioLength;
    if (version != 0) {
        if (f.U8() == 0)
            return Fail(dialog, "Unable to load dct file because of file corruption (zero channels error). Please ask "
                                "the dictator to send it again.");
        audioLength = f.U32();
    } else {
        audioLength = size - file.Tell();
    }
    if (!f.Ok())
        return Fail(dialog, "DCT File is corrupt");

    LFile out;
    if (!out.Open(wavPath, LFile::Mode::Create))
        return Fail(dialog, "DCT File load error");
    std::vector<uint8_t> block(32768);
    double progress = 0.1;
    const double step = audioLength > 0 ? 32768.0 / double(audioLength) : 1.0;
    int64_t left = audioLength;
    while (left > 0) {
        dialog.SetProgress(std::min(progress, 1.0));
        if (dialog.IsCancelled())
            return kJobCancelled;
        int32_t want = int32_t(std::min<int64_t>(left, int64_t(block.size())));
        int32_t got = file.Read(block.data(), want);
        if (got > 0 && out.Write(block.data(), got) != got)
            return Fail(dialog, "DCT File load error");
        left -= got;
        progress += step;
        if (got < want)
            break;
    }
    return kJobDone;
}
