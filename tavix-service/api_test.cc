// The API, uploads, pages and test controls of the running service, seen by a client.
#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "crypto.h"
#include "local_service.h"

namespace {

using tavixtest::LocalTavixService;

std::string randomBytes(size_t size) {
  std::mt19937_64 generator(size);
  std::string bytes(size, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A client of the API with the demo user's access token.
class ApiClient {
 public:
  explicit ApiClient(LocalTavixService& service)
      : client_("127.0.0.1", service.port()), token_(service.issueTokens()["access_token"]) {
    client_.set_read_timeout(60);
    client_.set_default_headers({{"Authorization", "Bearer " + token_}});
  }
  httplib::Client& http() { return client_; }
  const std::string& token() const { return token_; }

  nlohmann::json json(const std::string& path, int expectedStatus = 200) {
    auto res = client_.Get(path.c_str());
    EXPECT_TRUE(res) << path;
    if (!res) return {};
    EXPECT_EQ(res->status, expectedStatus) << path << " " << res->body;
    return nlohmann::json::parse(res->body);
  }

  // Announces the files and answers the upload's path, "/api/v1/uploads/ID".
  std::string announce(const std::vector<std::pair<std::string, size_t>>& files, const std::string& revision = "A.1") {
    nlohmann::json body = {{"targetDirectories", {{"1", 101}}}, {"sourceRevisionId", revision},
                           {"revisionId", revision}, {"sourceRevisionVersion", "3"},
                           {"lastModified", "2026-12-01T10:00:00Z"}, {"lifecycleState", "In Work"},
                           {"files", nlohmann::json::array()}};
    for (const auto& [name, size] : files)
      body["files"].push_back({{"name", name}, {"revisionKey", "uid-" + name}, {"version", "1"}, {"size", size},
                               {"properties", nlohmann::json::object()}});
    auto res = client_.Post("/api/v1/uploads", body.dump(), "application/json");
    EXPECT_EQ(res->status, 201) << res->body;
    return "/api/v1/uploads/" + nlohmann::json::parse(res->body)["uploadId"].get<std::string>();
  }

  // Sends the bytes in small pieces, as a client streaming from disk does.
  httplib::Result put(const std::string& path, const std::string& bytes) {
    return client_.Put(
        path.c_str(), bytes.size(),
        [&bytes](size_t offset, size_t length, httplib::DataSink& sink) {
          sink.write(bytes.data() + offset, std::min<size_t>(length, 64 * 1024));
          return true;
        },
        "application/octet-stream");
  }

  httplib::Result complete(const std::string& upload) { return client_.Post((upload + "/complete").c_str(), "", "application/json"); }

 private:
  httplib::Client client_;
  std::string token_;
};

TEST(ServiceApi, UserWorkspacesAndTokensAsTheClientSeesThem) {
  LocalTavixService service;
  ApiClient api(service);
  EXPECT_EQ(api.json("/api/v1/me"),
            nlohmann::json({{"id", 1}, {"email", "engineer@example.com"}, {"name", "Demo Engineer"}}));
  auto workspaces = api.json("/api/v1/workspaces?filter=");
  ASSERT_EQ(workspaces.size(), 2u);
  EXPECT_EQ(workspaces[0]["name"], "Bracket Team");
  EXPECT_EQ(workspaces[0]["addressKey"], "bracket-team");
  EXPECT_EQ(workspaces[1]["name"], "Gearbox");
  EXPECT_EQ(api.json("/api/v1/workspaces?filter=GEAR").size(), 1u);
  auto root = api.json("/api/v1/workspaces/1/root");
  EXPECT_NE(root["id"], 1) << "a root directory id must not be mistaken for its workspace id";
  EXPECT_EQ(api.json("/api/v1/workspaces/7/root", 404)["error"], "workspace_not_found");

  httplib::Client anonymous("127.0.0.1", service.port());
  EXPECT_EQ(nlohmann::json::parse(anonymous.Get("/api/v1/me")->body)["error"], "invalid_token");
  anonymous.set_bearer_token_auth("made-up");
  EXPECT_EQ(anonymous.Get("/api/v1/me")->status, 401);

  service.expireTokens();
  auto expired = api.http().Get("/api/v1/workspaces?filter=");
  EXPECT_EQ(expired->status, 401);
  EXPECT_EQ(nlohmann::json::parse(expired->body)["error"], "token_expired");
  // A new sign-in works again.
  ApiClient renewed(service);
  EXPECT_EQ(renewed.json("/api/v1/me")["email"], "engineer@example.com");
}

TEST(ServiceApi, UploadLandsByteExactWithItsAddressPageAndRevisionLookup) {
  LocalTavixService service;
  ApiClient api(service);
  const std::string big = randomBytes(3 * 1024 * 1024 + 17);
  const std::string small = "<part & \"drawing\">";
  std::string upload = api.announce({{"bracket<1>.prt", big.size()}, {"notes.txt", small.size()}, {"never.sent", 4}});

  auto stored = api.put(upload + "/files/0", big);
  ASSERT_EQ(stored->status, 200) << stored->body;
  EXPECT_EQ(nlohmann::json::parse(stored->body)["sha256"], tavixservice::sha256Hex(big));
  auto shortBody = api.put(upload + "/files/1", small.substr(1));
  EXPECT_EQ(shortBody->status, 400);
  EXPECT_NE(shortBody->body.find("size_mismatch"), std::string::npos);
  EXPECT_EQ(api.put(upload + "/files/1", small)->status, 200);
  EXPECT_EQ(api.put(upload + "/files/9", small)->status, 404);

  // One file never arrived: the upload is refused whole, none of its files becomes a revision.
  auto incomplete = api.complete(upload);
  ASSERT_EQ(incomplete->status, 200) << incomplete->body;
  auto refused = nlohmann::json::parse(incomplete->body);
  ASSERT_EQ(refused["errors"].size(), 1u);
  EXPECT_EQ(refused["errors"][0]["fileName"], "never.sent");
  EXPECT_TRUE(refused["files"].empty());
  EXPECT_TRUE(service.storedFiles().empty());

  upload = api.announce({{"bracket<1>.prt", big.size()}, {"notes.txt", small.size()}});
  ASSERT_EQ(api.put(upload + "/files/0", big)->status, 200);
  ASSERT_EQ(api.put(upload + "/files/1", small)->status, 200);
  auto completed = api.complete(upload);
  ASSERT_EQ(completed->status, 200) << completed->body;
  auto result = nlohmann::json::parse(completed->body);
  EXPECT_TRUE(result["errors"].empty());
  std::string url = result["files"]["bracket<1>.prt"];
  EXPECT_EQ(url.rfind(service.baseUrl() + "workspace/bracket-team/file/", 0), 0u) << url;
  EXPECT_NE(url.find("?revisionId="), std::string::npos) << url;
  EXPECT_EQ(api.complete(upload)->status, 404);

  auto files = service.storedFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["name"], "bracket<1>.prt");
  EXPECT_EQ(files[0]["size"], big.size());
  EXPECT_EQ(files[0]["workspace"], "Bracket Team");
  EXPECT_EQ(files[0]["lifecycleState"], "In Work");
  EXPECT_EQ(readFile(files[0]["blobPath"]), big);
  EXPECT_EQ(readFile(files[1]["blobPath"]), small);
  EXPECT_TRUE(std::filesystem::is_empty(service.dataDir() / "blobs" / "incoming"));

  // The address opens the file's page, with the name escaped.
  httplib::Client browser("127.0.0.1", service.port());
  auto page = browser.Get(url.substr(service.baseUrl().size() - 1).c_str());
  ASSERT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("<h1>bracket&lt;1&gt;.prt</h1>"), std::string::npos);
  EXPECT_NE(page->body.find(files[0]["sha256"].get<std::string>()), std::string::npos);
  EXPECT_NE(browser.Get("/workspace/bracket-team")->body.find("notes.txt"), std::string::npos);
  EXPECT_EQ(browser.Get("/workspace/bracket-team/file/1001?revisionId=nope")->status, 404);
  EXPECT_EQ(browser.Get("/workspace/no-such-team")->status, 404);

  std::string lookup = "/api/v1/workspaces/1/revisions?revisionKey=uid-bracket%3C1%3E.prt&fileName="
                       "&includeDeleted=false&latestOnly=true&includeShared=false&matchSourceRevision=true"
                       "&sourceRevisionVersion=3&sourceRevisionId=";
  auto found = api.json(lookup + "A.1");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]["url"], url);
  EXPECT_TRUE(api.json(lookup + "B.1").empty());
  EXPECT_TRUE(api.json("/api/v1/workspaces/2/revisions?revisionKey=uid-notes.txt").empty());
}

TEST(ServiceApi, ParallelFilesOfOneUploadEachLandIntact) {
  LocalTavixService service;
  ApiClient api(service);
  const std::vector<std::string> names = {"Größe 零件.prt", "b.asm", "c.drw", "d.pdf"};
  std::vector<std::string> contents;
  std::vector<std::pair<std::string, size_t>> announced;
  for (size_t i = 0; i < names.size(); ++i) {
    contents.push_back(randomBytes(700000 + i * 4099));
    announced.emplace_back(names[i], contents.back().size());
  }
  const std::string upload = api.announce(announced);
  std::vector<int> statuses(names.size());
  std::vector<std::thread> senders;
  for (size_t i = 0; i < names.size(); ++i)
    senders.emplace_back([&, i] {
      httplib::Client client("127.0.0.1", service.port());
      client.set_bearer_token_auth(api.token().c_str());
      auto res = client.Put((upload + "/files/" + std::to_string(i)).c_str(), contents[i], "application/octet-stream");
      statuses[i] = res ? res->status : 0;
    });
  for (auto& sender : senders) sender.join();
  EXPECT_EQ(statuses, std::vector<int>(names.size(), 200));
  auto result = nlohmann::json::parse(api.complete(upload)->body);
  EXPECT_TRUE(result["errors"].empty());
  auto files = service.storedFiles();
  ASSERT_EQ(files.size(), names.size());
  for (const auto& file : files) {
    size_t i = std::find(names.begin(), names.end(), file["name"]) - names.begin();
    ASSERT_LT(i, names.size()) << file.dump();
    EXPECT_EQ(readFile(file["blobPath"]), contents[i]) << names[i];
    std::string url = result["files"][names[i]];
    EXPECT_NE(url.find("/file/" + std::to_string(file["fileId"].get<int64_t>()) + "?revisionId="), std::string::npos);
  }
}

TEST(ServiceApi, ContentAlreadyStoredIsKeptAsItIsWhenUploadedAgain) {
  LocalTavixService service;
  ApiClient api(service);
  // Held in memory while it arrives, and large enough to arrive through a temporary file.
  const std::vector<std::string> contents = {randomBytes(8192), randomBytes(1536 * 1024)};
  auto upload = [&] {
    const std::string path = api.announce({{"a.prt", contents[0].size()}, {"b.prt", contents[1].size()}});
    for (size_t i = 0; i < contents.size(); ++i)
      ASSERT_EQ(api.put(path + "/files/" + std::to_string(i), contents[i])->status, 200);
    ASSERT_EQ(api.complete(path)->status, 200);
  };
  upload();
  const auto files = service.storedFiles();
  ASSERT_EQ(files.size(), 2u);
  const auto longAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365);
  for (const auto& file : files) std::filesystem::last_write_time(file["blobPath"].get<std::string>(), longAgo);

  upload();
  const auto again = service.storedFiles();
  ASSERT_EQ(again.size(), 4u);
  for (size_t i = 0; i < again.size(); ++i) {
    const std::string blob = again[i]["blobPath"];
    EXPECT_EQ(blob, files[i % 2]["blobPath"]);
    EXPECT_EQ(readFile(blob), contents[i % 2]);
    EXPECT_EQ(std::filesystem::last_write_time(blob), longAgo) << "replaced: " << blob;
  }
  EXPECT_TRUE(std::filesystem::is_empty(service.dataDir() / "blobs" / "incoming"));
}

TEST(ServiceApi, ARestartKeepsFilesButSignsEveryoneOut) {
  auto kept = std::filesystem::temp_directory_path() / ("tavixtest-service-restart-" + std::to_string(getpid()));
  std::filesystem::remove_all(kept);
  std::string token;
  {
    LocalTavixService first(std::nullopt, {"--data-dir", kept.string()});
    ApiClient api(first);
    token = api.token();
    const std::string upload = api.announce({{"kept.prt", 5}});
    api.put(upload + "/files/0", "12345");
    api.complete(upload);
  }
  LocalTavixService second(std::nullopt, {"--data-dir", kept.string()});
  auto files = second.storedFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(readFile(files[0]["blobPath"]), "12345");
  httplib::Client client("127.0.0.1", second.port());
  client.set_bearer_token_auth(token.c_str());
  EXPECT_EQ(client.Get("/api/v1/me")->status, 401);
  client.set_bearer_token_auth(second.issueTokens()["access_token"].get<std::string>().c_str());
  EXPECT_EQ(nlohmann::json::parse(client.Get("/api/v1/workspaces?filter=")->body).size(), 2u) << "seeded twice?";
  EXPECT_NE(client.Get("/workspace/bracket-team")->body.find("kept.prt"), std::string::npos);
  std::filesystem::remove_all(kept);
}

TEST(ServiceApi, MembershipAndTheSeedDecideWhatAUserReaches) {
  nlohmann::json seed = {
      {"users", {{{"email", "a@example.com"}, {"password", "pa"}, {"name", "Ann"}},
                 {{"email", "b@example.com"}, {"password", "pb"}, {"name", "Bob"}}}},
      {"workspaces", {{{"name", "Zeta <script>"}, {"addressKey", "zeta"}, {"members", {"a@example.com"}}},
                      {{"name", "Alpha"}, {"addressKey", "alpha"}, {"members", {"a@example.com", "b@example.com"}}}}}};
  LocalTavixService service(seed);
  httplib::Client bob("127.0.0.1", service.port());
  bob.set_bearer_token_auth(service.issueTokens("b@example.com", "pb")["access_token"].get<std::string>().c_str());
  auto listed = nlohmann::json::parse(bob.Get("/api/v1/workspaces?filter=")->body);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["id"], 2);
  EXPECT_EQ(nlohmann::json::parse(bob.Get("/api/v1/workspaces/1/root")->body)["error"], "forbidden");
  // Into a workspace Bob is no member of, into a directory that is not the workspace's.
  for (const auto& [target, status] : {std::pair{"1", 403}, std::pair{"2", 404}}) {
    const std::string body = R"({"targetDirectories":{")" + std::string(target) + R"(":101},"files":[{"name":"x","size":1}]})";
    EXPECT_EQ(bob.Post("/api/v1/uploads", body, "application/json")->status, status) << target;
  }
  EXPECT_EQ(bob.Post("/api/v1/uploads", "{not json", "application/json")->status, 400);

  httplib::Client browser("127.0.0.1", service.port());
  auto page = browser.Get("/workspace/zeta")->body;
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_NE(page.find("Zeta &lt;script&gt;"), std::string::npos);

  try {
    LocalTavixService broken(nlohmann::json{{"workspaces", {{{"name", "W"}, {"addressKey", "w"}, {"members", {"x@example.com"}}}}}});
    ADD_FAILURE() << "a seed naming an unknown member must stop the service";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("not a seed user"), std::string::npos) << e.what();
  }
}

// A client that waits a second for an answer.
httplib::Client impatientClient(const LocalTavixService& service, const ApiClient& api) {
  httplib::Client impatient("127.0.0.1", service.port());
  impatient.set_read_timeout(1);
  impatient.set_bearer_token_auth(api.token().c_str());
  return impatient;
}

TEST(ServiceControls, FailuresDelaysAndRemovedWorkspaces) {
  LocalTavixService service;
  ApiClient api(service);
  service.failNext(2, 503);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(api.json("/api/v1/me", 503)["error"], "server_error");
  EXPECT_EQ(api.json("/api/v1/me")["name"], "Demo Engineer");

  // An injected failure on an upload is answered after the body, not by a reset connection.
  const std::string upload = api.announce({{"a.prt", 200000}});
  service.failNext(1, 500);
  auto failedPut = api.put(upload + "/files/0", randomBytes(200000));
  ASSERT_TRUE(failedPut);
  EXPECT_EQ(failedPut->status, 500);

  service.setDelay(3000);
  httplib::Client impatient = impatientClient(service, api);
  EXPECT_FALSE(impatient.Get("/api/v1/me"));
  service.setDelay(0);
  EXPECT_EQ(impatient.Get("/api/v1/me")->status, 200);

  service.removeWorkspace(2);
  auto remaining = api.json("/api/v1/workspaces?filter=");
  ASSERT_EQ(remaining.size(), 1u);
  EXPECT_EQ(remaining[0]["name"], "Bracket Team");
  EXPECT_EQ(api.json("/api/v1/workspaces/2/root", 404)["error"], "workspace_not_found");
  EXPECT_THROW(service.removeWorkspace(2), std::runtime_error);
  EXPECT_THROW(service.failNext(1, 200), std::runtime_error);
}

// What an upload's client meets when one call fails, is never answered, or
// when the connection or the whole service goes away in the middle of a file.
TEST(ServiceControls, OneCallFailsIsHeldOrBreaksOffAndNothingHalfArrivedIsKept) {
  LocalTavixService service;
  ApiClient api(service);
  service.failNext(1, 503, "root");
  EXPECT_EQ(api.json("/api/v1/me")["name"], "Demo Engineer");
  EXPECT_EQ(api.json("/api/v1/workspaces/1/root", 503)["error"], "server_error");
  EXPECT_EQ(api.json("/api/v1/workspaces/1/root")["id"], 101);
  EXPECT_THROW(service.failNext(1, 500, "everything"), std::runtime_error);

  // The client gives up before the held answer is written; the service lives on.
  service.holdNext("me", 1500);
  httplib::Client impatient = impatientClient(service, api);
  EXPECT_FALSE(impatient.Get("/api/v1/me"));
  EXPECT_FALSE(service.waitForCrash(std::chrono::seconds(2)));
  EXPECT_EQ(impatient.Get("/api/v1/me")->status, 200);

  // This test's own client writes into connections the service resets.
  signal(SIGPIPE, SIG_IGN);

  const std::string bytes = randomBytes(4 * 1024 * 1024);
  std::string upload = api.announce({{"cut.prt", bytes.size()}});
  service.breakNextFile("reset", 100000);
  auto cut = api.put(upload + "/files/0", bytes);
  EXPECT_TRUE(!cut || cut->status == 500);
  EXPECT_TRUE(std::filesystem::is_empty(service.dataDir() / "blobs" / "incoming"));
  EXPECT_FALSE(nlohmann::json::parse(api.complete(upload)->body)["errors"].empty());
  EXPECT_TRUE(service.storedFiles().empty());

  upload = api.announce({{"crash.prt", bytes.size()}});
  service.breakNextFile("crash", 100000);
  EXPECT_FALSE(api.put(upload + "/files/0", bytes));
  ASSERT_TRUE(service.waitForCrash(std::chrono::seconds(30)));
  const int port = service.port();
  service.restart();
  EXPECT_EQ(service.port(), port);
  EXPECT_TRUE(service.storedFiles().empty());
  EXPECT_TRUE(std::filesystem::is_empty(service.dataDir() / "blobs" / "incoming"));
  // Sign-ins do not survive a restart; the upload of a new one lands once, whole.
  ApiClient again(service);
  upload = again.announce({{"crash.prt", bytes.size()}});
  ASSERT_EQ(again.put(upload + "/files/0", bytes)->status, 200);
  ASSERT_EQ(again.complete(upload)->status, 200);
  const auto files = service.storedFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0]["sha256"], tavixservice::sha256Hex(bytes));
}

}  // namespace
