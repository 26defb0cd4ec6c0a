#pragma once

#include <cstdint>

// Windows-1252, the 8-bit code page of the text in design files. The five
// bytes it leaves undefined stand for the C1 control of the same number, as
// Windows has them, so that every byte survives a round trip.

// The character a byte stands for.
char16_t Windows1252Char(uint8_t byte);
// The byte of a character, or -1 when the code page lacks it.
int Windows1252Byte(char16_t c);
