// Under wine the service a Linux test started for this test program.
#include <cstdlib>
#include <stdexcept>

#include "local_service.h"

namespace tavixtest {

namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value)
    throw std::runtime_error(std::string(name) + " is not set: a Linux test starts the service and runs this program");
  return value;
}

}  // namespace

LocalTavixService::LocalTavixService(std::optional<nlohmann::json> seed, std::vector<std::string> extraArguments)
    : baseUrl_(variable(kServiceUrlVariable)), controlSecret_(variable(kServiceSecretVariable)) {
  if (seed || !extraArguments.empty())
    throw std::runtime_error("a seed or service arguments can only be given where the service is started");
  port_ = std::stoi(baseUrl_.substr(baseUrl_.rfind(':') + 1));
}

LocalTavixService::~LocalTavixService() = default;

std::string LocalTavixService::output() const { return "(the service's output is with the Linux test that started it)"; }

}  // namespace tavixtest
