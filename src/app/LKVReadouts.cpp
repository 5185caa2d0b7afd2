#include "app/LKVReadouts.h"

#include <algorithm>

#include "core/LFile.h"
#include "core/LSoundTime.h"
#include "edit/LKVFile.h"

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

std::string Cs(int64_t frames, int32_t rate) { return LSoundTime(LKVFramesToMs(frames, rate)).GetTextCs(); }

} // namespace

int32_t LKVFramesToMs(int64_t frames, int32_t rate)
{
    if (rate <= 0)
        return 0;
    return Clamp32((frames / rate) * 1000 + ((frames % rate) * 1000) / rate);
}

int32_t LKVMsToFrames(int64_t ms, int32_t rate)
{
    return Clamp32((ms / 1000) * rate + ((ms % 1000) * rate) / 1000);
}

LKVReadouts LKVReadouts::Of(const LKVFile* doc)
{
    LKVReadouts r;
    if (!doc) {
        r.selectionStart = r.selectionEnd = r.position = r.length = LSoundTime(0).GetTextCs();
        r.selectionLength = LSoundTime(0).GetTextMs();
        return r;
    }
    const int32_t rate = doc->audio.sampleRate;
    r.selectionStart = Cs(doc->pos.selStart, rate);
    r.selectionEnd = Cs(doc->pos.selEnd, rate);
    r.position = Cs(doc->pos.cursor, rate);
    r.selectionLength = LSoundTime(LKVFramesToMs(int64_t(doc->pos.selEnd) - doc->pos.selStart, rate)).GetTextMs();
    r.length = Cs(doc->audio.GetLength(), rate);
    r.format = "Sample Rate: " + std::to_string(rate) + "   " + (doc->audio.channels == 2 ? "Stereo" : "Mono");
    return r;
}

std::string LKVCaption(const std::string& projectPath)
{
    if (projectPath.empty())
        return "Kelvane";
    const std::string file = GetFileFromPath(projectPath);
    const std::string ext = GetFileExtension(file);
    return "Kelvane - " + file.substr(0, file.size() - ext.size());
}
