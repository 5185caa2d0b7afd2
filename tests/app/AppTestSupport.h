#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MainDialog.h"
#include <cstdio>
#include <unistd.h>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "edit/EditTestSupport.h"
#include "support/TestSupport.h"

namespace apptest {

// Records what playback was asked to do, with the frames it would have played.
class FakePlayer : public LPlayerPort {
public:
    struct Play {
        std::vector<int32_t> frames;
        int32_t from;
    };
    void Stop() override { ++stops; }
    bool Start(LSoundSource source, int32_t device) override
    {
        devices.push_back(device);
        const int32_t from = source->GetPosition();
        source->Seek(0);
        plays.push_back({test::ReadAll(source, 3), from});
        return true;
    }
    int stops = 0;
    std::vector<Play> plays;
    std::vector<int32_t> devices;
};

// Scripted answers for the main window's dialogs; an empty queue cancels.
class AppUi : public LScriptedUi {
public:
    bool FileDialog(const LUiFileRequest& request, std::string& path) override
    {
        fileRequests.push_back(request);
        return Pop(paths, path);
    }
    bool NewFileDialog(int32_t& rate, uint8_t& channels) override
    {
        newFileOffered.push_back({rate, channels});
        std::pair<int32_t, uint8_t> answer;
        if (!Pop(newFile, answer))
            return false;
        rate = answer.first;
        channels = answer.second;
        return true;
    }
    bool TextDialog(const std::string& title, std::string& text) override
    {
        textRequests.push_back({title, text});
        return Pop(texts, text);
    }
    bool SelectRegionDialog(int32_t& startMs, int32_t& endMs) override
    {
        std::pair<int32_t, int32_t> answer;
        if (!Pop(ranges, answer))
            return false;
        startMs = answer.first;
        endMs = answer.second;
        return true;
    }
    bool ExportRegionDialog(std::string& folder, int32_t& format) override
    {
        std::pair<std::string, int32_t> answer;
        if (!Pop(exports, answer))
            return false;
        folder = answer.first;
        format = answer.second;
        return true;
    }
    bool AssembleRegionsDialog(const std::vector<std::string>& names, std::vector<size_t>& order) override
    {
        assembleNames = names;
        return Pop(orders, order);
    }

    // The texts of the messages shown so far.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const LUiMessage& m : messages)
            t.push_back(m.text);
        return t;
    }
    void Answer(std::initializer_list<LUiAnswer> list) { answers.insert(answers.end(), list); }

    std::deque<std::string> paths;
    std::vector<LUiFileRequest> fileRequests;
    std::deque<std::pair<int32_t, uint8_t>> newFile;
    std::vector<std::pair<int32_t, uint8_t>> newFileOffered;
    std::deque<std::string> texts;
    std::vector<std::pair<std::string, std::string>> textRequests;  // (title, proposed text)
    std::deque<std::pair<int32_t, int32_t>> ranges;
    std::deque<std::pair<std::string, int32_t>> exports;
    std::deque<std::vector<size_t>> orders;
    std::vector<std::string> assembleNames;

private:
    template <class T>
    static bool Pop(std::deque<T>& q, T& out)
    {
        if (q.empty())
            return false;
        out = std::move(q.front());
        q.pop_front();
        return true;
    }
};

// A 16-bit PCM WAV file of `values` (interleaved); they read back as value * 16.
inline void WriteWav(const std::string& path, const std::vector<int16_t>& values, int32_t rate, uint8_t channels)
{
    const uint32_t bytes = uint32_t(values.size() * 2);
    std::string f(44 + bytes, '\0');
    auto* p = reinterpret_cast<uint8_t*>(f.data());
    std::copy_n("RIFF", 4, f.data());
    PutLE32(p + 4, 36 + bytes);
    std::copy_n("WAVEfmt ", 8, f.data() + 8);
    PutLE32(p + 16, 16);
    PutLE16(p + 20, 1);
    PutLE16(p + 22, channels);
    PutLE32(p + 24, uint32_t(rate));
    PutLE32(p + 28, uint32_t(rate) * channels * 2);
    PutLE16(p + 32, uint16_t(channels * 2));
    PutLE16(p + 34, 16);
    std::copy_n("data", 4, f.data() + 36);
    PutLE32(p + 40, bytes);
    for (size_t i = 0; i < values.size(); ++i)
        PutLE16(p + 44 + 2 * i, uint16_t(values[i]));
    test::WriteFileBytes(path, f);
}

// 0, 1, 2, ... as 16-bit values: frame i of channel c holds i * channels + c.
inline std::vector<int16_t> Ramp16(int32_t frames, uint8_t channels = 1)
{
    std::vector<int16_t> v(size_t(frames) * channels);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(i);
    return v;
}

// The values a ramp file reads back as.
inline std::vector<int32_t> RampValues(int32_t frames, uint8_t channels = 1, int32_t from = 0)
{
    std::vector<int32_t> v;
    for (int32_t i = from * channels; i < (from + frames) * channels; ++i)
        v.push_back(i * 16);
    return v;
}

// Puts the settings file back as it was, so that tests run in one process do not
// see each other's settings.
class SettingsGuard {
public:
    SettingsGuard() : path_(LSettings::IniPath()), existed_(FileExists(path_)), bytes_(test::ReadFileBytes(path_)) {}
    ~SettingsGuard()
    {
        if (!existed_) {
            ::unlink(path_.c_str());
            return;
        }
        // A new file (a new inode) so that the store notices the change.
        test::WriteFileBytes(path_ + ".restore", bytes_);
        ::rename((path_ + ".restore").c_str(), path_.c_str());
    }
    SettingsGuard(const SettingsGuard&) = delete;
    SettingsGuard& operator=(const SettingsGuard&) = delete;

private:
    std::string path_;
    bool existed_;
    std::string bytes_;
};

// A main window with a scripted UI and player, settings that keep playback out
// of the way unless a test asks for it, and progress windows that never cancel.
struct App {
    SettingsGuard settings;
    AppUi ui;
    FakePlayer player;
    test::ScriptedProgress progress;
    MainDialog main{&player};

    App()
    {
        LSettings::WriteBool("Settings", "PlayWhenOpen", false);
        LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", false);
        LSettings::WriteBool("Settings", "PromptSampleAndChannels", false);
    }
    // Writes a ramp WAV under the test folder and opens it.
    LKVFile* OpenRamp(const std::string& name, int32_t frames, int32_t rate = 8000, uint8_t channels = 1)
    {
        const std::string path = test::TempPath(name);
        WriteWav(path, Ramp16(frames, channels), rate, channels);
        return main.OpenFile(path);
    }
};

} // namespace apptest
