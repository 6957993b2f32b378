// The test controls; the request gate lets through only calls with this run's secret.
#include <algorithm>

#include "http_util.h"
#include "service.h"

namespace tavixservice {
namespace {

constexpr int64_t kLongestWaitMs = 600000;
const char* const kCallNames = "call must be me, workspaces, root, revisions, announce, file, complete or token.";

bool isCallName(const std::string& call) {
  for (const char* name : {"me", "workspaces", "root", "revisions", "announce", "file", "complete", "token"})
    if (call == name) return true;
  return false;
}

Handler control(ServiceContext& context, Handler handler) {
  return guarded(context, Controlled::Not, std::move(handler));
}

std::optional<int64_t> numberParam(const httplib::Request& req, const char* name, httplib::Response& res) {
  auto value = parseInteger(req.get_param_value(name));
  if (!value || *value < 0) sendError(res, 400, "bad_request", std::string(name) + " must be a whole number of 0 or more.");
  return value && *value >= 0 ? value : std::nullopt;
}

}  // namespace

void addControlRoutes(httplib::Server& server, ServiceContext& context) {
  server.Post("/_control/expire-tokens", control(context, [&context](const httplib::Request&, httplib::Response& res) {
    context.tokens.expireAll();
    sendJson(res, 200, {{"expired", true}});
  }));

  server.Post("/_control/remove-workspace", control(context, [&context](const httplib::Request& req, httplib::Response& res) {
    auto id = numberParam(req, "id", res);
    if (!id) return;
    if (!context.store.removeWorkspace(*id)) return sendError(res, 404, "workspace_not_found", "No workspace " + std::to_string(*id) + ".");
    sendJson(res, 200, {{"removed", *id}});
  }));

  server.Post("/_control/fail-next", control(context, [&context](const httplib::Request& req, httplib::Response& res) {
    auto count = numberParam(req, "count", res);
    if (!count) return;
    auto status = parseInteger(req.get_param_value("status"));
    if (!status || *status < 400 || *status > 599) return sendError(res, 400, "bad_request", "status must be 400 to 599.");
    const std::string call = req.get_param_value("call");
    if (!call.empty() && !isCallName(call)) return sendError(res, 400, "bad_request", kCallNames);
    context.controls.failNext(static_cast<int>(*count), static_cast<int>(*status), call);
    sendJson(res, 200, {{"count", *count}, {"status", *status}, {"call", call}});
  }));

  server.Post("/_control/hold-next", control(context, [&context](const httplib::Request& req, httplib::Response& res) {
    const std::string call = req.get_param_value("call");
    if (!isCallName(call)) return sendError(res, 400, "bad_request", kCallNames);
    auto ms = numberParam(req, "ms", res);
    if (!ms) return;
    context.controls.holdNext(call, static_cast<int>(std::min<int64_t>(*ms, kLongestWaitMs)));
    sendJson(res, 200, {{"call", call}, {"ms", *ms}});
  }));

  server.Post("/_control/break-next-file", control(context, [&context](const httplib::Request& req, httplib::Response& res) {
    const std::string how = req.get_param_value("how");
    if (how != "reset" && how != "crash") return sendError(res, 400, "bad_request", "how must be reset or crash.");
    auto after = numberParam(req, "after", res);
    if (!after) return;
    context.controls.breakNextFile({how == "crash" ? FileBreak::Crash : FileBreak::Reset, *after});
    sendJson(res, 200, {{"how", how}, {"after", *after}});
  }));

  server.Post("/_control/delay", control(context, [&context](const httplib::Request& req, httplib::Response& res) {
    auto ms = numberParam(req, "ms", res);
    if (!ms) return;
    context.controls.setDelayMs(static_cast<int>(std::min<int64_t>(*ms, kLongestWaitMs)));
    sendJson(res, 200, {{"ms", context.controls.delayMs()}});
  }));

  server.Get("/_control/files", control(context, [&context](const httplib::Request&, httplib::Response& res) {
    auto list = nlohmann::json::array();
    for (const auto& r : context.store.allRevisions())
      list.push_back({{"workspace", r.workspaceName}, {"workspaceId", r.workspaceId}, {"addressKey", r.addressKey},
                      {"fileId", r.fileId}, {"name", r.fileName}, {"size", r.size}, {"sha256", r.sha256},
                      {"revisionId", r.revisionId}, {"revisionKey", r.revisionKey}, {"version", r.fileVersion},
                      {"sourceRevisionId", r.sourceRevisionId}, {"sourceRevisionVersion", r.sourceRevisionVersion},
                      {"lifecycleState", r.lifecycleState}, {"lastModified", r.lastModified},
                      {"blobPath", context.blobs.pathOf(r.sha256).string()}});
    sendJson(res, 200, list);
  }));
}

}  // namespace tavixservice
