// The settings files "Gn.txt" and "DIY.txt" as a damaged or hand-edited file may hold them.
// Whatever the bytes, reading never fails, and what was read writes back to files of exactly their
// line count (DIY.txt: six, or eight with the encodings) that read back to the same settings, unless
// the GBK written is also Chinese UTF-8 (then the file is read as UTF-8, as a user's file would be).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "shell/settings.h"
#include "shell/text_codec.h"

using namespace pluvik;

namespace {

size_t countLines(std::string_view bytes) {
    size_t lines = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            FUZZ_CHECK(i > 0 && bytes[i - 1] == '\r');  // every line ends in CR LF
            ++lines;
        }
    }
    return lines;
}

// A line break inside a text is written as a blank.
std::string asWritten(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Settings read;
    parseGn(bytes, read);
    parseDiy(bytes, read);
    for (const std::string* text : {&read.diy1name, &read.diy2name, &read.diy1url, &read.diy2url}) {
        FUZZ_CHECK(fuzz::isValidUtf8(*text));
    }

    const std::string gn = formatGn(read);
    const std::string diy = formatDiy(read);
    FUZZ_CHECK(countLines(gn) == 23 && gn.size() >= 2 && gn.substr(gn.size() - 2) == "\r\n");
    const bool gbkOnly =
        read.diy1encoding == KeywordEncoding::Gbk && read.diy2encoding == KeywordEncoding::Gbk;
    FUZZ_CHECK(countLines(diy) == (gbkOnly ? 6u : 8u) && diy.substr(diy.size() - 2) == "\r\n");
    if (textFileToUtf8(diy) != gbkToUtf8(diy)) return 0;

    // Start from settings unlike the defaults, so a field the reader skips shows.
    Settings back;
    for (int tab = 0; tab < Settings::kEngineCount; ++tab) back.setEngine(tab, 7);
    back.sousuo = !read.sousuo;
    back.ie = !read.ie;
    back.opendiy1 = back.opendiy2 = 9;
    back.diy1name = back.diy2name = back.diy1url = back.diy2url = "x";
    // A file without encoding lines leaves them as they were, which for the store is GBK.
    const auto unlike = [gbkOnly](KeywordEncoding e) {
        return gbkOnly || e == KeywordEncoding::Utf8 ? KeywordEncoding::Gbk : KeywordEncoding::Utf8;
    };
    back.diy1encoding = unlike(read.diy1encoding);
    back.diy2encoding = unlike(read.diy2encoding);
    parseGn(gn, back);
    parseDiy(diy, back);

    Settings expected = read;
    expected.diy1name = asWritten(read.diy1name);
    expected.diy2name = asWritten(read.diy2name);
    expected.diy1url = asWritten(read.diy1url);
    expected.diy2url = asWritten(read.diy2url);
    FUZZ_CHECK(back == expected);
    return 0;
}
