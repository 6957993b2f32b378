#include <gtest/gtest.h>

#include "signin/browser_address.h"

TEST(BrowserAddress, WebAddressesOnlyAndPlainHttpOnlyToThisMachine) {
  for (const char* shown : {"https://tavix.example/workspace/a", "HTTPS://x.example", "http://127.0.0.1:8950/f?x=1",
                            "http://localhost/", "http://[::1]:80/", "http://127.1.2.3"})
    EXPECT_TRUE(isBrowsableAddress(shown)) << shown;
  for (const char* refused : {"javascript:alert(1)", "file:///etc/passwd", "http://example.com/",
                              "http://127.0.0.1.example.com/", "http://user@127.0.0.1/", "ftp://127.0.0.1/",
                              "https://", "https://:443/", "http://:80/", "data:text/html,<b>", ""})
    EXPECT_FALSE(isBrowsableAddress(refused)) << refused;
}

// A resolver reads a leading zero as octal: "0127.0.0.1" is 87.0.0.1.
TEST(BrowserAddress, PlainHttpHostIsThisMachineAsAResolverReadsIt) {
  for (const char* refused : {"http://0127.0.0.1/", "http://00000000127.0.0.1:80/", "http://127.00.0.1/",
                              "http://127.0.0.01/", "http://127.0.0.1:.0/", "http://127.0.0.1:65536/"})
    EXPECT_FALSE(isBrowsableAddress(refused)) << refused;
  for (const char* shown : {"http://127.0.0.1:/", "http://127.0.10.100:65535/x", "http://127.0.0.0/"})
    EXPECT_TRUE(isBrowsableAddress(shown)) << shown;
}
