#include "app/LKVScriptFile.h"

#include <algorithm>

#include "core/ByteOrder.h"
#include "core/LFile.h"

LKVScriptFile::ReadResult LKVScriptFile::Read(const std::string& path, std::vector<LKVCommand>& commands,
                                              Damage* damage)
{
    commands.clear();
    if (damage)
        *damage = Damage{};
    auto cutShort = [&](const std::string& reason) {
        if (damage && damage->record == 0)
            *damage = Damage{commands.size() + 1, reason};
    };
    LFile file;
    if (!file.Open(path, LFile::Mode::Read))
        return ReadResult::CannotOpen;
    uint8_t version = 0;
    if (file.Read(&version, 1) != 1)
        return ReadResult::CannotOpen;
    if (version != 0)
        return ReadResult::WrongVersion;
    const int64_t size = file.GetFileSizeBytes();
    for (;;) {
        uint8_t head[8];
        const int32_t got = file.Read(head, 8);
        if (got != 8) {
            if (got > 0)
                cutShort("the file ends " + std::to_string(got) + " bytes into its 8-byte header");
            break;
        }
        LKVCommand command;
        command.index = GetLE32(head);
        const uint32_t claimed = GetLE32(head + 4);
        // A damaged size cannot make us allocate more than the file holds.
        int64_t want = std::min<int64_t>(claimed, std::max<int64_t>(size - file.Tell(), 0));
        command.data.resize(size_t(want));
        command.data.resize(size_t(std::max(file.Read(command.data.data(), int32_t(want)), 0)));
        if (command.data.size() < claimed)
            cutShort("it has " + std::to_string(claimed) + " bytes of values, but the file ends after " +
                     std::to_string(command.data.size()));
        commands.push_back(std::move(command));
    }
    return ReadResult::Ok;
}

bool LKVScriptFile::Write(const std::string& path, const std::vector<LKVCommand>& commands)
{
    std::vector<uint8_t> bytes{0};
    for (const LKVCommand& c : commands) {
        uint8_t head[8];
        PutLE32(head, c.index);
        PutLE32(head + 4, uint32_t(c.data.size()));
        bytes.insert(bytes.end(), head, head + 8);
        bytes.insert(bytes.end(), c.data.begin(), c.data.end());
    }
    LFile file;
    return file.Open(path, LFile::Mode::Create) && file.Write(bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
}
