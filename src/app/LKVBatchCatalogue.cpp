#include "app/LKVBatchCatalogue.h"

#include "edit/LCLAConvertRateChannels.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <strings.h>

#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfDialogChecks.h"
#include "effects/LEfEnvelope.h"
#include "effects/LEfNormalize.h"
#include "effects/LEfNormalizeLoudness.h"
#include "effects/EfAutoGainControl.h"
#include "effects/LEfArith.h"
#include "effects/LEfAutoTrim.h"
#include "effects/LEfFilterJobs.h"
#include "effects/LEfLevelChecks.h"
#include "effects/LEfStoredValues.h"
#include "app/LSettingsTable.h"

namespace {

constexpr const char* kStored = "StoredValues";
constexpr LKVField kNone{LKVFieldType::Int32, "", "", 0};

constexpr LKVField I32(const char* name, int32_t def) { return {LKVFieldType::Int32, kStored, name, def}; }
constexpr LKVField U16(const char* name, int32_t def) { return {LKVFieldType::Uint16, kStored, name, def}; }
constexpr LKVField I8(const char* name, int32_t def) { return {LKVFieldType::Int8, kStored, name, def}; }
constexpr LKVField U8(const char* name, int32_t def) { return {LKVFieldType::Uint8, kStored, name, def}; }
constexpr LKVField CurveFile(const char* file) { return {LKVFieldType::Curve, "", file, 0}; }

const std::array<LKVCatalogueEntry, LKVBatchCatalogue::kCount> kEntries{{
    {0, "Auto Trim", 0, {kNone, kNone, kNone}},
    {1, "Insert Silence At The Start", 1, {I32("SilenceTimes", 0), kNone, kNone}},
    {2, "Insert Silence At The End", 1, {I32("SilenceTimes", 0), kNone, kNone}},
    {3, "Amplify", 1, {U16("AmplifyGain", 100), kNone, kNone}},
    {4, "Normalize", 1, {U16("NormalizePeakLevel", 100), kNone, kNone}},
    {5, "High-Pass Filter", 1, {I32("LowCutFreq", 250), kNone, kNone}},
    {6, "Equalizer", 1, {CurveFile("equalizer.dat"), kNone, kNone}},
    {7, "Echo", 2, {I32("EchoTime", 800), U16("EchoGain", 50), kNone}},
    {8, "Reverb", 2, {I32("ReverbTime", 50), U16("ReverbLevel", 100), kNone}},
    {9, "Envelope", 1, {CurveFile("envelope.dat"), kNone, kNone}},
    {10, "Automatic Gain Control", 0, {kNone, kNone, kNone}},
    {11, "Noise Reduction", 1, {I8("NoiseGateLevel", -30), kNone, kNone}},
    {12, "Simple Speed and Pitch Change", 1, {U16("SpSpeedPitch", 100), kNone, kNone}},
    {13, "Constant Pitch and Speed Change", 1, {U16("ConstPitchSpeed", 100), kNone, kNone}},
    {14, "Constant Speed and Pitch Change", 1, {U16("ConstSpeedPitch", 100), kNone, kNone}},
    // The batch defaults of the compressor differ from the interactive command's.
    {15, "Dynamic Range Compressor", 3,
     {I8("CompressorThreshold", -20), U8("CompressorRatio", 0), I8("CompressorLimit", 3)}},
    {16, "Convert Sample Rate", 1, {I32("ConvertSampleRate", 44100), kNone, kNone}},
    {17, "Convert Channel (Mono <-> Stereo)", 1, {U8("ConvertChannel", 1), kNone, kNone}},
    {18, "Normalize Loudness", 2, {I32("LoudnessTarget", -23), I32("LoudnessCeiling", -1), kNone}},
}};

bool InTypeRange(LKVFieldType type, int64_t v)
{
    switch (type) {
    case LKVFieldType::Int32: return v >= INT32_MIN && v <= INT32_MAX;
    case LKVFieldType::Uint16: return v >= 0 && v <= 0xFFFF;
    case LKVFieldType::Int8: return v >= -128 && v <= 127;
    case LKVFieldType::Uint8: return v >= 0 && v <= 255;
    case LKVFieldType::Curve: return v >= 0 && v <= 255;
    }
    return false;
}

// A whole decimal integer, optionally signed, nothing else.
bool ParseInteger(const std::string& text, int64_t& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != 0 || text[0] == ' ')
        return false;
    value = v;
    return true;
}

// Digits too many for ParseInteger, optionally signed: still a whole number.
bool IsLongInteger(const std::string& text)
{
    const size_t from = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return text.size() > from && text.find_first_not_of("0123456789", from) == std::string::npos;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            return parts;
        from = at + 1;
    }
}

std::string CurveMessage(const LKVCatalogueEntry& e)
{
    return std::string(e.name) + " needs 2 to 64 pairs of x and y, each from 0 to 255.";
}

void PutLE(std::vector<uint8_t>& data, uint32_t value, uint32_t bytes)
{
    for (uint32_t i = 0; i < bytes; ++i)
        data.push_back(uint8_t(value >> (8 * i)));
}

int32_t GetField(const uint8_t* p, LKVFieldType type)
{
    switch (type) {
    case LKVFieldType::Int32: return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    case LKVFieldType::Uint16: return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8);
    case LKVFieldType::Int8: return int8_t(p[0]);
    case LKVFieldType::Uint8: return p[0];
    case LKVFieldType::Curve: return 0;
    }
    return 0;
}

int32_t ReadStored(const LKVField& f)
{
    const int32_t v = LSettings::ReadInt(f.section, f.name, f.batchDefault);
    // The byte-sized values are stored sign-extended (or not) from one byte.
    if (f.type == LKVFieldType::Int8)
        return int8_t(uint8_t(uint32_t(v)));
    if (f.type == LKVFieldType::Uint8)
        return uint8_t(uint32_t(v));
    return v;
}

} // namespace

uint32_t LKVField::Size() const
{
    switch (type) {
    case LKVFieldType::Int32: return 4;
    case LKVFieldType::Uint16: return 2;
    case LKVFieldType::Int8:
    case LKVFieldType::Uint8: return 1;
    case LKVFieldType::Curve: return uint32_t(PointList::kBytes);
    }
    return 0;
}

uint32_t LKVCatalogueEntry::DataSize() const
{
    uint32_t size = 0;
    for (uint8_t i = 0; i < fieldCount; ++i)
        size += fields[i].Size();
    return size;
}

const std::array<LKVCatalogueEntry, LKVBatchCatalogue::kCount>& LKVBatchCatalogue::Entries() { return kEntries; }

const LKVCatalogueEntry* LKVBatchCatalogue::Find(uint32_t index) { return index < kCount ? &kEntries[index] : nullptr; }

const LKVCatalogueEntry* LKVBatchCatalogue::FindByName(const std::string& name)
{
    for (const LKVCatalogueEntry& e : kEntries)
        if (strcasecmp(e.name, name.c_str()) == 0)
            return &e;
    return nullptr;
}

std::vector<int32_t> LKVBatchCatalogue::Values(const LKVCommand& command)
{
    const LKVCatalogueEntry* e = Find(command.index);
    if (!e)
        return {};
    std::vector<int32_t> values;
    const bool own = e->DataSize() > 0 && command.data.size() >= e->DataSize();
    size_t at = 0;
    for (uint8_t i = 0; i < e->fieldCount; ++i) {
        const LKVField& f = e->fields[i];
        if (f.type == LKVFieldType::Curve)
            values.push_back(0);
        else
            values.push_back(own ? GetField(command.data.data() + at, f.type) : ReadStored(f));
        at += f.Size();
    }
    return values;
}

PointList LKVBatchCatalogue::Curve(const LKVCommand& command)
{
    const LKVCatalogueEntry* e = Find(command.index);
    if (!e || e->fieldCount == 0 || e->fields[0].type != LKVFieldType::Curve)
        return PointList::Flat();
    if (command.data.size() >= e->DataSize())
        return PointList::FromBytes(command.data.data(), PointList::kBytes);
    return PointList::Load(PointList::CurrentFile(e->fields[0].name));
}

int32_t LKVBatchCatalogue::Apply(const LKVCommand& command, LCutListAudio& audio)
{
    const LKVCatalogueEntry* e = Find(command.index);
    if (!e)
        return kJobDone;
    const std::vector<int32_t> v = Values(command);
    const int32_t length = audio.GetLength();
    switch (command.index) {
    case 0: {
        LEfAutoTrim::Data data{&audio, LEfStored::kAutoTrimThreshold.Read()};
        return RunJob(e->name, [&](LProgressDialog& d) { return LEfAutoTrim::Process(d, data); });
    }
    case 1:
    case 2: {
        // Nothing for a negative time, and never past the largest frame position.
        const int32_t frames = int32_t(
            std::clamp<int64_t>(EfMsToFrames(v[0], audio.sampleRate), 0, int64_t(INT32_MAX) - length));
        if (frames > 0)
            audio.EfInsertSilence(command.index == 1 ? 0 : length, frames);
        return kJobDone;
    }
    case 5:
        return RunJob(e->name,
                      [&](LProgressDialog& d) { return LEfFilterJobs::EfLowCutFilter(d, audio, 0, length, v[0]); });
    case 6: {
        const PointList curve = Curve(command);
        return RunJob(e->name,
                      [&](LProgressDialog& d) { return LEfFilterJobs::EfEqualiser(d, audio, 0, length, curve); });
    }
    case 7:  // time, then gain
        return RunJob(e->name,
                      [&](LProgressDialog& d) { return LEfFilterJobs::EfEcho(d, audio, 0, length, v[1], v[0]); });
    case 8:  // time, then level
        return RunJob(e->name,
                      [&](LProgressDialog& d) { return LEfFilterJobs::EfReverb(d, audio, 0, length, v[1], v[0]); });
    case 10: {
        EfAutoGainControl::Data data{&audio, 0, length, {}};
        return RunJob(e->name, [&](LProgressDialog& d) { return EfAutoGainControl::Process(d, data); });
    }
    case 11:
        return RunJob(e->name,
                      [&](LProgressDialog& d) { return LEfFilterJobs::EfNoiseReduction(d, audio, 0, length, v[0]); });
    case 15:
        // A ratio index that names no row skips the command (EfCompressor does nothing).
        return RunJob(e->name, [&](LProgressDialog& d) {
            return LEfFilterJobs::EfCompressor(d, audio, 0, length, v[0], v[1], v[2]);
        });
    case 3:
        audio.EfAmplify(0, length, v[0]);
        return kJobDone;
    case 4: {
        LEfNormalize::Data data{&audio, 0, length, v[0], 100};
        return RunJob(e->name, [&](LProgressDialog& d) { return LEfNormalize::Process(d, data); });
    }
    case kNormalizeLoudness: {
        LEfNormalizeLoudness::Data data{&audio, 0, length, v[0], v[1]};
        return RunJob(e->name, [&](LProgressDialog& d) { return LEfNormalizeLoudness::Process(d, data); });
    }
    case 9: {
        LEfEnvelope::Data data{&audio, 0, length, Curve(command)};
        return RunJob(e->name, [&](LProgressDialog& d) { return LEfEnvelope::Process(d, data); });
    }
    case 12:
    case 13:
    case 14: {
        LEfChangeSpeedPitch::Data data{&audio, 0, length, v[0], int32_t(command.index) - 12};
        return RunJob(e->name, [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, data); });
    }
    case 16:
    case 17: {
        const bool rate = command.index == 16;
        if (!CheckConversion(command.index, v[0]))
            return kJobFailed;
        LCLAConvertRateChannels::Data data{&audio, rate ? v[0] : audio.sampleRate,
                                           uint8_t(rate ? audio.channels : v[0]), LKVConvertRateQuality()};
        return RunJob(e->name, [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, data); });
    }
    default:
        LUiGet().Message(std::string("The command \"") + e->name + "\" is not available in this version.", "Error",
                         LUiButtons::Ok, LUiIcon::Stop);
        return kJobFailed;
    }
}

bool LKVBatchCatalogue::CheckConversion(uint32_t index, int32_t value)
{
    // A rate or channel count the converters cannot produce is refused, not run.
    const std::string message = CheckFields(index, {value});
    if (message.empty())
        return true;
    LUiGet().Message(std::string(Find(index)->name) + ": " + message, "Error", LUiButtons::Ok, LUiIcon::Stop);
    return false;
}

std::string LKVBatchCatalogue::CheckFields(uint32_t index, const std::vector<int32_t>& v)
{
    auto at = [&](size_t i) { return i < v.size() ? v[i] : INT32_MAX; };
    // The dialogs' own checks bound most values from above only; in a batch run a
    // value below (a negative gain, a speed under 10 %, which runs as 10 %) or a
    // silence or frequency of any size would be changed or ignored on the way
    // without a word. Such values are refused, with the whole range said.
    switch (index) {
    case 1:
    case 2:
        if (at(0) < 0 || at(0) > kMaxSilenceMs)
            return "Silence Time must be between 0 and " + std::to_string(kMaxSilenceMs) +
                   " ms (one hour). Please try again.";
        return {};
    case 3:
        return at(0) < 0 ? "Amplify Gain must be between 0 and 400%. Please try again." : CheckAmplifyGain(at(0));
    case 4:
        return at(0) < 0 ? "Normalize Peak Level must be between 0 and 100%. Please try again."
                         : CheckNormalizePeakLevel(at(0));
    case 5:
        if (at(0) < 1 || at(0) > kMaxHighPassHz)
            return "Frequency must be between 1 and " + std::to_string(kMaxHighPassHz) + " Hz. Please try again.";
        return {};
    case 7:  // time, then gain
        if (CheckEcho(at(0), 0).empty() && at(1) < 0)
            return "Echo Gain must be between 0 and 99%. Please try again.";
        return CheckEcho(at(0), at(1));
    case 8:  // level, then time
        return at(1) < 0 ? "Reverb level must be between 0 and 100. Please try again." : CheckReverb(at(1), at(0));
    case 11: return CheckNoiseGateLevel(at(0));
    case 12:
    case 13:
    case 14:
        return at(0) < kMinSpeedPercent ? "Speed Change Percent must be between 10 and 300."
                                        : CheckSpeedChangePercent(at(0));
    case 15: return CheckCompressor(at(0), at(1), at(2));
    case 16:
        if (at(0) < kMinRate || at(0) > kMaxRate)
            return "Please enter a sample rate between 6000 and 196000.";
        return {};
    case 17:
        if (at(0) < 1 || at(0) > 2)
            return "The channel count must be 1 (mono) or 2 (stereo).";
        return {};
    case kNormalizeLoudness: return LEfNormalizeLoudness::Check(at(0), at(1));
    default: return {};
    }
}

std::string LKVBatchCatalogue::CheckValues(const LKVCommand& command, bool storedToo)
{
    const LKVCatalogueEntry* e = Find(command.index);
    if (!e || e->DataSize() == 0)
        return {};
    const bool own = command.data.size() >= e->DataSize();
    if (!own && !storedToo)
        return {};
    if (e->fields[0].type == LKVFieldType::Curve) {
        // A curve file is validated when it is read; only a command's own list is checked.
        const uint8_t points = own ? command.data[0] : 2;
        if (points < 2 || points > PointList::kMaxPoints)
            return CurveMessage(*e);
        return {};
    }
    const std::string message = CheckFields(e->index, Values(command));
    if (message.empty() || own)
        return message;
    std::string names;
    for (uint8_t i = 0; i < e->fieldCount; ++i)
        names += std::string(i ? ", " : "") + e->fields[i].section + "." + e->fields[i].name;
    return "the stored value" + std::string(e->fieldCount > 1 ? "s (" : " (") + names + ") it would run with: " +
           message;
}

bool LKVBatchCatalogue::Parse(const std::string& text, LKVCommand& command, std::string& error)
{
    const size_t eq = text.find('=');
    const std::string name = text.substr(0, eq);
    const LKVCatalogueEntry* e = FindByName(name);
    if (!e) {
        error = "unknown command \"" + name + "\"";
        return false;
    }
    command = LKVCommand{e->index, {}};
    if (eq == std::string::npos)
        return true;  // runs with the stored values
    const std::vector<std::string> parts = Split(text.substr(eq + 1), ',');

    if (e->fieldCount == 1 && e->fields[0].type == LKVFieldType::Curve) {
        bool ok = parts.size() % 2 == 0 && parts.size() >= 4 && parts.size() <= 2 * size_t(PointList::kMaxPoints);
        std::vector<uint8_t> bytes{uint8_t(parts.size() / 2)};
        for (size_t i = 0; ok && i < parts.size(); ++i) {
            int64_t v = 0;
            ok = ParseInteger(parts[i], v) && InTypeRange(LKVFieldType::Curve, v);
            bytes.push_back(uint8_t(v));
        }
        if (!ok) {
            error = CurveMessage(*e);
            return false;
        }
        bytes.resize(PointList::kBytes, 0);
        command.data = bytes;
        return true;
    }

    if (parts.size() != e->fieldCount) {
        error = std::string(e->name) + (e->fieldCount == 0 ? " takes no values." : " needs " +
                                                                                   std::to_string(e->fieldCount) +
                                                                                   (e->fieldCount == 1 ? " value." : " values."));
        return false;
    }
    std::vector<int32_t> values;
    bool allGood = true;
    for (uint8_t i = 0; i < e->fieldCount; ++i) {
        int64_t v = 0;
        // Text that is no number at all is named as such; a number out of range
        // gets the settings dialog's message below.
        const bool number = ParseInteger(parts[i], v);
        if (!number && !IsLongInteger(parts[i])) {
            if (!parts[i].empty())
                error = std::string(e->name) + ": \"" + parts[i] + "\" is not a whole number.";
            else if (e->fieldCount == 1)
                error = std::string(e->name) + " needs a whole number after \"=\".";
            else
                error = std::string(e->name) + ": value " + std::to_string(i + 1) + " is missing; a whole number is needed.";
            return false;
        }
        allGood = allGood && number && InTypeRange(e->fields[i].type, v);
        // The dialog's check sees the number as typed (a negative gain stays
        // negative), one too long for 32 bits as the end of the range it passed.
        const bool negative = parts[i][0] == '-';
        if (!number || !InTypeRange(LKVFieldType::Int32, v))
            v = negative ? INT32_MIN : INT32_MAX;
        values.push_back(int32_t(v));
    }
    error = CheckFields(e->index, values);
    if (error.empty() && !allGood)
        error = std::string("Invalid value for ") + e->name + ": \"" + text.substr(eq + 1) + "\".";
    if (!error.empty())
        return false;
    for (uint8_t i = 0; i < e->fieldCount; ++i)
        PutLE(command.data, uint32_t(values[i]), e->fields[i].Size());
    return true;
}
