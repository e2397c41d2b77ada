#pragma once
#include <deque>
#include <string>

struct SymbolEntry {
    SymbolEntry* left = nullptr;
    SymbolEntry* right = nullptr;
    std::string name;
    double value = 0.0;
};

// The variables of one parse: an unbalanced binary search tree ordered by
// byte-wise name comparison. Entries live in a pool owned by the table, so
// releasing a degenerate (list-shaped) tree needs no recursion.
class SymbolTable {
public:
    SymbolTable() = default;
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;

    SymbolEntry& findOrInsert(const char* name);
    // Sets the entry of that name if there is one; never makes an entry.
    void setValue(const char* name, double value);
    SymbolEntry* find(const char* name) const;

    const SymbolEntry* root() const { return root_; }
    std::size_t size() const { return pool_.size(); }

private:
    SymbolEntry* root_ = nullptr;
    std::deque<SymbolEntry> pool_;
};
