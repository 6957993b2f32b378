// The HTTP server with the limits cpp-httplib's own connection loop lacks: a
// request's line and headers are read up to a cap, and a connection whose
// request was refused unread ends after the answer instead of reading the
// rest of that body as the next request.
#pragma once

#include <cstddef>

#include <httplib.h>

namespace tavixservice {

class GatedServer : public httplib::Server {
 public:
  // A request line and its headers together; more ends the connection.
  static constexpr size_t kMaxHeadBytes = 64 * 1024;

  // Called while a request is routed, on the thread that serves its
  // connection: the connection ends once the answer is written.
  static void closeAfterAnswer();

 private:
  bool process_and_close_socket(socket_t sock) override;
};

}  // namespace tavixservice
