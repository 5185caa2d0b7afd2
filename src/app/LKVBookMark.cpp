#include "app/LKVBookMark.h"

#include <cstdio>
#include <ctime>
#include <unistd.h>

#include "app/LKVBinary.h"
#include "core/ByteOrder.h"
#include "core/LSoundTime.h"

bool LKVBookMark::Fits() const { return LKVTextFits(name) && LKVTextFits(path); }

void LKVBookMark::ToRecord(uint8_t* record) const
{
    LKVPutText(record, name);
    LKVPutText(record + 260, path);
    PutLE32(record + 520, positionMs);
    record[524] = timesVisited;
    PutLE32(record + 525, lastVisited);
}

LKVBookMark LKVBookMark::FromRecord(const uint8_t* record)
{
    LKVBookMark b;
    b.name = LKVGetText(record);
    b.path = LKVGetText(record + 260);
    b.positionMs = GetLE32(record + 520);
    b.timesVisited = record[524];
    b.lastVisited = GetLE32(record + 525);
    return b;
}

std::string LKVBookMark::TimeText() const
{
    // Positions beyond 2^31 ms (24 days) cannot be shown as times; show the largest.
    return LSoundTime(positionMs > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(positionMs)).GetTextCs();
}

std::string LKVBookMark::LastVisitedText() const
{
    const time_t t = time_t(lastVisited);
    struct tm local {};
    if (!localtime_r(&t, &local))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2d %.2d:%.2d:%.2d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string LKVBookMarkFilePath(const std::string& audioPath) { return ApplyNewFileExtension(audioPath, ".kbm"); }

LKVBookMarkRead LKVReadBookMarkFile(const std::string& audioPath, LKVBookMarkList& list)
{
    LKVFileReader in;
    if (!in.Open(LKVBookMarkFilePath(audioPath)))
        return LKVBookMarkRead::Missing;
    uint8_t version = 0xFF, count = 0;
    if (!in.ReadU8(version) || version != 0 || !in.ReadU8(count))
        return LKVBookMarkRead::Corrupt;
    LKVBookMarkList read;
    uint8_t record[LKVBookMark::kRecordSize];
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Read(record, sizeof record))
            return LKVBookMarkRead::Corrupt;
        read.push_back(LKVBookMark::FromRecord(record));
        read.back().path = audioPath;
    }
    for (LKVBookMark& b : read) {
        bool known = false;
        for (const LKVBookMark& have : list)
            known = known || (have.name == b.name && have.path == b.path);
        if (!known)
            list.push_back(std::move(b));
    }
    return LKVBookMarkRead::Loaded;
}

LKVBookMarkWrite LKVWriteBookMarkFile(const std::string& audioPath, const LKVBookMarkList& list)
{
    const std::string file = LKVBookMarkFilePath(audioPath);
    if (list.empty()) {
        ::unlink(file.c_str());
        return LKVBookMarkWrite::Deleted;
    }
    std::vector<const LKVBookMark*> mine;
    for (const LKVBookMark& b : list)
        if (b.path == audioPath)
            mine.push_back(&b);
    if (mine.size() > kLKVMaxRecords)
        return LKVBookMarkWrite::TooMany;
    if (!LKVTextFits(audioPath))
        return LKVBookMarkWrite::TextTooLong;
    for (const LKVBookMark* b : mine)
        if (!b->Fits())
            return LKVBookMarkWrite::TextTooLong;

    LKVFileWriter out;
    if (!out.Open(file))
        return LKVBookMarkWrite::Failed;
    out.WriteU8(0);
    out.WriteU8(uint8_t(mine.size()));
    uint8_t record[LKVBookMark::kRecordSize];
    for (const LKVBookMark* b : mine) {
        b->ToRecord(record);
        out.Write(record, sizeof record);
    }
    return out.Commit() ? LKVBookMarkWrite::Written : LKVBookMarkWrite::Failed;
}
