// What the sign-in redirect listener makes of a request head that arrived on
// its port, from a browser or from anything else on this machine.
#pragma once

#include <map>
#include <string>

namespace norvane {

struct RedirectRequest {
  enum class Verdict { NotFound, WrongState, Redirect };
  Verdict verdict = Verdict::NotFound;
  std::map<std::string, std::string> query;  // decoded; set for a redirect
};

// A redirect is a GET of `callbackPath` whose query's "state" is `expectedState`;
// a GET of it with another or no state is WrongState; anything else NotFound.
RedirectRequest judgeRedirectRequest(const std::string& head, const std::string& callbackPath,
                                     const std::string& expectedState);

}  // namespace norvane
