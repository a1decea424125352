// RFC 2047 encoded words in header values: decoding to UTF-8, and encoding as one "Q" word or as a
// row of short ones that a header line can be folded between.
#pragma once

#include <string>
#include <string_view>

namespace mime {

// The value with each encoded word replaced by its text converted to UTF-8. Text outside words is
// left as it is; decoded text is never decoded again; a word whose encoding is neither Q nor B is
// left as it stands; an unterminated word ends the decoding. White space between two adjacent
// encoded words is not part of the text; white space between a word and plain text is.
std::string DecodeHeaderText(std::string_view value);

// True when any byte is above 126.
bool NeedsEncoding(std::string_view text);
// "=?utf-8?Q?...?=" around the Q-encoding of text when any byte is below 32 or above 126; otherwise
// text unchanged. text is taken to be UTF-8.
std::string EncodeHeaderText(std::string_view text);
// Where a row of encoded words stands: in unstructured text (a subject), or as a phrase (the
// display name of an address), where only letters, digits and "!*+-/" may stand unencoded.
enum class WordPlace { kText, kPhrase };

// The whole of text (UTF-8) as "=?utf-8?Q?...?=" words of at most 75 characters separated by one
// blank; a UTF-8 sequence is never split between words. Decoding gives text back exactly.
std::string EncodeHeaderWords(std::string_view text, WordPlace place = WordPlace::kText);

}  // namespace mime
