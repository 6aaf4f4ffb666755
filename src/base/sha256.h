#pragma once
// SHA-256 of a byte string, as 64 lower-case hexadecimal digits (OpenSSL's libcrypto).
#include <string>
#include <string_view>

namespace velmora {

std::string Sha256Hex(std::string_view bytes);

}  // namespace velmora
