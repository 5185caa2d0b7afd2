// File > Send: through a stand-in xdg-email on PATH, and over SMTP to a
// server on loopback written here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

#include "app/LKVSendChoice.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"
#include "formats/LWaveFile.h"

using apptest::App;
using test::Quote;
using test::TempPath;

namespace {

class SendUi : public apptest::AppUi {
public:
    bool SendDialog(LKVSendChoice& choice) override
    {
        subjects.push_back(choice.subject);
        if (recipients.empty())
            return false;
        choice.to = recipients.front();
        recipients.pop_front();
        return true;
    }
    std::deque<std::string> recipients;
    std::vector<std::string> subjects;
};

// An SMTP server on 127.0.0.1 that serves one session and leaves: it offers
// SIZE, refuses recipients starting with "bad@" (550) and messages over the
// size with 552, writes each message it takes to OUT; in "stall" mode it
// accepts the connection and never speaks. Its port goes to PORTFILE.
const char* kServer = R"PY(
import socket, sys, time
mode, portfile, out, limit = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(1); s.settimeout(60)
open(portfile + '.tmp', 'w').write(str(s.getsockname()[1]))
import os; os.rename(portfile + '.tmp', portfile)
c, _ = s.accept(); c.settimeout(60)
# No one else connects: a later connection to the port is refused at once.
s.close()
if mode == 'stall':
    time.sleep(30); sys.exit(0)
f = c.makefile('rb')
def say(line): c.sendall(line.encode() + b'\r\n')
say('220 test ESMTP')
sender = ''
while True:
    line = f.readline()
    if not line: break
    cmd = line.decode().strip(); up = cmd.upper()
    if up.startswith('EHLO'): c.sendall(b'250-test\r\n250 SIZE %d\r\n' % limit)
    elif up.startswith('HELO'): say('250 test')
    elif up.startswith('MAIL FROM:'):
        sender = cmd[10:].split()[0].strip('<>')
        size = [p for p in cmd.split() if p.upper().startswith('SIZE=')]
        if size and int(size[0][5:]) > limit: say('552 5.3.4 message too big')
        else: say('250 OK')
    elif up.startswith('RCPT TO:'):
        say('550 5.1.1 no such user' if 'bad@' in cmd else '250 OK')
    elif up == 'DATA':
        say('354 go on')
        data = b''
        while True:
            l = f.readline()
            if l in (b'.\r\n', b''): break
            data += l[1:] if l.startswith(b'..') else l
        open(out, 'wb').write(('FROM ' + sender + '\n').encode() + data)
        say('250 OK')
    elif up == 'QUIT': say('221 bye'); break
    else: say('250 OK')
)PY";

// Starts the server in `mode`; returns its port.
int StartServer(const std::string& mode, const std::string& out, int limit = 10000000)
{
    static int n = 0;
    const std::string script = TempPath("smtp.py"), port = TempPath("port" + std::to_string(++n));
    test::WriteFileBytes(script, kServer);
    EXPECT_EQ(test::Run("python3 " + Quote(script) + " " + mode + " " + Quote(port) + " " + Quote(out) + " " +
                        std::to_string(limit) + " &"),
              0);
    // The server writes the file once it listens.
    for (int i = 0; i < 20000 && !FileExists(port); ++i)
        ::usleep(1000);
    return std::atoi(test::ReadFileBytes(port).c_str());
}

// The base64 body of the attachment part of a MIME message, decoded.
std::string Attachment(const std::string& message)
{
    const size_t part = message.find("filename=");
    const size_t start = message.find("\r\n\r\n", part);
    const size_t end = message.find("\r\n--", start);
    if (part == std::string::npos || start == std::string::npos || end == std::string::npos)
        return {};
    static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = start + 4; i < end; ++i) {
        const size_t v = kAlphabet.find(message[i]);
        if (v == std::string::npos)
            continue;
        bits = bits << 6 | uint32_t(v);
        if ((count += 6) >= 8) {
            count -= 8;
            bytes += char((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

} // namespace

TEST(Send, HandsACompleteTemporaryFileToXdgEmailAndClearsItADayLater)
{
    App app;
    SendUi ui;
    // A stand-in mail program: records its arguments and a copy of the file as it finds it.
    const std::string bin = TempPath("bin");
    ASSERT_TRUE(CreateFolders(bin));
    const std::string args = TempPath("args.txt"), copy = TempPath("copy.wav");
    test::WriteFileBytes(bin + "/xdg-email", "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + Quote(args) + "\ncp \"$2\" " +
                                                 Quote(copy) + "\nexit ${XDG_TEST_STATUS:-0}\n");
    ::chmod((bin + "/xdg-email").c_str(), 0755);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (bin + ":" + path).c_str(), 1);

    app.OpenRamp("take one.wav", 6000);
    ASSERT_TRUE(app.main.ExecuteCommand(kCmSendFile));
    const std::string sent = test::ReadFileBytes(args);
    EXPECT_EQ(sent.substr(0, 9), "--attach\n");
    const std::string attached = sent.substr(9, sent.find('\n', 9) - 9);
    EXPECT_EQ(GetFileFromPath(attached), "take one.wav");
    EXPECT_NE(sent.find("--subject\ntake one.wav\n"), std::string::npos) << sent;
    // The file was whole when the program ran, and it stays for a mail
    // program that reads it only when the user sends.
    EXPECT_TRUE(test::ReadAll(LWaveFile::OpenSource(copy)) == apptest::RampValues(6000));
    EXPECT_EQ(test::ReadFileBytes(copy).size(), 46u + 12000);
    EXPECT_TRUE(FileExists(attached));
    EXPECT_TRUE(ui.Texts().empty());

    // No mail program set up: xdg-email says so with status 3, and so do we.
    // That send clears the first one's folder, made two days before.
    const std::string folder = GetFolderFromPath(attached);
    const struct timespec old[2] = {{::time(nullptr) - 2 * 24 * 3600, 0}, {::time(nullptr) - 2 * 24 * 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), old, 0), 0);
    setenv("XDG_TEST_STATUS", "3", 1);
    EXPECT_FALSE(app.main.CmSendFile());
    EXPECT_FALSE(FolderExists(folder));
    unsetenv("XDG_TEST_STATUS");
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_NE(ui.Texts()[0].find("No mail program is set up"), std::string::npos);
}

TEST(Send, OverSmtpTheAttachmentArrivesAndEveryFailureSaysWhy)
{
    App app;
    SendUi ui;
    LSettings::WriteBool("Email", "UseMAPI", false);
    LKVFile& doc = *app.OpenRamp("take.wav", 30000);
    // Without a server in the settings, the user is told where to put one.
    EXPECT_FALSE(app.main.CmSendFile());
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(ui.Texts()[0], MainDialog::kNoMailSettingsMessage);
    LSettings::WriteString("Email", "ReplyToEmail", "me@example.org");
    LSettings::WriteInt("Email", "MailTimeout", 2);

    const std::string received = TempPath("received.eml");
    LSettings::WriteString("Email", "MailSMTPHost", "127.0.0.1:" + std::to_string(StartServer("serve", received)));
    ui.recipients = {"you@example.com"};
    ASSERT_TRUE(app.main.CmSendFile()) << (ui.Texts().size() > 1 ? ui.Texts().back() : "");
    const std::string message = test::ReadFileBytes(received);
    EXPECT_EQ(message.substr(0, 20), "FROM me@example.org\n");
    EXPECT_NE(message.find("From: me@example.org"), std::string::npos);
    EXPECT_NE(message.find("To: you@example.com"), std::string::npos);
    EXPECT_NE(message.find("Subject: take.wav"), std::string::npos);
    // Byte for byte what the save of the document writes.
    const std::string arrived = TempPath("arrived.wav");
    test::WriteFileBytes(arrived, Attachment(message));
    EXPECT_EQ(test::ReadFileBytes(arrived).size(), 46u + 60000);
    EXPECT_TRUE(test::ReadAll(LWaveFile::OpenSource(arrived)) == apptest::RampValues(30000));
    doc.path = TempPath("saved.wav");
    ASSERT_TRUE(app.main.CmSave());
    EXPECT_TRUE(test::ReadFileBytes(arrived) == test::ReadFileBytes(doc.path));
    EXPECT_EQ(ui.subjects.back(), "take.wav");

    struct Failure {
        std::string mode, to;
        int limit;
        std::string says;
    };
    const Failure failures[] = {
        {"serve", "bad@example.com", 10000000, "refused the recipient \"bad@example.com\""},
        {"serve", "you@example.com", 1000, "refused the file \"saved.wav\" as larger than it accepts"},
        {"stall", "you@example.com", 0, "stopped answering"},
        {"none", "you@example.com", 0, "refused the connection"},
    };
    for (const Failure& f : failures) {
        int port = 0;
        if (f.mode == "none") {
            // A port that was just free: nothing listens there.
            port = StartServer("serve", TempPath("unused.eml"));
            LSettings::WriteString("Email", "MailSMTPHost", "127.0.0.1:" + std::to_string(port));
            ui.recipients = {"you@example.com"};
            app.main.CmSendFile();
        } else {
            port = StartServer(f.mode, TempPath("x.eml"), f.limit);
        }
        LSettings::WriteString("Email", "MailSMTPHost", "127.0.0.1:" + std::to_string(port));
        ui.recipients = {f.to};
        const size_t before = ui.Texts().size();
        EXPECT_FALSE(app.main.CmSendFile()) << f.mode;
        ASSERT_EQ(ui.Texts().size(), before + 1) << f.mode;
        EXPECT_NE(ui.Texts().back().find(f.says), std::string::npos) << ui.Texts().back();
    }
}
