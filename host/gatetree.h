#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The installed gates as a tree that mirrors the gate directory: directories are branches,
// every other file a leaf named after the file without its suffix.
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

    // Directory levels below the gate directory that are scanned; deeper ones are left out,
    // so a symbolic link that loops back cannot recurse without end.
    static constexpr int MaxDepth = 16;

    // The entries of a gate directory. A missing, unreadable or empty directory gives none.
    static std::vector<Entry> scan(const std::filesystem::path& gatesDir);

    // A file's entry text: the name cut at its last "." (cnotgate.so gives cnotgate,
    // readme.txt gives readme); a name without a dot stays whole.
    static std::string entryText(const std::string& fileName);

    // Entry texts from the top level down, joined by "\".
    static std::string gatePath(const std::vector<std::string>& chain);

    // Alphabetical order of sibling texts.
    static bool before(const std::string& a, const std::string& b);
};
