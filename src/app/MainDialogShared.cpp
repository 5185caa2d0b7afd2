#include "app/MainDialogShared.h"

#include "formats/LGenSink.h"

std::vector<LUiFileFilter> LKVAudioFileFilters()
{
    return {
        {"All Audio Files",
         {"*.wav", "*.mp3", "*.ogg", "*.flac", "*.aac", "*.m4a", "*.wma", "*.au", "*.aif", "*.aiff", "*.gsm",
          "*.vox", "*.raw", "*.snd", "*.dct", "*.dss", "*.ra", "*.ram", "*.rm", "*.sri"}},
        {"Wave Files (*.wav)", {"*.wav"}},
        {"MP3 Files (*.mp3)", {"*.mp3"}},
        {"Ogg Vorbis Files (*.ogg)", {"*.ogg"}},
        {"FLAC Files (*.flac)", {"*.flac"}},
        {"AAC Files (*.aac, *.m4a)", {"*.aac", "*.m4a"}},
        {"Windows Media Audio Files (*.wma)", {"*.wma"}},
        {"AU Files (*.au)", {"*.au"}},
        {"AIFF Files (*.aif, *.aiff)", {"*.aif", "*.aiff"}},
        {"GSM Files (*.gsm)", {"*.gsm"}},
        {"VOX Files (*.vox)", {"*.vox"}},
        {"Raw Audio Files (*.raw, *.snd)", {"*.raw", "*.snd"}},
        {"Dictation Files (*.dct, *.dss)", {"*.dct", "*.dss"}},
        {"RealAudio Files (*.ra, *.ram, *.rm)", {"*.ra", "*.ram", "*.rm"}},
        {"All Files (*.*)", {"*"}},
    };
}

std::vector<LUiFileFilter> LKVSaveAudioFileFilters()
{
    std::vector<LUiFileFilter> filters;
    for (LUiFileFilter filter : LKVAudioFileFilters()) {
        std::vector<std::string> writable;
        for (const std::string& pattern : filter.patterns)
            if (pattern.rfind("*.", 0) == 0 && LGenSinkHasWriter(pattern.substr(1)))
                writable.push_back(pattern);
        if (writable.empty())
            continue;
        // "Raw Audio Files (*.raw, *.snd)" names only what is left: "(*.raw)".
        const size_t open = filter.description.find(" (");
        if (writable.size() != filter.patterns.size() && open != std::string::npos) {
            std::string names;
            for (const std::string& pattern : writable)
                names += (names.empty() ? "" : ", ") + pattern;
            filter.description = filter.description.substr(0, open) + " (" + names + ")";
        }
        filter.patterns = writable;
        filters.push_back(filter);
    }
    return filters;
}

std::vector<LUiFileFilter> LKVProjectFileFilters() { return {{"Kelvane Project (.kvp)", {"*.kvp"}}}; }

void LKVNameTooLong()
{
    LUiGet().Message("This name is too long. A name can hold at most 259 bytes.", kErrorCaption, LUiButtons::Ok,
                     LUiIcon::Exclamation);
}
