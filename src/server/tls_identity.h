// Certificates for the local HTTPS servers.
#pragma once

#include <string>
#include <string_view>

namespace quenmark::server {

// A certificate authority and a server certificate it signed, all PEM.
struct TlsIdentity {
    std::string ca_certificate;
    std::string server_certificate;
    std::string server_key;

    [[nodiscard]] bool empty() const { return ca_certificate.empty(); }
};

// A new certificate authority named `ca_name` and a server certificate it
// signed for 127.0.0.1, ::1 and localhost, valid from an hour ago for
// `valid_days` days, with fresh P-256 keys. Empty when OpenSSL fails.
[[nodiscard]] TlsIdentity make_tls_identity(std::string_view ca_name, int valid_days = 825);

} // namespace quenmark::server
