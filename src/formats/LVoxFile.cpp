#include "formats/LVoxFile.h"

#include "formats/LSNKVOX.h"
#include "formats/LSRCVOX.h"

LSoundSource LVoxFile::OpenSource(const std::string& path, int32_t rate) { return MakeSource<LSRCVOX>(path, rate); }

LSoundSink LVoxFile::OpenSink(const std::string& path, int32_t rate) { return MakeSink<LSNKVOX>(path, rate); }
