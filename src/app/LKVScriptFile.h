#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"

// Command scripts (".kvb"): a version byte 0, then command records (index and
// data size as 32-bit little-endian, then the data) up to the end of the file.
class LKVScriptFile {
public:
    enum class ReadResult { Ok, CannotOpen, WrongVersion, TooLarge };

    // The largest script read: a script holds a few commands of at most 129
    // bytes of values each, so anything bigger is not one (or is /dev/zero).
    static constexpr int64_t kMaxBytes = 1 << 20;

    // Where a script was found cut short: the record (counted from 1; 0 when the
    // file is whole) and what is wrong with it.
    struct Damage {
        size_t record = 0;
        std::string reason;
    };

    // Reads `path` into `commands` (emptied first). Reading stops at the first
    // record whose size field is incomplete; a record whose data runs past the end
    // keeps what is there (too short for its layout, it runs with stored values).
    // Records of index 18 or more are kept; the run skips them. When `damage` is
    // given, it names the first record that the end of the file cut short.
    // A file of more than kMaxBytes (or a stream that goes on past them) is
    // refused with TooLarge before anything is kept.
    static ReadResult Read(const std::string& path, std::vector<LKVCommand>& commands, Damage* damage = nullptr);
    // Writes `commands`; false when the file cannot be written.
    static bool Write(const std::string& path, const std::vector<LKVCommand>& commands);

    static constexpr const char* kVersionMessage =
        "This file does not have the same version with the current Kelvane version or it is corrupted.";
    // TooLarge's message for `path`.
    static std::string TooLargeMessage(const std::string& path);
    static constexpr const char* kCannotOpenMessage =
        "Kelvane cannot open this file. The file does not exist or may be corrupted.";
};
