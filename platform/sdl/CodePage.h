// The game's texts are 8-bit Windows-1252 (the code page the old system drew
// with); SDL and its font library take UTF-8.
#pragma once
#include <cstdint>
#include <string>

// Unicode code point of one Windows-1252 byte. The five bytes the code page
// leaves unassigned map to the control code of the same number, as the old
// system's own conversion did.
uint32_t Cp1252ToCodePoint(uint8_t byte);
// The whole text as UTF-8. A zero byte ends the text, as it ended the old
// system's C strings.
std::string Cp1252ToUtf8(const std::string& text);
