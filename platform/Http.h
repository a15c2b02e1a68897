#pragma once
// One HTTP download from the maker's web host, read piece by piece: the agent
// "Quillane 2013", no proxy, never served from a cache. Only a 200 answer that
// announces its length counts as an answer; anything else (no host, no server,
// another status, no length) is no answer.

#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// The address of a path on the maker's web host; empty when no host is set.
QString UpdateAddress(const QString& path);

class HttpDownload {
public:
    // Connects and waits for the answer's head. An empty address is no answer.
    explicit HttpDownload(const QString& address);
    ~HttpDownload();
    HttpDownload(const HttpDownload&) = delete;
    HttpDownload& operator=(const HttpDownload&) = delete;

    bool Answered() const;
    // The announced length of the body (-1 without an answer).
    qint64 ContentLength() const;
    // Waits for up to max bytes of the body and gives what came; 0 at its end.
    qint64 Read(char* buffer, qint64 max);
    // After the last Read: the whole announced body arrived without a fault.
    bool Complete() const;

private:
    struct Transfer;
    std::unique_ptr<Transfer> transfer_;
};

}  // namespace platform
