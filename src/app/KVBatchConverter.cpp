#include "app/KVBatchConverter.h"

#include <cstdio>
#include <optional>

#include "core/LFile.h"
#include "core/LSettings.h"
#include "app/LKVBatchStream.h"
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
    if (LKVBatchStream::Streams(commands)) {
        result = RunJob("Loading Audio File Source", [&](LProgressDialog& d) {
            d.SetText("Loading file " + GetFileFromPath(source), 0);
            d.SetText("Please wait...", 1);
            LSoundSource streamed;
            const int32_t opened =
                LKVBatchStream::Open(source, commands, conversion.sampleRate, conversion.channels, streamed);
            stream = streamed;
            return opened;
        });
        if (result != kJobDone)
            return result;
        audio.sampleRate = (*stream)->GetSampleRate();
        audio.channels = (*stream)->GetChannels();
    } else {
        uint8_t askOnce = 1;
        KVLoadFile::Data load{source, &audio, &askOnce};
        result = RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, load); });
        if (result != kJobDone)
            return result;
        for (const LKVCommand& command : commands) {
            result = LKVBatchCatalogue::Apply(command, audio);
            if (result != kJobDone)
                return result;
        }
        if (conversion.sampleRate || conversion.channels) {
            LCLAConvertRateChannels::Data convert{&audio, conversion.sampleRate ? conversion.sampleRate : audio.sampleRate,
                                                  conversion.channels ? conversion.channels : audio.channels};
            result = RunJob("Convert", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, convert); });
            if (result != kJobDone)
                return result;
        }
    }
    LKVSaveToSink::Data save{&audio, target, false};
    if (beforeSave && (result = beforeSave(audio, save)) != kJobDone)
        return result;
    return RunJob("Saving", [&](LProgressDialog& d) {
        return stream ? LKVSaveToSink::Process(d, save, *stream) : LKVSaveToSink::Process(d, save);
    });
}

int32_t KVBatchConverter::Run(const std::vector<std::string>& files, const std::vector<LKVCommand>& commands,
                              const LKVBatchOutput& output)
{
    return RunJob("Batch Converter", [&](LProgressDialog& dialog) -> int32_t {
        for (size_t i = 0; i < files.size(); ++i) {
            dialog.SetText("Converting " + GetFileFromPath(files[i]), 0);
            dialog.SetProgress(double(i) / double(files.size()));
            if (dialog.IsCancelled())
                return kJobFailed;
            std::string target;
            if (!output.OutputPath(files[i], target))
                return kJobFailed;
            if (ProcessFile(files[i], target, commands) != kJobDone)
                return kJobFailed;
        }
        return kJobDone;
    });
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
    default: break;
    }
    return text;
}
