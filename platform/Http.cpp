#include "platform/Http.h"

#include "platform/Paths.h"

#include <curl/curl.h>

#include <cstring>

namespace platform {

QString UpdateAddress(const QString& path) {
    const QString host = UpdateHost();
    if (host.isEmpty()) return {};
    return (host.endsWith(u'/') ? host.chopped(1) : host) + path;
}

// libcurl pushes the body as it arrives; it is kept here until Read takes it.
struct HttpDownload::Transfer {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    QByteArray pending;
    bool headDone = false;
    bool finished = false;
    CURLcode result = CURLE_OK;
    long status = 0;
    qint64 length = -1;
    qint64 received = 0;

    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const size_t n = size * count;
        // The empty line ends a head; a 1xx head is followed by the real one,
        // a redirection by the head of the address it names.
        if (n <= 2 && (data[0] == '\r' || data[0] == '\n')) {
            long code = 0;
            curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
            if (code >= 200 && (code < 300 || code >= 400)) t->headDone = true;
        }
        return n;
    }
    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const size_t n = size * count;
        t->headDone = true;
        t->pending.append(data, qsizetype(n));
        t->received += qint64(n);
        return n;
    }

    // One round of the transfer: moves what the network has, waits briefly otherwise.
    void Pump() {
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                finished = true;
                result = msg->data.result;
            }
        }
        if (!finished) curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
};

HttpDownload::HttpDownload(const QString& address) : transfer_(std::make_unique<Transfer>()) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Transfer& t = *transfer_;
    if (!initialised || address.isEmpty()) return;
    t.multi = curl_multi_init();
    t.easy = curl_easy_init();
    if (!t.multi || !t.easy) return;
    const QByteArray url = address.toUtf8();
    curl_easy_setopt(t.easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(t.easy, CURLOPT_USERAGENT, "Quillane 2013");
    curl_easy_setopt(t.easy, CURLOPT_PROXY, "");
    curl_easy_setopt(t.easy, CURLOPT_NOPROXY, "*");
    t.headers = curl_slist_append(t.headers, "Cache-Control: no-cache");
    t.headers = curl_slist_append(t.headers, "Pragma: no-cache");
    curl_easy_setopt(t.easy, CURLOPT_HTTPHEADER, t.headers);
    curl_easy_setopt(t.easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(t.easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(t.easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(t.easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(t.easy, CURLOPT_MAXREDIRS, 5L);
    // A server that stops answering ends the download instead of holding it for ever.
    curl_easy_setopt(t.easy, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(t.easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(t.easy, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(t.easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(t.easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(t.easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(t.easy, CURLOPT_WRITEDATA, &t);
    curl_multi_add_handle(t.multi, t.easy);
    while (!t.headDone && !t.finished) t.Pump();
    curl_off_t length = -1;
    curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &t.status);
    if (curl_easy_getinfo(t.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) t.length = length;
}

HttpDownload::~HttpDownload() {
    Transfer& t = *transfer_;
    if (t.multi && t.easy) curl_multi_remove_handle(t.multi, t.easy);
    if (t.easy) curl_easy_cleanup(t.easy);
    if (t.multi) curl_multi_cleanup(t.multi);
    curl_slist_free_all(t.headers);
}

bool HttpDownload::Answered() const {
    const Transfer& t = *transfer_;
    return t.easy && t.status == 200 && t.length >= 0;
}

qint64 HttpDownload::ContentLength() const { return Answered() ? transfer_->length : -1; }

qint64 HttpDownload::Read(char* buffer, qint64 max) {
    Transfer& t = *transfer_;
    if (!Answered() || max <= 0) return 0;
    while (t.pending.size() < max && !t.finished) t.Pump();
    const qint64 n = qMin<qint64>(max, t.pending.size());
    std::memcpy(buffer, t.pending.constData(), size_t(n));
    t.pending.remove(0, n);
    return n;
}

bool HttpDownload::Complete() const {
    const Transfer& t = *transfer_;
    return Answered() && t.finished && t.result == CURLE_OK && t.pending.isEmpty() && t.received == t.length;
}

}  // namespace platform
