// What the operating system says went wrong, told to the operator in Spanish.
// The systems' own texts (strerror, FormatMessage) follow the system's
// language, which is English on most of the machines the program runs on.
#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

namespace store::platform {

// A Spanish sentence for an error code of the system (errno values,
// std::errc, and Windows error codes on Windows).
std::string errorText(const std::error_code& ec);

// errorText of a std::system_error (std::filesystem's errors included);
// what() of any other exception.
std::string errorText(const std::exception& e);

// The sentence for a Windows error code (GetLastError()); used by errorText
// on Windows, callable anywhere.
std::string windowsErrorText(unsigned long code);

// The whole of a file, read in one go. A failure leaves `ec` set and returns
// nothing.
std::string readFile(const std::filesystem::path& file, std::error_code& ec);

}  // namespace store::platform
