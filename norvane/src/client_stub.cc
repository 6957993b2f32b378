// Placeholder engine until the HTTP client lands: every service call reports
// that the library is not connected.
#include <stdexcept>

#include "norvane/norvane.h"

namespace norvane {

INorvaneLogger::~INorvaneLogger() = default;
NorvaneBridgeInterface::~NorvaneBridgeInterface() = default;
DynamicNorvaneBridge::DynamicNorvaneBridge(const std::string& path) : path_(path) {}
DynamicNorvaneBridge::~DynamicNorvaneBridge() = default;

struct NorvaneClient::Impl {};

namespace {
[[noreturn]] void notConnected() { throw std::runtime_error("norvane: not connected"); }
}  // namespace

NorvaneClient::NorvaneClient(std::shared_ptr<NorvaneBridgeInterface> bridge, std::shared_ptr<INorvaneLogger> logger)
    : bridge_(std::move(bridge)), logger_(std::move(logger)), impl_(std::make_unique<Impl>()) {}
NorvaneClient::~NorvaneClient() = default;
void NorvaneClient::initialize(const NorvaneInitializeOptions&) {}
void NorvaneClient::setLogLevel(const std::string&) {}
void NorvaneClient::setLogFile(const std::string&) {}
std::string NorvaneClient::localAuthFlowAuthorize() { notConnected(); }
std::string NorvaneClient::localAuthFlowAuthorizeWithTimeout(int64_t) { notConnected(); }
NorvaneLocalAuthTokens NorvaneClient::localAuthFlowComplete() { notConnected(); }
std::string NorvaneClient::localAuthFlowLogout() { notConnected(); }
NorvaneUser NorvaneClient::getCurrentUser(const std::string&) const { notConnected(); }
std::vector<NorvaneWorkspace> NorvaneClient::listWorkspaces(const std::string&, const std::string&) const {
  notConnected();
}
NorvaneDirectory NorvaneClient::getRootDirectory(const std::string&, int64_t) const { notConnected(); }
std::vector<NorvaneFindRevisionResult> NorvaneClient::findRevision(const std::string&, int64_t, const std::string&,
                                                                   const std::string&, const std::string&,
                                                                   const std::string&, bool, bool, bool,
                                                                   bool) const {
  notConnected();
}
NorvaneUploadResult NorvaneClient::upload(const std::string&, const NorvaneUploadPayload&, bool) const {
  notConnected();
}

}  // namespace norvane
