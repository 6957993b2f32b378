#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "self_signed_server.h"
#include "test_socket.h"

namespace tavixtest {

SelfSignedServer::SelfSignedServer() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavixtest-tls-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder for the certificate");
  folder_ = pattern;
  const std::string key = (folder_ / "key.pem").string(), cert = (folder_ / "cert.pem").string();
  const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                           "-addext subjectAltName=IP:127.0.0.1 -keyout " + key + " -out " + cert + " 2>/dev/null";
  if (std::system(make.c_str()) != 0) {
    std::filesystem::remove_all(folder_);
    throw std::runtime_error("openssl cannot make a certificate");
  }
  const int port = unusedLoopbackPort();
  url_ = "https://127.0.0.1:" + std::to_string(port) + "/";
  pid_ = fork();
  if (pid_ == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execlp("openssl", "openssl", "s_server", "-quiet", "-www", "-accept", std::to_string(port).c_str(), "-cert",
           cert.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (TestSocket::connectTo("127.0.0.1", port).isOpen()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  stop();
  throw std::runtime_error("openssl s_server did not start");
}

SelfSignedServer::~SelfSignedServer() { stop(); }

void SelfSignedServer::stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace tavixtest
