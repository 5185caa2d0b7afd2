#include "cli/CdData.h"

#include <cstdio>

#include "cd/LCDDataTree.h"
#include "cd/LCDDrives.h"
#include "cd/LCDWriteDataCD.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"

namespace {

enum : int { kExitDone = 0, kExitCancelled = 1, kExitFailed = 2 };

} // namespace

int CdWriteData(const CdOptions& options)
{
    const bool toImage = options.command == "iso";
    if (!toImage && !CdCheckDrive(options.drive))
        return kExitFailed;
    LCDDataTree tree(options.rockRidge);
    for (const std::string& path : options.files)
        if (!tree.Add(path)) {
            CdFail(tree.Error());
            return kExitFailed;
        }
    LCDWriteDataCD::Data data;
    data.tree = &tree;
    data.label = options.label;
    data.imagePath = toImage ? options.image : std::string();
    data.settings = options.burn;
    data.settings.drive = uint8_t(options.drive);
    auto body = [&data](LProgressDialog& progress) { return LCDWriteDataCD::Process(progress, data); };
    // A recorder is fed from a thread of its own; an image file needs none.
    const int32_t r = toImage ? RunJob("Writing Data CD", body) : RunJobOnWorker("Writing Data CD", body);
    std::vector<std::string> notes = tree.Notes();
    notes.insert(notes.end(), data.notes.begin(), data.notes.end());
    for (const std::string& note : notes)
        LUiGet().Message(note, "Writing Data CD", LUiButtons::Ok, LUiIcon::Information);
    if (r == kJobFailed) {
        CdFail(data.message);
        return kExitFailed;
    }
    if (r == kJobCancelled)
        return kExitCancelled;
    const double mb = double(data.sectors) / 512.0;
    if (toImage)
        std::printf("%s: %d sectors (%.2f MB)\n", options.image.c_str(), int(data.sectors), mb);
    else
        std::printf("%s: %d sectors (%.2f MB) written from sector %d\n", LCDDrives::Label(options.drive).c_str(),
                    int(data.sectors), mb, int(data.startSector));
    return kExitDone;
}
