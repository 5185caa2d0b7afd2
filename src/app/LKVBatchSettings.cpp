#include "app/LKVBatchSettings.h"

#include <string>
#include <vector>

#include "app/MainDialogShared.h"
#include "core/LUi.h"
#include "effects/CompressorRatioList.h"
#include "effects/PointList.h"

namespace {

bool FitsField(LKVFieldType type, int32_t v)
{
    switch (type) {
    case LKVFieldType::Int32: return true;
    case LKVFieldType::Uint16: return v >= 0 && v <= 0xFFFF;
    case LKVFieldType::Int8: return v >= -128 && v <= 127;
    case LKVFieldType::Uint8: return v >= 0 && v <= 255;
    case LKVFieldType::Curve: return true;
    }
    return false;
}

// A value the command's data cannot hold (a negative gain for an unsigned
// field) would come back as another number; it is refused like a wrong value.
std::string CheckFits(const LKVCatalogueEntry& e, const std::vector<int32_t>& v)
{
    for (uint8_t i = 0; i < e.fieldCount && i < v.size(); ++i)
        if (!FitsField(e.fields[i].type, v[i]))
            return std::to_string(v[i]) + " is not a valid value for " + e.name + ". Please try again.";
    return {};
}

// Asks with `ask` until its values pass `check` and fit the command's data.
template <class Ask, class Check>
bool AskFitting(const LKVCatalogueEntry& e, std::vector<int32_t>& v, Ask ask, Check check)
{
    return LKVAskChecked(ask, [&] {
        std::string message = check();
        return message.empty() ? CheckFits(e, v) : message;
    });
}

} // namespace

bool LKVBatchSettings::HasSettings(uint32_t index)
{
    return LKVBatchCatalogue::Find(index) && index != 0 && index != 10;
}

void LKVBatchSettings::SetValues(LKVCommand& command, const std::vector<int32_t>& values)
{
    const LKVCatalogueEntry* e = LKVBatchCatalogue::Find(command.index);
    if (!e)
        return;
    std::vector<uint8_t> data;
    for (uint8_t i = 0; i < e->fieldCount; ++i) {
        const uint32_t size = e->fields[i].Size();
        const uint32_t value = i < values.size() ? uint32_t(values[i]) : 0;
        for (uint32_t b = 0; b < size; ++b)
            data.push_back(e->fields[i].type == LKVFieldType::Curve ? 0 : uint8_t(value >> (8 * (b % 4))));
    }
    command.data = std::move(data);
}

bool LKVBatchSettings::Edit(LKVCommand& command)
{
    if (!HasSettings(command.index))
        return false;
    const LKVCatalogueEntry& e = *LKVBatchCatalogue::Find(command.index);
    LUi& ui = LUiGet();

    if (command.index == 6 || command.index == 9) {
        LUiCurve curve = LKVBatchCatalogue::Curve(command).ToUi();
        bool ok = false;
        if (command.index == 6) {
            ok = ui.EqualizerDialog(curve);
        } else {
            // No document here: the time read-out has no selection to span.
            LUiEnvelopeValues values;
            values.curve = curve;
            ok = ui.EnvelopeDialog(values);
            curve = values.curve;
        }
        if (!ok)
            return false;
        PointList points = PointList::FromUi(curve);
        points.Validate();
        command.data = points.ToBytes();
        command.data.resize(e.DataSize(), 0);
        return true;
    }

    std::vector<int32_t> v = LKVBatchCatalogue::Values(command);
    v.resize(3, 0);
    // Every dialog's values pass the same checks as a command line's or a script's.
    auto check = [&] { return LKVBatchCatalogue::CheckFields(command.index, v); };
    bool ok = false;
    switch (command.index) {
    case 1:
    case 2: ok = AskFitting(e, v, [&] { return ui.SilenceDialog(e.name, v[0]); }, check); break;
    case 3: ok = AskFitting(e, v, [&] { return ui.AmplifyDialog(v[0]); }, check); break;
    case 4: ok = AskFitting(e, v, [&] { return ui.NormalizeDialog(v[0]); }, check); break;
    case 5: ok = AskFitting(e, v, [&] { return ui.HighPassDialog(v[0]); }, check); break;
    case 7: ok = AskFitting(e, v, [&] { return ui.EchoDialog(v[0], v[1]); }, check); break;  // time, then gain
    case 8:  // time, then level; the dialog asks for the level first
        ok = AskFitting(e, v, [&] { return ui.ReverbDialog(v[1], v[0]); }, check);
        break;
    case 11: ok = AskFitting(e, v, [&] { return ui.NoiseReductionDialog(v[0]); }, check); break;
    case 12:
    case 13:
    case 14: ok = AskFitting(e, v, [&] { return ui.SpeedChangeDialog(e.name, v[0]); }, check); break;
    case 15: {
        std::vector<std::string> names;
        for (int32_t i = 0; i < CompressorRatioList::kCount; ++i)
            names.push_back(CompressorRatioList::Find(i)->name);
        ok = AskFitting(e, v, [&] { return ui.CompressorDialog(names, v[0], v[1], v[2]); }, check);
        break;
    }
    case 16: ok = AskFitting(e, v, [&] { return ui.ConvertRateDialog(v[0]); }, check); break;
    case 17: ok = AskFitting(e, v, [&] { return ui.ConvertChannelDialog(v[0]); }, check); break;
    case LKVBatchCatalogue::kNormalizeLoudness: {
        // No document to measure: the dialog shows no loudness and cannot preview.
        LUiLoudnessValues values{v[0], v[1]};
        ok = AskFitting(e, v, [&] {
            if (!ui.NormalizeLoudnessDialog(values))
                return false;
            v[0] = values.targetLufs;
            v[1] = values.ceilingDbtp;
            return true;
        }, check);
        break;
    }
    default: return false;
    }
    if (!ok)
        return false;
    SetValues(command, v);
    return true;
}
