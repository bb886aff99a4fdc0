// CTessane, the plug-in registry: finds the plug-ins at start-up, checks each
// one and keeps a record of every plug-in it accepted.
#include "tessane_data.h"

#include <utility>

namespace {

// Read-only, hidden, system and archive: every ordinary file, no directories.
constexpr int32_t kPluginFileAttributes = faReadOnly | faHidden | faSysFile | faArchive;

std::string withTrailingSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/')
        return directory;
    return directory + '/';
}

std::string lowerCased(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

bool CTessane::LoadPlugins(const std::string& directory, const std::string& mask) {
    // Callers pass a directory ending in '/'; one without it still means the
    // directory, not a name prefix.
    const std::string dir = withTrailingSlash(directory);
    const std::string pathMask = dir + mask;
    TSearchRec rec{};
    int32_t accepted = 0;
    if (FindFirst(pathMask.c_str(), kPluginFileAttributes, &rec) == 0) {
        do {
            if (AddPlugin(dir + rec.Name))
                ++accepted;
        } while (FindNext(&rec) == 0);
    }
    FindClose(&rec);
    return accepted != 0;
}

bool CTessane::AddPlugin(const std::string& path) {
    if (!Dll.Load(path))
        return false;
    if (!Dll.BindGetPluginInfo() || Dll.BindConfigurationDlg() == 0) {
        Dll.Unload();
        return false;
    }
    TPluginList record;
    record.Path = path;
    // The texts in this order, the flags last.
    record.Description = Dll.CallGetPluginInfo(CPI_INFO_DESCRIPTION);
    record.Filter = lowerCased(Dll.CallGetPluginInfo(CPI_INFO_FILTER));
    record.TypeName = Dll.CallGetPluginInfo(CPI_INFO_TYPENAME);
    record.Flags = Dll.CallConfigurationDlg(nullptr, CPI_CONFIG_FLAGS);
    Plugins.push_back(std::move(record));
    // The module stays loaded until the next Load.
    return true;
}

int32_t CTessane::PluginCount() const { return static_cast<int32_t>(Plugins.size()); }

bool CTessane::IsValidIndex(int32_t index) const {
    // Unsigned, so that -1 (no selection) is not valid either.
    return static_cast<uint32_t>(index) < static_cast<uint32_t>(PluginCount());
}

std::string CTessane::PluginDescription(int32_t index) const {
    return IsValidIndex(index) ? Plugins[static_cast<size_t>(index)].Description : std::string();
}

std::string CTessane::PluginFilter(int32_t index) const {
    return IsValidIndex(index) ? Plugins[static_cast<size_t>(index)].Filter : std::string();
}

std::string CTessane::PluginTypeName(int32_t index) const {
    return IsValidIndex(index) ? Plugins[static_cast<size_t>(index)].TypeName : std::string();
}

int32_t CTessane::PluginFlags(int32_t index) const {
    return IsValidIndex(index) ? Plugins[static_cast<size_t>(index)].Flags : 0;
}
