#include "app/MainDialogShared.h"

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

std::vector<LUiFileFilter> LKVProjectFileFilters() { return {{"Kelvane Project (.kvp)", {"*.kvp"}}}; }

void LKVNameTooLong()
{
    LUiGet().Message("This name is too long. A name can hold at most 259 bytes.", kErrorCaption, LUiButtons::Ok,
                     LUiIcon::Exclamation);
}
