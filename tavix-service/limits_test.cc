// Hostile requests to the running service: bodies too large or too deep, strangers, and
// pages that try to drive the test controls.
#include <gtest/gtest.h>
#include <httplib.h>

#include "local_service.h"
#include "test_socket.h"

namespace {

using namespace std::chrono_literals;
using tavixtest::LocalTavixService;
using tavixtest::TestSocket;

struct RawAnswer {
  int status = 0;  // 0: the connection closed without an answer
  std::string body;
};

TestSocket connectToService(int port) { return TestSocket::connectTo("127.0.0.1", port, 30s); }

// Sends `request` as given (a head, maybe part of a body) and reads one answer, as a
// client does that waits for the answer before sending the rest.
RawAnswer exchangeRaw(int port, const std::string& request) {
  const TestSocket connection = connectToService(port);
  if (!connection.sendAll(request)) return {};
  const std::string received = connection.receiveHttpMessage();
  const size_t headEnd = received.find("\r\n\r\n");
  if (headEnd == std::string::npos) return {};
  return {std::stoi(received.substr(9, 3)), received.substr(headEnd + 4)};
}

std::string head(const LocalTavixService& service, const std::string& requestLine,
                 const std::vector<std::string>& headers) {
  std::string text = requestLine + "\r\nHost: 127.0.0.1:" + std::to_string(service.port()) + "\r\n";
  for (const auto& header : headers) text += header + "\r\n";
  return text + "\r\n";
}

std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// Sends a head and then `bodyBytes` bytes of `filler` as fast as the service
// takes them (a refused client may be cut off while sending), and returns
// everything the service answered until it closed the connection.
std::string sendAndReadToClose(int port, const std::string& head, size_t bodyBytes) {
  const TestSocket connection = connectToService(port);
  const std::string chunk(1024 * 1024, 'x');
  bool open = connection.sendAll(head);
  for (size_t sent = 0; open && sent < bodyBytes; sent += chunk.size())
    open = connection.sendAll(std::string_view(chunk).substr(0, bodyBytes - sent));
  return connection.receiveAll();
}

size_t answerCount(const std::string& received) {
  size_t count = 0;
  for (size_t at = received.find("HTTP/1.1 "); at != std::string::npos; at = received.find("HTTP/1.1 ", at + 1))
    if (at == 0 || received[at - 1] == '\n') ++count;
  return count;
}

int firstStatus(const std::string& received) { return received.size() > 12 ? std::stoi(received.substr(9, 3)) : 0; }

// A signed-in client of the API, patient enough for large bodies on a busy machine.
httplib::Client signedInClient(LocalTavixService& service) {
  httplib::Client client("127.0.0.1", service.port());
  client.set_read_timeout(120);
  client.set_write_timeout(120);
  client.set_bearer_token_auth(service.issueTokens()["access_token"].get<std::string>().c_str());
  return client;
}

TEST(ServiceLimits, DeepOrMistypedJsonIsABadRequestAndTheServiceLivesOn) {
  LocalTavixService service;
  httplib::Client client = signedInClient(service);
  httplib::Client stranger("127.0.0.1", service.port());
  const std::string wrongType = "The upload announcement lacks a field or has one of the wrong type.";
  struct Case {
    httplib::Client& caller;
    std::string path, body, field, said;
  };
  // Sizes and ids are whole numbers: a fraction is not rounded away, and a huge
  // exponent is refused rather than converted. A number where text belongs is
  // the caller's mistake, said without the service's internals.
  const Case cases[] = {
      {client, "/api/v1/uploads",
       R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1,"properties":{"x":)" + nested(20000) + "}}]}", {}, {}},
      {stranger, "/oauth/token", R"({"grant_type":)" + nested(20000) + "}", {}, {}},
      {stranger, "/oauth/token", R"({"grant_type":"authorization_code","code":12345})", "error", "invalid_request"},
      {client, "/api/v1/uploads", R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":2.5}]})", "message", wrongType},
      {client, "/api/v1/uploads", R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1e300}]})", "message", wrongType},
      {client, "/api/v1/uploads", R"({"targetDirectories":{"1":1e300},"files":[{"name":"a.prt","size":1}]})", "message", wrongType},
      {client, "/api/v1/uploads",
       R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":18446744073709551615}]})", "message", wrongType},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 80));
    auto refused = c.caller.Post(c.path, c.body, "application/json");
    ASSERT_TRUE(refused) << "the service fell over";
    EXPECT_EQ(refused->status, 400);
    if (!c.field.empty()) {
      EXPECT_EQ(nlohmann::json::parse(refused->body)[c.field], c.said);
    }
    EXPECT_EQ(refused->body.find("json"), std::string::npos) << refused->body;
  }
  EXPECT_EQ(client.Get("/api/v1/me")->status, 200);
}

TEST(ServiceLimits, LargeBodiesAndStrangersBodiesAreRefusedUnread) {
  LocalTavixService service;
  // Only the head is sent: an answer proves the body was not waited for.
  const struct {
    std::string line;
    std::vector<std::string> headers;
    int status;
  } unread[] = {
      {"POST /oauth/token HTTP/1.1", {"Content-Type: application/x-www-form-urlencoded", "Content-Length: 268435456"}, 413},
      {"POST /api/v1/uploads HTTP/1.1", {"Content-Type: application/json", "Content-Length: 1000"}, 401},
      {"PUT /api/v1/uploads/ab12/files/0 HTTP/1.1", {"Authorization: Bearer forged", "Content-Length: 67108864"}, 401},
      // A token request without a length would be read until the client closes.
      {"POST /oauth/token HTTP/1.1", {"Content-Type: application/x-www-form-urlencoded"}, 411},
  };
  for (const auto& request : unread)
    EXPECT_EQ(exchangeRaw(service.port(), head(service, request.line, request.headers)).status, request.status)
        << request.line;

  // A file announced as 1 byte: the second byte ends the reading.
  httplib::Client client = signedInClient(service);
  const std::string token = service.issueTokens()["access_token"];
  auto created = client.Post("/api/v1/uploads",
                             R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1}]})",
                             "application/json");
  ASSERT_EQ(created->status, 201) << created->body;
  const std::string fileHead = head(service, "PUT /api/v1/uploads/" + nlohmann::json::parse(created->body)["uploadId"].get<std::string>() +
                                                 "/files/0 HTTP/1.1",
                                    {"Authorization: Bearer " + token, "Content-Length: 67108864"});
  const RawAnswer tooLong = exchangeRaw(service.port(), fileHead + std::string(64 * 1024, 'x'));
  EXPECT_EQ(tooLong.status, 400);
  EXPECT_NE(tooLong.body.find("size_mismatch"), std::string::npos) << tooLong.body;
  // What follows the refused bytes is not read as a request of its own.
  const std::string rest = sendAndReadToClose(
      service.port(), fileHead + std::string(64 * 1024, 'x') + "\r\n" + head(service, "GET /workspace/bracket-team HTTP/1.1", {}),
      0);
  EXPECT_EQ(answerCount(rest), 1u) << rest.substr(0, 400);
  EXPECT_TRUE(std::filesystem::is_empty(service.dataDir() / "blobs" / "incoming"));

  // A client whose token expired meanwhile is no stranger: it hears why, after its bytes.
  created = client.Post("/api/v1/uploads", R"({"targetDirectories":{"1":101},"files":[{"name":"b.prt","size":8388608}]})",
                        "application/json");
  ASSERT_EQ(created->status, 201) << created->body;
  service.expireTokens();
  auto expired = client.Put("/api/v1/uploads/" + nlohmann::json::parse(created->body)["uploadId"].get<std::string>() +
                                "/files/0", std::string(8388608, 'y'), "application/octet-stream");
  ASSERT_TRUE(expired);
  EXPECT_EQ(expired->status, 401);
  EXPECT_EQ(nlohmann::json::parse(expired->body)["error"], "token_expired");
}

// What follows a refused head is not a request: the service answers once and
// closes, whatever the client goes on sending, and holds none of it.
TEST(ServiceLimits, ARefusedRequestEndsItsConnectionAndNothingAfterItIsReadAsARequest) {
  LocalTavixService service;
  const std::string page = head(service, "GET /workspace/bracket-team HTTP/1.1", {});
  const long peakBefore = service.peakResidentKiB();
  struct Case {
    const char* what;
    std::string head;
    int status;
  };
  // A well-formed request hides in each refused body: read as the next request, it would be answered too.
  // An overlong line or header never ends: whatever follows is more of it.
  const std::vector<Case> cases = {
      {"too large", head(service, "POST /oauth/token HTTP/1.1", {"Content-Length: 268435456"}) + page, 413},
      {"stranger", head(service, "POST /api/v1/uploads HTTP/1.1", {"Content-Length: 1000"}) + page, 401},
      {"no secret", head(service, "POST /_control/expire-tokens HTTP/1.1", {"Content-Length: 1000"}) + page, 403},
      {"overlong line", "GET /", 414},
      {"overlong header", "GET /api/v1/me HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(service.port()) + "\r\nX-Long: ", 400},
  };
  for (const Case& c : cases) {
    const std::string received = sendAndReadToClose(service.port(), c.head, 256 * 1024 * 1024);
    EXPECT_EQ(answerCount(received), 1u) << c.what << ": " << received.substr(0, 400);
    EXPECT_EQ(firstStatus(received), c.status) << c.what << ": " << received.substr(0, 400);
  }
  // 5 x 256 MiB were sent; none of it stayed.
  EXPECT_LT(service.peakResidentKiB() - peakBefore, 32 * 1024) << "KiB";

  // A client that sends its whole refused body still reads why.
  const std::string refused =
      sendAndReadToClose(service.port(), head(service, "POST /oauth/token HTTP/1.1", {"Content-Length: 8388608"}),
                         8388608);
  EXPECT_EQ(firstStatus(refused), 413);
  EXPECT_NE(refused.find("larger than 1048576 bytes"), std::string::npos) << refused;
}

// A signed-in user's announcement lists every file of the model, however many;
// the service's own cap still holds, and says so.
TEST(ServiceLimits, ASignedInAnnouncementMayListAsManyFilesAsTheModelHas) {
  auto announcement = [](int files) {
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < files; ++i)
      list.push_back({{"name", "component_" + std::to_string(i) + ".prt"}, {"revisionKey", "1 2 3"},
                      {"version", "1"}, {"size", 1}, {"properties", nlohmann::json::object()}});
    return nlohmann::json{{"targetDirectories", {{"1", 101}}}, {"files", list}}.dump();
  };
  const std::string large = announcement(25000);
  ASSERT_GT(large.size(), 2u * 1024 * 1024);

  LocalTavixService service(std::nullopt, {"--announcement-limit", std::to_string(large.size())});
  // Reading 25,000 entries takes a sanitized service on a busy machine longer
  // than the client's default five seconds; the test is about the answer.
  httplib::Client client = signedInClient(service);
  auto accepted = client.Post("/api/v1/uploads", large, "application/json");
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->status, 201) << accepted->body;

  auto refused = client.Post("/api/v1/uploads", large + " ", "application/json");
  ASSERT_TRUE(refused) << "the client must read the refusal, not a reset";
  EXPECT_EQ(refused->status, 413);
  // A stranger's announcement is still held to 1 MiB, unread.
  EXPECT_EQ(exchangeRaw(service.port(), head(service, "POST /api/v1/uploads HTTP/1.1",
                                             {"Authorization: Bearer forged", "Content-Length: 2097152"})).status,
            413);
}

TEST(ServiceLimits, TestControlsNeedTheRunsSecretAndEveryRequestItsOwnHost) {
  LocalTavixService service;
  const std::string token = service.issueTokens()["access_token"];
  const std::string port = std::to_string(service.port());

  httplib::Client page("127.0.0.1", service.port());
  EXPECT_EQ(page.Post("/_control/expire-tokens", "", "text/plain")->status, 403);
  EXPECT_EQ(page.Get("/_control/files")->status, 403);
  page.set_default_headers({{"X-Tavix-Control-Secret", "guessed"}});
  EXPECT_EQ(page.Post("/_control/remove-workspace?id=1", "", "text/plain")->status, 403);

  // DNS rebinding: a page's own name pointed at 127.0.0.1.
  const std::pair<std::string, int> hosts[] = {{"rebound.example:" + port, 421}, {"127.0.0.1", 421}, {"127.0.0.1:1", 421},
                                               {"", 421}, {"127.0.0.1:" + port, 200}, {"localhost:" + port, 200}};
  for (const auto& [host, status] : hosts) {
    const std::string request = "GET /api/v1/me HTTP/1.1\r\n" + (host.empty() ? "" : "Host: " + host + "\r\n") +
                                "Authorization: Bearer " + token + "\r\n\r\n";
    EXPECT_EQ(exchangeRaw(service.port(), request).status, status) << host;
  }

  // The one who started the service still drives the controls: nothing was removed before.
  EXPECT_EQ(service.storedFiles().size(), 0u);
  service.removeWorkspace(1);
  EXPECT_THROW(service.removeWorkspace(1), std::runtime_error);
}

}  // namespace
