// What every request passes before its route runs. Nothing here reads a body:
// a stranger's body is refused by its announced size, unread.
#include "http_util.h"
#include "service.h"

namespace tavixservice {
namespace {

// Announcements, forms and token requests are small; only file bytes are large, and streamed.
constexpr int64_t kMaxBodyBytes = 1024 * 1024;

bool isFileUpload(const httplib::Request& req) {
  return req.method == "PUT" && req.path.rfind("/api/v1/uploads/", 0) == 0;
}

// A page that rebinds its own name to 127.0.0.1 still sends that name.
bool sentToThisService(const ServiceContext& context, const httplib::Request& req) {
  const std::string host = req.get_header_value("Host");
  const std::string port = ":" + std::to_string(context.port);
  return host == "127.0.0.1" + port || host == "localhost" + port;
}

bool carriesControlSecret(const ServiceContext& context, const httplib::Request& req) {
  return constantTimeEquals(req.get_header_value("X-Tavix-Control-Secret"), context.controlSecret);
}

// Empty when the body may be read, else the status that refuses it.
std::optional<int> bodyRefusal(const httplib::Request& req) {
  if (isFileUpload(req)) return std::nullopt;
  if (req.has_header("Transfer-Encoding")) return 411;
  if (!req.has_header("Content-Length")) return std::nullopt;
  const auto length = parseInteger(req.get_header_value("Content-Length"));
  if (!length || *length < 0) return 400;
  if (*length > kMaxBodyBytes) return 413;
  return std::nullopt;
}

}  // namespace

httplib::Server::HandlerResponse gateRequest(ServiceContext& context, const httplib::Request& req,
                                             httplib::Response& res) {
  using Outcome = httplib::Server::HandlerResponse;
  // The body stays unread, so the connection cannot carry another request.
  auto refuse = [&](int status, const std::string& code, const std::string& message) {
    sendError(res, status, code, message);
    res.set_header("Connection", "close");
    return Outcome::Handled;
  };
  if (!sentToThisService(context, req))
    return refuse(421, "misdirected_request", "Requests must be sent to 127.0.0.1 or localhost on this port.");
  if (req.path.rfind("/_control/", 0) == 0 && !carriesControlSecret(context, req))
    return refuse(403, "forbidden", "The test controls need this run's secret.");
  if (const auto status = bodyRefusal(req)) {
    return refuse(*status, "bad_request",
                  *status == 413 ? "The body is larger than 1 MiB." : "The body needs a valid Content-Length.");
  }
  // A stranger's body is not read. A client whose token has merely expired
  // gets its 401 from the route, after its body, so that it sees the answer
  // rather than a connection closed while it was still sending.
  const bool apiBody = req.path.rfind("/api/", 0) == 0 && (req.method == "POST" || req.method == "PUT");
  int64_t userId = 0;
  if (apiBody && checkBearerToken(context, req, userId) == TokenCheck::Unknown)
    return refuse(401, "invalid_token", "The call carries no known bearer token.");
  return Outcome::Unhandled;
}

}  // namespace tavixservice
