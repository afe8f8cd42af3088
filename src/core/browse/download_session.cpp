#include "browse/download_session.h"

namespace pluvik {

DownloadSteps DownloadSession::requested(std::uint32_t id, std::string_view offeredName,
                                         const std::string& folder) {
    const auto known = m_downloads.find(id);
    if (known != m_downloads.end()) {
        // The end the engine reported before it tried again is over.
        known->second.end.reset();
        return {{DownloadAction::Retry, id, known->second.partialPath, {}, {}}};
    }
    if (m_asking) return {{DownloadAction::Refuse, id, {}, {}, {}}};
    // A download still running to a name will replace what is there: the name counts as taken.
    const std::string proposed =
        freeDownloadPath(folder, downloadFileName(offeredName), [this](const std::string& path) {
            if (m_exists(path)) return true;
            for (const auto& entry : m_downloads)
                if (entry.second.finalPath == path) return true;
            return false;
        });
    Download download;
    download.partialPath =
        partialDownloadPath(proposed, [this](const std::string& path) { return partialTaken(path); });
    m_downloads.emplace(id, download);
    m_asking = true;
    return {{DownloadAction::Accept, id, download.partialPath, {}, {}},
            {DownloadAction::Ask, id, proposed, {}, {}}};
}

DownloadSteps DownloadSession::answered(std::uint32_t id, const std::optional<std::string>& path,
                                        bool isFolder) {
    m_asking = false;
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end()) return {};
    Download& download = it->second;
    if (!path || path->empty() || isFolder) {
        DownloadSteps steps{{DownloadAction::Decline, id, download.partialPath, {}, {}}};
        m_downloads.erase(it);
        return steps;
    }
    download.finalPath = *path;
    DownloadSteps steps{{DownloadAction::Chosen, id, download.partialPath, download.finalPath, {}}};
    if (download.end) {
        const DownloadSteps after = finish(id, download);
        steps.insert(steps.end(), after.begin(), after.end());
    }
    return steps;
}

DownloadSteps DownloadSession::ended(std::uint32_t id, DownloadEnd end, const std::string& reason) {
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end()) return {};
    it->second.end = end;
    it->second.endReason = reason;
    if (it->second.finalPath.empty()) return {};
    return finish(id, it->second);
}

DownloadSteps DownloadSession::finish(std::uint32_t id, Download& download) {
    const DownloadStep removed{DownloadAction::Cancelled, id, download.partialPath, download.finalPath, {}};
    switch (*download.end) {
        case DownloadEnd::Completed:
            // A rename replaces a file already under the final name in one step, and only now that
            // the download is whole.
            return {{DownloadAction::Rename, id, download.partialPath, download.finalPath, {}}};
        case DownloadEnd::Cancelled:
            break;
        case DownloadEnd::Interrupted: {
            DownloadStep failed = removed;
            failed.action = DownloadAction::Failed;
            failed.text = download.endReason;
            m_downloads.erase(id);
            return {failed};
        }
    }
    m_downloads.erase(id);
    return {removed};
}

DownloadSteps DownloadSession::moved(std::uint32_t id, MoveOutcome outcome, const std::string& error) {
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end()) return {};
    Download& download = it->second;
    DownloadSteps steps;
    if (outcome == MoveOutcome::Done) {
        steps.push_back({DownloadAction::Finished, id, {}, download.finalPath, {}});
    } else if (outcome == MoveOutcome::OtherDisk && download.copyPath.empty()) {
        // Into a folder on another disk the file is first copied beside the final name, so the
        // final name still only ever sees a whole file.
        download.moveError = error;
        download.copyPath = partialDownloadPath(
            download.finalPath, [this](const std::string& path) { return partialTaken(path); });
        return {{DownloadAction::Copy, id, download.partialPath, download.copyPath, {}}};
    } else {
        // The bytes are all there: they stay under the partial name rather than be lost.
        const std::string& kept = download.copyPath.empty() ? download.partialPath : download.copyPath;
        steps.push_back({DownloadAction::Kept, id, kept, download.finalPath, error});
    }
    m_downloads.erase(it);
    return steps;
}

DownloadSteps DownloadSession::copied(std::uint32_t id, bool ok) {
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end()) return {};
    Download& download = it->second;
    if (ok) {
        return {{DownloadAction::Remove, id, download.partialPath, {}, {}},
                {DownloadAction::Rename, id, download.copyPath, download.finalPath, {}}};
    }
    DownloadSteps steps{
        {DownloadAction::Remove, id, download.copyPath, {}, {}},
        {DownloadAction::Kept, id, download.partialPath, download.finalPath, download.moveError}};
    m_downloads.erase(it);
    return steps;
}

DownloadSteps DownloadSession::exiting() {
    DownloadSteps steps;
    for (const auto& [id, download] : m_downloads)
        steps.push_back({DownloadAction::Abandon, id, download.partialPath, download.finalPath, {}});
    m_downloads.clear();
    m_asking = false;
    return steps;
}

bool DownloadSession::partialTaken(const std::string& path) const {
    if (m_exists(path) || m_exists(path + kEngineDownloadSuffix)) return true;
    for (const auto& [id, download] : m_downloads)
        if (download.partialPath == path || download.copyPath == path) return true;
    return false;
}

}  // namespace pluvik
