// File > Send: the current document by e-mail.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app/LKVSendChoice.h"
#include "app/LMailSender.h"
#include "app/MainDialog.h"
#include "core/LFile.h"
#include "core/LProcess.h"

namespace {

constexpr const char* kCaption = "Send";

void Tell(const std::string& text) { LUiGet().Message(text, kCaption, LUiButtons::Ok, LUiIcon::Exclamation); }

// A folder of our own for the file, so its name can be the document's.
class SendFolder {
public:
    SendFolder()
    {
        std::string pattern = FilePathCat(GetTempFolder(), "kelvane-send-XXXXXX");
        if (::mkdtemp(pattern.data()))
            folder_ = pattern;
    }
    ~SendFolder()
    {
        if (folder_.empty())
            return;
        if (!file_.empty())
            ::unlink(file_.c_str());
        ::rmdir(folder_.c_str());
    }
    SendFolder(const SendFolder&) = delete;
    SendFolder& operator=(const SendFolder&) = delete;
    bool Ok() const { return !folder_.empty(); }
    const std::string& Folder() const { return folder_; }
    const std::string& File(const std::string& name) { return file_ = FilePathCat(folder_, name); }

private:
    std::string folder_, file_;
};

// What xdg-email's exit status means.
std::string XdgEmailFailure(int32_t status)
{
    switch (status) {
    case 3: return "No mail program is set up on this desktop (xdg-email found no mail program to start).";
    case 4: return "The desktop's mail program could not be started (xdg-email failed).";
    case 5: return "The desktop's mail program may not read the file (xdg-email: no permission).";
    default:
        return "The desktop's mail program could not be started (xdg-email ended with status " +
               std::to_string(status) + ").";
    }
}

} // namespace

bool MainDialog::CmSendFile()
{
    if (!current_)
        return false;
    StopPlayback();
    LKVFile& doc = *current_;
    const std::string name = doc.path.empty() ? doc.GetTitle() + ".wav" : GetFileFromPath(doc.path);
    const bool desktop = LKVSettings::kUseMAPI.Read();
    LMailSender::Message mail;
    if (!desktop) {
        mail.server = LKVSettings::kMailSMTPHost.Read();
        mail.from = LKVSettings::kReplyToEmail.Read();
        if (mail.server.empty() || mail.from.empty()) {
            Tell(kNoMailSettingsMessage);
            return false;
        }
        LKVSendChoice choice{{}, name};
        for (;;) {
            if (!LUiGet().SendDialog(choice))
                return false;
            if (choice.to.find('@') != std::string::npos && choice.to.find_first_of(" \t\r\n<>,;") == std::string::npos)
                break;
            LUiGet().Message("Please type the recipient's e-mail address, e.g. name@example.com.", kCaption,
                             LUiButtons::Ok, LUiIcon::Information);
        }
        mail.to = choice.to;
        mail.subject = choice.subject;
        mail.body = "Attached: " + name + "\n";
        mail.attachmentName = name;
        mail.stallSeconds = std::clamp(LKVSettings::kMailTimeout.Read(), 1, 3600);
    }
    SendFolder folder;
    if (!folder.Ok()) {
        Tell("The temporary file for sending cannot be made in " + GetTempFolder() + " (" + std::strerror(errno) +
             ").");
        return false;
    }
    const std::string path = folder.File(name);
    if (SaveListTo(doc.audio, path) != kJobDone)
        return false;
    if (desktop) {
        LProcess mailer;
        if (!mailer.Start({"xdg-email", "--attach", LChildPathArgument(path), "--subject", name}, false)) {
            Tell("No mail program can be started: xdg-email was not found (it comes with the package xdg-utils).");
            return false;
        }
        // The program may keep its window open until the user sends; the file
        // must stay until it has ended.
        const int32_t waited = RunJob("Send", [&](LProgressDialog& d) {
            d.SetText("Handing " + name + " to the mail program", 0);
            d.SetText("Please wait...", 1);
            for (;;) {
                const int32_t r = d.WaitForObject(mailer, 200);
                if (r == 0)
                    return kJobDone;
                if (r == 1)
                    return kJobCancelled;
            }
        });
        if (waited != kJobDone) {
            mailer.Stop();
            return false;
        }
        if (mailer.ExitStatus() != 0) {
            Tell(XdgEmailFailure(mailer.ExitStatus()));
            return false;
        }
        return true;
    }
    mail.attachmentPath = path;
    std::string error;
    LMailSender::Result sent = LMailSender::Result::Failed;
    RunJob("Send", [&](LProgressDialog& d) {
        d.SetText("Sending " + name + " to " + mail.to, 0);
        d.SetText("through " + mail.server, 1);
        sent = LMailSenderGet().Send(
            mail,
            [&](double fraction) {
                d.SetProgress(fraction);
                return !d.IsCancelled();
            },
            error);
        return sent == LMailSender::Result::Sent ? kJobDone : sent == LMailSender::Result::Cancelled ? kJobCancelled
                                                                                                     : kJobFailed;
    });
    if (sent == LMailSender::Result::Failed)
        Tell(error);
    return sent == LMailSender::Result::Sent;
}
