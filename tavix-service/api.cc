// The JSON API the client library calls, behind bearer tokens.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "announcement.h"
#include "connection_reset.h"
#include "http_util.h"
#include "service.h"

namespace tavixservice {

bool carriesBearerToken(const httplib::Request& req) {
  const std::string header = req.get_header_value("Authorization");
  return header.rfind("Bearer ", 0) == 0 && header.size() > 7;
}

TokenCheck checkBearerToken(ServiceContext& context, const httplib::Request& req, int64_t& userId) {
  if (!carriesBearerToken(req)) return TokenCheck::Unknown;
  return context.tokens.check(req.get_header_value("Authorization").substr(7), userId);
}

std::optional<User> authenticate(ServiceContext& context, const httplib::Request& req, httplib::Response& res) {
  if (!carriesBearerToken(req)) {
    sendError(res, 401, "invalid_token", "The call carries no bearer token.");
    return std::nullopt;
  }
  int64_t userId = 0;
  switch (checkBearerToken(context, req, userId)) {
    case TokenCheck::Expired:
      sendError(res, 401, "token_expired", "The access token has expired.");
      return std::nullopt;
    case TokenCheck::Unknown:
      sendError(res, 401, "invalid_token", "The access token is not known.");
      return std::nullopt;
    case TokenCheck::Valid:
      break;
  }
  auto user = context.store.user(userId);
  if (!user) sendError(res, 401, "invalid_token", "The token's user no longer exists.");
  return user;
}

namespace {

// The workspace of a call, when it exists and the user is a member; else empty with the answer sent.
std::optional<Workspace> memberWorkspace(ServiceContext& context, const std::string& idText, const User& user,
                                         httplib::Response& res) {
  auto id = parseInteger(idText);
  auto workspace = id ? context.store.workspace(*id) : std::nullopt;
  if (!workspace) {
    sendError(res, 404, "workspace_not_found", "Workspace " + idText + " does not exist.");
    return std::nullopt;
  }
  if (!context.store.isMember(workspace->id, user.id)) {
    sendError(res, 403, "forbidden", "You are not a member of workspace " + idText + ".");
    return std::nullopt;
  }
  return workspace;
}

std::string fileUrl(const ServiceContext& context, const StoredRevision& revision) {
  return context.baseUrl + "workspace/" + revision.addressKey + "/file/" + std::to_string(revision.fileId) +
         "?revisionId=" + revision.revisionId;
}

bool flag(const httplib::Request& req, const char* name) { return req.get_param_value(name) == "true"; }

// A service killed in the middle of a file: no destructor, no flush, no answer.
[[noreturn]] void crashNow() {
  std::fflush(stdout);
  std::raise(SIGKILL);
  std::abort();
}

// The upload a well-formed announcement asks for, when its workspace and directory
// are the user's; else empty with the answer sent.
std::optional<PendingUpload> acceptAnnouncement(ServiceContext& context, Announcement announcement, const User& user,
                                                httplib::Response& res) {
  auto workspace = memberWorkspace(context, announcement.workspaceIdText, user, res);
  if (!workspace) return std::nullopt;
  auto directory = context.store.directory(announcement.directoryId);
  if (!directory || directory->workspaceId != workspace->id) {
    sendError(res, 404, "not_found", "Directory " + std::to_string(announcement.directoryId) +
                                         " is not in workspace " + announcement.workspaceIdText + ".");
    return std::nullopt;
  }
  PendingUpload upload = std::move(announcement.upload);
  upload.userId = user.id;
  upload.workspaceId = workspace->id;
  upload.directoryId = directory->id;
  return upload;
}

}  // namespace

void addApiRoutes(httplib::Server& server, ServiceContext& context) {
  server.Get("/api/v1/me", guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
    auto user = authenticate(context, req, res);
    if (user) sendJson(res, 200, {{"id", user->id}, {"email", user->email}, {"name", user->name}});
  }, "me"));

  server.Get("/api/v1/workspaces", guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
    auto user = authenticate(context, req, res);
    if (!user) return;
    auto list = nlohmann::json::array();
    for (const auto& w : context.store.workspacesOf(user->id, req.get_param_value("filter")))
      list.push_back({{"id", w.id}, {"name", w.name}, {"addressKey", w.addressKey}});
    sendJson(res, 200, list);
  }, "workspaces"));

  server.Get(R"(/api/v1/workspaces/([^/]+)/root)",
             guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
               auto user = authenticate(context, req, res);
               if (!user) return;
               auto workspace = memberWorkspace(context, req.matches[1], *user, res);
               if (!workspace) return;
               auto root = context.store.rootDirectory(workspace->id);
               if (!root) return sendError(res, 404, "not_found", "The workspace has no root directory.");
               sendJson(res, 200, {{"id", root->id}, {"name", root->name}});
             }, "root"));

  server.Get(R"(/api/v1/workspaces/([^/]+)/revisions)",
             guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
               auto user = authenticate(context, req, res);
               if (!user) return;
               auto workspace = memberWorkspace(context, req.matches[1], *user, res);
               if (!workspace) return;
               RevisionQuery query{req.get_param_value("revisionKey"), req.get_param_value("sourceRevisionVersion"),
                                   req.get_param_value("sourceRevisionId"), req.get_param_value("fileName"),
                                   flag(req, "latestOnly"), flag(req, "matchSourceRevision")};
               auto list = nlohmann::json::array();
               for (const auto& r : context.store.findRevisions(workspace->id, query))
                 list.push_back({{"fileId", r.fileId},
                                 {"fileName", r.fileName},
                                 {"revisionId", r.revisionId},
                                 {"url", fileUrl(context, r)}});
               sendJson(res, 200, list);
             }, "revisions"));

  server.Post("/api/v1/uploads", guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
    auto user = authenticate(context, req, res);
    if (!user) return;
    auto announcement = parseAnnouncement(req.body);
    if (auto* refusal = std::get_if<std::string>(&announcement)) return sendError(res, 400, "bad_request", *refusal);
    auto upload = acceptAnnouncement(context, std::move(std::get<Announcement>(announcement)), *user, res);
    if (upload) sendJson(res, 201, {{"uploadId", context.uploads.begin(std::move(*upload))}});
  }, "announce"));

  server.Put(R"(/api/v1/uploads/([0-9a-f]+)/files/([0-9]+))",
             guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res,
                                               const httplib::ContentReader& reader) {
               auto discardBody = [&] { reader([](const char*, size_t) { return true; }); };
               auto user = authenticate(context, req, res);
               if (!user) return discardBody();
               auto index = parseInteger(req.matches[2]);
               auto announced = index ? context.uploads.announced(req.matches[1], user->id, *index) : std::nullopt;
               if (!announced) {
                 discardBody();
                 return sendError(res, 404, "not_found", "No such upload or file index.");
               }
               // Reading stops at the announced size: more is refused, not stored.
               BlobStore::Writer writer(context.blobs);
               const std::optional<ArmedFileBreak> armedBreak = context.controls.takeFileBreak();
               bool tooLong = false;
               bool broken = false;
               bool written = reader([&](const char* data, size_t length) {
                 tooLong = writer.size() + static_cast<int64_t>(length) > announced->size;
                 if (tooLong) return false;
                 if (armedBreak && writer.size() + static_cast<int64_t>(length) > armedBreak->afterBytes) {
                   const auto kept = static_cast<size_t>(armedBreak->afterBytes - writer.size());
                   broken = writer.write(data, kept);
                   if (armedBreak->how == FileBreak::Crash) crashNow();
                   return false;
                 }
                 return writer.write(data, length);
               });
               if (broken) {
                 // The half-arrived file is gone before the client can see the connection end.
                 writer.discard();
                 resetConnection(req.remote_addr, req.remote_port, context.port);
                 res.set_header("Connection", "close");
                 return sendError(res, 500, "server_error", "Connection reset by the test controls.");
               }
               if (tooLong) {
                 // The rest stays unread: it is no request of its own.
                 GatedServer::closeAfterAnswer();
                 res.set_header("Connection", "close");
                 return sendError(res, 400, "size_mismatch", "Received more than the announced " +
                                                                 std::to_string(announced->size) + " bytes of " +
                                                                 announced->name + ".");
               }
               if (!written) return sendError(res, 500, "server_error", "The file could not be stored.");
               if (writer.size() != announced->size)
                 return sendError(res, 400, "size_mismatch",
                                  "Received " + std::to_string(writer.size()) + " bytes of " + announced->name +
                                      ", announced " + std::to_string(announced->size) + ".");
               std::string sha256 = writer.commit();
               if (!context.uploads.arrived(req.matches[1], *index, sha256))
                 return sendError(res, 404, "not_found", "The upload was completed meanwhile.");
               sendJson(res, 200, {{"name", announced->name}, {"size", writer.size()}, {"sha256", sha256}});
             }, "file"));

  server.Post(R"(/api/v1/uploads/([0-9a-f]+)/complete)",
              guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
                auto user = authenticate(context, req, res);
                if (!user) return;
                auto upload = context.uploads.finish(req.matches[1], user->id);
                if (!upload) return sendError(res, 404, "not_found", "No such upload.");
                if (!context.store.workspace(upload->workspaceId))
                  return sendError(res, 404, "workspace_not_found",
                                   "Workspace " + std::to_string(upload->workspaceId) + " does not exist.");
                // An upload is one unit: either every file becomes a revision, or none does.
                auto errors = nlohmann::json::array();
                std::vector<NewRevision> revisions;
                for (const auto& file : upload->files) {
                  if (!file.sha256) {
                    errors.push_back({{"fileName", file.name}, {"message", "The file's bytes never arrived."}});
                    continue;
                  }
                  const std::string& sourceRevisionId =
                      file.sourceRevisionId.empty() ? upload->sourceRevisionId : file.sourceRevisionId;
                  revisions.push_back({upload->workspaceId, upload->directoryId, file.name, file.revisionKey,
                                       file.version, sourceRevisionId, upload->sourceRevisionVersion,
                                       upload->lastModified, upload->lifecycleState, file.propertiesJson, file.size,
                                       *file.sha256, user->id});
                }
                nlohmann::json files = nlohmann::json::object();
                if (errors.empty())
                  for (const auto& stored : context.store.addRevisions(revisions))
                    files[stored.fileName] = fileUrl(context, stored);
                sendJson(res, 200, {{"files", files}, {"errors", errors}});
              }, "complete"));
}

}  // namespace tavixservice
