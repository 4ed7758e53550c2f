// Windows-1251, the 8-bit code page of the files the tool reads and writes.
#pragma once

#include <string>
#include <string_view>

namespace veltrano {

// Characters with no place in Windows-1251 become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace veltrano
