#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Sending one file by e-mail straight to a mail server over SMTP, behind a
// small interface of ours (libcurl in app/mail/). STARTTLS is used when the
// server offers it. Synchronous on the calling thread; the progress callback
// runs between network steps and can stop the transfer.
class LMailSender {
public:
    struct Message {
        std::string server;          // "host" or "host:port" (port 25 when none)
        std::string from;            // the envelope sender and From:
        std::string to;              // one recipient
        std::string subject;
        std::string body;            // plain text
        std::string attachmentPath;  // sent as application/octet-stream, base64
        std::string attachmentName;  // the name the recipient sees
        // A server that sends nothing for this long is given up.
        int32_t stallSeconds = 60;
    };
    enum class Result : uint8_t { Sent, Cancelled, Failed };
    // Fraction 0..1 of the upload; false stops it.
    using Progress = std::function<bool(double fraction)>;

    virtual ~LMailSender() = default;
    // Failed with `error`, a sentence for the user that says what happened and
    // names the server, the address or the file at fault.
    virtual Result Send(const Message& message, const Progress& progress, std::string& error) = 0;
};

// The process's SMTP sender (libcurl).
LMailSender& LMailSenderGet();
