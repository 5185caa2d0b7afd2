#pragma once
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// Buttons and icons of a message box; answers use the platform's historic ids
// because scripts and tests refer to them by number.
enum class LUiButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class LUiIcon : uint8_t { None, Information, Exclamation, Question, Stop };
enum class LUiAnswer : int32_t { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

// The values edited by the raw-audio settings dialog "LRawDlg": sample rate in Hz,
// channels (1 or 2) and the index of the coding in the dialog's list.
struct LUiRawAudioSettings {
    uint32_t sampleRate = 44100;
    uint8_t channels = 1;
    uint8_t codec = 3;
};

// The encoder options the encoder dialogs edit; defined with the encoders
// (formats/L*EncoderSettings.h), which is where every caller of these requests is.
struct LMp3EncoderSettings;
struct LOggEncoderSettings;
struct LFlacEncoderSettings;
struct LAACEncoderSettings;
// The record dialog's model (app/LRecordDlgModel.h).
class LRecordDlgModel;
// What the tone generator and the text-to-speech dialogs edit (app/LKVToneSettings.h,
// app/LKVSpeechChoice.h), and the send dialog's values (app/LKVSendFile.h).
struct LKVToneChoice;
struct LKVSpeechChoice;
struct LKVSendChoice;

// A curve of up to 64 (x, y) byte points, as the envelope and equalizer dialogs edit it.
struct LUiCurve {
    uint8_t nPoints = 0;
    std::array<std::array<uint8_t, 2>, 64> points{};
};

// What the envelope dialog edits: the curve, and the selection it spans (for the
// time readout), in milliseconds.
struct LUiEnvelopeValues {
    LUiCurve curve;
    int32_t selectionStartMs = 0;
    int32_t selectionLengthMs = 0;
};

// What the paste/file mix dialog edits. `stereo` enables the pan trackbar (a
// mono document mixes at the centre); `hasAudio` enables the three modes (else
// mode 1 is checked); the fade-out time is edited only with mode 2.
struct LUiMixValues {
    int32_t volume = 100;       // percent, "Mix Volume (%)"
    int32_t pan = 50;           // 0..100, "Stereo Pan (L - R)"
    int32_t mode = 0;           // 0 insert silence, 1 increase selection, 2 fade out mix
    int32_t fadeOutTime = 250;  // frames
    bool stereo = false;
    bool hasAudio = true;
};

// The "Normalize Loudness" dialog's values: the target and the true-peak
// ceiling the user sets, and what the selection measured (NaN when it was not
// measured, as for a batch command's settings; -infinity when too quiet).
struct LUiLoudnessValues {
    int32_t targetLufs = -23;
    int32_t ceilingDbtp = -1;
    double measuredLufs = std::numeric_limits<double>::quiet_NaN();
    double measuredPeakDbtp = std::numeric_limits<double>::quiet_NaN();
};

// What the loudness analysis shows: what was measured ("the selection of
// NAME" or the document's name), then LUFS, LU for the range, dBTP for the
// peak; -infinity for a value too quiet or too short to measure.
struct LUiLoudnessReport {
    std::string what;
    double integrated;
    double range;
    double maxMomentary;
    double maxShortTerm;
    double truePeak;
};

// One entry of a list the user picks from (the WAV format chooser).
struct LUiChoice {
    std::string name;    // e.g. "IMA ADPCM"
    std::string detail;  // e.g. "44100 Hz, 4 Bit, Stereo, 176 kb/sec"
};

// One entry of a file dialog's type list: "WAV Files (*.wav)" with its patterns.
struct LUiFileFilter {
    std::string description;
    std::vector<std::string> patterns;  // e.g. "*.wav"
};

// A request for a file name: the open or save dialog titled `title`, opened in
// `folder` with `fileName` proposed, offering `filters`. A save dialog does not
// ask about replacing an existing file; its caller does, after appending
// `defaultExtension` (when set) to a name chosen without an extension.
// `formatOptions` offers the chosen type's options step (the WAV format, the
// encoder settings) in a save dialog, for audio at `optionsRate` and
// `optionsChannels`.
struct LUiFileRequest {
    std::string title;
    std::string folder;
    std::string fileName;
    std::vector<LUiFileFilter> filters;
    bool save = false;
    std::string defaultExtension;
    bool formatOptions = false;
    int32_t optionsRate = 0;
    uint8_t optionsChannels = 0;
};

struct LUiMessage {
    std::string text;
    std::string caption;
    LUiButtons buttons = LUiButtons::Ok;
    LUiIcon icon = LUiIcon::None;
    // A question whose Yes would cost the user something: No is the button that
    // Enter presses.
    bool defaultNo = false;
};

// The user-interface port. Lower layers reach the user only through it: the GUI
// implements it with dialogs, the command-line tool on the terminal, tests with
// scripted answers. Later layers add their dialog requests here as virtual
// functions whose base version answers "cancelled".
// Called on the user-interface thread only.
class LUi {
public:
    virtual ~LUi() = default;
    virtual LUiAnswer MessageBox(const LUiMessage& message) = 0;

    LUiAnswer Message(const std::string& text, const std::string& caption,
                      LUiButtons buttons = LUiButtons::Ok, LUiIcon icon = LUiIcon::None)
    {
        return MessageBox({text, caption, buttons, icon});
    }

    // The raw-audio settings dialog "LRawDlg" for the settings section `section`
    // ("RawAudio" or "VoxAudio"), opened on `settings`. Its OK button calls
    // LRawSettings::DialogOk (formats), which checks the typed rate, stores the
    // values and fills `settings`. True on OK; the base answers cancelled.
    virtual bool RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings)
    {
        (void)section;
        (void)settings;
        return false;
    }

    // Effect dialogs. Each opens on the stored values passed in and, on OK, has
    // checked them with the dialog's check and returns them; true on OK. The
    // base answers cancelled.
    // "LKVAmplifyDlg": gain in percent.
    virtual bool AmplifyDialog(int32_t& gainPercent)
    {
        (void)gainPercent;
        return false;
    }
    // "LKVNormalizeDlg": peak level in percent of full scale.
    virtual bool NormalizeDialog(int32_t& peakLevelPercent)
    {
        (void)peakLevelPercent;
        return false;
    }
    // The envelope dialog (graph editor, "Set Flat"; no preview).
    virtual bool EnvelopeDialog(LUiEnvelopeValues& values)
    {
        (void)values;
        return false;
    }
    // "LKVSpeedChangeDlg": `caption` is the command name, which picks the mode
    // and the field label; the percent is 100 for no change.
    virtual bool SpeedChangeDialog(const std::string& caption, int32_t& percent)
    {
        (void)caption;
        (void)percent;
        return false;
    }
    // "LKVEchoDlg": time in ms, then gain in percent (with preview).
    virtual bool EchoDialog(int32_t& /*timeMs*/, int32_t& /*gainPercent*/) { return false; }
    // "LKVReverbDlg": level in percent, then time in ms (with preview).
    virtual bool ReverbDialog(int32_t& /*levelPercent*/, int32_t& /*timeMs*/) { return false; }
    // The high-pass dialog: "Frequency (Hz) :", any integer (with preview).
    virtual bool HighPassDialog(int32_t& /*frequency*/) { return false; }
    // The equalizer dialog (graph editor, "Set Flat", preview).
    virtual bool EqualizerDialog(LUiCurve& /*curve*/) { return false; }
    // The compressor dialog: threshold -40..0 dB, the ratio as an index into
    // `ratioNames` (a drop-down), limit 0..12 dB (with preview).
    virtual bool CompressorDialog(const std::vector<std::string>& /*ratioNames*/, int32_t& /*thresholdDb*/,
                                  int32_t& /*ratioIndex*/, int32_t& /*limitDb*/)
    {
        return false;
    }
    // The noise-reduction dialog: "Noise Gate Level:" -40..0 dB.
    virtual bool NoiseReductionDialog(int32_t& /*levelDb*/) { return false; }
    // The silence dialog, captioned with the command name: "Silence Time (ms):",
    // any integer.
    virtual bool SilenceDialog(const std::string& /*caption*/, int32_t& /*ms*/) { return false; }
    // The repeat dialog: "Repeat number of times:", any integer.
    virtual bool RepeatDialog(int32_t& /*times*/) { return false; }
    // "LKVPasteFileMixDlg", captioned with the command name.
    virtual bool PasteMixDialog(const std::string& /*caption*/, LUiMixValues& /*values*/) { return false; }
    // The "Normalize Loudness" dialog: target -70..-5 LUFS, ceiling -20..0 dBTP
    // (with preview, when the measured loudness is known).
    virtual bool NormalizeLoudnessDialog(LUiLoudnessValues& /*values*/) { return false; }
    // The loudness analysis's window, closed by the user before this returns.
    // The base shows nothing.
    virtual void LoudnessWindow(const LUiLoudnessReport& /*report*/) {}
    // The batch converter's conversion settings, opened on the value passed in:
    // "Convert Sample Rate" (6000..196000 Hz) and "Convert Channel (Mono <->
    // Stereo)" (1 or 2 channels). Neither changes a stored value.
    virtual bool ConvertRateDialog(int32_t& /*rate*/) { return false; }
    virtual bool ConvertChannelDialog(int32_t& /*channels*/) { return false; }

    // The WAV format chooser titled `title`: the user picks one of `choices`
    // (`chosen` starts at the current one, or -1). True on OK with `chosen` set;
    // the base answers cancelled.
    virtual bool WaveFormatChooser(const std::string& /*title*/, const std::vector<LUiChoice>& /*choices*/,
                                   int32_t& /*chosen*/)
    {
        return false;
    }

    // The encoder option dialogs "LMp3EncodeDlg", "OggEncodeDlg", "FlacEncodeDlg"
    // and "AACEncodeDlg", opened on the given settings, offering the lists of the
    // settings types and a button that restores a default-constructed value. True
    // on OK with the settings filled in; the caller stores them. The base answers
    // cancelled.
    virtual bool Mp3EncodeDialog(LMp3EncoderSettings& /*settings*/) { return false; }
    virtual bool OggEncodeDialog(LOggEncoderSettings& /*settings*/) { return false; }
    virtual bool FlacEncodeDialog(LFlacEncoderSettings& /*settings*/) { return false; }
    virtual bool AACEncodeDialog(LAACEncoderSettings& /*settings*/) { return false; }

    // ---- Main window requests (documents, bookmarks, regions, projects) ----
    // The open or save file dialog; true with the chosen full path.
    virtual bool FileDialog(const LUiFileRequest& /*request*/, std::string& /*path*/) { return false; }
    // The new-file dialog: sample rate in Hz (offered from the standard rate list)
    // and 1 or 2 channels, opened on the last choice. The caller checks the rate
    // and asks again when it is out of range.
    virtual bool NewFileDialog(int32_t& /*sampleRate*/, uint8_t& /*channels*/) { return false; }
    // A one-line text dialog titled `title` ("Enter Bookmark Name", "Enter Region
    // Name", "Rename Bookmark", "Rename Region"), opened on `text`.
    virtual bool TextDialog(const std::string& /*title*/, std::string& /*text*/) { return false; }
    // "Select Region": a start and an end time in milliseconds, opened on the
    // current selection.
    virtual bool SelectRegionDialog(int32_t& /*startMs*/, int32_t& /*endMs*/) { return false; }
    // "ExportRegionDlg": the target folder and the index into the output format
    // table, opened on the stored values.
    virtual bool ExportRegionDialog(std::string& /*folder*/, int32_t& /*formatIndex*/) { return false; }
    // The record dialog "LRecordDlg" over `model`: it starts the first take when
    // it opens and drives the model's takes. Returns 0 when the user discarded
    // the recording, 1 when he kept it, 2 for "Record Next" (kept, and record
    // again after it). The base answers 0.
    virtual int32_t RecordDialog(LRecordDlgModel& /*model*/) { return 0; }
    // The tone generator's dialog, opened on `choice`: on OK the tone has passed
    // LToneParams::Check and `choice` holds it. The dialog can preview the tone.
    virtual bool ToneDialog(LKVToneChoice& /*choice*/) { return false; }
    // The text-to-speech dialog, opened on `choice` (its voice list filled): on
    // OK `choice` holds a text that is not empty, the voice and the rates.
    virtual bool SpeechDialog(LKVSpeechChoice& /*choice*/) { return false; }
    // The send dialog for SMTP: the recipient (and the subject), opened on `choice`.
    virtual bool SendDialog(LKVSendChoice& /*choice*/) { return false; }
    // "AssembleRegionDlg": the user orders a subset of the regions in `names`; `order`
    // comes with the indexes to start from (or none), gets the chosen ones in playing order.
    virtual bool AssembleRegionsDialog(const std::vector<std::string>& /*names*/, std::vector<size_t>& /*order*/)
    {
        return false;
    }
};

// The process-wide port; a console implementation until something else is set.
LUi& LUiGet();
// Installs `ui` (not owned); nullptr restores the console implementation.
void LUiSet(LUi* ui);
