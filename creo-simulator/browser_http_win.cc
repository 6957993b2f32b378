#include <windows.h>
#include <winhttp.h>

#include <memory>

#include "browser_http.h"

namespace creosim {

namespace {

struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
  return result;
}

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                      nullptr);
  return result;
}

std::string failure(const char* step) { return std::string("request failed: ") + step + " (Win32 error " +
                                               std::to_string(GetLastError()) + ")"; }

}  // namespace

std::optional<HttpAnswer> sendBrowserRequest(const Url& target, const std::optional<std::string>& formBody,
                                             std::string& error) {
  auto fail = [&error](const char* step) {
    error = failure(step);
    return std::optional<HttpAnswer>();
  };
  InternetHandle session(WinHttpOpen(L"creo-sim", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return fail("WinHttpOpen");
  WinHttpSetTimeouts(session.get(), 5000, 5000, 60000, 60000);
  InternetHandle connection(
      WinHttpConnect(session.get(), wide(target.host).c_str(), static_cast<INTERNET_PORT>(target.port), 0));
  if (!connection) return fail("WinHttpConnect");
  InternetHandle request(WinHttpOpenRequest(connection.get(), formBody ? L"POST" : L"GET",
                                            wide(target.target).c_str(), nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!request) return fail("WinHttpOpenRequest");
  // Redirects are the caller's: it follows each Location as sent.
  DWORD disable = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);

  const wchar_t* headers = formBody ? L"Content-Type: application/x-www-form-urlencoded\r\n" : WINHTTP_NO_ADDITIONAL_HEADERS;
  const DWORD bodySize = formBody ? static_cast<DWORD>(formBody->size()) : 0;
  if (!WinHttpSendRequest(request.get(), headers, formBody ? static_cast<DWORD>(-1L) : 0,
                          formBody ? const_cast<char*>(formBody->data()) : WINHTTP_NO_REQUEST_DATA, bodySize,
                          bodySize, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr))
    return fail("WinHttpSendRequest");

  HttpAnswer answer;
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  answer.status = static_cast<int>(status);
  size = 0;
  WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &size, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > 0) {
    std::wstring location(size / sizeof(wchar_t), L'\0');
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, location.data(),
                            &size, WINHTTP_NO_HEADER_INDEX)) {
      location.resize(size / sizeof(wchar_t));
      answer.location = narrow(location);
    }
  }
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available))
      return fail("WinHttpQueryDataAvailable");
    if (available == 0) break;
    const size_t offset = answer.body.size();
    answer.body.resize(offset + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), answer.body.data() + offset, available, &read))
      return fail("WinHttpReadData");
    answer.body.resize(offset + read);
  }
  return answer;
}

}  // namespace creosim
