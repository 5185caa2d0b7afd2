#include "app/KVBatchConverter.h"

#include <cstdio>
#include <optional>

#include "core/LFile.h"
#include "core/LSettings.h"
#include "app/LKVBatchStream.h"
#include "app/LSettingsTable.h"
#include "app/LKVBatchTargets.h"
#include "core/LUi.h"
#include "edit/LCLAConvertRateChannels.h"
#include "effects/CompressorRatioList.h"
#include "formats/KVLoadFile.h"
#include "formats/LKVSaveToSink.h"

LKVBatchOutput LKVBatchOutput::Read()
{
    LKVBatchOutput o;
    o.sameFormat = LSettings::ReadBool("BatchConverter", "SaveSameFileFormat", true);
    o.formatIndex = LSettings::ReadInt("BatchConverter", "SaveFileFormat", 0);
    o.sameFolder = LSettings::ReadBool("BatchConverter", "SameOutputFolder", true);
    o.folder = LSettings::ReadString("BatchConverter", "OutputFolder");
    return o;
}

void LKVBatchOutput::Write() const
{
    LSettings::WriteBool("BatchConverter", "SaveSameFileFormat", sameFormat);
    LSettings::WriteInt("BatchConverter", "SaveFileFormat", formatIndex);
    LSettings::WriteBool("BatchConverter", "SameOutputFolder", sameFolder);
    LSettings::WriteString("BatchConverter", "OutputFolder", folder);
}

bool LKVBatchOutput::OutputPath(const std::string& source, std::string& path) const
{
    std::string ext = GetFileExtension(GetFileFromPath(source));
    if (!sameFormat) {
        if (formatIndex < 0 || size_t(formatIndex) >= kFormats.size())
            return false;
        ext = kFormats[size_t(formatIndex)];
    }
    std::string name = ApplyNewFileExtension(GetFileFromPath(source), ext);
    path = sameFolder ? FilePathCat(GetFolderFromPath(source), name) : FilePathCat(folder, name);
    path = LKVBatchTargets::InPlaceTarget(source, path);
    return true;
}

int32_t KVBatchConverter::ProcessFile(const std::string& source, const std::string& target,
                                      const std::vector<LKVCommand>& commands,
                                      const BeforeSave& beforeSave,
                                      const LKVBatchConversion& conversion)
{
    LCutListAudio audio;
    std::optional<LSoundSource> stream;
    int32_t result = kJobDone;
    // A file is only copied when nothing changes its audio and it keeps its type;
    // anything else needs a rate the converters and effects can work at.
    const bool copies =
        commands.empty() && !conversion.sampleRate && !conversion.channels && LKVBatchTargets::SameType(source, target);
    auto processable = [&](int32_t rate) {
        if (copies || (rate >= LKVBatchCatalogue::kMinRate && rate <= LKVBatchCatalogue::kMaxRate))
            return true;
        LUiGet().Message("The sample rate of \"" + source + "\" is " + std::to_string(rate) +
                             " Hz. Kelvane processes sample rates from 6000 to 196000 Hz only; a file outside them "
                             "can only be copied unchanged.",
                         "Error", LUiButtons::Ok, LUiIcon::Stop);
        return false;
    };
    if (LKVBatchStream::Streams(commands)) {
        int32_t fileRate = 0;
        result = RunJob("Loading Audio File Source", [&](LProgressDialog& d) {
            d.SetText("Loading file " + GetFileFromPath(source), 0);
            d.SetText("Please wait...", 1);
            LSoundSource streamed;
            const int32_t opened = LKVBatchStream::Open(source, commands, conversion.sampleRate, conversion.channels,
                                                        streamed, &fileRate);
            stream = streamed;
            return opened;
        });
        if (result != kJobDone)
            return result;
        audio.sampleRate = (*stream)->GetSampleRate();
        audio.channels = (*stream)->GetChannels();
        // Before a frame is read or converted.
        if (!processable(fileRate))
            return kJobFailed;
    } else {
        uint8_t askOnce = 1;
        KVLoadFile::Data load{source, &audio, &askOnce};
        result = RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, load); });
        if (result != kJobDone)
            return result;
        if (!processable(audio.sampleRate))
            return kJobFailed;
        return ProcessAudio(audio, target, commands, beforeSave, conversion);
    }
    LKVSaveToSink::Data save{&audio, target, false};
    if (beforeSave && (result = beforeSave(audio, save)) != kJobDone)
        return result;
    return RunJob("Saving", [&](LProgressDialog& d) {
        return stream ? LKVSaveToSink::Process(d, save, *stream) : LKVSaveToSink::Process(d, save);
    });
}

int32_t KVBatchConverter::ProcessAudio(LCutListAudio& audio, const std::string& target,
                                       const std::vector<LKVCommand>& commands, const BeforeSave& beforeSave,
                                       const LKVBatchConversion& conversion)
{
    int32_t result = kJobDone;
    for (const LKVCommand& command : commands) {
        result = LKVBatchCatalogue::Apply(command, audio);
        if (result != kJobDone)
            return result;
    }
    if (conversion.sampleRate || conversion.channels) {
        LCLAConvertRateChannels::Data convert{&audio, conversion.sampleRate ? conversion.sampleRate : audio.sampleRate,
                                              conversion.channels ? conversion.channels : audio.channels,
                                              LKVConvertRateQuality()};
        result = RunJob("Convert", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, convert); });
        if (result != kJobDone)
            return result;
    }
    LKVSaveToSink::Data save{&audio, target, false};
    if (beforeSave && (result = beforeSave(audio, save)) != kJobDone)
        return result;
    return RunJob("Saving", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, save); });
}

namespace {

std::string Files(size_t n) { return std::to_string(n) + (n == 1 ? " file" : " files"); }

} // namespace

int32_t KVBatchConverter::Run(const std::vector<std::string>& files, const std::vector<LKVCommand>& commands,
                              const LKVBatchOutput& output)
{
    LUi& ui = LUiGet();
    // Everything that can be known before a file is touched is checked first.
    std::vector<std::string> targets;
    for (const std::string& file : files) {
        std::string target;
        if (!output.OutputPath(file, target)) {
            ui.Message("The output format " + std::to_string(output.formatIndex) + " is not one of the " +
                           std::to_string(LKVBatchOutput::kFormats.size()) + " formats; nothing was converted.",
                       "Batch Converter", LUiButtons::Ok, LUiIcon::Stop);
            return kJobFailed;
        }
        targets.push_back(target);
    }
    for (const LKVCommand& command : commands) {
        const std::string message = LKVBatchCatalogue::CheckValues(command, true);
        if (!message.empty()) {
            ui.Message(std::string(LKVBatchCatalogue::Find(command.index)->name) + ": " + message, "Batch Converter",
                       LUiButtons::Ok, LUiIcon::Stop);
            return kJobFailed;
        }
    }
    const std::vector<std::string> clashes = LKVBatchTargets::Clashes(files, targets);
    if (!clashes.empty()) {
        std::string lines;
        for (const std::string& line : clashes)
            lines += line + "\r\n";
        ui.Message(lines + "\r\nNothing was converted: each file needs an output name of its own. Choose "
                             "another format or folder, or convert these files separately.",
                   "Batch Converter", LUiButtons::Ok, LUiIcon::Exclamation);
        return kJobFailed;
    }
    if (const int32_t replaced = LKVBatchTargets::ReplacedSources(files, targets); replaced > 0) {
        const std::string what = replaced == 1 ? "1 original file" : std::to_string(replaced) + " original files";
        if (ui.MessageBox({"This conversion would replace " + what +
                               " with the converted result; the originals cannot be recovered.\r\n\r\nReplace " +
                               (replaced == 1 ? "it?" : "them?"),
                           "Batch Converter", LUiButtons::YesNo, LUiIcon::Question, true}) != LUiAnswer::Yes)
            return kJobCancelled;
    }

    size_t converted = 0;
    int32_t stopped = kJobDone;  // how the file that ended the run ended
    const int32_t result = RunJob("Batch Converter", [&](LProgressDialog& dialog) -> int32_t {
        for (size_t i = 0; i < files.size(); ++i) {
            dialog.SetText("Converting " + GetFileFromPath(files[i]), 0);
            dialog.SetProgress(double(i) / double(files.size()));
            stopped = dialog.IsCancelled() ? kJobCancelled : ProcessFile(files[i], targets[i], commands);
            if (stopped != kJobDone)
                return kJobFailed;
            ++converted;
        }
        return kJobDone;
    });
    // The run is over either way: say how it went, file by file.
    if (result == kJobDone) {
        ui.Message("The batch conversion is done: " + Files(converted) + " converted, none failed.", "Batch Converter",
                   LUiButtons::Ok, LUiIcon::Information);
    } else if (stopped != kJobDone && converted < files.size()) {
        const std::string name = GetFileFromPath(files[converted]);
        const size_t untouched = files.size() - converted - 1;
        if (stopped == kJobCancelled)
            ui.Message("The batch conversion was cancelled at \"" + name + "\": " + Files(converted) + " of " +
                           std::to_string(files.size()) + " converted, " +
                           Files(untouched + 1) + " not converted.",
                       "Batch Converter", LUiButtons::Ok, LUiIcon::Exclamation);
        else
            ui.Message("The batch conversion stopped because \"" + name + "\" failed: " + Files(converted) + " of " +
                           std::to_string(files.size()) + " converted, 1 failed" +
                           (untouched ? ", " + Files(untouched) + " not converted." : "."),
                       "Batch Converter", LUiButtons::Ok, LUiIcon::Exclamation);
    }
    return result;
}

std::string KVBatchConverter::Describe(const LKVCommand& command)
{
    const std::vector<int32_t> v = LKVBatchCatalogue::Values(command);
    auto at = [&](size_t i) { return i < v.size() ? v[i] : 0; };
    char text[160] = "";
    switch (command.index) {
    case 1:
    case 2: std::snprintf(text, sizeof text, "Silence Time (ms) = %d", at(0)); break;
    case 3: std::snprintf(text, sizeof text, "Amplify Gain (%%) = %d", at(0)); break;
    case 4: std::snprintf(text, sizeof text, "Normalize Peak Level (%%) = %d", at(0)); break;
    case 5: std::snprintf(text, sizeof text, "Frequency (Hz) = %d", at(0)); break;
    case 6:
    case 9: return "Click on Settings to view or change.";
    case 7: std::snprintf(text, sizeof text, "Echo Time (ms) = %d, Echo Gain (%%) = %d", at(0), at(1)); break;
    case 8: std::snprintf(text, sizeof text, "Reverb Time (ms) = %d, Reverb Level (%%) = %d", at(0), at(1)); break;
    case 11: std::snprintf(text, sizeof text, "Noise Gate Level (dB) = %d", at(0)); break;
    case 12: std::snprintf(text, sizeof text, "Speed/Pitch Adjust (%%) = %d", at(0)); break;
    case 13: std::snprintf(text, sizeof text, "Speed Adjust (%%) = %d", at(0)); break;
    case 14: std::snprintf(text, sizeof text, "Pitch Adjust (%%) = %d", at(0)); break;
    case 15:
        if (const CompressorRatioItem* ratio = CompressorRatioList::Find(at(1)))
            std::snprintf(text, sizeof text, "Threshold (db) = %d, Ratio = %s, Limit (db) = %d", at(0), ratio->name,
                          at(2));
        break;
    case 16: std::snprintf(text, sizeof text, "Convert Sample Rate = %d", at(0)); break;
    case 17: std::snprintf(text, sizeof text, "Convert Channel = %d", at(0)); break;
    case LKVBatchCatalogue::kNormalizeLoudness:
        std::snprintf(text, sizeof text, "Target (LUFS) = %d, True Peak Ceiling (dBTP) = %d", at(0), at(1));
        break;
    default: break;
    }
    return text;
}
