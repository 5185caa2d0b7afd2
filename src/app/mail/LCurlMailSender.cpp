// libcurl behind LMailSender: the only file that includes it.
#include <curl/curl.h>

#include <memory>

#include "app/LMailSender.h"

namespace {

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
    void operator()(curl_mime* m) const { curl_mime_free(m); }
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Header values may not break lines: a subject or an address with a line
// break in it would add headers of its own.
std::string OneLine(std::string s)
{
    for (char& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

class LCurlMailSender : public LMailSender {
public:
    LCurlMailSender() { curl_global_init(CURL_GLOBAL_DEFAULT); }

    Result Send(const Message& m, const Progress& progress, std::string& error) override
    {
        std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
        if (!curl) {
            error = "The mail could not be prepared (libcurl failed to start).";
            return Result::Failed;
        }
        CURL* c = curl.get();
        const std::string url = "smtp://" + m.server;
        curl_easy_setopt(c, CURLOPT_URL, url.c_str());
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
        const std::string from = "<" + OneLine(m.from) + ">", to = "<" + OneLine(m.to) + ">";
        curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
        std::unique_ptr<curl_slist, CurlDeleter> rcpt(curl_slist_append(nullptr, to.c_str()));
        curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
        std::unique_ptr<curl_slist, CurlDeleter> headers;
        for (const std::string& h : {"From: " + OneLine(m.from), "To: " + OneLine(m.to),
                                     "Subject: " + OneLine(m.subject)})
            headers.reset(curl_slist_append(headers.release(), h.c_str()));
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

        std::unique_ptr<curl_mime, CurlDeleter> mime(curl_mime_init(c));
        curl_mimepart* text = curl_mime_addpart(mime.get());
        curl_mime_data(text, m.body.c_str(), CURL_ZERO_TERMINATED);
        curl_mime_type(text, "text/plain; charset=utf-8");
        curl_mimepart* file = curl_mime_addpart(mime.get());
        if (curl_mime_filedata(file, m.attachmentPath.c_str()) != CURLE_OK) {
            error = "The file \"" + m.attachmentPath + "\" cannot be read.";
            return Result::Failed;
        }
        curl_mime_filename(file, OneLine(m.attachmentName).c_str());
        curl_mime_type(file, "application/octet-stream");
        curl_mime_encoder(file, "base64");
        curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(m.stallSeconds));
        // A server that stops answering (less than one byte a second for the
        // stall time) ends the transfer instead of hanging it.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(m.stallSeconds));
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        Progressing state{&progress, false};
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &LCurlMailSender::OnProgress);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &state);
        char detail[CURL_ERROR_SIZE] = "";
        curl_easy_setopt(c, CURLOPT_ERRORBUFFER, detail);

        const CURLcode code = curl_easy_perform(c);
        if (code == CURLE_OK)
            return Result::Sent;
        if (state.cancelled)
            return Result::Cancelled;
        long response = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response);
        error = Explain(code, response, m, detail);
        return Result::Failed;
    }

private:
    struct Progressing {
        const Progress* progress;
        bool cancelled;
    };

    static int OnProgress(void* data, curl_off_t, curl_off_t, curl_off_t ultotal, curl_off_t ulnow)
    {
        auto* state = static_cast<Progressing*>(data);
        const double fraction = ultotal > 0 ? double(ulnow) / double(ultotal) : 0.0;
        if (*state->progress && !(*state->progress)(fraction)) {
            state->cancelled = true;
            return 1;
        }
        return 0;
    }

    static std::string Explain(CURLcode code, long response, const Message& m, const char* detail)
    {
        const std::string server = "The mail server " + m.server;
        const std::string why = std::string(" (") + (*detail ? detail : curl_easy_strerror(code)) + ").";
        switch (code) {
        case CURLE_URL_MALFORMAT:
            return "\"" + m.server + "\" is not a mail server name; enter it as host or host:port in Settings.";
        case CURLE_COULDNT_RESOLVE_HOST: return server + " cannot be found" + why;
        case CURLE_COULDNT_CONNECT: return server + " refused the connection" + why;
        case CURLE_OPERATION_TIMEDOUT: return server + " stopped answering" + why;
        case CURLE_LOGIN_DENIED: return server + " asks for a login, which Kelvane cannot give" + why;
        default: break;
        }
        // 552 and 452: the message is over what the server takes (its SIZE limit).
        if (response == 552 || response == 452)
            return server + " refused the file \"" + m.attachmentName + "\" as larger than it accepts" + why;
        if (response == 550 || response == 553 || response == 551 || response == 554 || response == 501) {
            if (std::string(detail).find("RCPT") != std::string::npos)
                return server + " refused the recipient \"" + m.to + "\"" + why;
            if (std::string(detail).find("MAIL") != std::string::npos)
                return server + " refused the sender \"" + m.from + "\" (ReplyToEmail in Settings)" + why;
        }
        return "The mail to \"" + m.to + "\" could not be sent through " + m.server + why;
    }
};

} // namespace

LMailSender& LMailSenderGet()
{
    static LCurlMailSender sender;
    return sender;
}
