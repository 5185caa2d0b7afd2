#pragma once
#include <cstdint>
#include <string>

class LProgressDialog;

// Install-on-demand components: the external decoder and encoder programs. Each
// is found by the "Path" value of the settings section "Components\<name>", else
// by its default program: ours beside the running executable, others on PATH.
//
// | component | default program | Debian package |
// | "oggdec"  | kelvane-avdec   | kelvane        |
// | "flacdec" | kelvane-avdec   | kelvane        |
// | "aacdec"  | kelvane-avdec   | kelvane        |
// | "oggenc"  | oggenc          | vorbis-tools   |
// | "flacenc" | flac            | flac           |
// | "mp3el"   | kelvane-mp3el   | lame           |
// | "aacenc"  | kelvane-aacenc  | kelvane        |

// The path of `component`'s program: 0 with `path` set; 2 when it cannot be found,
// after telling the user which package provides it. `job` may be null.
int32_t LProcessGetComponentPath(LProgressDialog* job, const std::string& component, std::string& path);

// The same lookup without any message; empty when the program is not there.
std::string LFindComponent(const std::string& component);

// A program on PATH (or an absolute path that is executable); empty when absent.
std::string LFindProgram(const std::string& name);
// The folder of the running executable.
std::string LExecutableFolder();
