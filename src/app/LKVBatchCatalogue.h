#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/LCutListAudio.h"
#include "effects/PointList.h"

// One command of a batch list: its catalogue index (what scripts store) and its
// own parameter data. Without data (or with less than its layout needs) it runs
// with the stored values current at run time; extra bytes are ignored.
struct LKVCommand {
    uint32_t index = 0;
    std::vector<uint8_t> data;  // little-endian fields in catalogue order
};

// How one parameter is stored in a command's data.
enum class LKVFieldType : uint8_t { Int32, Uint16, Int8, Uint8, Curve };

struct LKVField {
    LKVFieldType type;
    const char* section;  // settings section of the stored value
    const char* name;     // stored-value name, or the curve file in the "Current" folder
    int32_t batchDefault; // used when no value is stored (curves: unused)

    // Bytes in the data: 4, 2, 1, 1 or 129.
    uint32_t Size() const;
};

// A row of the batch command catalogue.
struct LKVCatalogueEntry {
    uint32_t index;
    const char* name;
    uint8_t fieldCount;
    std::array<LKVField, 3> fields;

    // Bytes of data the command needs for its own values.
    uint32_t DataSize() const;
};

// The fixed table of the batch commands (indexes 0..18), their parameter
// layouts and the stored values (with batch defaults) used when a command
// carries no data, and the way each is applied to a whole cut list.
class LKVBatchCatalogue {
public:
    static constexpr uint32_t kCount = 19;
    // Loudness normalization came after the first eighteen commands.
    static constexpr uint32_t kNormalizeLoudness = 18;
    // The sample rates a conversion produces, and that files must have to be
    // processed at all.
    static constexpr int32_t kMinRate = 6000;
    static constexpr int32_t kMaxRate = 196000;
    // The longest silence one command inserts (an hour), the highest high-pass
    // frequency (the top of hearing; the filter's corner is twice the value) and
    // the lowest speed percent (the speed makers' floor is a factor of 0.1).
    static constexpr int32_t kMaxSilenceMs = 3600000;
    static constexpr int32_t kMaxHighPassHz = 20000;
    static constexpr int32_t kMinSpeedPercent = 10;

    static const std::array<LKVCatalogueEntry, kCount>& Entries();
    // nullptr for an index of kCount or more.
    static const LKVCatalogueEntry* Find(uint32_t index);
    // The entry whose name matches `name` ignoring case, or nullptr.
    static const LKVCatalogueEntry* FindByName(const std::string& name);

    // The command's numeric parameters in catalogue order: from its data when
    // the data holds the whole layout, else from the stored values. A curve
    // field reads as 0 here; see Curve.
    static std::vector<int32_t> Values(const LKVCommand& command);
    // The point list of an Equalizer or Envelope command: from its data,
    // validated, else from the curve file (the flat curve when it has none).
    static PointList Curve(const LKVCommand& command);

    // Runs the command over the whole of `audio` (from 0 to its current length)
    // and returns the job result. Indexes of kCount or more are skipped (kJobDone);
    // commands not available in this version say so and fail.
    static int32_t Apply(const LKVCommand& command, LCutListAudio& audio);
    // Whether `value` is a rate (index 16) or channel count (17) the converters
    // produce; when it is not, the user is told and the command must fail.
    static bool CheckConversion(uint32_t index, int32_t value);

    // The settings dialog's message for `values` of command `index` (in
    // catalogue order; a value missing or outside its field's type given as
    // INT32_MAX), or empty when they are accepted: what each settings dialog's OK
    // accepts, held to a range at both ends, and the rate and channel ranges of
    // the conversions.
    static std::string CheckFields(uint32_t index, const std::vector<int32_t>& values);
    // The message for the values a command carries in its own data (as Parse
    // checks them), or empty when they are accepted. A command without data of
    // its own runs with the stored values: those are checked too when
    // `storedToo` is set (the message then names them), else it passes.
    static std::string CheckValues(const LKVCommand& command, bool storedToo = false);

    // Parses "NAME" or "NAME=V,V,..." (values in catalogue order; a curve as
    // x,y pairs) into a command carrying its data. Values are checked as the
    // command's settings dialog checks them: on failure `error` holds that
    // dialog's message.
    static bool Parse(const std::string& text, LKVCommand& command, std::string& error);
};
