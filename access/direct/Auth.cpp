#include "access/direct/Auth.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>

#include "access/MySQLError.h"

namespace db::direct {
namespace {

std::string Digest(const EVP_MD* md, std::string_view a, std::string_view b = {}) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1 || EVP_DigestUpdate(ctx.get(), a.data(), a.size()) != 1 ||
      EVP_DigestUpdate(ctx.get(), b.data(), b.size()) != 1 || EVP_DigestFinal_ex(ctx.get(), out, &n) != 1)
    throw MySQLError(CR_UNKNOWN_ERROR, "Hashing the password failed");
  return std::string(reinterpret_cast<char*>(out), n);
}

std::string Xor(std::string a, std::string_view b) {
  for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<char>(a[i] ^ b[i]);
  return a;
}

}  // namespace

std::string NativePasswordScramble(std::string_view password, std::string_view nonce) {
  if (password.empty()) return {};
  const EVP_MD* sha1 = EVP_sha1();
  std::string stage1 = Digest(sha1, password);
  std::string stage2 = Digest(sha1, stage1);
  return Xor(stage1, Digest(sha1, nonce, stage2));
}

std::string CachingSha2Scramble(std::string_view password, std::string_view nonce) {
  if (password.empty()) return {};
  const EVP_MD* sha256 = EVP_sha256();
  std::string stage1 = Digest(sha256, password);
  std::string stage2 = Digest(sha256, stage1);
  return Xor(stage1, Digest(sha256, stage2, nonce));
}

std::string XorPasswordWithNonce(std::string_view password, std::string_view nonce) {
  std::string plain(password);
  plain.push_back('\0');
  if (!nonce.empty())
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(plain[i] ^ nonce[i % nonce.size()]);
  return plain;
}

std::string RsaEncryptPassword(std::string_view password, std::string_view nonce, std::string_view pemPublicKey) {
  auto fail = [](const char* what) { return MySQLError(CR_UNKNOWN_ERROR, std::string("RSA encryption of the password failed: ") + what); };
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pemPublicKey.data(), static_cast<int>(pemPublicKey.size())), BIO_free);
  if (!bio) throw fail("out of memory");
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
  if (!key) throw fail("the server's public key cannot be read");
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
  if (!ctx || EVP_PKEY_encrypt_init(ctx.get()) != 1 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING) != 1 ||
      EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), EVP_sha1()) != 1)
    throw fail("the key is not an RSA key");
  std::string plain = XorPasswordWithNonce(password, nonce);
  size_t size = 0;
  auto in = reinterpret_cast<const unsigned char*>(plain.data());
  if (EVP_PKEY_encrypt(ctx.get(), nullptr, &size, in, plain.size()) != 1) throw fail("bad key size");
  std::string out(size, '\0');
  if (EVP_PKEY_encrypt(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &size, in, plain.size()) != 1)
    throw fail("the password is too long for the key");
  out.resize(size);
  return out;
}

}  // namespace db::direct
