// The reference information site that tools/with-site.sh starts for the Windows tests.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace runlens::testing {

class ReferenceSite : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* port = std::getenv("RUNLENS_SITE_PORT");
        if (port) {
            port_ = port;
            return;
        }
        if (std::getenv("RUNLENS_REQUIRE_SITE"))
            FAIL() << "the reference site is not up";
        GTEST_SKIP() << "the reference site is not up (tools/with-site.sh starts it)";
    }

    // An address on the site, reached directly on loopback.
    std::string Local(const std::string& path) const { return "http://127.0.0.1:" + port_ + path; }

    // The site's request log, one JSON line a request.
    static std::vector<std::string> Requests() {
        std::ifstream in(std::getenv("RUNLENS_SITE_LOG"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    static std::string RequestLine(const std::string& path, const std::string& agent) {
        return "{\"path\": \"" + path + "\", \"agent\": \"" + agent + "\"";
    }

    // Makes the site's certificate authority trusted in the prefix's user root store, for the
    // https:// notice.
    static void TrustSiteAuthority() {
        std::ifstream in(std::getenv("RUNLENS_SITE_CA"), std::ios::binary);
        const std::string der{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_FALSE(der.empty());
        const HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                                 CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
        ASSERT_NE(store, nullptr);
        EXPECT_TRUE(::CertAddEncodedCertificateToStore(
            store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
        ::CertCloseStore(store, 0);
    }

    std::string port_;
};

}  // namespace runlens::testing
