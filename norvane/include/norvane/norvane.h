// The Tavix cloud client library: sign-in with the local authorization flow and
// the service calls of an integration. Failures are thrown as std::exception
// subclasses whose text says what happened.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "norvane/export.h"
#include "norvane/records.h"

namespace norvane {

// Receives the library's own messages, one finished UTF-8 text each, tagged "[norvane]".
class NORVANE_API INorvaneLogger {
 public:
  virtual void debug(const char* message) = 0;
  virtual void info(const char* message) = 0;
  virtual void warning(const char* message) = 0;
  virtual void error(const char* message) = 0;
  virtual ~INorvaneLogger();
};

// The library's engine behind a client.
class NORVANE_API NorvaneBridgeInterface {
 public:
  virtual ~NorvaneBridgeInterface();
};

// The engine that locates the library's own module; an empty path means "beside this library".
class NORVANE_API DynamicNorvaneBridge : public NorvaneBridgeInterface {
 public:
  explicit DynamicNorvaneBridge(const std::string& path);
  ~DynamicNorvaneBridge() override;

 private:
  std::string path_;
};

class NORVANE_API NorvaneClient {
 public:
  NorvaneClient(std::shared_ptr<NorvaneBridgeInterface> bridge, std::shared_ptr<INorvaneLogger> logger);
  ~NorvaneClient();
  NorvaneClient(const NorvaneClient&) = delete;
  NorvaneClient& operator=(const NorvaneClient&) = delete;

  void initialize(const NorvaneInitializeOptions& options);
  void setLogLevel(const std::string& level);
  void setLogFile(const std::string& path);

  std::string localAuthFlowAuthorize();
  std::string localAuthFlowAuthorizeWithTimeout(int64_t minutes);
  NorvaneLocalAuthTokens localAuthFlowComplete();
  // Makes a waiting localAuthFlowComplete give up at once; nothing happens without one.
  void localAuthFlowCancel();
  std::string localAuthFlowLogout();

  NorvaneUser getCurrentUser(const std::string& accessToken) const;
  std::vector<NorvaneWorkspace> listWorkspaces(const std::string& accessToken, const std::string& filter) const;
  NorvaneDirectory getRootDirectory(const std::string& accessToken, int64_t workspaceId) const;
  std::vector<NorvaneFindRevisionResult> findRevision(const std::string& accessToken, int64_t workspaceId,
                                                      const std::string& revisionKey,
                                                      const std::string& sourceRevisionVersion,
                                                      const std::string& sourceRevisionId,
                                                      const std::string& fileName, bool includeDeleted,
                                                      bool latestOnly, bool includeShared,
                                                      bool matchSourceRevision) const;
  NorvaneUploadResult upload(const std::string& accessToken, const NorvaneUploadPayload& payload,
                             bool overwrite) const;

 private:
  struct Impl;
  std::shared_ptr<NorvaneBridgeInterface> bridge_;
  std::shared_ptr<INorvaneLogger> logger_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace norvane
