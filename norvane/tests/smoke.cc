// Drives the library against a running service by hand, e.g. the Windows
// norvane.dll under wine against the Linux service:
//   norvane_smoke http://127.0.0.1:PORT/ CLIENT_ID ACCESS_TOKEN
// Prints the user, the workspaces and an uploaded file's address, then starts
// a sign-in and waits (one minute) for whatever comes to its redirect address.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "norvane/norvane.h"

namespace {

class PrintingLogger : public norvane::INorvaneLogger {
 public:
  void debug(const char* message) override { std::printf("debug   %s\n", message); }
  void info(const char* message) override { std::printf("info    %s\n", message); }
  void warning(const char* message) override { std::printf("warning %s\n", message); }
  void error(const char* message) override { std::printf("error   %s\n", message); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: norvane_smoke SERVICE_URL CLIENT_ID ACCESS_TOKEN\n");
    return 2;
  }
  const std::string url = argv[1], clientId = argv[2], token = argv[3];
  try {
    norvane::NorvaneClient client(std::make_shared<norvane::DynamicNorvaneBridge>(""),
                                  std::make_shared<PrintingLogger>());
    norvane::NorvaneInitializeOptions options;
    options.logLevel = "debug";
    options.environmentConfig = {{"LoginURL", url}, {"ServerURL", url}, {"ClientID", clientId}, {"Audience", "smoke"}};
    client.initialize(options);

    const auto user = client.getCurrentUser(token);
    std::printf("user: %s <%s>\n", user.name.c_str(), user.email.c_str());
    const auto workspaces = client.listWorkspaces(token, "");
    for (const auto& workspace : workspaces) std::printf("workspace %lld: %s\n", static_cast<long long>(workspace.id), workspace.name.c_str());
    const auto root = client.getRootDirectory(token, workspaces.at(0).id);

    const auto file = std::filesystem::temp_directory_path() / "norvane-smoke.prt";
    std::ofstream(file, std::ios::binary) << std::string(3 * 1024 * 1024 + 5, 'x');
    norvane::NorvaneUploadPayload payload;
    payload.targetDirectories[workspaces.at(0).id] = root.id;
    payload.sourceRevisionId = payload.revisionId = "smoke";
    const std::u8string path = file.u8string();
    payload.files.push_back({"norvane-smoke.prt", std::string(path.begin(), path.end()), "smoke", "1", {}});
    for (const auto& [name, address] : client.upload(token, payload, false).fileUrls) {
      std::printf("uploaded %s: %s\n", name.c_str(), address.c_str());
    }
    std::filesystem::remove(file);

    std::printf("authorize: %s\n", client.localAuthFlowAuthorizeWithTimeout(1).c_str());
    std::fflush(stdout);
    const auto tokens = client.localAuthFlowComplete();
    std::printf("signed in: access token of %zu characters\n", tokens.accessToken.size());
    return 0;
  } catch (const std::exception& error) {
    std::printf("failed: %s\n", error.what());
    return 1;
  }
}
