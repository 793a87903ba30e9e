#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The installed gates as a tree that mirrors the gate folders: directories are branches, every
// other file a leaf named after the file without its suffix. Several folders are laid over one
// another: where two hold the same gate path, the first wins and the entry is listed once.
//
// Siblings are sorted alphabetically (ignoring case, then by case). A gate's path is the chain
// of entry texts from the top level down, joined by "\" (basic\cnotgate).
class GateTree {
public:
    struct Entry {
        std::string text;
        bool directory = false;
        std::vector<Entry> children;
        bool operator==(const Entry&) const = default;
    };

    // Directory levels below a gate folder that are scanned; deeper ones are left out.
    static constexpr int MaxDepth = 16;
    // Directory items read in one scan, over all folders; the rest is left out, so that links
    // to "." cannot make a scan run for minutes.
    static constexpr int MaxEntries = 10000;

    // The entries of the gate folders, in the folders' order. A missing, unreadable or empty
    // folder gives none. A directory reached a second time (same device and inode, through a
    // link) is not entered again and not listed.
    static std::vector<Entry> scan(const std::vector<std::filesystem::path>& gateFolders);

    // A file's entry text: the name cut at its last "." (cnotgate.so gives cnotgate,
    // readme.txt gives readme); a name without a dot stays whole.
    static std::string entryText(const std::string& fileName);

    // Entry texts from the top level down, joined by "\".
    static std::string gatePath(const std::vector<std::string>& chain);

    // Alphabetical order of sibling texts.
    static bool before(const std::string& a, const std::string& b);
};
