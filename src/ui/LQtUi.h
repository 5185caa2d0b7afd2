#pragma once
#include <QString>

#include "core/LUi.h"

class QWidget;

// The Qt implementation of the user-interface port: message boxes and the
// dialogs the lower layers ask for, each modal over the active window.
class LQtUi : public LUi {
public:
    LUiAnswer MessageBox(const LUiMessage& message) override;

    bool RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings) override;
    bool WaveFormatChooser(const std::string& title, const std::vector<LUiChoice>& choices, int32_t& chosen) override;
    bool Mp3EncodeDialog(LMp3EncoderSettings& settings) override;
    bool OggEncodeDialog(LOggEncoderSettings& settings) override;
    bool FlacEncodeDialog(LFlacEncoderSettings& settings) override;
    bool AACEncodeDialog(LAACEncoderSettings& settings) override;

    bool FileDialog(const LUiFileRequest& request, std::string& path) override;
    bool NewFileDialog(int32_t& sampleRate, uint8_t& channels) override;
    bool TextDialog(const std::string& title, std::string& text) override;
    bool SelectRegionDialog(int32_t& startMs, int32_t& endMs) override;
    bool ExportRegionDialog(std::string& folder, int32_t& formatIndex) override;
    bool AssembleRegionsDialog(const std::vector<std::string>& names, std::vector<size_t>& order) override;

    // The effect dialogs (LQtUiEffects.cpp).
    bool AmplifyDialog(int32_t& gainPercent) override;
    bool NormalizeDialog(int32_t& peakLevelPercent) override;
    bool EnvelopeDialog(LUiEnvelopeValues& values) override;
    bool SpeedChangeDialog(const std::string& caption, int32_t& percent) override;
    bool EchoDialog(int32_t& timeMs, int32_t& gainPercent) override;
    bool ReverbDialog(int32_t& levelPercent, int32_t& timeMs) override;
    bool HighPassDialog(int32_t& frequency) override;
    bool EqualizerDialog(LUiCurve& curve) override;
    bool CompressorDialog(const std::vector<std::string>& ratioNames, int32_t& thresholdDb, int32_t& ratioIndex,
                          int32_t& limitDb) override;
    bool NoiseReductionDialog(int32_t& levelDb) override;
    bool SilenceDialog(const std::string& caption, int32_t& ms) override;
    bool RepeatDialog(int32_t& times) override;
    bool PasteMixDialog(const std::string& caption, LUiMixValues& values) override;
    bool NormalizeLoudnessDialog(LUiLoudnessValues& values) override;
    void LoudnessWindow(const LUiLoudnessReport& report) override;
    bool ConvertRateDialog(int32_t& rate) override;
    bool ConvertChannelDialog(int32_t& channels) override;
    int32_t RecordDialog(LRecordDlgModel& model) override;
    bool ToneDialog(LKVToneChoice& choice) override;
    bool SpeechDialog(LKVSpeechChoice& choice) override;
    bool SendDialog(LKVSendChoice& choice) override;

    // "<what> is not available in this build of Kelvane." Returns false, so a
    // dialog request that says it reads as cancelled.
    static bool NotAvailable(const std::string& what);
    // The window dialogs open over: the active one, else the frame.
    static QWidget* Owner();
};

// Message texts keep the platform's "\r\n" and "\r" line breaks; Qt wants "\n".
QString LKVMessageText(const std::string& text);
