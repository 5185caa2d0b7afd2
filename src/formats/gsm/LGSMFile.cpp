#include "formats/gsm/LGSMFile.h"

#include "formats/gsm/LGSMFileSink.h"
#include "formats/gsm/LGSMFileSource.h"

LSoundSource LGSMFile::OpenSource(const std::string& path) { return MakeSource<LGSMFileSource>(path); }

LSoundSink LGSMFile::OpenSink(const std::string& path) { return MakeSink<LGSMFileSink>(path); }

