// The main window's side of loading CD tracks: each track the CD dialog loaded
// arrives here and becomes a document.
#include "app/MainDialog.h"

LKVFile* MainDialog::OpenCDTrack(const std::string& name, LCutListAudio& audio)
{
    auto doc = std::make_unique<LKVFile>();
    doc->title = name.empty() ? "CD Track" : name;
    doc->audio = std::move(audio);
    audio.Clear();
    doc->pos.viewEnd = doc->audio.GetLength();
    // Its audio is in no file yet: closing it must ask.
    doc->modified = true;
    return &AddNewDocument(std::move(doc));
}
