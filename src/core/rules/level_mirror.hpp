#pragma once
// The level an oscillator is compared with, seen from the other side of the market. The long
// and the short side read one stored level with opposite comparisons ("RSI below 30" long,
// "RSI above 30" short), so a group copied onto the other side fires on the mirror image only
// when its levels are reflected too: on a scale of 0 to 100 the mirror of 30 is 70, not 30.
//
// The kinds with a stored level are RSI, RSI Cross (action line) and Stochastic (trigger), all
// on 0..100 and reflected around 50. MACD compares with a zero line it does not store, and the
// averages, bands, channels, SAR and ADX compare two lines of their own: nothing to reflect.
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

class Indicator;

// The stored key of the level a type's test reflects ("actionline", "st_trigger"), nullopt for
// a type without one.
std::optional<std::string_view> mirroredLevelKey(std::string_view type);

// Whether the key is a level some type reflects: its valid range is then the catalogue's
// range together with that range's mirror image.
bool isMirroredLevelKey(std::string_view key);

// 100 - x in the invariant number form ("30" -> "70", "12.5" -> "87.5"). A value that is not a
// number comes back unchanged: it is wrong on both sides and the check names it.
std::string mirroredLevel(std::string_view value);

// The level a value of the key reflects to, the same for any other key.
std::string mirroredParameter(std::string_view type, std::string_view key, std::string_view value);

// The indicator as it reads on the other side of the market: its level reflected, everything
// else as it is.
Indicator mirroredIndicator(const Indicator& indicator);

}  // namespace zorvik
