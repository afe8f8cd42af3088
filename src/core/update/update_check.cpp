#include "update/update_check.h"

#include <system_error>

#include "search/service_hosts.h"
#include "shell/file_io.h"
#include "shell/ini.h"
#include "shell/text_codec.h"
#include "update/version_number.h"

namespace pluvik {

UpdateAddresses defaultUpdateAddresses() {
    const std::string& server = serviceAddress(Service::UpdateServer);
    return {server + "/up.txt", server + "/Pluvik.rar"};
}

std::string_view firstLine(std::string_view text) {
    const std::size_t end = text.find('\r');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

UpdateCheck::UpdateCheck(std::filesystem::path programDir, UpdateAddresses addresses)
    : m_programDir(std::move(programDir)), m_addresses(std::move(addresses)) {}

std::optional<EngineListCheck> UpdateCheck::fetchEngineList(InternetSession& session, TickCounter& ticks,
                                                            const std::string& address,
                                                            const DownloadHooks& hooks) const {
    EngineListCheck check{address, std::nullopt, {}, 0};
    const DownloadResult download =
        DownloadFile(session, ticks, m_programDir, address, kEngineListFileName, hooks);
    if (download.outcome == DownloadOutcome::Cancelled) return std::nullopt;
    const std::filesystem::path file = m_programDir / kEngineListFileName;
    // Only a whole download is read: a broken one leaves an earlier copy in place.
    const std::optional<std::string> bytes = download.complete() ? readFileBytes(file) : std::nullopt;
    std::error_code ignored;  // a copy left behind is read again only after a whole download
    std::filesystem::remove(file, ignored);
    if (!bytes) {
        check.refusal = "download_failed";
        return check;
    }
    ParsedEngineList parsed = parseEngineList(*bytes);
    check.list = std::move(parsed.list);
    check.refusal = std::move(parsed.reason);
    check.line = parsed.line;
    return check;
}

CheckDecision UpdateCheck::run(InternetSession& session, TickCounter& ticks, const DownloadHooks& hooks) {
    CheckDecision decision;
    const DownloadResult description =
        DownloadFile(session, ticks, m_programDir, m_addresses.description, kDescriptionFileName, hooks);
    if (description.outcome == DownloadOutcome::Cancelled) {
        decision.cancelled = true;
        return decision;
    }

    const std::optional<std::string> text = readFileBytes(m_programDir / kDescriptionFileName);
    LatestVersion = text ? gbkToUtf8(firstLine(*text)) : std::string();

    if (text) {
        if (std::optional<std::string> address = engineListAddress(*text, m_addresses.description)) {
            decision.engineList = fetchEngineList(session, ticks, *address, hooks);
            if (!decision.engineList) {
                decision.cancelled = true;
                return decision;
            }
        }
    }

    Ini ini;
    ini.IniFileName = (m_programDir / kVersionIniName).string();
    InstalledVersion = ini.ReadIni(kVersionSection, kVersionKey, std::nullopt);

    if (compareVersions(InstalledVersion, LatestVersion) == VersionOrder::Older) {
        // A missing file is no error; one that cannot be removed is replaced by the download anyway.
        std::error_code ignored;
        std::filesystem::remove(m_programDir / kDescriptionFileName, ignored);
        std::filesystem::remove(m_programDir / kPackageFileName, ignored);
        const DownloadResult package =
            DownloadFile(session, ticks, m_programDir, m_addresses.package, kPackageFileName, hooks);
        if (package.outcome == DownloadOutcome::Cancelled) {
            decision.cancelled = true;
            return decision;
        }
        if (package.complete()) PackageDownloaded = true;
    } else if (!LatestVersion.empty()) {
        decision.showUpToDate = true;
    }

    const std::filesystem::path packagePath = m_programDir / kPackageFileName;
    if (PackageDownloaded && fileExists(packagePath)) decision.packageToOpen = packagePath;
    return decision;
}

}  // namespace pluvik
