#pragma once
// The client side of the password authentication methods.
#include <string>
#include <string_view>

namespace db::direct {

inline constexpr std::string_view kNativePassword = "mysql_native_password";
inline constexpr std::string_view kCachingSha2Password = "caching_sha2_password";

// caching_sha2_password's replies in a "more data" packet, and our request for the key.
inline constexpr char kFastAuthSuccess = 0x03;
inline constexpr char kPerformFullAuth = 0x04;
inline constexpr char kRequestPublicKey = 0x02;

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_connection_phase_authentication_methods_native_password_authentication.html
// SHA1(pw) XOR SHA1(nonce + SHA1(SHA1(pw))); empty for an empty password.
std::string NativePasswordScramble(std::string_view password, std::string_view nonce);

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_caching_sha2_authentication_exchanges.html
// SHA256(pw) XOR SHA256(SHA256(SHA256(pw)) + nonce); empty for an empty password.
std::string CachingSha2Scramble(std::string_view password, std::string_view nonce);

// The same page, full authentication without TLS: (password + NUL) XOR the repeated nonce,
// encrypted with RSA-OAEP (SHA-1) under the server's PEM public key.
std::string RsaEncryptPassword(std::string_view password, std::string_view nonce, std::string_view pemPublicKey);

// The XOR of (password + NUL) with the repeated nonce, the plain text RsaEncryptPassword encrypts.
std::string XorPasswordWithNonce(std::string_view password, std::string_view nonce);

}  // namespace db::direct
