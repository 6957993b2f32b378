// Built only by the tests: text reaches the toolkit as c_str(), wide or narrow;
// a std::string itself is refused, as the toolkit's own xstring refuses it.
#include <string>

#include <pfcGlobal.h>

xstring probe(const std::string& text) {
#ifdef TAVIX_PROBE_STD_STRING
  return text;
#else
  return text.c_str();
#endif
}
