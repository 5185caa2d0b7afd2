// The CDDB lookup against servers on loopback written here: the exchange of a
// five-track disc, replies outside 200-299, long lines, no match, inexact
// matches, a server that stalls, a cancel while connecting; the server text's
// port; the disc ids against libcddb and libdiscid.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cddb/cddb.h>
#include <discid/discid.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "CdTestSupport.h"
#include "cd/LCDDBInfo.h"
#include "cd/LCDDBLookup.h"
#include "cd/LCDDiscIds.h"
#include "core/LProgressDialog.h"
#include "core/LScriptedUi.h"
#include "support/TestSupport.h"

namespace {

// A CDDB server for one connection: sends `greeting`, then answers every line
// it receives with the lines `answer` gives (none: it stalls). Stops with the
// object.
class Server {
public:
    using Answer = std::function<std::vector<std::string>(const std::string&)>;
    Server(std::string greeting, Answer answer, bool v6 = false) : greeting_(std::move(greeting)), answer_(std::move(answer))
    {
        listener_ = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
        if (v6) {
            sockaddr_in6 a{};
            a.sin6_family = AF_INET6;
            a.sin6_addr = in6addr_loopback;
            ok_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        } else {
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ok_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        }
        ok_ = ok_ && ::listen(listener_, 4) == 0;
        sockaddr_storage s{};
        socklen_t size = sizeof s;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&s), &size);
        port_ = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&s)->sin6_port : reinterpret_cast<sockaddr_in*>(&s)->sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~Server()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(listener_);
    }
    bool Ok() const { return ok_; }
    std::string Address(bool v6 = false) const { return (v6 ? "[::1]:" : "127.0.0.1:") + std::to_string(port_); }
    // The lines of a connection the client has closed: waits for the server to
    // have read them all, the last ("cddb quit") may still be on its way.
    std::vector<std::string> Received()
    {
        if (thread_.joinable())
            thread_.join();
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    bool Wait(int fd)
    {
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }
    void Send(int fd, const std::string& line)
    {
        const std::string text = line + "\r\n";
        if (::send(fd, text.data(), text.size(), MSG_NOSIGNAL) < 0)
            stop_ = true;
    }
    void Serve()
    {
        if (!Wait(listener_))
            return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        Send(fd, greeting_);
        std::string line;
        while (Wait(fd)) {
            char c = 0;
            if (::recv(fd, &c, 1, 0) <= 0)
                break;
            if (c != '\n') {
                line += c;
                continue;
            }
            {
                std::lock_guard lock(mutex_);
                received_.push_back(line);
            }
            for (const std::string& reply : answer_(line))
                Send(fd, reply);
            line.clear();
        }
        ::close(fd);
    }

    std::string greeting_;
    Answer answer_;
    int listener_ = -1;
    bool ok_ = false;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

// The answers of a server that knows the disc as `category` with these lines.
Server::Answer Knows(const std::string& queryReply, const std::vector<std::string>& entry)
{
    return [=](const std::string& line) -> std::vector<std::string> {
        if (line.rfind("cddb hello", 0) == 0)
            return {"200 Hello and welcome"};
        if (line.rfind("cddb query", 0) == 0)
            return {queryReply};
        if (line.rfind("cddb read", 0) == 0) {
            std::vector<std::string> out = {"210 rock 4a00c405 CD database entry follows"};
            out.insert(out.end(), entry.begin(), entry.end());
            out.push_back(".");
            return out;
        }
        if (line.rfind("cddb quit", 0) == 0)
            return {"230 Goodbye"};
        return {"500 Unrecognized command"};
    };
}

// A five-track disc of 10 seconds in the first virtual drive.
std::string FiveTracks()
{
    static const std::string cue = cdtest::MakeAudioDisc("five", {150, 150, 150, 150, 150});
    cdtest::UseVirtualDrives(cue);
    return cue;
}

LCDDBInfo Lookup(const std::string& server, int32_t timeoutMs = 2000)
{
    LCDDBInfo info;
    info.drive = 0;
    info.lookup = true;
    info.server.server = server;
    info.server.timeoutMs = timeoutMs;
    info.server.connectTimeoutMs = timeoutMs;
    const int32_t r = RunJobOnWorker("Loading Track(s)", [&](LProgressDialog& d) { return LCDDBInfo::Process(d, info); });
    EXPECT_EQ(r, kJobDone) << info.error;
    return info;
}

std::vector<std::string> Names(const LCDDBInfo& info)
{
    std::vector<std::string> names;
    for (const LCDTrackRecord& t : info.tracks)
        names.push_back(t.name);
    return names;
}

const std::vector<std::string> kDefaultNames = {"Track 01", "Track 02", "Track 03", "Track 04", "Track 05"};

TEST(Cddb, AFiveTrackDiscIsQueriedReadAndNamed)
{
    FiveTracks();
    LScriptedUi ui;
    const std::string longTitle(70, 'x');
    Server server("201 loopback CDDBP server v1.0 ready", Knows("200 rock 4a00c405 Artist / Album",
                                                              {"# xmcd", "DISCID=4a00c405", "DTITLE=Artist / Album",
                                                               "TTITLE0=First", "TTITLE1=Second part one,",
                                                               "TTITLE1= part two", "TTITLE2=Tab\\there",
                                                               "TTITLE3=Caf\xe9", "TTITLE9=Nowhere", "EXTD=",
                                                               "TTITLE4=" + longTitle}));
    ASSERT_TRUE(server.Ok());
    LCDDBInfo info = Lookup(server.Address());
    const std::string id = LCDDiscIds::CddbText(LCDDiscIds::Cddb(info.toc));
    EXPECT_EQ(id, info.cddbId);
    const std::vector<std::string> sent = server.Received();
    ASSERT_EQ(sent.size(), 4u) << info.lookupNote;
    EXPECT_EQ(sent[0], "cddb hello undef localhost Kelvane 1.11");
    // Five offsets, each start + 150, and the length in seconds + 2.
    EXPECT_EQ(sent[1], "cddb query " + id + " 5 150 300 450 600 750 12");
    EXPECT_EQ(sent[2], "cddb read rock " + id);
    EXPECT_EQ(sent[3], "cddb quit");
    EXPECT_EQ(info.discTitle, "Artist / Album");
    // Titles keep their last character; continued lines are joined; ISO 8859-1 becomes UTF-8.
    EXPECT_EQ(Names(info), (std::vector<std::string>{"First", "Second part one, part two", "Tab here", "Caf\xc3\xa9",
                                                     longTitle}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(info.tracks[4].duration, 2);
}

TEST(Cddb, RefusalsNoMatchAndLongLines)
{
    FiveTracks();
    LScriptedUi ui;
    {
        // A greeting outside 200-299 ends quietly.
        Server server("432 No connections allowed", Knows("200 rock 1", {}));
        LCDDBInfo info = Lookup(server.Address());
        EXPECT_EQ(Names(info), kDefaultNames);
        EXPECT_TRUE(server.Received().empty());
    }
    {
        Server server("200 ready", [](const std::string& line) -> std::vector<std::string> {
            return {line.rfind("cddb hello", 0) == 0 ? "402 Already shook hands" : "200 x"};
        });
        LCDDBInfo info = Lookup(server.Address());
        EXPECT_EQ(Names(info), kDefaultNames);
        EXPECT_EQ(server.Received().size(), 1u);
    }
    EXPECT_TRUE(ui.messages.empty());
    {
        Server server("200 ready", Knows("202 No match for disc ID 4a00c405.", {}));
        LCDDBInfo info = Lookup(server.Address());
        EXPECT_EQ(Names(info), kDefaultNames);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "No CDDB match found");
        EXPECT_EQ(ui.messages[0].caption, "Kelvane");
        EXPECT_EQ(server.Received().size(), 2u);
    }
    {
        // A 300-character line keeps 259 characters; the rest is not taken for the next line.
        const std::string title(300 - 8, 'a');
        Server server("200 ready", Knows("200 rock 4a00c405 x", {"TTITLE0=" + title, "TTITLE1=Next"}));
        LCDDBInfo info = Lookup(server.Address());
        EXPECT_EQ(info.tracks[0].name, std::string(259 - 8, 'a'));
        EXPECT_EQ(info.tracks[1].name, "Next");
    }
}

TEST(Cddb, AnInexactMatchIsReadUnderItsOwnId)
{
    FiveTracks();
    Server server("200 ready", [](const std::string& line) -> std::vector<std::string> {
        if (line.rfind("cddb query", 0) == 0)
            return {"211 Found inexact matches, list follows (until terminating `.')", "jazz 0badcafe Other / Disc",
                    "rock 12345678 Third / Disc", "."};
        if (line.rfind("cddb read jazz 0badcafe", 0) == 0)
            return {"210 jazz 0badcafe", "DTITLE=Other / Disc", "TTITLE2=Three", "."};
        return {"200 ok"};
    });
    LCDDBInfo info = Lookup(server.Address());
    EXPECT_EQ(info.discTitle, "Other / Disc");
    EXPECT_EQ(info.tracks[2].name, "Three");
    EXPECT_EQ(info.tracks[0].name, "Track 01");
    const std::vector<std::string> sent = server.Received();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[2], "cddb read jazz 0badcafe");
}

TEST(Cddb, AStalledServerTimesOutAndACancelWhileConnectingEndsQuietly)
{
    FiveTracks();
    {
        // The entry stops after its first title: that one is kept.
        Server server("200 ready", [](const std::string& line) -> std::vector<std::string> {
            if (line.rfind("cddb read", 0) == 0)
                return {"210 rock 4a00c405", "DTITLE=Half / Way", "TTITLE0=Kept"};
            if (line.rfind("cddb query", 0) == 0)
                return {"200 rock 4a00c405 Half / Way"};
            return {"200 ok"};
        });
        LCDDBInfo info = Lookup(server.Address(), 400);
        EXPECT_EQ(info.tracks[0].name, "Kept");
        EXPECT_EQ(info.tracks[1].name, "Track 02");
        EXPECT_NE(info.lookupNote.find("no answer"), std::string::npos) << info.lookupNote;
    }
    {
        // A listener whose queue is full lets a connect wait for its answer.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::listen(listener, 0), 0);
        socklen_t size = sizeof a;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
        std::vector<int> waiting;
        for (int i = 0; i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
            waiting.push_back(c);
        }
        int pumps = 0;
        cdtest::CancelWhen cancel([&] { return ++pumps > 5; });
        LCDDBInfo info = Lookup("127.0.0.1:" + std::to_string(ntohs(a.sin_port)), 60000);
        EXPECT_EQ(info.lookupNote, "cancelled");
        EXPECT_EQ(Names(info), kDefaultNames);
        // The window shows what the worker set last on each line.
        EXPECT_NE(std::find(cancel.lines.begin(), cancel.lines.end(), "Connected to freedb server"), cancel.lines.end());
        for (int c : waiting)
            ::close(c);
        ::close(listener);
    }
}

TEST(Cddb, ServerTextsAndIPv6)
{
    std::string host;
    uint16_t port = 0;
    EXPECT_TRUE(LCDDBLookup::ParseServer("host:1234", host, port));
    EXPECT_EQ(host, "host");
    EXPECT_EQ(port, 1234);
    EXPECT_TRUE(LCDDBLookup::ParseServer("host", host, port));
    EXPECT_EQ(port, 8880);
    EXPECT_TRUE(LCDDBLookup::ParseServer("[::1]:99", host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 99);
    EXPECT_TRUE(LCDDBLookup::ParseServer("::1", host, port));
    EXPECT_EQ(port, 8880);
    for (const char* bad : {"host:", "host:0", "host:70000", ":80", "host:8o"})
        EXPECT_FALSE(LCDDBLookup::ParseServer(bad, host, port)) << bad;

    FiveTracks();
    Server server("200 ready", Knows("200 rock 4a00c405 x", {"TTITLE0=Over IPv6"}), true);
    if (!server.Ok())
        GTEST_SKIP() << "no IPv6 loopback here";
    LCDDBInfo info = Lookup(server.Address(true));
    EXPECT_EQ(info.tracks[0].name, "Over IPv6");
}

// Tables of contents: starts and the lead-out, first track number.
struct Toc {
    uint8_t first;
    std::vector<int32_t> starts;
};

TEST(DiscIds, AgreeWithLibcddbAndLibdiscid)
{
    std::vector<Toc> tocs = {
        {1, {0, 150, 300, 450, 600, 750}},
        {1, {0, 18641, 34667, 56350, 77006, 106094, 125729, 149785, 168885, 185910, 205829, 230142, 246658, 265737}},
        // A hidden first track: the first starts late, and at an odd second.
        {1, {33, 21000, 40000, 40074}},
        {3, {182, 14000, 30001}},
    };
    Toc many{1, {}};
    for (int32_t i = 0; i <= 99; ++i)
        many.starts.push_back(i * 3000 + (i * 37) % 75);
    tocs.push_back(many);
    for (const Toc& t : tocs) {
        LCDToc toc;
        toc.firstTrack = t.first;
        toc.starts = t.starts;
        toc.count = int32_t(t.starts.size()) - 1;
        toc.control.assign(t.starts.size(), 0);

        cddb_disc_t* disc = cddb_disc_new();
        for (int32_t i = 0; i < toc.count; ++i) {
            cddb_track_t* track = cddb_track_new();
            cddb_track_set_frame_offset(track, t.starts[size_t(i)] + 150);
            cddb_disc_add_track(disc, track);
        }
        cddb_disc_set_length(disc, (t.starts.back() + 150) / 75);
        cddb_disc_calc_discid(disc);
        EXPECT_EQ(LCDDiscIds::Cddb(toc), cddb_disc_get_discid(disc)) << "tracks " << toc.count;
        cddb_disc_destroy(disc);

        DiscId* d = discid_new();
        std::vector<int> offsets(100, 0);
        offsets[0] = t.starts.back() + 150;
        for (int32_t i = 0; i < toc.count; ++i)
            offsets[size_t(t.first + i)] = t.starts[size_t(i)] + 150;
        ASSERT_TRUE(discid_put(d, t.first, t.first + toc.count - 1, offsets.data()));
        EXPECT_EQ(LCDDiscIds::MusicBrainz(toc), discid_get_id(d)) << "tracks " << toc.count;
        // libdiscid takes the playing time from track 1 whatever the first track is.
        if (t.first == 1) {
            EXPECT_EQ(LCDDiscIds::CddbText(LCDDiscIds::Cddb(toc)), discid_get_freedb_id(d));
        }
        discid_free(d);
    }
}

} // namespace
