#pragma once
// Parsing of numbers that reports how much of the text it consumed.
#include <cstddef>
#include <string>

namespace CV::BAS::DETAIL {

// Parses an unsigned number from text, starting at startByte, in decimal or
// (hex) hexadecimal; leading white space is skipped. Non-ASCII text and a
// sign fail.
//   value:    the number, 0 on failure;
//   ok:       whether a number was read (written when not null);
//   consumed: npos on failure; the text's length when the number reached the
//             end; else the byte offset just behind the number.
template <typename T>
void LexicalCastHelper(const std::string& text, T& value, bool* ok, std::size_t& consumed, std::size_t startByte,
                       bool hex);

template <>
void LexicalCastHelper<unsigned int>(const std::string& text, unsigned int& value, bool* ok, std::size_t& consumed,
                                     std::size_t startByte, bool hex);

} // namespace CV::BAS::DETAIL
