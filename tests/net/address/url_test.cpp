// Address decomposition: host, host with port, port and path for the kinds of
// address the program meets, odd ones included.
#include "net/url.h"

#include <gtest/gtest.h>

#include <string>

namespace merravine {
namespace {

struct AddressCase {
  const char* address;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
  *os << '"' << c.address << '"';
}

class AddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressTest, SplitsIntoHostPortAndPath) {
  const AddressCase& c = GetParam();
  EXPECT_EQ(UrlHost(c.address).Str(), c.host);
  EXPECT_EQ(UrlHost(c.address, false, true).Str(), c.hostWithPort);
  EXPECT_EQ(UrlPort(c.address), c.port);
  EXPECT_EQ(UrlPath(c.address).Str(), c.path);
  const UrlParts parts = UrlSplit(c.address);
  EXPECT_EQ(parts.host.Str(), c.host);
  EXPECT_EQ(parts.port, c.port);
  EXPECT_EQ(parts.path.Str(), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressTest,
    ::testing::Values(
        AddressCase{"", "", "", 80, "/"},
        AddressCase{"a.b/x?y=1", "a.b", "a.b", 80, "/x?y=1"},  // no scheme
        AddressCase{"HTTPS://Ab.CD:8443/Path?Q=1", "ab.cd", "ab.cd:8443", 8443, "/Path?Q=1"},
        // The appended "/" ends the host even without a path.
        AddressCase{"https://a.b", "a.b", "a.b", 443, "/"},
        AddressCase{"HTTP://A.B/C", "a.b", "a.b", 80, "/C"},
        AddressCase{"http://192.168.1.10:8080/x", "192.168.1.10", "192.168.1.10:8080", 8080, "/x"},
        // A query right after the host belongs to the host.
        AddressCase{"http://a.b?x=1", "a.b?x=1", "a.b?x=1", 80, "/"},
        AddressCase{"http://host:/x", "host", "host:", 0, "/x"},   // empty port
        AddressCase{"go?u=http://a.b/x", "a.b", "a.b", 80, "/x"},  // scheme inside
        AddressCase{"ftp://h/x", "ftp", "ftp:", 0, "//h/x"},       // other scheme
        // The host occurs inside the scheme, so the path starts there.
        AddressCase{"http://h/x", "h", "h", 80, "//h/x"},
        // No scheme, but the address begins with "https".
        AddressCase{"httpsx.y/a", "httpsx.y", "httpsx.y", 443, "/a"},
        // A user name and password: the host is the user name, cut at its ":".
        AddressCase{"http://user:pw@h.com/x", "user", "user:pw@h.com", 0, "/x"},
        // The port is read after the last colon.
        AddressCase{"http://k:1:8080/x", "k", "k:1:8080", 8080, "/x"},
        // The default address of the program, service host and all.
        AddressCase{"http://127.0.0.1:5000/ajax/getvideolistinfo_400004169_19743.shtml",
                    "127.0.0.1", "127.0.0.1:5000", 5000,
                    "/ajax/getvideolistinfo_400004169_19743.shtml"},
        // Double-byte characters in the path keep their bytes, second bytes
        // in the range of capital letters included (0xB0 0x41).
        AddressCase{"http://A.B/\xBF\xCE\xB3\xCC/\xB0\x41", "a.b", "a.b", 80,
                    "/\xBF\xCE\xB3\xCC/\xB0\x41"}));

struct LabelsCase {
  const char* address;
  bool keepPort;
  const char* host;
};

class LastTwoLabelsTest : public ::testing::TestWithParam<LabelsCase> {};

TEST_P(LastTwoLabelsTest, KeepsTheLastTwoLabels) {
  const LabelsCase& c = GetParam();
  EXPECT_EQ(UrlHost(c.address, true, c.keepPort).Str(), c.host) << c.address;
}

INSTANTIATE_TEST_SUITE_P(Addresses, LastTwoLabelsTest,
                         ::testing::Values(LabelsCase{"http://w.x.y.z/", false, "y.z"},
                                           // The port rides along on the last label.
                                           LabelsCase{"http://w.x.y:8080/", false, "x.y"},
                                           LabelsCase{"http://w.x.y:8080/", true, "x.y:8080"},
                                           // Numeric addresses are not told apart from names.
                                           LabelsCase{"http://192.168.1.10:8080/x", false, "1.10"},
                                           LabelsCase{"http://h/", false, "h"},
                                           LabelsCase{"", false, ""}));

TEST(UrlTest, AddressIsNotChanged) {
  const Text address = "HTTPS://Ab.CD:8443/Path";
  UrlHost(address, true, true);
  UrlPort(address);
  UrlPath(address);
  EXPECT_EQ(address.Str(), "HTTPS://Ab.CD:8443/Path");
}

}  // namespace
}  // namespace merravine
