// Blocking GET (and POST) requests through one libcurl handle, reused so that the
// connection and the cookies of the version request carry over to the
// submission.
#include "platform/sdl/CurlHttp.h"

#include <curl/curl.h>

#include "platform/NullServices.h"
#include "platform/sdl/Services.h"

namespace {

class TCurlHttp : public IHttpClient {
public:
    TCurlHttp(CURL* handle, long connectTimeoutMs, long requestTimeoutMs)
        : Handle(handle)
    {
        // The headers the publisher's server has always seen from the game.
        Headers = curl_slist_append(Headers, "Accept: text/html, */*");
        Headers = curl_slist_append(Headers, "Content-Type: text/html");
        curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, Headers);
        curl_easy_setopt(Handle, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
        curl_easy_setopt(Handle, CURLOPT_COOKIEFILE, ""); // cookies kept in memory
        curl_easy_setopt(Handle, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(Handle, CURLOPT_NOSIGNAL, 1L);
        // The game waits on its one thread: a request that hangs must end.
        curl_easy_setopt(Handle, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
        curl_easy_setopt(Handle, CURLOPT_TIMEOUT_MS, requestTimeoutMs);
        curl_easy_setopt(Handle, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
        curl_easy_setopt(Handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(Handle, CURLOPT_WRITEFUNCTION, &TCurlHttp::Write);
    }
    ~TCurlHttp() override
    {
        curl_easy_cleanup(Handle);
        curl_slist_free_all(Headers);
    }

    bool Get(const std::string& url, std::string& body) override
    {
        std::string received;
        curl_easy_setopt(Handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(Handle, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(Handle, CURLOPT_WRITEDATA, &received);
        const CURLcode rc = curl_easy_perform(Handle);
        curl_easy_setopt(Handle, CURLOPT_WRITEDATA, nullptr);
        if (rc != CURLE_OK)
            return false;
        long status = 0;
        curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299)
            return false;
        body = std::move(received);
        return true;
    }

    bool Post(const std::string& url, const std::string& data, std::string& body) override
    {
        // Raw bytes with a type of their own; the handle's own headers come back after.
        curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/octet-stream");
        std::string received;
        curl_easy_setopt(Handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(Handle, CURLOPT_POSTFIELDS, data.data());
        curl_easy_setopt(Handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(data.size()));
        curl_easy_setopt(Handle, CURLOPT_WRITEDATA, &received);
        const CURLcode rc = curl_easy_perform(Handle);
        curl_easy_setopt(Handle, CURLOPT_WRITEDATA, nullptr);
        curl_easy_setopt(Handle, CURLOPT_POSTFIELDS, nullptr);
        curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, Headers);
        curl_slist_free_all(headers);
        long status = 0;
        curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &status);
        if (rc != CURLE_OK || status < 200 || status > 299)
            return false;
        body = std::move(received);
        return true;
    }

private:
    // A body past the limit fails the request instead of filling memory.
    static size_t Write(char* data, size_t size, size_t count, void* user)
    {
        auto* received = static_cast<std::string*>(user);
        const size_t bytes = size * count;
        if (!received || received->size() + bytes > CurlMaxBodyBytes)
            return 0;
        received->append(data, bytes);
        return bytes;
    }

    CURL* Handle;
    curl_slist* Headers = nullptr;
};

} // namespace

IHttpClient* CreateCurlHttp(long connectTimeoutMs, long requestTimeoutMs)
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    CURL* handle = ready ? curl_easy_init() : nullptr;
    if (!handle)
        return new TNullHttp;
    return new TCurlHttp(handle, connectTimeoutMs, requestTimeoutMs);
}

IHttpClient* CreateCurlHttp()
{
    return CreateCurlHttp(CurlConnectTimeoutMs, CurlRequestTimeoutMs);
}
