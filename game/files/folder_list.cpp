#include "files/folder_list.h"

#include "platform/folder_entries.h"
#include "platform/name_compare.h"

#include <algorithm>

static bool endsWithExtension(const std::string& name, const std::string& extension)
{
    if (name.size() <= extension.size() + 1) return false;
    std::string ending = name.substr(name.size() - extension.size() - 1);
    return equalNoCase(ending, "." + extension);
}

static std::string withoutExtension(const std::string& name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void sortNames(std::vector<std::string>& names)
{
    std::vector<std::pair<std::string, size_t>> keyed(names.size());
    for (size_t i = 0; i < names.size(); ++i) keyed[i] = {nameSortKey(names[i]), i};
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> sorted(names.size());
    for (size_t i = 0; i < keyed.size(); ++i) sorted[i] = std::move(names[keyed[i].second]);
    names.swap(sorted);
}

int listFolder(std::vector<std::string>& out, const std::string& folder, const std::string& extension, int kinds,
               int maxLength)
{
    std::string pattern = folder + (extension.empty() ? "\\*" : "\\*." + extension);
    std::vector<FolderEntry> entries = listGameFolder(pattern);
    if (entries.empty()) return 0;
    for (const FolderEntry& e : entries) {
        if (e.isFolder ? !(kinds & listFolders) : !(kinds & listFiles)) continue;
        std::string name = e.name;
        std::string stem = extension.empty() ? name : withoutExtension(name);
        if (maxLength > 0 && static_cast<int>(stem.size()) > maxLength) name = e.shortName;
        if (name.empty()) continue;
        if (!extension.empty()) {
            if (!endsWithExtension(name, extension)) continue;
            name.resize(name.size() - extension.size() - 1);
        }
        out.push_back(name);
    }
    sortNames(out);
    return static_cast<int>(out.size());
}
