// CServiceCertificates: P-256 keys, a self-signed CA, and a server certificate
// it signs, with the extensions a verifying client insists on.
#include "ServiceCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Cert = std::unique_ptr<X509, decltype(&X509_free)>;

Key newKey()
{
    return Key(EVP_EC_gen("P-256"), EVP_PKEY_free);
}

bool addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (ext == nullptr)
        return false;
    const bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}

Cert newCertificate(EVP_PKEY* key, const char* commonName, long serial, long days)
{
    Cert cert(X509_new(), X509_free);
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), days * 24 * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("qvl-service"), -1, -1,
                               0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    return cert;
}

bool writePem(const std::string& path, X509* cert, EVP_PKEY* key)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = cert != nullptr ? PEM_write_X509(f, cert) == 1
                                    : PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    return std::fclose(f) == 0 && ok;
}

} // namespace

CServiceCertificates::CServiceCertificates(std::string folder) : dir(std::move(folder)) {}

bool CServiceCertificates::ensure()
{
    namespace fs = std::filesystem;
    if (fs::exists(caFile()) && fs::exists(certificateFile()) && fs::exists(keyFile()))
        return true;
    return create();
}

bool CServiceCertificates::create()
{
    Key caKey = newKey();
    Key serverKey = newKey();
    if (!caKey || !serverKey) {
        lastError = "cannot generate keys";
        return false;
    }
    Cert ca = newCertificate(caKey.get(), "qvl-service test CA", 1, 3650);
    X509_set_issuer_name(ca.get(), X509_get_subject_name(ca.get()));
    bool ok = addExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE") &&
              addExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign") &&
              addExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash") &&
              X509_sign(ca.get(), caKey.get(), EVP_sha256()) > 0;

    Cert server = newCertificate(serverKey.get(), "127.0.0.1", 2, 825);
    X509_set_issuer_name(server.get(), X509_get_subject_name(ca.get()));
    ok = ok && addExtension(server.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE") &&
         addExtension(server.get(), ca.get(), NID_key_usage, "critical,digitalSignature,keyEncipherment") &&
         addExtension(server.get(), ca.get(), NID_ext_key_usage, "serverAuth") &&
         addExtension(server.get(), ca.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") &&
         addExtension(server.get(), ca.get(), NID_authority_key_identifier, "keyid:always") &&
         X509_sign(server.get(), caKey.get(), EVP_sha256()) > 0;
    ok = ok && writePem(keyFile(), nullptr, serverKey.get()) && writePem(certificateFile(), server.get(), nullptr) &&
         writePem(dir + "/ca.key", nullptr, caKey.get()) && writePem(caFile(), ca.get(), nullptr);
    if (!ok)
        lastError = "cannot create the certificates in " + dir;
    return ok;
}
