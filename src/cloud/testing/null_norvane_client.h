// A client that answers every call with nothing; tests derive from it and
// override the calls they care about.
#pragma once

#include "cloud/norvane_client.h"

class NullNorvaneClient : public INorvaneClient {
 public:
  std::string localAuthFlowAuthorize() override { return {}; }
  norvane::NorvaneLocalAuthTokens localAuthFlowComplete() override { return {}; }
  void localAuthFlowCancel() override {}
  std::string localAuthFlowLogout() override { return {}; }
  std::vector<norvane::NorvaneWorkspace> listWorkspaces(const std::string&, const std::string&) override {
    return {};
  }
  norvane::NorvaneUser getCurrentUser(const std::string&) override { return {}; }
  norvane::NorvaneDirectory getRootDirectory(const std::string&, int64_t) override { return {}; }
  std::vector<norvane::NorvaneFindRevisionResult> findRevision(const std::string&, int64_t, const std::string&,
                                                               const std::string&, const std::string&,
                                                               const std::string&, bool, bool, bool,
                                                               bool) override {
    return {};
  }
  norvane::NorvaneUploadResult upload(const std::string&, const norvane::NorvaneUploadPayload&, bool) override {
    return {};
  }
  void setLogFile(const std::string&) override {}
  void setLogLevel(const std::string&) override {}
};
