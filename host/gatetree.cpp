#include "host/gatetree.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct Scan {
    std::set<std::pair<dev_t, ino_t>> visited;
    int entries = 0;

    // Whether dir has not been entered before; marks it entered.
    bool enter(const fs::path& dir) {
        struct stat info {};
        return ::stat(dir.c_str(), &info) == 0 && visited.emplace(info.st_dev, info.st_ino).second;
    }

    // Adds the items of dir to into; an entry already there (from an earlier folder) keeps its
    // place, a directory of the same name adds its new entries to it.
    void into(const fs::path& dir, int depth, std::vector<GateTree::Entry>& entries) {
        // Only entries of earlier folders are matched: within one folder every item is listed.
        const auto earlier = static_cast<std::ptrdiff_t>(entries.size());
        std::error_code error;
        fs::directory_iterator it(dir, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
            if (++this->entries > GateTree::MaxEntries) {
                break;
            }
            const std::string name = it->path().filename().string();
            const bool directory = it->is_directory(error);
            if (directory && !enter(it->path())) {
                continue; // a link back to a directory scanned already
            }
            const std::string text = directory ? name : GateTree::entryText(name);
            const auto earlierEnd = entries.begin() + earlier;
            auto known = std::find_if(entries.begin(), earlierEnd,
                                      [&](const auto& e) { return e.text == text; });
            if (known == earlierEnd) {
                entries.push_back({text, directory, {}});
                known = entries.end() - 1;
            }
            if (directory && known->directory && depth < GateTree::MaxDepth) {
                into(it->path(), depth + 1, known->children);
            }
        }
        std::sort(entries.begin(), entries.end(),
                  [](const GateTree::Entry& a, const GateTree::Entry& b) {
                      return GateTree::before(a.text, b.text);
                  });
    }
};

} // namespace

std::vector<GateTree::Entry> GateTree::scan(const std::vector<fs::path>& gateFolders) {
    Scan scan;
    std::vector<Entry> top;
    for (const fs::path& folder : gateFolders) {
        if (scan.enter(folder)) {
            scan.into(folder, 1, top);
        }
    }
    return top;
}

std::string GateTree::entryText(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string GateTree::gatePath(const std::vector<std::string>& chain) {
    std::string path;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (i > 0) {
            path += '\\';
        }
        path += chain[i];
    }
    return path;
}

bool GateTree::before(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    return less || (!greater && a < b);
}
