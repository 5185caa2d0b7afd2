#pragma once
// Helpers of the encoder tests: fake encoder programs, and saving through an
// encoder sink the way the save job does.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/LPRSourceToSink.h"
#include "core/LSettings.h"
#include "formats/LPipe16Sink.h"
#include "support/TestSupport.h"

namespace test::encoder {

using test::TempPath;

// An executable file with `text`.
inline std::string Script(const std::string& name, const std::string& text)
{
    std::string path = TempPath(name);
    test::WriteFileBytes(path, text);
    chmod(path.c_str(), 0755);
    return path;
}

// A shell script as an encoder component; `body` runs with the encoder's arguments.
inline std::string FakeEncoder(const std::string& name, const std::string& body)
{
    return Script(name, "#!/bin/sh\n" + body + "\n");
}

// Makes `component` run the program at `path`.
inline void UseComponent(const std::string& component, const std::string& path)
{
    LSettings::WriteString("Components\\" + component, "Path", path);
}

struct SaveResult {
    int32_t pumped = kJobFailed;
    int32_t finished = kJobFailed;
};

// Saves `values` into `sink` as the save job does: pump, then finish the encoder.
inline SaveResult Save(const LSoundSink& sink, std::vector<int32_t> values, int32_t rate, uint8_t channels)
{
    SaveResult r;
    LSoundSource source = MakeSource<test::VectorSource>(std::move(values), rate, channels);
    RunJob("Saving file...", [&](LProgressDialog& job) {
        LPRSourceToSink::Data data{"Saving", source, sink};
        r.pumped = LPRSourceToSink::Process(job, data);
        LPipe16Sink* pipe = LPipe16Sink::Of(sink);
        r.finished = pipe ? pipe->Finish(job) : kJobFailed;
        return r.pumped;
    });
    return r;
}

} // namespace test::encoder
