#include "host/gatetree.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void scanInto(const fs::path& dir, int depth, std::vector<GateTree::Entry>& into) {
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error) {
        return;
    }
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            break;
        }
        const std::string name = it->path().filename().string();
        GateTree::Entry entry;
        entry.directory = it->is_directory(error);
        if (entry.directory) {
            entry.text = name;
            if (depth < GateTree::MaxDepth) {
                scanInto(it->path(), depth + 1, entry.children);
            }
        } else {
            entry.text = GateTree::entryText(name);
        }
        into.push_back(std::move(entry));
    }
    std::sort(into.begin(), into.end(), [](const GateTree::Entry& a, const GateTree::Entry& b) {
        return GateTree::before(a.text, b.text);
    });
}

} // namespace

std::vector<GateTree::Entry> GateTree::scan(const fs::path& gatesDir) {
    std::vector<Entry> top;
    scanInto(gatesDir, 1, top);
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
