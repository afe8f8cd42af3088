#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/internet_session.h"
#include "platform/tick_counter.h"
#include "update/download_file.h"
#include "update/engine_list.h"

namespace pluvik {

inline constexpr const char* kDescriptionFileName = "update.txt";
inline constexpr const char* kPackageFileName = "Pluvik.rar";
inline constexpr const char* kVersionIniName = "up.ini";
inline constexpr const char* kVersionSection = "软件更新";
inline constexpr const char* kVersionKey = "软件版本";
inline constexpr const char* kUpToDateText = "您目前使用的是最新版，无需更新。";

// Where the description file and the package are fetched from.
struct UpdateAddresses {
    std::string description;
    std::string package;
};
// The maker's update server from the service table: "<server>/up.txt" and "<server>/Pluvik.rar".
UpdateAddresses defaultUpdateAddresses();

// The first line of the description file: everything before the first carriage return (a line feed
// alone does not end it), or the whole text when there is none.
std::string_view firstLine(std::string_view text);

// The engines list the description named, as the check found it.
struct EngineListCheck {
    std::string address;
    std::optional<EngineList> list;  // nothing when refused
    // Why it was refused: "download_failed" (not whole: cut short, an error status, no answer),
    // or what parseEngineList says, with the line.
    std::string refusal;
    int line = 0;
};

// What the window does once a check has run: the message box, and the package to open with the shell.
struct CheckDecision {
    bool showUpToDate = false;  // the information box with kUpToDateText
    std::optional<std::filesystem::path> packageToOpen;
    bool cancelled = false;  // the window gave up in the middle; do nothing more
    std::optional<EngineListCheck> engineList;  // nothing when the description names no list
};

// The update dialog's check: fetch the description file, compare its version with the installed one
// from "up.ini", fetch the engines list the description names (engine_list.h), download the package when the installed one is older, and decide what to show and
// open. The fields keep their values between checks for the dialog's life.
class UpdateCheck {
public:
    explicit UpdateCheck(std::filesystem::path programDir,
                         UpdateAddresses addresses = defaultUpdateAddresses());

    std::string LatestVersion;
    std::string InstalledVersion;
    // Set once a check brought in the whole package; stays set, so a later check opens it again.
    bool PackageDownloaded = false;

    // One click of the check button. No step's failure stops the next one: an unreachable server
    // leaves whatever "update.txt" held before. When nothing at all is known of the latest version,
    // though, the check does not claim the installed one is current; the status line already says
    // what went wrong.
    CheckDecision run(InternetSession& session, TickCounter& ticks, const DownloadHooks& hooks);

    const std::filesystem::path& programDir() const { return m_programDir; }

private:
    // Nothing when the window gave up meanwhile.
    std::optional<EngineListCheck> fetchEngineList(InternetSession& session, TickCounter& ticks,
                                                   const std::string& address, const DownloadHooks& hooks) const;

    std::filesystem::path m_programDir;
    UpdateAddresses m_addresses;
};

}  // namespace pluvik
