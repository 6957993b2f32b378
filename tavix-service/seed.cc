#include "seed.h"

#include <cctype>
#include <set>
#include <stdexcept>

namespace tavixservice {
namespace {

std::string requiredText(const nlohmann::json& object, const char* key, const std::string& where) {
  auto found = object.find(key);
  if (found == object.end() || !found->is_string() || found->get<std::string>().empty())
    throw std::runtime_error(where + " needs a non-empty text \"" + key + "\"");
  return found->get<std::string>();
}

bool isAddressKey(const std::string& key) {
  for (char c : key)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  return !key.empty();
}

}  // namespace

Seed parseSeed(const nlohmann::json& document) {
  if (!document.is_object()) throw std::runtime_error("the seed must be a JSON object");
  Seed seed;
  std::set<std::string> emails;
  for (const auto& user : document.value("users", nlohmann::json::array())) {
    std::string where = "seed user " + std::to_string(seed.users.size() + 1);
    SeedUser parsed{requiredText(user, "email", where), requiredText(user, "password", where),
                    requiredText(user, "name", where)};
    if (!emails.insert(parsed.email).second) throw std::runtime_error("seed user " + parsed.email + " appears twice");
    seed.users.push_back(std::move(parsed));
  }
  std::set<std::string> addressKeys;
  for (const auto& workspace : document.value("workspaces", nlohmann::json::array())) {
    std::string where = "seed workspace " + std::to_string(seed.workspaces.size() + 1);
    SeedWorkspace parsed{requiredText(workspace, "name", where), requiredText(workspace, "addressKey", where), {}};
    if (!isAddressKey(parsed.addressKey))
      throw std::runtime_error(where + ": addressKey may hold only letters, digits, '-' and '_'");
    if (!addressKeys.insert(parsed.addressKey).second)
      throw std::runtime_error("seed addressKey " + parsed.addressKey + " appears twice");
    for (const auto& member : workspace.value("members", nlohmann::json::array())) {
      if (!member.is_string() || !emails.count(member.get<std::string>()))
        throw std::runtime_error(where + " names a member who is not a seed user: " + member.dump());
      parsed.members.push_back(member.get<std::string>());
    }
    seed.workspaces.push_back(std::move(parsed));
  }
  for (const auto& client : document.value("clients", nlohmann::json::array({kDefaultClientId}))) {
    if (!client.is_string() || client.get<std::string>().empty())
      throw std::runtime_error("seed clients must be non-empty texts");
    seed.clientIds.push_back(client.get<std::string>());
  }
  return seed;
}

Seed demoSeed() {
  return parseSeed(nlohmann::json::parse(R"({
    "users": [{"email": "engineer@example.com", "password": "creo-demo", "name": "Demo Engineer"}],
    "workspaces": [
      {"name": "Bracket Team", "addressKey": "bracket-team", "members": ["engineer@example.com"]},
      {"name": "Gearbox", "addressKey": "gearbox", "members": ["engineer@example.com"]}
    ]
  })"));
}

}  // namespace tavixservice
