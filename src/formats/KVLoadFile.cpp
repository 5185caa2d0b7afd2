#include "formats/KVLoadFile.h"

#include "core/LFile.h"
#include "edit/LCutListAudioLoadSource.h"
#include "formats/LGenSource.h"

int32_t KVLoadFile::Process(LProgressDialog& dialog, Data& data)
{
    std::string text = "Loading file " + GetFileFromPath(data.path);
    dialog.SetText(text, 0);
    dialog.SetText("Please wait...", 1);
    LSoundSource source;
    int32_t opened = LGenSourceOpen(source, data.path, data.askOnce);
    if (opened == 2)
        return kJobFailed;
    LCutListAudioLoadSource::Data load{text, data.destination, source};
    return LCutListAudioLoadSource::Process(dialog, load);
}
