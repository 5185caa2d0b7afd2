#pragma once
#include <cstdint>

// One remembered effect parameter: read when its dialog opens, written when the
// dialog closes with OK. Values are integers in the settings section
// "StoredValues" (the auto-trim threshold lives under "Settings"); the byte-sized
// compressor values keep only their low byte, signed or unsigned.
struct LEfStoredValue {
    enum class Kind : uint8_t { Int32, Int8, Uint8 };

    const char* section;
    const char* name;
    int32_t def;
    Kind kind = Kind::Int32;

    int32_t Read() const;
    void Write(int32_t value) const;
};

// The interactive defaults of every effect command's values.
namespace LEfStored {
inline constexpr LEfStoredValue kAmplifyGain{"StoredValues", "AmplifyGain", 100};                 // %
inline constexpr LEfStoredValue kNormalizePeakLevel{"StoredValues", "NormalizePeakLevel", 100};   // %
inline constexpr LEfStoredValue kEchoTime{"StoredValues", "EchoTime", 800};                       // ms
inline constexpr LEfStoredValue kEchoGain{"StoredValues", "EchoGain", 50};                        // %
inline constexpr LEfStoredValue kReverbLevel{"StoredValues", "ReverbLevel", 100};                 // %
inline constexpr LEfStoredValue kReverbTime{"StoredValues", "ReverbTime", 50};                    // ms
inline constexpr LEfStoredValue kLowCutFreq{"StoredValues", "LowCutFreq", 250};                   // Hz
inline constexpr LEfStoredValue kCompressorThreshold{"StoredValues", "CompressorThreshold", 0,
                                                     LEfStoredValue::Kind::Int8};  // dB
inline constexpr LEfStoredValue kCompressorRatio{"StoredValues", "CompressorRatio", 0,
                                                 LEfStoredValue::Kind::Uint8};  // row index
inline constexpr LEfStoredValue kCompressorLimit{"StoredValues", "CompressorLimit", 0,
                                                 LEfStoredValue::Kind::Int8};  // dB
inline constexpr LEfStoredValue kNoiseGateLevel{"StoredValues", "NoiseGateLevel", -30};  // dB
inline constexpr LEfStoredValue kSpSpeedPitch{"StoredValues", "SpSpeedPitch", 100};       // %
inline constexpr LEfStoredValue kConstPitchSpeed{"StoredValues", "ConstPitchSpeed", 100}; // %
// 0 acts as the 10 % floor of the speed changes.
inline constexpr LEfStoredValue kConstSpeedPitch{"StoredValues", "ConstSpeedPitch", 0};   // %
inline constexpr LEfStoredValue kSilenceTimes{"StoredValues", "SilenceTimes", 0};         // ms
inline constexpr LEfStoredValue kRepeatNumTimes{"StoredValues", "RepeatNumTimes", 1};
inline constexpr LEfStoredValue kPasteMixVolume{"StoredValues", "PasteMixVolume", 100};   // %
inline constexpr LEfStoredValue kLongerSelection{"StoredValues", "LongerSelection", 0};
inline constexpr LEfStoredValue kFadeOutTime{"StoredValues", "FadeOutTime", 250};         // frames
inline constexpr LEfStoredValue kLoudnessTarget{"StoredValues", "LoudnessTarget", -23};    // LUFS
inline constexpr LEfStoredValue kLoudnessCeiling{"StoredValues", "LoudnessCeiling", -1};   // dBTP
inline constexpr LEfStoredValue kAutoTrimThreshold{"Settings", "AutoTrimThreshold", -20}; // dB
} // namespace LEfStored
