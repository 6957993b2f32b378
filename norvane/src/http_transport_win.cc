// HTTP over WinHTTP. https uses the system's certificate checks, which
// WinHTTP applies unless told otherwise; this code never tells it otherwise.
#include <windows.h>
#include <winhttp.h>

#include <fstream>
#include <vector>

#include "http_transport.h"
#include "norvane/errors.h"

namespace norvane {

namespace {

constexpr size_t kChunkSize = 256 * 1024;

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
  return result;
}

// What a support engineer needs from the usual WinHTTP failures; the number alone says little.
std::string describe(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return "timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return "host name not resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT: return "connection refused";
    case ERROR_WINHTTP_CONNECTION_ERROR: return "connection reset";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return "invalid response";
    case ERROR_WINHTTP_SECURE_FAILURE: return "SSL server verification failed";
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return "SSL secure channel failed";
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      return "SSL server certificate refused";
    default: return {};
  }
}

struct InternetHandle {
  HINTERNET handle = nullptr;
  ~InternetHandle() {
    if (handle) WinHttpCloseHandle(handle);
  }
};

class WinHttpTransport : public HttpTransport {
 public:
  WinHttpTransport() {
    session_.handle = WinHttpOpen(L"norvane/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
    if (session_.handle) {
      const HttpTimeouts timeouts = httpTimeouts();
      const int connectMs = static_cast<int>(timeouts.connect.count());
      const int transferMs = static_cast<int>(timeouts.transfer.count());
      WinHttpSetTimeouts(session_.handle, connectMs, connectMs, transferMs, transferMs);
    }
  }

  HttpResponse send(const HttpRequest& request) override {
    if (!session_.handle) fail(request, "WinHttpOpen");
    InternetHandle connection{WinHttpConnect(session_.handle, wide(request.url.host).c_str(), request.url.port, 0)};
    if (!connection.handle) fail(request, "WinHttpConnect");
    const DWORD flags = request.url.scheme == "https" ? WINHTTP_FLAG_SECURE : 0;
    InternetHandle exchange{WinHttpOpenRequest(connection.handle, wide(request.method).c_str(),
                                               wide(request.url.target).c_str(), nullptr, WINHTTP_NO_REFERER,
                                               WINHTTP_DEFAULT_ACCEPT_TYPES, flags)};
    if (!exchange.handle) fail(request, "WinHttpOpenRequest");
    // WinHTTP follows redirects by default and may resend the Authorization
    // header or a token request to wherever they point; the answer is returned as it is.
    DWORD disabled = WINHTTP_DISABLE_REDIRECTS;
    if (!WinHttpSetOption(exchange.handle, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled)) {
      fail(request, "WinHttpSetOption");
    }

    std::string headers;
    for (const auto& [name, value] : request.headers) headers += name + ": " + value + "\r\n";
    if (!request.contentType.empty()) headers += "Content-Type: " + request.contentType + "\r\n";
    const bool streamed = !request.bodyFile.empty();
    const uint64_t length = streamed ? request.bodyFileSize : request.body.size();
    // Past 4 GiB WinHTTP cannot take the length as a DWORD; the header carries it instead.
    const bool hugeBody = length > MAXDWORD;
    if (hugeBody) headers += "Content-Length: " + std::to_string(length) + "\r\n";
    const std::wstring wideHeaders = wide(headers);

    void* inlineBody = streamed || request.body.empty() ? WINHTTP_NO_REQUEST_DATA
                                                        : const_cast<char*>(request.body.data());
    const DWORD inlineLength = streamed ? 0 : static_cast<DWORD>(request.body.size());
    const DWORD totalLength = hugeBody ? WINHTTP_IGNORE_REQUEST_TOTAL_LENGTH : static_cast<DWORD>(length);
    if (!WinHttpSendRequest(exchange.handle, wideHeaders.c_str(), static_cast<DWORD>(-1L), inlineBody,
                            inlineLength, totalLength, 0)) {
      fail(request, "WinHttpSendRequest");
    }
    if (streamed) streamFile(request, exchange.handle);
    if (!WinHttpReceiveResponse(exchange.handle, nullptr)) fail(request, "WinHttpReceiveResponse");

    HttpResponse response;
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    WinHttpQueryHeaders(exchange.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX);
    response.status = static_cast<int>(status);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      DWORD read = 0;
      if (!WinHttpReadData(exchange.handle, buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
        fail(request, "WinHttpReadData");
      }
      if (read == 0) break;
      response.body.append(buffer.data(), read);
    }
    return response;
  }

 private:
  [[noreturn]] static void fail(const HttpRequest& request, const char* step) {
    const DWORD error = GetLastError();
    std::string detail = std::string(step) + " failed, error " + std::to_string(error);
    if (const std::string meaning = describe(error); !meaning.empty()) detail += ": " + meaning;
    throw ConnectionError(cannotConnectMessage(request.url, detail));
  }

  // One chunk at a time, so memory stays flat whatever the file's size.
  static void streamFile(const HttpRequest& request, HINTERNET exchange) {
    std::ifstream file(request.bodyFile, std::ios::binary);
    if (!file) throw NorvaneError("norvane: cannot read file to upload: " + utf8Path(request.bodyFile));
    std::vector<char> buffer(kChunkSize);
    uint64_t remaining = request.bodyFileSize;
    while (remaining > 0) {
      const size_t wanted = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
      file.read(buffer.data(), static_cast<std::streamsize>(wanted));
      if (static_cast<size_t>(file.gcount()) != wanted) {
        throw NorvaneError("norvane: file changed or became unreadable while uploading: " + utf8Path(request.bodyFile));
      }
      DWORD written = 0;
      if (!WinHttpWriteData(exchange, buffer.data(), static_cast<DWORD>(wanted), &written) || written != wanted) {
        fail(request, "WinHttpWriteData");
      }
      remaining -= wanted;
    }
  }

  InternetHandle session_;
};

}  // namespace

std::unique_ptr<HttpTransport> createHttpTransport() { return std::make_unique<WinHttpTransport>(); }

}  // namespace norvane
