#include <gtest/gtest.h>

#include "signin/browser_address.h"

TEST(BrowserAddress, WebAddressesOnlyAndPlainHttpOnlyToThisMachine) {
  for (const char* shown : {"https://tavix.example/workspace/a", "HTTPS://x.example", "http://127.0.0.1:8950/f?x=1",
                            "http://localhost/", "http://[::1]:80/", "http://127.1.2.3"})
    EXPECT_TRUE(isBrowsableAddress(shown)) << shown;
  for (const char* refused : {"javascript:alert(1)", "file:///etc/passwd", "http://example.com/",
                              "http://127.0.0.1.example.com/", "http://user@127.0.0.1/", "ftp://127.0.0.1/",
                              "https://", "data:text/html,<b>", ""})
    EXPECT_FALSE(isBrowsableAddress(refused)) << refused;
}
