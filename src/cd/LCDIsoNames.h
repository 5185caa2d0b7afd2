#pragma once
#include <cstdint>
#include <string>

// The names a file gets on a data CD: the ISO 9660 name (upper case A-Z, 0-9
// and "_", at most 8 + "." + 3), the Joliet name (UCS-2, at most 64
// characters) and the volume labels. Pure functions of their arguments.
namespace LCDIsoNames {

// Joliet names hold at most this many UCS-2 characters.
inline constexpr size_t kJolietMax = 64;

// `name` split at its last ".": the title before it and the extension after it
// (empty without a dot).
void Split(const std::string& name, std::string& title, std::string& extension);
// `text` upper-cased with only A-Z, 0-9 and "_" kept (and spaces when
// `keepSpaces`), at most `max` characters.
std::string IsoChars(const std::string& text, size_t max, bool keepSpaces = false);
// The ISO 9660 name of `name`: converted title, then "." and the converted
// extension when there is one. A name of which nothing is left becomes "_".
std::string ShortName(const std::string& name);
// `utf8` as UCS-2: a character outside the Basic Multilingual Plane, and any
// byte that is not valid UTF-8, becomes "_".
std::u16string Ucs2(const std::string& utf8);
// The Joliet name of `name`: UCS-2, the characters Joliet forbids (controls and
// * / : ; ? \) replaced by "_", cut to kJolietMax characters keeping the
// extension.
std::u16string JolietName(const std::string& name);
// `name` with its title cut to `titleMax` characters and `suffix` after it,
// before the extension (which keeps its dot). Works on short and Joliet names.
std::string WithCounter(const std::string& name, size_t titleMax, const std::string& suffix);
std::u16string WithCounter(const std::u16string& name, size_t titleMax, const std::u16string& suffix);
// Decimal digits of k.
size_t Digits(int32_t k);

} // namespace LCDIsoNames
