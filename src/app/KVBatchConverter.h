#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"
#include "core/LProgressDialog.h"
#include "formats/LKVSaveToSink.h"

// Where and how the batch converter saves, kept in the settings section
// "BatchConverter".
struct LKVBatchOutput {
    bool sameFormat = true;   // "SaveSameFileFormat"
    int32_t formatIndex = 0;  // "SaveFileFormat", into kFormats
    bool sameFolder = true;   // "SameOutputFolder"
    std::string folder;       // "OutputFolder"

    static constexpr std::array<const char*, 11> kFormats = {".wav", ".mp3", ".au", ".aiff", ".gsm", ".vox",
                                                             ".raw", ".ogg", ".flac", ".aac", ".m4a"};
    static LKVBatchOutput Read();
    void Write() const;
    // The output path of `source` (for a source saved onto itself through a
    // symbolic link, the file the link points to); false when the format index
    // names no entry.
    bool OutputPath(const std::string& source, std::string& path) const;
};

// A conversion of a batch run's result before it is saved; 0 keeps the rate or
// the channel count.
struct LKVBatchConversion {
    int32_t sampleRate = 0;
    uint8_t channels = 0;
};

// The batch run: each file is loaded into a private cut list, every command runs
// over the whole file (its length taken again before each), and the result is
// saved by the output's type. Runs without any document window. A run whose
// commands all stream (LKVBatchStream) goes from the reader to the writer without
// the tank, with the same result.
class KVBatchConverter {
public:
    // Runs before a file is saved, on its result and on how it will be saved (which
    // it may change); a job result, kJobDone to go on.
    using BeforeSave = std::function<int32_t(LCutListAudio&, LKVSaveToSink::Data&)>;
    // One file, from `source` to `target`; a job result (the jobs report their own
    // failures). A file whose rate is outside what the converters and effects
    // work at is refused, unless the run only copies it (no command, no
    // conversion, the same type). The result is converted by `conversion`, then `beforeSave`, when
    // given, runs on it before it is saved; in a run that streams, the list it
    // gets holds no audio, only the result's rate and channels.
    static int32_t ProcessFile(const std::string& source, const std::string& target,
                               const std::vector<LKVCommand>& commands, const BeforeSave& beforeSave = {},
                               const LKVBatchConversion& conversion = {});
    // A document made by a generator (a tone, speech) in place of a loaded
    // file: the commands run over it, then it is converted and saved as
    // ProcessFile saves. `audio` holds the result afterwards.
    static int32_t ProcessAudio(LCutListAudio& audio, const std::string& target,
                                const std::vector<LKVCommand>& commands, const BeforeSave& beforeSave = {},
                                const LKVBatchConversion& conversion = {});
    // The whole list as one job titled "Batch Converter": stops at the first file
    // that fails (kJobFailed; outputs already written stay) or a cancel. Before
    // any file is touched, the command values (own or stored) are checked and
    // two sources saved under one name are refused (kJobFailed, with a message),
    // and a run that would replace sources asks once first (No, the default,
    // gives kJobCancelled). A run that started ends with a message saying how
    // many files were converted and which one failed.
    static int32_t Run(const std::vector<std::string>& files, const std::vector<LKVCommand>& commands,
                       const LKVBatchOutput& output);

    // The parameter description of the command list's second column.
    static std::string Describe(const LKVCommand& command);
};
