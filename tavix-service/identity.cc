// The identity provider: sign-in page, token endpoint with PKCE, logout page.
#include <algorithm>
#include <ctime>

#include "crypto.h"
#include "http_util.h"
#include "loopback_redirect.h"
#include "service.h"

namespace tavixservice {
namespace {

const char* const kAuthorizeFields[] = {"response_type", "client_id",      "redirect_uri", "code_challenge",
                                        "code_challenge_method", "state", "audience",     "scope"};

// Empty when the request may be shown a sign-in form, else why not.
std::string refusalOf(const httplib::Request& req, const ServiceContext& context) {
  const std::string clientId = req.get_param_value("client_id");
  if (req.get_param_value("response_type") != "code") return "response_type must be code.";
  if (std::find(context.clientIds.begin(), context.clientIds.end(), clientId) == context.clientIds.end())
    return "Unknown client_id.";
  if (!isLoopbackRedirect(req.get_param_value("redirect_uri")))
    return "redirect_uri must be http://127.0.0.1:<port>/... or http://localhost:<port>/...";
  if (req.get_param_value("code_challenge_method") != "S256") return "code_challenge_method must be S256.";
  if (!isValidPkceText(req.get_param_value("code_challenge"))) return "code_challenge is missing or malformed.";
  return {};
}

void sendSignInForm(httplib::Response& res, const httplib::Request& req, const std::string& error) {
  std::string html = "<h1>Sign in to Tavix</h1>\n";
  if (!error.empty()) html += "<p id=\"error\">" + htmlEscape(error) + "</p>\n";
  html += "<form id=\"signin\" method=\"post\" action=\"/authorize\">\n";
  for (const char* field : kAuthorizeFields)
    html += "<input type=\"hidden\" name=\"" + std::string(field) + "\" value=\"" +
            htmlEscape(req.get_param_value(field)) + "\">\n";
  html += "<p><label>Email <input type=\"email\" name=\"email\" value=\"" + htmlEscape(req.get_param_value("email")) +
          "\" autofocus></label></p>\n"
          "<p><label>Password <input type=\"password\" name=\"password\"></label></p>\n"
          "<p><button type=\"submit\">Sign in</button></p>\n</form>\n";
  sendHtml(res, 200, "Sign in to Tavix", html);
}

void refuse(httplib::Response& res, const std::string& reason) {
  sendHtml(res, 400, "Sign-in request refused",
           "<h1>Sign-in request refused</h1>\n<p id=\"error\">" + htmlEscape(reason) + "</p>\n");
}

void sendGrantError(httplib::Response& res, const std::string& error, const std::string& description) {
  sendJson(res, 400, {{"error", error}, {"error_description", description}});
}

std::string idToken(const ServiceContext& context, const User& user, const std::string& clientId,
                    int64_t lifetime) {
  int64_t now = static_cast<int64_t>(std::time(nullptr));
  nlohmann::json header = {{"alg", "HS256"}, {"typ", "JWT"}};
  nlohmann::json claims = {{"iss", context.baseUrl}, {"sub", std::to_string(user.id)}, {"aud", clientId},
                           {"email", user.email},    {"name", user.name},             {"iat", now},
                           {"exp", now + lifetime}};
  std::string signingInput = base64Url(header.dump()) + "." + base64Url(claims.dump());
  return signingInput + "." + hmacSha256Base64Url(context.idTokenKey, signingInput);
}

const char* const kTokenFields[] = {"grant_type", "client_id", "code", "code_verifier", "redirect_uri"};

// The token endpoint takes a form, as OAuth prescribes, or the same fields as JSON.
std::string tokenField(const httplib::Request& req, const nlohmann::json& json, const char* name) {
  if (json.is_object()) return json.value(name, "");
  return req.get_param_value(name);
}

// Empty when the JSON body's fields are text where present, else why not.
std::string malformedTokenRequest(const nlohmann::json& json) {
  if (json.is_discarded()) return "The body is not JSON or is nested too deeply.";
  if (!json.is_object()) return "The body must be a JSON object.";
  for (const char* field : kTokenFields)
    if (json.contains(field) && !json[field].is_string()) return std::string(field) + " must be text.";
  return {};
}

}  // namespace

void addIdentityRoutes(httplib::Server& server, ServiceContext& context) {
  server.Get("/authorize", guarded(context, Controlled::DelayOnly, [&context](const httplib::Request& req, httplib::Response& res) {
    if (std::string reason = refusalOf(req, context); !reason.empty()) return refuse(res, reason);
    sendSignInForm(res, req, {});
  }));

  server.Post("/authorize", guarded(context, Controlled::DelayOnly, [&context](const httplib::Request& req, httplib::Response& res) {
    if (std::string reason = refusalOf(req, context); !reason.empty()) return refuse(res, reason);
    auto user = context.store.checkPassword(req.get_param_value("email"), req.get_param_value("password"));
    if (!user) return sendSignInForm(res, req, "Wrong email or password.");
    std::string redirectUri = req.get_param_value("redirect_uri");
    std::string code = context.tokens.issueCode(
        {req.get_param_value("client_id"), redirectUri, req.get_param_value("code_challenge"), user->id});
    std::string location = redirectUri + (redirectUri.find('?') == std::string::npos ? "?" : "&") +
                           "code=" + urlEncode(code);
    if (req.has_param("state")) location += "&state=" + urlEncode(req.get_param_value("state"));
    res.set_header("Cache-Control", "no-store");
    res.set_redirect(location, 302);
  }));

  server.Post("/oauth/token", guarded(context, Controlled::DelayAndFailure, [&context](const httplib::Request& req, httplib::Response& res) {
    nlohmann::json json;
    if (req.get_header_value("Content-Type").rfind("application/json", 0) == 0) {
      json = parseJsonBody(req.body);
      if (std::string reason = malformedTokenRequest(json); !reason.empty())
        return sendGrantError(res, "invalid_request", reason);
    }
    if (tokenField(req, json, "grant_type") != "authorization_code")
      return sendGrantError(res, "unsupported_grant_type", "Only authorization_code is supported.");
    std::string clientId = tokenField(req, json, "client_id");
    auto exchange = context.tokens.exchange(tokenField(req, json, "code"), tokenField(req, json, "code_verifier"),
                                            tokenField(req, json, "redirect_uri"), clientId);
    if (!exchange.tokens) return sendGrantError(res, "invalid_grant", exchange.refusal);
    auto user = context.store.user(exchange.tokens->userId);
    if (!user) return sendGrantError(res, "invalid_grant", "The user no longer exists.");
    res.set_header("Pragma", "no-cache");
    sendJson(res, 200,
             {{"access_token", exchange.tokens->accessToken},
              {"refresh_token", exchange.tokens->refreshToken},
              {"id_token", idToken(context, *user, clientId, exchange.tokens->expiresInSeconds)},
              {"token_type", "Bearer"},
              {"expires_in", exchange.tokens->expiresInSeconds}});
  }, "token"));

  server.Get("/v2/logout", guarded(context, Controlled::DelayOnly, [](const httplib::Request& req, httplib::Response& res) {
    std::string html = "<h1>You have been signed out.</h1>\n";
    std::string returnTo = req.get_param_value("returnTo");
    if (returnTo.rfind("http://", 0) == 0 || returnTo.rfind("https://", 0) == 0)
      html += "<p><a href=\"" + htmlEscape(returnTo) + "\">Continue</a></p>\n";
    sendHtml(res, 200, "Signed out", html);
  }));
}

}  // namespace tavixservice
