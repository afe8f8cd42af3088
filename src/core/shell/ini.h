#pragma once

#include <optional>
#include <string>

#include "shell/file_io.h"

namespace pluvik {

// The program's INI routines. The update check sets IniFileName to the program directory's "up.ini"
// and reads the installed version with ReadIni.
class Ini {
public:
    explicit Ini(FileWriter writer = writeFileAtomically) : m_writer(std::move(writer)) {}

    // Full path of the INI file that ReadIni works on (UTF-8).
    std::string IniFileName;

    // The value of `key` in `section`, as the Windows profile functions read it with a buffer of 144
    // bytes: at most 143 bytes of the file's GBK text (a character cut in two by that limit is
    // dropped), with NUL characters removed.
    //
    // A missing or empty value gives the default, and the default is written back: a text default is
    // stored under the key (creating the file if need be); the absent default removes the key, which
    // changes nothing when there is no such key.
    //
    // Arguments and result are UTF-8. Never fails: an unreadable file reads as an empty one, and a
    // write-back that cannot be written is given up silently, as the program has no use for the error.
    std::string ReadIni(const std::string& section, const std::string& key,
                        std::optional<std::string> defaultValue);

    static constexpr size_t kBufferSize = 144;

private:
    FileWriter m_writer;
};

}  // namespace pluvik
