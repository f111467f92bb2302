// The publisher's score server: the version request, the submission of a
// result, the world table page and a small home page, over cpp-httplib.
#pragma once
#include <memory>
#include <string>

#include "ScoreStore.h"
#include "Sessions.h"

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace scores {

struct TServerOptions {
    std::string Bind = "127.0.0.1";
    int Port = 8077;             // 0: any free port (see TScoreServer::Port)
    std::string Database = "zephyrion-scores.db";
    std::string SiteAddress;     // empty: http://<bind>:<port>/
    size_t SessionCapacity = 4096;
};

class TScoreServer {
public:
    // Opens the database and binds the socket; throws std::runtime_error on failure.
    explicit TScoreServer(const TServerOptions& options);
    ~TScoreServer();
    int Port() const { return BoundPort; }
    // Serves until Stop(); returns false if the server could not run.
    bool Run();
    void Stop();
    bool IsRunning() const;
    TScoreStore& Store() { return *Table; }
    TSessions& Sessions() { return *Open; }

    // The page of the best 100, for tests and the handler.
    std::string WorldTablePage();

private:
    void HandleScript(const httplib::Request& req, httplib::Response& res);
    void HandleVersion(httplib::Response& res);
    void HandleSubmission(const httplib::Request& req, httplib::Response& res);

    TServerOptions Options;
    std::unique_ptr<TScoreStore> Table;
    std::unique_ptr<TSessions> Open;
    std::unique_ptr<httplib::Server> Http;
    int BoundPort = 0;
};

} // namespace scores
