#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "search/engine_addresses.h"
#include "search/engine_table.h"

namespace pluvik {

// The engines as the program searches them while it runs: the catalogue's tables, the addresses the
// engines file or the user replaced. One of it is made at start and
// handed to every window that builds a query address, so an address replaced while the program
// runs reaches the next search of every window.
class EngineCatalogue {
public:
    // Told of every replacement, with the key, after it took effect.
    using Listener = std::function<void(const std::string& key, const AddressTemplate& address)>;
    using ListenerId = int;

    // Replaces the address of the engine with this key (engineKeys); a replaced address no longer
    // follows the hosts file. False, changing nothing and telling nobody, for an unknown key.
    bool replace(std::string_view key, AddressTemplate address);
    // Gives the engine with this key its built-in address again and tells the listeners; false,
    // telling nobody, for an unknown key or one not replaced.
    bool restore(std::string_view key);
    // The address that replaced the built-in one of the engine with this key, if one did.
    std::optional<AddressTemplate> replaced(std::string_view key) const;
    // The catalogue's own address of the engine with this key, on its service's current host, and
    // the address its next search uses; std::out_of_range for an unknown key.
    AddressTemplate builtIn(std::string_view key) const;
    AddressTemplate current(std::string_view key) const;
    // Reads the engines file, if there is one, and replaces every address it names, in file order.
    // A missing or unreadable file changes nothing and reports nothing.
    EngineAddresses applyFile(const std::filesystem::path& file);

    ListenerId listen(Listener listener);
    void stopListening(ListenerId id);

    // The address built-in tab 0..20 of the main window searches; std::out_of_range for any other
    // tab (the user slots are the user's own: diyAddress).
    AddressTemplate query(int tab) const;
    BuiltQuery address(int tab, std::string_view keyword) const { return buildQuery(query(tab), keyword); }
    // The mini window's engine `index`; std::out_of_range for an unknown index.
    AddressTemplate miniQuery(int index) const;
    BuiltQuery miniAddress(int index, std::string_view keyword) const {
        return buildQuery(miniQuery(index), keyword);
    }
    // Both query addresses of the dual window's pair `index`; std::out_of_range for an unknown index.
    DualAddresses dualAddresses(int index, std::string_view keyword) const;

private:
    AddressTemplate effective(std::string_view key, const QueryTemplate& query) const;
    void tell(const std::string& key, const AddressTemplate& address) const;

    std::map<std::string, AddressTemplate, std::less<>> m_replaced;
    std::map<ListenerId, Listener> m_listeners;
    ListenerId m_nextListener = 0;
};

}  // namespace pluvik
