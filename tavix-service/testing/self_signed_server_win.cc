#include <cstdlib>
#include <stdexcept>

#include "self_signed_server.h"

namespace tavixtest {

SelfSignedServer::SelfSignedServer() {
  const char* url = std::getenv(kSelfSignedUrlVariable);
  if (!url || !*url)
    throw std::runtime_error(std::string(kSelfSignedUrlVariable) + " is not set: a Linux test starts the server");
  url_ = url;
}

SelfSignedServer::~SelfSignedServer() = default;

}  // namespace tavixtest
