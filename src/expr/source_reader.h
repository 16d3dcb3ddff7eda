#pragma once
// Reads one token at a time from a normalised expression text (upper-case
// letters, no spaces), consuming exactly the characters of the token.

#include <string_view>

#include "expr/tokens.h"

namespace qzarn {

// Reads the next token from the front of `input` and removes what it consumed.
Token ReadSourceToken(std::string_view& input);

}  // namespace qzarn
