#pragma once
// Shared by the libFuzzer targets: a private folder for everything a target
// writes, the input as a file, seeds made by the program's own writers, and the
// whole-source read every audio target ends with.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/LSoundSource.h"

namespace fuzz {

// A fresh folder under $TMPDIR, made on first use; KELVANE_HOME and TMPDIR point
// into it, so settings, the cut tank and decoder temporaries stay there. Also
// installs a user-interface port that answers every message box unseen.
const std::string& Home();
// A path in Home().
std::string PathIn(const std::string& name);
// Writes the input to Home()/input<ext> and returns that path.
std::string WriteInput(const uint8_t* data, size_t size, const std::string& ext);

// Calls `make(folder)` when libFuzzer's first corpus folder (its first argument
// that is not a flag) exists and is empty: each target writes its own seeds.
void SeedOnce(int argc, char** argv, const std::function<void(const std::string&)>& make);
// Stores `bytes` as seed `name` in `folder`.
void WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes);
// The bytes of the file at `path` (the output of a writer), empty when unreadable.
std::string ReadFile(const std::string& path);

// Reads `source` from where it is to its length (the length may firm up on the
// way) and then again after seeks to places taken from the input, before the
// start and past the end, in odd block sizes. Stops the process when the source
// breaks its contract: more than `maxChannels` channels, a position that is not
// where the reads and seeks left it, or, for a source that declares at most
// 16-bit full scale (the save path then passes its values on unlimited), a value
// beyond that.
void ReadWhole(LSoundSource source, const uint8_t* data, size_t size, uint8_t maxChannels = 2);

// Stops the process with `what` on stderr: libFuzzer saves the input.
[[noreturn]] void Fail(const char* what);

} // namespace fuzz
