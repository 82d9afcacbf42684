// Conversions between UTF-16 and the machine's ANSI code page (1252, 936 or 950), as the *A
// functions and WideCharToMultiByte make them. Characters the code page lacks become '?'.
#pragma once

#include <string>
#include <string_view>

namespace sim {

std::string Utf16ToAnsi(std::u16string_view text, unsigned code_page);
std::u16string AnsiToUtf16(std::string_view text, unsigned code_page);

// wchar_t is 32-bit on the simulated build; it carries UTF-32 there.
std::u16string WideToUtf16(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);

// UTF-8 for what the console prints.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

bool IsSupportedCodePage(unsigned code_page);

}  // namespace sim
