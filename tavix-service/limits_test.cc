// Hostile requests to the running service: bodies too large or too deep, strangers, and
// pages that try to drive the test controls.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>
#include <httplib.h>

#include "local_service.h"

namespace {

using tavixtest::LocalTavixService;

struct RawAnswer {
  int status = 0;  // 0: the connection closed without an answer
  std::string body;
};

// A connection to the service on loopback that waits at most 30 s for an answer; -1 when refused.
int connectToService(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  timeval patience{30, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Sends `request` as given (a head, maybe part of a body) and reads one answer, as a
// client does that waits for the answer before sending the rest.
RawAnswer exchangeRaw(int port, const std::string& request) {
  RawAnswer answer;
  const int fd = connectToService(port);
  if (fd < 0) return answer;
  if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
    close(fd);
    return answer;
  }
  std::string received;
  char buffer[4096];
  for (;;) {
    const size_t headEnd = received.find("\r\n\r\n");
    if (headEnd != std::string::npos) {
      const size_t lengthAt = received.find("Content-Length: ");
      const size_t length = lengthAt < headEnd ? std::stoul(received.substr(lengthAt + 16)) : 0;
      if (received.size() >= headEnd + 4 + length) {
        answer.status = std::stoi(received.substr(9, 3));
        answer.body = received.substr(headEnd + 4, length);
        break;
      }
    }
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    received.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return answer;
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
std::string sendAndReadToClose(int port, const std::string& head, size_t bodyBytes, char filler = 'x') {
  const int fd = connectToService(port);
  if (fd < 0) return {};
  bool open = send(fd, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size());
  const std::string chunk(1024 * 1024, filler);
  for (size_t sent = 0; open && sent < bodyBytes;) {
    const ssize_t n = send(fd, chunk.data(), std::min(chunk.size(), bodyBytes - sent), MSG_NOSIGNAL);
    open = n > 0;
    if (open) sent += static_cast<size_t>(n);
  }
  std::string received;
  char buffer[4096];
  for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) received.append(buffer, static_cast<size_t>(got));
  close(fd);
  return received;
}

size_t answerCount(const std::string& received) {
  size_t count = 0;
  for (size_t at = received.find("HTTP/1.1 "); at != std::string::npos; at = received.find("HTTP/1.1 ", at + 1))
    if (at == 0 || received[at - 1] == '\n') ++count;
  return count;
}

int firstStatus(const std::string& received) { return received.size() > 12 ? std::stoi(received.substr(9, 3)) : 0; }

// The most the service's process has held in memory so far, in KiB.
long peakResidentKib(const LocalTavixService& service) {
  std::ifstream status("/proc/" + std::to_string(service.pid()) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

TEST(ServiceLimits, DeepOrMistypedJsonIsABadRequestAndTheServiceLivesOn) {
  LocalTavixService service;
  httplib::Client client("127.0.0.1", service.port());
  const std::string token = service.issueTokens()["access_token"];
  client.set_bearer_token_auth(token.c_str());

  const std::string announcement =
      R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1,"properties":{"x":)" + nested(20000) + "}}]}";
  auto upload = client.Post("/api/v1/uploads", announcement, "application/json");
  ASSERT_TRUE(upload) << "the service fell over";
  EXPECT_EQ(upload->status, 400);

  httplib::Client stranger("127.0.0.1", service.port());
  auto deepToken = stranger.Post("/oauth/token", R"({"grant_type":)" + nested(20000) + "}", "application/json");
  ASSERT_TRUE(deepToken);
  EXPECT_EQ(deepToken->status, 400);
  // A number where text belongs is the caller's mistake, said without the service's internals.
  auto numberCode = stranger.Post("/oauth/token", R"({"grant_type":"authorization_code","code":12345})",
                                  "application/json");
  ASSERT_TRUE(numberCode);
  EXPECT_EQ(numberCode->status, 400);
  EXPECT_EQ(nlohmann::json::parse(numberCode->body)["error"], "invalid_request");
  EXPECT_EQ(numberCode->body.find("json"), std::string::npos) << numberCode->body;

  // Sizes and ids are whole numbers: a fraction is not rounded away, and a huge
  // exponent is refused rather than converted.
  for (const char* mistyped : {R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":2.5}]})",
                               R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1e300}]})",
                               R"({"targetDirectories":{"1":1e300},"files":[{"name":"a.prt","size":1}]})",
                               R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":18446744073709551615}]})"}) {
    auto refused = client.Post("/api/v1/uploads", mistyped, "application/json");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400) << mistyped;
    EXPECT_EQ(nlohmann::json::parse(refused->body)["message"],
              "The upload announcement lacks a field or has one of the wrong type.") << mistyped;
  }

  EXPECT_EQ(client.Get("/api/v1/me")->status, 200);
}

TEST(ServiceLimits, LargeBodiesAndStrangersBodiesAreRefusedUnread) {
  LocalTavixService service;
  // Only the head is sent: an answer proves the body was not waited for.
  EXPECT_EQ(exchangeRaw(service.port(), head(service, "POST /oauth/token HTTP/1.1",
                                             {"Content-Type: application/x-www-form-urlencoded",
                                              "Content-Length: 268435456"})).status, 413);
  EXPECT_EQ(exchangeRaw(service.port(), head(service, "POST /api/v1/uploads HTTP/1.1",
                                             {"Content-Type: application/json", "Content-Length: 1000"})).status,
            401);
  EXPECT_EQ(exchangeRaw(service.port(), head(service, "PUT /api/v1/uploads/ab12/files/0 HTTP/1.1",
                                             {"Authorization: Bearer forged", "Content-Length: 67108864"})).status,
            401);

  // A file announced as 1 byte: the second byte ends the reading.
  httplib::Client client("127.0.0.1", service.port());
  const std::string token = service.issueTokens()["access_token"];
  client.set_bearer_token_auth(token.c_str());
  auto created = client.Post("/api/v1/uploads",
                             R"({"targetDirectories":{"1":101},"files":[{"name":"a.prt","size":1}]})",
                             "application/json");
  ASSERT_EQ(created->status, 201) << created->body;
  const std::string uploadId = nlohmann::json::parse(created->body)["uploadId"];
  const RawAnswer tooLong = exchangeRaw(
      service.port(), head(service, "PUT /api/v1/uploads/" + uploadId + "/files/0 HTTP/1.1",
                           {"Authorization: Bearer " + token, "Content-Type: application/octet-stream",
                            "Content-Length: 67108864"}) + std::string(64 * 1024, 'x'));
  EXPECT_EQ(tooLong.status, 400);
  EXPECT_NE(tooLong.body.find("size_mismatch"), std::string::npos) << tooLong.body;
  // What follows the refused bytes is not read as a request of its own.
  const std::string rest = sendAndReadToClose(
      service.port(),
      head(service, "PUT /api/v1/uploads/" + uploadId + "/files/0 HTTP/1.1",
           {"Authorization: Bearer " + token, "Content-Length: 67108864"}) +
          std::string(64 * 1024, 'x') + "\r\n" + head(service, "GET /workspace/bracket-team HTTP/1.1", {}),
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
  const std::string page = "GET /workspace/bracket-team HTTP/1.1\r\nHost: 127.0.0.1:" +
                           std::to_string(service.port()) + "\r\n\r\n";
  const long peakBefore = peakResidentKib(service);
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
      {"overlong header", "GET /api/v1/me HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(service.port()) +
                              "\r\nX-Long: ", 400},
  };
  for (const Case& c : cases) {
    const std::string received = sendAndReadToClose(service.port(), c.head, 256 * 1024 * 1024);
    EXPECT_EQ(answerCount(received), 1u) << c.what << ": " << received.substr(0, 400);
    EXPECT_EQ(firstStatus(received), c.status) << c.what << ": " << received.substr(0, 400);
  }
  // 5 x 256 MiB were sent; none of it stayed.
  EXPECT_LT(peakResidentKib(service) - peakBefore, 32 * 1024) << "KiB";

  // A client that sends its whole refused body still reads why.
  const std::string refused =
      sendAndReadToClose(service.port(), head(service, "POST /oauth/token HTTP/1.1", {"Content-Length: 8388608"}),
                         8388608);
  EXPECT_EQ(firstStatus(refused), 413);
  EXPECT_NE(refused.find("larger than 1048576 bytes"), std::string::npos) << refused;

  // A token request without a length would be read until the client closes.
  EXPECT_EQ(exchangeRaw(service.port(), head(service, "POST /oauth/token HTTP/1.1",
                                             {"Content-Type: application/x-www-form-urlencoded"})).status, 411);
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
  httplib::Client client("127.0.0.1", service.port());
  // Reading 25,000 entries takes a sanitized service on a busy machine longer
  // than the client's default five seconds; the test is about the answer.
  client.set_read_timeout(120);
  client.set_write_timeout(120);
  const std::string token = service.issueTokens()["access_token"];
  client.set_bearer_token_auth(token.c_str());
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
  for (const std::string& host : std::vector<std::string>{"rebound.example:" + port, "127.0.0.1", "127.0.0.1:1", ""}) {
    const std::string request = "GET /api/v1/me HTTP/1.1\r\n" + (host.empty() ? "" : "Host: " + host + "\r\n") +
                                "Authorization: Bearer " + token + "\r\n\r\n";
    EXPECT_EQ(exchangeRaw(service.port(), request).status, 421) << host;
  }
  for (const std::string& host : std::vector<std::string>{"127.0.0.1:" + port, "localhost:" + port}) {
    const std::string request = "GET /api/v1/me HTTP/1.1\r\nHost: " + host + "\r\nAuthorization: Bearer " + token + "\r\n\r\n";
    EXPECT_EQ(exchangeRaw(service.port(), request).status, 200) << host;
  }

  // The one who started the service still drives the controls: nothing was removed before.
  EXPECT_EQ(service.storedFiles().size(), 0u);
  service.removeWorkspace(1);
  EXPECT_THROW(service.removeWorkspace(1), std::runtime_error);
}

}  // namespace
