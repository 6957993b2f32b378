// HTTP over cpp-httplib; https goes through OpenSSL with the system's
// certificate store and host-name verification.
#include <httplib.h>
#include <signal.h>

#include <ctime>
#include <fstream>
#include <vector>

#include "http_transport.h"
#include "norvane/errors.h"

namespace norvane {

namespace {

constexpr size_t kChunkSize = 256 * 1024;

// Writing into a connection the service reset raises SIGPIPE, whose default
// ends the whole host process. A library must not change how the process
// handles signals, so the signal is held back for this thread during one
// exchange and a SIGPIPE the exchange raised is taken away before it ends.
class SigpipeHeldBack {
 public:
  SigpipeHeldBack() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~SigpipeHeldBack() {
    if (!alreadyPending_) {
      const timespec now{0, 0};
      while (sigtimedwait(&pipe_, nullptr, &now) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeHeldBack(const SigpipeHeldBack&) = delete;
  SigpipeHeldBack& operator=(const SigpipeHeldBack&) = delete;

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool alreadyPending_ = false;
};

class HttplibTransport : public HttpTransport {
 public:
  HttpResponse send(const HttpRequest& request) override {
    const SigpipeHeldBack heldBack;
    const std::string host = request.url.host.find(':') != std::string::npos ? "[" + request.url.host + "]"
                                                                              : request.url.host;
    httplib::Client client(request.url.scheme + "://" + host + ":" + std::to_string(request.url.port));
    client.set_connection_timeout(timeouts_.connect);
    client.set_read_timeout(timeouts_.transfer);
    client.set_write_timeout(timeouts_.transfer);
    if (request.url.scheme == "https") client.enable_server_certificate_verification(true);

    httplib::Headers headers(request.headers.begin(), request.headers.end());
    httplib::Result result = request.bodyFile.empty() ? sendInMemory(client, request, headers)
                                                      : sendFile(client, request, headers);
    if (!result) throw ConnectionError(cannotConnectMessage(request.url, httplib::to_string(result.error())));
    return HttpResponse{result->status, result->body};
  }

 private:
  static httplib::Result sendInMemory(httplib::Client& client, const HttpRequest& request,
                                      const httplib::Headers& headers) {
    if (request.method == "GET") return client.Get(request.url.target, headers);
    if (request.method == "PUT") return client.Put(request.url.target, headers, request.body, request.contentType);
    return client.Post(request.url.target, headers, request.body, request.contentType);
  }

  // Reads the file one chunk at a time so memory stays flat whatever its size.
  static httplib::Result sendFile(httplib::Client& client, const HttpRequest& request,
                                  const httplib::Headers& headers) {
    std::ifstream file(request.bodyFile, std::ios::binary);
    if (!file) throw NorvaneError("norvane: cannot read file to upload: " + utf8Path(request.bodyFile));
    std::vector<char> buffer(kChunkSize);
    bool readFailed = false;
    auto provider = [&](size_t offset, size_t length, httplib::DataSink& sink) {
      const size_t wanted = std::min(length, buffer.size());
      file.read(buffer.data(), static_cast<std::streamsize>(wanted));
      if (static_cast<size_t>(file.gcount()) != wanted) {
        readFailed = true;
        return false;
      }
      return sink.write(buffer.data(), wanted);
    };
    httplib::Result result = request.method == "PUT"
                                 ? client.Put(request.url.target, headers, request.bodyFileSize, provider,
                                              request.contentType)
                                 : client.Post(request.url.target, headers, request.bodyFileSize, provider,
                                               request.contentType);
    if (readFailed) {
      throw NorvaneError("norvane: file changed or became unreadable while uploading: " +
                         utf8Path(request.bodyFile));
    }
    return result;
  }

  const HttpTimeouts timeouts_ = httpTimeouts();
};

}  // namespace

std::unique_ptr<HttpTransport> createHttpTransport() { return std::make_unique<HttplibTransport>(); }

}  // namespace norvane
