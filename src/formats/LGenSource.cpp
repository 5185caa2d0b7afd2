#include "formats/LGenSource.h"

#include <strings.h>

#include "core/LFile.h"
#include "core/LSRCNull.h"
#include "core/LUi.h"
#include "formats/LWaveFile.h"

namespace {

void ShowError(uint8_t* askOnce, const std::string& text)
{
    if (askOnce && *askOnce) {
        *askOnce = 0;
        LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Stop);
    }
}

bool Is(const std::string& ext, const char* want) { return strcasecmp(ext.c_str(), want) == 0; }

} // namespace

std::string LGenReadAccessMessage(const std::string& path)
{
    return "Cannot open the file \"" + path + "\". Check it exists and you have read access.";
}

std::string LGenCorruptMessage(const std::string& path)
{
    return "Cannot open the file \"" + path + "\" because it is corrupt.";
}

int32_t LGenSourceOpen(LSoundSource& source, const std::string& path, uint8_t* askOnce)
{
    std::string ext = GetFileExtension(path);
    if (ext.size() == path.size())
        ext.clear();  // a name that is only ".xyz" has no extension
    if (Is(ext, ".wav")) {
        source = LWaveFile::OpenSource(path);
        switch (source->GetError()) {
        case kSrcGood: return 0;
        case kSrcInvalid: ShowError(askOnce, LGenCorruptMessage(path)); break;
        case kSrcCannotOpen: ShowError(askOnce, LGenReadAccessMessage(path)); break;
        case kSrcNoCodec:
            ShowError(askOnce, "Cannot open the file \"" + path +
                                   "\" because the required ACM codec is not installed on this PC.\r\n\r\n"
                                   "Open the file with Windows Media Player to auto-install the codec then "
                                   "reattempt to load it.");
            break;
        default: ShowError(askOnce, "Cannot open the file \"" + path + "\"."); break;
        }
        return 2;
    }
    source = MakeErrorSource(kSrcCannotOpen);
    ShowError(askOnce, LGenReadAccessMessage(path));
    return 2;
}
