#include "formats/LGenSource.h"

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LLockFile.h"
#include "core/LProgressDialog.h"
#include "core/LSRCNull.h"
#include "core/LUi.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LDCTDecode.h"
#include "formats/LDecoderJobs.h"
#include "formats/LFileCoding.h"
#include "formats/LMediaDecoder.h"
#include "formats/LRawFile.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "formats/gsm/LGSMFile.h"
#include "formats/mp3/LMP3Source.h"

namespace {

void ShowError(uint8_t* askOnce, const std::string& text)
{
    if (askOnce && *askOnce) {
        *askOnce = 0;
        LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Stop);
    }
}

bool Is(const std::string& ext, const char* want) { return strcasecmp(ext.c_str(), want) == 0; }

// What `path` names when it is neither a plain file nor a folder ("a FIFO (named
// pipe)", "a socket", "a device"); empty otherwise, and when it does not exist.
std::string OtherKind(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    if (S_ISFIFO(st.st_mode))
        return "a FIFO (named pipe)";
    if (S_ISSOCK(st.st_mode))
        return "a socket";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "a device";
    return {};
}

// The text for a WAV file whose coding no decoder here reads.
std::string UnreadableCodingText(const std::string& path)
{
    LWaveFile::Layout layout;
    const std::string coding =
        LWaveFile::ReadLayout(path, layout) ? LDescribeWavCoding(layout.format) : std::string("unknown");
    return "Cannot open the file \"" + path + "\" because Kelvane cannot read its audio coding, " + coding + ".";
}

// Checks an opened source: 0 when good, else the message for its state and 2.
int32_t Verdict(LSoundSource& source, uint8_t* askOnce, const std::string& path)
{
    uint8_t state = source->GetError();
    if (state == kSrcGood)
        return 0;
    ShowError(askOnce, LGenOpenFailureMessage(path, state));
    return 2;
}

// The headerless formats: the settings dialog once per ask-once flag, then the raw reader.
int32_t OpenRaw(LSoundSource& source, const std::string& path, uint8_t* askOnce, const char* section)
{
    LRawSettings settings = LRawSettings::Read(section);
    if (askOnce && *askOnce) {
        *askOnce = 0;
        if (!LRawSettings::SettingsDialog(settings, section)) {
            source = MakeErrorSource(kSrcSilent);
            return 1;
        }
    }
    source = LRawFile::OpenSource(path, settings);
    return Verdict(source, askOnce, path);
}

struct Decoder {
    const char* extension;
    const char* text;  // the job's first line
};

const Decoder kDecoders[] = {
    {".wma", "Loading WMA file"},   {".dss", "Loading DSS file"},  {".ra", "Loading RealAudio file"},
    {".ram", "Loading RealAudio file"}, {".rm", "Loading RealAudio file"}, {".aac", "Loading AAC file"},
    {".m4a", "Loading AAC file"},   {".ogg", "Loading OGG file"},  {".flac", "Loading FLAC file"},
    {".sri", "Loading SRI file"},   {".dct", "Loading DCT file"},
};

// Runs the decoder job for `ext` into `wav`; the job's own failure messages are
// shown in boxes over its window.
int32_t RunDecoder(const std::string& ext, const std::string& path, const std::string& wav)
{
    const char* text = "Loading with DirectX";
    for (const Decoder& d : kDecoders)
        if (Is(ext, d.extension))
            text = d.text;
    return RunJob(text, [&](LProgressDialog& dialog) -> int32_t {
        dialog.SetText(text, 0);
        dialog.SetText(GetFileFromPath(path), 1);
        dialog.SetProgress(0.0);
        if (Is(ext, ".aac") || Is(ext, ".m4a"))
            return LDecodeWithProgram(dialog, "aacdec", path, wav);
        if (Is(ext, ".ogg"))
            return LDecodeWithProgram(dialog, "oggdec", path, wav);
        if (Is(ext, ".flac"))
            return LDecodeWithProgram(dialog, "flacdec", path, wav);
        if (Is(ext, ".dct"))
            return LDCTDecode(dialog, path, wav);
        if (Is(ext, ".sri")) {
            dialog.Error("The VoiceIt library failed to load. Please install the VoiceIt add-on to open VoiceIt "
                         "(.sri) files.");
            return kJobFailed;
        }
        int32_t r = LMediaDecodeToWav(dialog, path, wav);
        if (r == kJobFailed && Is(ext, ".dss"))
            dialog.Error("Unable to open DSS file.\r\nThis means the file might not be a true DSS file or the file is "
                         "corrupt.");
        if (r == kJobFailed && (Is(ext, ".ra") || Is(ext, ".ram") || Is(ext, ".rm")))
            dialog.Error("Unable to open file with Real Player.\r\n\r\nThis might mean you do not have the codec "
                         "installed.\r\n\r\nTo resolve this, attempt to load the file using Real Player manually.");
        return r;
    });
}

// The message for a failed media decode of a file with no dedicated decoder.
std::string MediaFailureText(const std::string& ext, const std::string& path)
{
    if (Is(ext, ".wma"))
        return "Cannot open file \"" + path +
               "\". It is possible that the file does not exist, it is corrupt or the file is protected with Digital "
               "Rights Management (DRM) which limits the recording to limited players.";
    if (!FileExists(path))
        return LGenCannotOpenMessage(path);
    if (Is(ext, ".msv") || Is(ext, ".dvf"))
        return "Cannot open the file \"" + path +
               "\" because the codec it needs is not installed. Please download and install the codec, then open the "
               "file again.";
    return "Cannot open the file \"" + path +
           "\" as audio. It is possibly not an audio file, or no suitable audio codec is installed. See the help "
           "page \"Opening other file types\" for the formats Kelvane can open.";
}

} // namespace

std::string LGenExtension(const std::string& path)
{
    std::string ext = GetFileExtension(path);
    if (ext.size() == path.size())
        return {};  // ".wav" alone is a name, not an extension
    return ext;
}

std::string LGenReadAccessMessage(const std::string& path)
{
    return "Cannot open the file \"" + path + "\". Check it exists and you have read access.";
}

std::string LGenCorruptMessage(const std::string& path)
{
    return "Cannot open the file \"" + path + "\" because it is corrupt.";
}

std::string LGenCannotOpenMessage(const std::string& path)
{
    // Whatever reader or decoder program failed, the file itself tells which of
    // the three it was: asking a user to check the permissions of a file they can
    // read, or of a folder, sends them looking in the wrong place.
    if (FolderExists(path))
        return "Cannot open \"" + path + "\" because it is a folder, not a sound file.";
    const std::string kind = OtherKind(path);
    if (!kind.empty())
        return "Cannot open \"" + path + "\" because it is " + kind + ", not a sound file.";
    LFile file;
    if (file.Open(path, LFile::Mode::ReadPlain))
        return "Cannot open the file \"" + path +
               "\" because it could not be decoded. It is possibly empty, damaged or not the kind of file its "
               "name says.";
    return LGenReadAccessMessage(path);
}

int32_t LGenSourceOpen(LSoundSource& source, const std::string& path, uint8_t* askOnce)
{
    const std::string ext = LGenExtension(path);
    // Only plain files are read: a FIFO would hold a reader or a decoder program
    // in open() until someone writes to it, and neither FIFOs, sockets nor devices
    // can be read twice or sought in, which every reader here needs.
    if (FolderExists(path) || !OtherKind(path).empty()) {
        source = MakeErrorSource(kSrcCannotOpen);
        ShowError(askOnce, LGenCannotOpenMessage(path));
        return 2;
    }
    if (Is(ext, ".wav")) {
        source = LWaveFile::OpenSource(path);
        return Verdict(source, askOnce, path);
    }
    if (Is(ext, ".mp3")) {
        source = LMP3Source::Open(path);
        return Verdict(source, askOnce, path);
    }
    if (Is(ext, ".aif") || Is(ext, ".aiff")) {
        source = LAifFile::OpenSource(path);
        return Verdict(source, askOnce, path);
    }
    if (Is(ext, ".au")) {
        source = LAuFile::OpenSource(path);
        return Verdict(source, askOnce, path);
    }
    if (Is(ext, ".gsm")) {
        source = LGSMFile::OpenSource(path);
        return Verdict(source, askOnce, path);
    }
    if (Is(ext, ".vox"))
        return OpenRaw(source, path, askOnce, kVoxAudioSection);
    if (Is(ext, ".raw") || Is(ext, ".snd"))
        return OpenRaw(source, path, askOnce, kRawAudioSection);

    LLockFile lock;
    const std::string wav = LPickTempWav(lock);
    if (wav.empty()) {
        const std::string reason = std::strerror(errno);
        source = MakeErrorSource(kSrcCannotOpen);
        ShowError(askOnce, "Cannot decode the file \"" + path + "\" because no private temporary folder could be " +
                               "made in \"" + GetTempFolder() + "\" (" + reason + ").");
        return 2;
    }
    int32_t result = RunDecoder(ext, path, wav);
    if (result != 0) {
        ::unlink(wav.c_str());
        source = MakeErrorSource(result == 1 ? kSrcSilent : kSrcCannotOpen);
        // The decoder jobs with their own programs or messages have told the user already.
        const bool toldAlready = Is(ext, ".aac") || Is(ext, ".m4a") || Is(ext, ".ogg") || Is(ext, ".flac") ||
                                 Is(ext, ".dss") || Is(ext, ".ra") || Is(ext, ".ram") || Is(ext, ".rm") ||
                                 Is(ext, ".sri") || Is(ext, ".dct");
        if (result == 2 && !toldAlready)
            ShowError(askOnce, MediaFailureText(ext, path));
        return result;
    }
    source = LWaveFile::OpenSource(wav);
    // The decoded data lives on in the open source; the name is not needed.
    ::unlink(wav.c_str());
    // A decoder that ran but left nothing readable is said, not passed over.
    return Verdict(source, askOnce, path);
}

std::string LGenOpenFailureMessage(const std::string& path, uint8_t state)
{
    const std::string ext = LGenExtension(path);
    if (state == kSrcCannotOpen || Is(ext, ".gsm") || Is(ext, ".vox") || Is(ext, ".raw") || Is(ext, ".snd"))
        return LGenCannotOpenMessage(path);
    if (Is(ext, ".wav")) {
        if (state == kSrcNoCodec)
            return UnreadableCodingText(path);
        if (state != kSrcInvalid)
            return "Cannot open the file \"" + path + "\".";
    }
    if (Is(ext, ".mp3"))
        return "Cannot open the file \"" + path + "\". It is possibly either corrupt or not a true layer-3 MPEG file.";
    return LGenCorruptMessage(path);
}
