// The web application's pages for a workspace and for an uploaded file.
#include <algorithm>

#include "http_util.h"
#include "service.h"

namespace tavixservice {
namespace {

std::string fileLink(const StoredRevision& r) {
  return "/workspace/" + r.addressKey + "/file/" + std::to_string(r.fileId) + "?revisionId=" + r.revisionId;
}

void notFound(httplib::Response& res, const std::string& what) {
  sendHtml(res, 404, "Not found", "<h1>Not found</h1>\n<p>" + htmlEscape(what) + "</p>\n");
}

}  // namespace

void addPageRoutes(httplib::Server& server, ServiceContext& context) {
  server.Get(R"(/workspace/([^/]+))", guarded(context, Controlled::DelayOnly, [&context](const httplib::Request& req, httplib::Response& res) {
    auto workspace = context.store.workspaceByAddressKey(req.matches[1]);
    if (!workspace) return notFound(res, "There is no workspace " + std::string(req.matches[1]) + ".");
    std::string html = "<h1>" + htmlEscape(workspace->name) + "</h1>\n";
    auto revisions = context.store.latestRevisions(workspace->id);
    if (revisions.empty()) html += "<p id=\"empty\">No files yet.</p>\n";
    else html += "<table id=\"files\">\n<tr><th>File</th><th>Size</th><th>Uploaded</th><th>By</th></tr>\n";
    for (const auto& r : revisions)
      html += "<tr><td><a href=\"" + htmlEscape(fileLink(r)) + "\">" + htmlEscape(r.fileName) + "</a></td><td>" +
              std::to_string(r.size) + "</td><td>" + htmlEscape(r.createdAt) + "</td><td>" +
              htmlEscape(r.uploadedBy) + "</td></tr>\n";
    if (!revisions.empty()) html += "</table>\n";
    sendHtml(res, 200, workspace->name + " - Tavix", html);
  }));

  server.Get(R"(/workspace/([^/]+)/file/([0-9]+))",
             guarded(context, Controlled::DelayOnly, [&context](const httplib::Request& req, httplib::Response& res) {
               auto workspace = context.store.workspaceByAddressKey(req.matches[1]);
               auto fileId = parseInteger(req.matches[2]);
               auto revisions = workspace && fileId ? context.store.revisionsOfFile(workspace->id, *fileId)
                                                    : std::vector<StoredRevision>{};
               if (revisions.empty()) return notFound(res, "There is no such file.");
               std::string shown = req.get_param_value("revisionId");
               if (!shown.empty() && std::none_of(revisions.begin(), revisions.end(),
                                                  [&](const auto& r) { return r.revisionId == shown; }))
                 return notFound(res, "The file has no revision " + shown + ".");
               if (shown.empty()) shown = revisions.front().revisionId;
               std::string html = "<p><a href=\"/workspace/" + htmlEscape(workspace->addressKey) + "\">" +
                                  htmlEscape(workspace->name) + "</a></p>\n<h1>" +
                                  htmlEscape(revisions.front().fileName) + "</h1>\n" +
                                  "<table id=\"revisions\">\n<tr><th>Revision</th><th>Version</th><th>Source revision"
                                  "</th><th>Lifecycle state</th><th>Size</th><th>SHA-256</th><th>Modified</th>"
                                  "<th>Uploaded</th><th>By</th></tr>\n";
               for (const auto& r : revisions)
                 html += std::string("<tr") + (r.revisionId == shown ? " class=\"shown\"" : "") + "><td>" +
                         htmlEscape(r.revisionId) + "</td><td>" + htmlEscape(r.fileVersion) + "</td><td>" +
                         htmlEscape(r.sourceRevisionId) + " " + htmlEscape(r.sourceRevisionVersion) + "</td><td>" +
                         htmlEscape(r.lifecycleState) + "</td><td>" + std::to_string(r.size) + "</td><td>" +
                         htmlEscape(r.sha256) + "</td><td>" + htmlEscape(r.lastModified) + "</td><td>" +
                         htmlEscape(r.createdAt) + "</td><td>" + htmlEscape(r.uploadedBy) + "</td></tr>\n";
               html += "</table>\n";
               sendHtml(res, 200, revisions.front().fileName + " - Tavix", html);
             }));
}

}  // namespace tavixservice
