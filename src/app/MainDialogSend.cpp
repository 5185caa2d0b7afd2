// File > Send: the current document by e-mail.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/LKVSendChoice.h"
#include "app/LMailSender.h"
#include "app/MainDialog.h"
#include "core/LFile.h"
#include "core/LProcess.h"

namespace {

constexpr const char* kCaption = "Send";

void Tell(const std::string& text) { LUiGet().Message(text, kCaption, LUiButtons::Ok, LUiIcon::Exclamation); }

constexpr const char* kFolderPrefix = "kelvane-send-";

// Folders of earlier sends handed to the desktop's mail program that are a day
// old: the program has long read its attachment by then.
void RemoveOldSendFolders()
{
    const std::string temp = GetTempFolder();
    DIR* dir = ::opendir(temp.c_str());
    if (!dir)
        return;
    const time_t dayAgo = ::time(nullptr) - 24 * 60 * 60;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strncmp(e->d_name, kFolderPrefix, std::strlen(kFolderPrefix)) != 0)
            continue;
        const std::string folder = FilePathCat(temp, e->d_name);
        struct stat st {};
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
            st.st_mtime > dayAgo)
            continue;
        if (DIR* inner = ::opendir(folder.c_str())) {
            while (const dirent* f = ::readdir(inner))
                if (std::strcmp(f->d_name, ".") != 0 && std::strcmp(f->d_name, "..") != 0)
                    ::unlink(FilePathCat(folder, f->d_name).c_str());
            ::closedir(inner);
        }
        ::rmdir(folder.c_str());
    }
    ::closedir(dir);
}

// A folder of our own for the file, so its name can be the document's. It is
// removed with the file when the send is over, unless kept (see Keep).
class SendFolder {
public:
    SendFolder()
    {
        RemoveOldSendFolders();
        std::string pattern = FilePathCat(GetTempFolder(), std::string(kFolderPrefix) + "XXXXXX");
        if (::mkdtemp(pattern.data()))
            folder_ = pattern;
    }
    ~SendFolder()
    {
        if (folder_.empty() || keep_)
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
    // A mail program that runs already takes the message over and xdg-email
    // returns at once, while the program may read the attachment only when the
    // user sends: the file stays until a send a day later clears it.
    void Keep() { keep_ = true; }

private:
    std::string folder_, file_;
    bool keep_ = false;
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
        folder.Keep();
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
