// The GBK/GB18030 decoder on any bytes and the encoder on any text: the decoder always gives
// well-formed UTF-8, the encoder never gives anything the decoder reads differently, and every
// character of well-formed UTF-8 survives the trip to the file and back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "shell/text_codec.h"

using namespace pluvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded = gbkToUtf8(bytes);
    FUZZ_CHECK(fuzz::isValidUtf8(decoded));
    // What was read (U+FFFD for the bad bytes included) is written and read back unchanged.
    FUZZ_CHECK(gbkToUtf8(utf8ToGbk(decoded)) == decoded);

    // The same bytes taken as text the program holds.
    const std::string encoded = utf8ToGbk(bytes);
    if (fuzz::isWritableUtf8(bytes)) {
        FUZZ_CHECK(gbkToUtf8(encoded) == bytes);
    } else {
        // Malformed bytes (and the few code points the converter cannot write) become '?', so the
        // result is still text.
        FUZZ_CHECK(fuzz::isValidUtf8(gbkToUtf8(encoded)));
    }
    // ASCII is the same in both.
    for (size_t i = 0, j = 0; i < bytes.size() && j < encoded.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) break;
        FUZZ_CHECK(encoded[j++] == bytes[i]);
    }
    return 0;
}
