#include "server/tls_identity.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace quenmark::server {
namespace {

struct Free {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Cert = std::unique_ptr<X509, Free>;

bool add_extension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, Free> extension(
        X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    return extension && X509_add_ext(cert, extension.get(), -1) == 1;
}

// A certificate for `key` named `common_name`, signed by `issuer_key` as
// `issuer` (itself when null), valid from an hour ago.
Cert make_certificate(EVP_PKEY* key, std::string_view common_name, X509* issuer,
                      EVP_PKEY* issuer_key, int valid_days, bool is_ca)
{
    Cert cert(X509_new());
    unsigned char serial[16];
    if (!cert || X509_set_version(cert.get(), 2) != 1 || RAND_bytes(serial, sizeof serial) != 1)
        return nullptr;
    serial[0] &= 0x7F; // a positive serial number
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serial_set =
        number != nullptr && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get())) != nullptr;
    BN_free(number);
    if (!serial_set)
        return nullptr;
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), static_cast<long>(valid_days) * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    const std::string cn(common_name);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(cn.c_str()), -1, -1, 0);
    X509* signer = issuer != nullptr ? issuer : cert.get();
    if (X509_set_issuer_name(cert.get(), X509_get_subject_name(signer)) != 1
        || X509_set_pubkey(cert.get(), key) != 1)
        return nullptr;
    bool ok = add_extension(cert.get(), signer, NID_subject_key_identifier, "hash")
              && add_extension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
    if (is_ca) {
        ok = ok && add_extension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE,pathlen:0")
             && add_extension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        ok = ok && add_extension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE")
             && add_extension(cert.get(), signer, NID_key_usage, "critical,digitalSignature")
             && add_extension(cert.get(), signer, NID_ext_key_usage, "serverAuth")
             && add_extension(cert.get(), signer, NID_subject_alt_name,
                              "IP:127.0.0.1,IP:::1,DNS:localhost");
    }
    if (!ok || X509_sign(cert.get(), issuer_key, EVP_sha256()) == 0)
        return nullptr;
    return cert;
}

std::string to_pem(X509* cert)
{
    std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_X509(bio.get(), cert) != 1)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

std::string to_pem(EVP_PKEY* key)
{
    std::unique_ptr<BIO, Free> bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

} // namespace

TlsIdentity make_tls_identity(std::string_view ca_name, int valid_days)
{
    Key ca_key(EVP_EC_gen("P-256"));
    Key server_key(EVP_EC_gen("P-256"));
    if (!ca_key || !server_key)
        return {};
    Cert ca = make_certificate(ca_key.get(), ca_name, nullptr, ca_key.get(), valid_days, true);
    if (!ca)
        return {};
    Cert server = make_certificate(server_key.get(), "localhost", ca.get(), ca_key.get(),
                                   valid_days, false);
    if (!server)
        return {};
    TlsIdentity identity{to_pem(ca.get()), to_pem(server.get()), to_pem(server_key.get())};
    if (identity.ca_certificate.empty() || identity.server_certificate.empty()
        || identity.server_key.empty())
        return {};
    return identity;
}

} // namespace quenmark::server
