// NorvaneClient: the library's public face. Holds the configuration from
// initialize() and the pending browser sign-in; every service call is a
// fresh exchange, so the const calls may run on any thread at once.
#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "http_transport.h"
#include "library_log.h"
#include "norvane/errors.h"
#include "norvane/norvane.h"
#include "service_api.h"
#include "service_config.h"
#include "sign_in_flow.h"

namespace norvane {

INorvaneLogger::~INorvaneLogger() = default;
NorvaneBridgeInterface::~NorvaneBridgeInterface() = default;
DynamicNorvaneBridge::DynamicNorvaneBridge(const std::string& path) : path_(path) {}
DynamicNorvaneBridge::~DynamicNorvaneBridge() = default;

namespace {

constexpr std::chrono::minutes kDefaultSignInTimeout{5};
constexpr int64_t kLongestSignInMinutes = 30;

std::string withTrailingSlash(std::string url) {
  if (!url.empty() && url.back() != '/') url += '/';
  return url;
}

std::string configText(const nlohmann::json& config, const char* key) {
  if (!config.is_object() || !config.contains(key) || !config[key].is_string()) {
    throw ConfigurationError(std::string("norvane: the environment configuration has no ") + key);
  }
  return config[key].get<std::string>();
}

std::filesystem::path pathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// Workspace ids are JSON numbers, sometimes sent as text.
int64_t idFrom(const nlohmann::json& value) {
  if (value.is_number_integer()) return value.get<int64_t>();
  if (value.is_string()) return std::stoll(value.get<std::string>());
  throw ServerError("norvane: unreadable answer from the service (identifier)");
}

std::string textFrom(const nlohmann::json& object, const char* key) {
  if (!object.contains(key) || object[key].is_null()) return {};
  return object[key].is_string() ? object[key].get<std::string>() : object[key].dump();
}

const nlohmann::json& arrayFrom(const nlohmann::json& answer) {
  if (!answer.is_array()) throw std::invalid_argument("not a list");
  return answer;
}

// Runs `read` over an answer, turning a shape the library did not expect into a ServerError.
template <typename Read>
auto readAnswer(const char* what, Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const NorvaneError&) {
    throw;
  } catch (const std::exception&) {
    throw ServerError(std::string("norvane: unreadable answer from the service (") + what + ")");
  }
}

}  // namespace

struct NorvaneClient::Impl {
  explicit Impl(std::shared_ptr<INorvaneLogger> logger) : log(std::move(logger)), transport(createHttpTransport()) {}

  std::shared_ptr<const ServiceConfig> currentConfig() const {
    std::lock_guard lock(mutex);
    if (!config) throw ConfigurationError("norvane: the client is not initialized");
    return config;
  }

  std::string startSignIn(std::chrono::minutes timeout) {
    auto flow = std::make_shared<SignInFlow>(*currentConfig(), timeout);
    std::shared_ptr<SignInFlow> replaced;
    {
      std::lock_guard lock(mutex);
      replaced = std::exchange(pendingSignIn, flow);
    }
    if (replaced) replaced->replace();
    log.info("sign-in started; time limit " + std::to_string(timeout.count()) + " minute(s)");
    return flow->authorizationUrl();
  }

  LibraryLog log;
  std::unique_ptr<HttpTransport> transport;
  mutable std::mutex mutex;
  std::shared_ptr<const ServiceConfig> config;
  std::shared_ptr<SignInFlow> pendingSignIn;
};

NorvaneClient::NorvaneClient(std::shared_ptr<NorvaneBridgeInterface> bridge, std::shared_ptr<INorvaneLogger> logger)
    : bridge_(std::move(bridge)), logger_(std::move(logger)), impl_(std::make_unique<Impl>(logger_)) {}

NorvaneClient::~NorvaneClient() { localAuthFlowCancel(); }

void NorvaneClient::initialize(const NorvaneInitializeOptions& options) {
  if (options.logLevel) setLogLevel(*options.logLevel);
  if (!options.environmentConfig) throw ConfigurationError("norvane: no environment configuration given");
  auto config = std::make_shared<ServiceConfig>();
  config->loginUrl = withTrailingSlash(configText(*options.environmentConfig, "LoginURL"));
  config->serverUrl = withTrailingSlash(configText(*options.environmentConfig, "ServerURL"));
  config->clientId = configText(*options.environmentConfig, "ClientID");
  config->audience = configText(*options.environmentConfig, "Audience");
  // Refuse an insecure or malformed address now rather than at the first call.
  serviceAddress(config->loginUrl, "");
  serviceAddress(config->serverUrl, "");

  std::string integrations;
  for (const auto& [name, version] : options.integrationVersions) {
    integrations += (integrations.empty() ? "" : ", ") + name + " " + version;
  }
  {
    std::lock_guard lock(impl_->mutex);
    impl_->config = config;
  }
  impl_->log.info("initialized: login=" + config->loginUrl + ", server=" + config->serverUrl +
                  ", integrations=" + integrations);
}

void NorvaneClient::setLogLevel(const std::string& level) {
  if (!impl_->log.setLevel(level)) impl_->log.warning("unknown log level \"" + level + "\" ignored");
}

// The library keeps no file of its own: its messages go to the integration's logger.
void NorvaneClient::setLogFile(const std::string&) {}

std::string NorvaneClient::localAuthFlowAuthorize() { return impl_->startSignIn(kDefaultSignInTimeout); }

std::string NorvaneClient::localAuthFlowAuthorizeWithTimeout(int64_t minutes) {
  const int64_t bounded = std::clamp<int64_t>(minutes, 1, kLongestSignInMinutes);
  return impl_->startSignIn(std::chrono::minutes(bounded));
}

NorvaneLocalAuthTokens NorvaneClient::localAuthFlowComplete() {
  std::shared_ptr<SignInFlow> flow;
  {
    std::lock_guard lock(impl_->mutex);
    flow = impl_->pendingSignIn;
  }
  if (!flow) throw SignInError("norvane: no sign-in in progress; call localAuthFlowAuthorize first");
  // The flow's listener is one-shot: whatever happens, this sign-in is over.
  struct Finish {
    Impl& impl;
    const std::shared_ptr<SignInFlow>& flow;
    ~Finish() {
      std::lock_guard lock(impl.mutex);
      if (impl.pendingSignIn == flow) impl.pendingSignIn.reset();
    }
  } finish{*impl_, flow};
  try {
    return flow->complete(*impl_->transport, impl_->log);
  } catch (const std::exception& error) {
    impl_->log.warning(error.what());
    throw;
  }
}

void NorvaneClient::localAuthFlowCancel() {
  std::shared_ptr<SignInFlow> flow;
  {
    std::lock_guard lock(impl_->mutex);
    flow = std::exchange(impl_->pendingSignIn, nullptr);
  }
  if (flow) flow->cancel();
}

std::string NorvaneClient::localAuthFlowLogout() {
  const auto config = impl_->currentConfig();
  return config->loginUrl + "v2/logout?" +
         buildQuery({{"client_id", config->clientId}, {"returnTo", config->serverUrl}});
}

NorvaneUser NorvaneClient::getCurrentUser(const std::string& accessToken) const {
  const auto config = impl_->currentConfig();
  const nlohmann::json answer = ServiceApi(*impl_->transport, *config, impl_->log, accessToken).get("api/v1/me", {}, "user");
  return readAnswer("user", [&] {
    return NorvaneUser{idFrom(answer.at("id")), textFrom(answer, "email"), textFrom(answer, "name")};
  });
}

std::vector<NorvaneWorkspace> NorvaneClient::listWorkspaces(const std::string& accessToken,
                                                            const std::string& filter) const {
  const auto config = impl_->currentConfig();
  const nlohmann::json answer = ServiceApi(*impl_->transport, *config, impl_->log, accessToken)
                                    .get("api/v1/workspaces", {{"filter", filter}}, "workspace list");
  return readAnswer("workspaces", [&] {
    std::vector<NorvaneWorkspace> workspaces;
    for (const auto& entry : arrayFrom(answer)) {
      workspaces.push_back({idFrom(entry.at("id")), textFrom(entry, "name"), textFrom(entry, "addressKey")});
    }
    return workspaces;
  });
}

NorvaneDirectory NorvaneClient::getRootDirectory(const std::string& accessToken, int64_t workspaceId) const {
  const auto config = impl_->currentConfig();
  const std::string workspace = "workspace " + std::to_string(workspaceId);
  const nlohmann::json answer = ServiceApi(*impl_->transport, *config, impl_->log, accessToken)
                                    .get("api/v1/workspaces/" + std::to_string(workspaceId) + "/root", {}, workspace);
  return readAnswer("root directory", [&] { return NorvaneDirectory{idFrom(answer.at("id")), textFrom(answer, "name")}; });
}

std::vector<NorvaneFindRevisionResult> NorvaneClient::findRevision(
    const std::string& accessToken, int64_t workspaceId, const std::string& revisionKey,
    const std::string& sourceRevisionVersion, const std::string& sourceRevisionId, const std::string& fileName,
    bool includeDeleted, bool latestOnly, bool includeShared, bool matchSourceRevision) const {
  const auto config = impl_->currentConfig();
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  const nlohmann::json answer =
      ServiceApi(*impl_->transport, *config, impl_->log, accessToken)
          .get("api/v1/workspaces/" + std::to_string(workspaceId) + "/revisions",
               {{"revisionKey", revisionKey},
                {"sourceRevisionVersion", sourceRevisionVersion},
                {"sourceRevisionId", sourceRevisionId},
                {"fileName", fileName},
                {"includeDeleted", flag(includeDeleted)},
                {"latestOnly", flag(latestOnly)},
                {"includeShared", flag(includeShared)},
                {"matchSourceRevision", flag(matchSourceRevision)}},
               "workspace " + std::to_string(workspaceId));
  return readAnswer("revisions", [&] {
    std::vector<NorvaneFindRevisionResult> results;
    for (const auto& entry : arrayFrom(answer)) {
      results.push_back({idFrom(entry.at("fileId")), textFrom(entry, "fileName"), textFrom(entry, "revisionId"),
                         textFrom(entry, "url")});
    }
    return results;
  });
}

NorvaneUploadResult NorvaneClient::upload(const std::string& accessToken, const NorvaneUploadPayload& payload,
                                          bool overwrite) const {
  const auto config = impl_->currentConfig();
  const ServiceApi api(*impl_->transport, *config, impl_->log, accessToken);
  if (payload.files.empty()) throw NorvaneError("norvane: nothing to upload");

  // Sizes first: a missing file fails the upload before anything is sent.
  std::vector<uint64_t> sizes;
  for (const auto& file : payload.files) {
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(pathFromUtf8(file.path), error);
    if (error) throw NorvaneError("norvane: cannot read file to upload: " + file.path);
    sizes.push_back(size);
  }

  nlohmann::json request = {{"targetDirectories", nlohmann::json::object()},
                            {"sourceRevisionId", payload.sourceRevisionId},
                            {"revisionId", payload.revisionId},
                            {"sourceRevisionVersion", payload.sourceRevisionVersion},
                            {"lastModified", payload.lastModified},
                            {"overwrite", overwrite},
                            {"files", nlohmann::json::array()}};
  for (const auto& [workspaceId, directoryId] : payload.targetDirectories) {
    request["targetDirectories"][std::to_string(workspaceId)] = directoryId;
  }
  if (payload.lifecycleState) request["lifecycleState"] = *payload.lifecycleState;
  if (payload.primaryName) request["primaryName"] = *payload.primaryName;
  for (size_t i = 0; i < payload.files.size(); ++i) {
    const auto& file = payload.files[i];
    request["files"].push_back({{"name", file.name},
                                {"revisionKey", file.revisionKey},
                                {"version", file.version},
                                {"sourceRevisionId", file.sourceRevisionId},
                                {"size", sizes[i]},
                                {"properties", file.properties}});
  }
  const std::string workspace =
      payload.targetDirectories.empty() ? "workspace"
                                        : "workspace " + std::to_string(payload.targetDirectories.begin()->first);

  const nlohmann::json created = api.post("api/v1/uploads", request, workspace);
  const std::string uploadId = readAnswer("upload", [&] { return created.at("uploadId").get<std::string>(); });
  const std::string shownUploadId = escapeControlCharacters(uploadId);
  impl_->log.info("upload " + shownUploadId + " created with " + std::to_string(payload.files.size()) + " file(s)");

  for (size_t i = 0; i < payload.files.size(); ++i) {
    const auto& file = payload.files[i];
    impl_->log.debug("uploading " + file.name + " (" + std::to_string(sizes[i]) + " bytes)");
    const nlohmann::json stored = api.putFile("api/v1/uploads/" + percentEncode(uploadId) + "/files/" + std::to_string(i),
                                              pathFromUtf8(file.path), sizes[i], "upload " + shownUploadId);
    const uint64_t storedSize = readAnswer("stored file", [&] { return stored.at("size").get<uint64_t>(); });
    if (storedSize != sizes[i]) {
      throw ServerError("norvane: the service stored " + std::to_string(storedSize) + " of " +
                        std::to_string(sizes[i]) + " bytes of " + file.name);
    }
  }

  const nlohmann::json completed =
      api.post("api/v1/uploads/" + percentEncode(uploadId) + "/complete", nlohmann::json::object(), "upload " + shownUploadId);
  return readAnswer("upload result", [&] {
    NorvaneUploadResult result;
    if (completed.contains("files")) {
      for (const auto& [name, url] : completed.at("files").items()) result.fileUrls[name] = url.get<std::string>();
    }
    if (completed.contains("errors")) {
      for (const auto& error : completed.at("errors")) {
        result.errors.push_back({textFrom(error, "fileName"), textFrom(error, "message")});
      }
    }
    impl_->log.info("upload " + shownUploadId + " completed: " + std::to_string(result.fileUrls.size()) + " file(s), " +
                    std::to_string(result.errors.size()) + " error(s)");
    return result;
  });
}

}  // namespace norvane
