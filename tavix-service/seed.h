// The users, workspaces and memberships a fresh data folder starts with.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tavixservice {

// The one client the sign-in page knows unless the seed names others.
inline constexpr const char* kDefaultClientId = "TavixLocalServiceClient000000001";

struct SeedUser {
  std::string email;
  std::string password;
  std::string name;
};

struct SeedWorkspace {
  std::string name;
  std::string addressKey;
  std::vector<std::string> members;  // emails
};

struct Seed {
  std::vector<SeedUser> users;
  std::vector<SeedWorkspace> workspaces;
  std::vector<std::string> clientIds;
};

// Throws std::runtime_error naming what is wrong (missing field, unknown member, duplicate).
Seed parseSeed(const nlohmann::json& document);
Seed demoSeed();

}  // namespace tavixservice
